// The track document: the state table after new, import and cancelled import, the plot switches,
// and the rotation commands with their limits and update rules.
#include "AppTestSupport.h"

#include "CChildFrame.h"
#include "CMainFrame.h"
#include "CPlot.h"
#include "CProgressJob.h"
#include "CVorlanDoc.h"
#include "CVorlanView.h"
#include "Resource.h"

#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>

#include <chrono>
#include <cstdint>
#include <thread>

namespace {
constexpr UINT kRotations[] = {ID_ROTATE_UP, ID_ROTATE_DOWN, ID_ROTATE_LEFT, ID_ROTATE_RIGHT};

class DocumentTest : public AppTest {
protected:
    void ExpectOnlyImportEnabled() {
        EXPECT_TRUE(Enabled(ID_FILE_IMPORT));
        for (UINT nID :
             {ID_PLOT_ELEVATION, ID_PLOT_3D, ID_ROTATE_UP, ID_ROTATE_DOWN, ID_ROTATE_LEFT,
              ID_ROTATE_RIGHT, ID_ROTATE_RESTORE, ID_ZOOM_IN, ID_ZOOM_OUT, ID_ZOOM_RESTORE})
            EXPECT_FALSE(Enabled(nID)) << nID;
        EXPECT_EQ(Checked(ID_PLOT_ELEVATION), 0);
        EXPECT_EQ(Checked(ID_PLOT_3D), 0);
    }
    // Repeats a command while it is enabled; returns how many times it ran.
    int RunWhileEnabled(UINT nID) {
        int n = 0;
        while (Enabled(nID) && n < 100) {
            Command(nID);
            ++n;
        }
        return n;
    }
    float Azimuth() { return View()->Plot()->m_fAzimuth; }
    float Elevation() { return View()->Plot()->m_fElevation; }
};

TEST_F(DocumentTest, NewDocumentIsEmptyWithOnlyImportEnabled) {
    ASSERT_NE(Doc(), nullptr);
    EXPECT_EQ(Doc()->m_bLoaded, 0);
    EXPECT_EQ(Doc()->m_nPlotMode, -1);
    EXPECT_EQ(Doc()->m_b3D, 0);
    ExpectOnlyImportEnabled();
}

// The document, its window and the main window are named after the imported file.
TEST_F(DocumentTest, ImportShowsThe3DViewAtRest) {
    ImportSample(400);
    EXPECT_EQ(ActiveChild()->windowTitle(), QStringLiteral("sample"));
    EXPECT_EQ(Frame()->windowTitle(), QStringLiteral("Vorlan - [sample]"));
    EXPECT_EQ(Doc()->m_bLoaded, 1);
    EXPECT_EQ(Doc()->m_nPlotMode, 3);
    EXPECT_EQ(Doc()->m_b3D, 1);
    EXPECT_EQ(Doc()->m_track.m_nCount, 400);
    EXPECT_FALSE(Enabled(ID_FILE_IMPORT));
    EXPECT_TRUE(Enabled(ID_PLOT_ELEVATION));
    EXPECT_TRUE(Enabled(ID_PLOT_3D));
    EXPECT_EQ(Checked(ID_PLOT_3D), 1);
    EXPECT_EQ(Checked(ID_PLOT_ELEVATION), 0);
    for (UINT nID : kRotations)
        EXPECT_TRUE(Enabled(nID)) << nID;
    EXPECT_FALSE(Enabled(ID_ROTATE_RESTORE));
}

// A long job runs on a thread of its own: the event loop goes on (a timer fires meanwhile), the
// progress shows in a dialog, and its Cancel stops the job, whose document stays empty.
TEST_F(DocumentTest, ALongImportShowsItsProgressAndCanBeCancelled) {
    int nTicks = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&nTicks] { ++nTicks; });
    tick.start(1);
    OnNextModal(QStringLiteral("the progress dialog"), [](QWidget* pModal) {
        auto* pDialog = qobject_cast<QProgressDialog*>(pModal);
        ASSERT_NE(pDialog, nullptr);
        EXPECT_EQ(pDialog->labelText(), QStringLiteral("Importing ride.gpx..."));
        QPushButton* pCancel = pDialog->findChild<QPushButton*>();
        ASSERT_NE(pCancel, nullptr);
        pCancel->click();
    });
    std::uint64_t nSteps = 0;
    CProgressJob job(QStringLiteral("Importing ride.gpx..."), Frame(), 0);
    job.Run([&nSteps](const CProgressJob::Progress& progress) {
        while (progress(++nSteps, 0))
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
    EXPECT_TRUE(job.WasCancelled());
    EXPECT_GT(nTicks, 0);
    EXPECT_EQ(Doc()->m_bLoaded, 0);
}

// A cancelled dialog leaves the document empty: import stays possible and nothing is drawn.
TEST_F(DocumentTest, CancelledImportLeavesTheDocumentEmpty) {
    ChooseInNextFileDialog(QString());
    Command(ID_FILE_IMPORT);
    EXPECT_EQ(Doc()->m_bLoaded, 0);
    EXPECT_EQ(Doc()->m_nPlotMode, -1);
    ExpectOnlyImportEnabled();
    ImportSample(50);
    EXPECT_EQ(Doc()->m_nPlotMode, 3);
}

TEST_F(DocumentTest, PlotCommandsSwitchModesAndKeepTheAngles) {
    ImportSample();
    Command(ID_ROTATE_LEFT);
    Command(ID_PLOT_ELEVATION);
    EXPECT_EQ(Doc()->m_nPlotMode, 0);
    EXPECT_EQ(Doc()->m_b3D, 0);
    EXPECT_EQ(Checked(ID_PLOT_ELEVATION), 1);
    EXPECT_EQ(Checked(ID_PLOT_3D), 0);
    EXPECT_EQ(View()->Plot()->m_nSeries, 2);
    // All five rotation commands are off in the chart, and ignored if they come anyway.
    for (UINT nID : kRotations)
        EXPECT_FALSE(Enabled(nID)) << nID;
    EXPECT_FALSE(Enabled(ID_ROTATE_RESTORE));
    EXPECT_EQ(Azimuth(), 35.0f);
    Command(ID_PLOT_3D);
    EXPECT_EQ(Doc()->m_nPlotMode, 3);
    EXPECT_EQ(Checked(ID_PLOT_3D), 1);
    EXPECT_EQ(Azimuth(), 35.0f);
    EXPECT_TRUE(Enabled(ID_ROTATE_RESTORE));
}

TEST_F(DocumentTest, RotationsStopAtTheirLimits) {
    ImportSample();
    EXPECT_EQ(RunWhileEnabled(ID_ROTATE_LEFT), 12);
    EXPECT_EQ(Azimuth(), 90.0f);
    EXPECT_EQ(RunWhileEnabled(ID_ROTATE_RIGHT), 36);
    EXPECT_EQ(Azimuth(), -90.0f);
    EXPECT_EQ(RunWhileEnabled(ID_ROTATE_UP), 22);
    EXPECT_EQ(Elevation(), -90.0f);
    EXPECT_EQ(RunWhileEnabled(ID_ROTATE_DOWN), 36);
    EXPECT_EQ(Elevation(), 90.0f);
    // A command past its limit changes nothing.
    Command(ID_ROTATE_DOWN);
    EXPECT_EQ(Elevation(), 90.0f);
}

// The guard tests the angle before the step: from 88 one step goes to 93, and the opposite
// command brings it back.
TEST_F(DocumentTest, RotationFromAnOddAngleOvershootsOnce) {
    ImportSample();
    View()->Plot()->m_fAzimuth = 88;
    Command(ID_ROTATE_LEFT);
    EXPECT_EQ(Azimuth(), 93.0f);
    EXPECT_FALSE(Enabled(ID_ROTATE_LEFT));
    Command(ID_ROTATE_RIGHT);
    EXPECT_EQ(Azimuth(), 88.0f);
}

TEST_F(DocumentTest, RestoreIsEnabledOnlyAwayFromRest) {
    ImportSample();
    Command(ID_ROTATE_UP);
    EXPECT_TRUE(Enabled(ID_ROTATE_RESTORE));
    Command(ID_ROTATE_RESTORE);
    EXPECT_EQ(Azimuth(), 30.0f);
    EXPECT_EQ(Elevation(), 20.0f);
    EXPECT_FALSE(Enabled(ID_ROTATE_RESTORE));
    // Within 0.1 degree (the bounds included) counts as at rest.
    View()->Plot()->m_fAzimuth = 30.1f;
    View()->Plot()->m_fElevation = 19.9f;
    EXPECT_FALSE(Enabled(ID_ROTATE_RESTORE));
    View()->Plot()->m_fAzimuth = 30.11f;
    EXPECT_TRUE(Enabled(ID_ROTATE_RESTORE));
}
} // namespace
