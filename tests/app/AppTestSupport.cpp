#include "AppTestSupport.h"

#include "CChildFrame.h"
#include "CMainFrame.h"
#include "CVorlanApp.h"
#include "CVorlanDoc.h"
#include "CVorlanView.h"
#include "Resource.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QSettings>
#include <QTimer>

#include <cmath>
#include <memory>

QString WriteTrackFile(const QString& path, int nPoints) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    QByteArray text = "Grid\tLat/Lon hddd mm.mmm'\r\nDatum\tWGS 84\r\n\r\n"
                      "Header\tPosition\tTime\tAltitude\tDepth\tLeg Length\r\n\r\n";
    auto dm = [](double v, char pos, char neg) {
        const double a = std::fabs(v);
        const int d = static_cast<int>(a);
        return QByteArray(1, v >= 0 ? pos : neg) + QByteArray::number(d) + ' ' +
               QByteArray::number((a - d) * 60, 'f', 3);
    };
    // The first line only sets the coordinate format; nPoints lines follow it.
    for (int i = 0; i <= nPoints; ++i) {
        const double t = 2 * M_PI * i / nPoints;
        const double lat = 47.60 + 0.03 * std::sin(t);
        const double lon = -121.80 + 0.045 * std::cos(t);
        // Hills with some noise, so that the raw and smoothed series differ.
        const int elev = static_cast<int>(1500 + 900 * std::sin(2 * t + 0.7) +
                                          60 * std::sin(13 * t) + (i * 7919 % 31) * 4);
        text += "Trackpoint\t" + dm(lat, 'N', 'S') + ' ' + dm(lon, 'E', 'W') +
                "\t5/22/2002 8:00:00 AM\t" + QByteArray::number(elev) + " ft\t\t0.05 mi\r\n";
    }
    file.write(text);
    return path;
}

int RunVorlan(const QStringList& args, const QString& configDir, QString* pstrError,
              const std::function<void(QProcess&)>& setUp) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), configDir);
    process.setProcessEnvironment(env);
    if (setUp)
        setUp(process);
    process.start(QStringLiteral(VORLAN_EXE), args);
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        return -1;
    }
    if (pstrError)
        *pstrError = QString::fromLocal8Bit(process.readAllStandardError());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

namespace {
// Closes a dialog its handler left open, which would otherwise block the test in exec().
void CloseLeftOpen(const QPointer<QWidget>& pModal, const QString& strWhat) {
    if (!pModal || !pModal->isVisible())
        return;
    ADD_FAILURE() << "the handler of " << qPrintable(strWhat) << " left "
                  << pModal->metaObject()->className() << " open";
    if (auto* pDialog = qobject_cast<QDialog*>(pModal.data()))
        pDialog->reject();
    else
        pModal->close();
}
} // namespace

void AppTest::OnNextModal(const QString& strWhat, std::function<void(QWidget*)> action) {
    auto pWait = std::make_shared<ModalWait>(ModalWait{strWhat});
    m_modalWaits.push_back(pWait);
    QElapsedTimer waited;
    waited.start();
    // The poll holds itself through the timer it queues; the last round lets go of it.
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [pWait, action, waited, poll] {
        if (pWait->bOver) {
            *poll = nullptr;
            return;
        }
        if (QWidget* pModal = QApplication::activeModalWidget()) {
            pWait->bOver = true;
            const QPointer<QWidget> pGuard(pModal);
            action(pModal);
            CloseLeftOpen(pGuard, pWait->strWhat);
            *poll = nullptr;
            return;
        }
        if (waited.elapsed() > kModalWaitMs) {
            pWait->bOver = true;
            ADD_FAILURE() << "no modal dialog opened within " << kModalWaitMs << " ms: waited for "
                          << qPrintable(pWait->strWhat);
            *poll = nullptr;
            return;
        }
        QTimer::singleShot(kModalPollMs, *poll);
    };
    QTimer::singleShot(0, *poll);
}

void AppTest::DismissNextModal(QString* pstrText) {
    OnNextModal(QStringLiteral("a dialog to dismiss"), [pstrText](QWidget* pModal) {
        if (auto* pBox = qobject_cast<QMessageBox*>(pModal); pBox && pstrText)
            *pstrText = pBox->text();
        if (auto* pDialog = qobject_cast<QDialog*>(pModal))
            pDialog->reject();
        else
            pModal->close();
    });
}

void AppTest::ChooseInNextFileDialog(const QString& path) {
    OnNextModal(QStringLiteral("a file dialog"), [path](QWidget* pModal) {
        auto* pDialog = qobject_cast<QFileDialog*>(pModal);
        ASSERT_NE(pDialog, nullptr) << pModal->metaObject()->className() << " came instead";
        if (path.isEmpty()) {
            pDialog->reject();
            return;
        }
        pDialog->selectFile(path);
        static_cast<QDialog*>(pDialog)->accept(); // QFileDialog::accept, through the base
    });
}

void AppTest::SetUp() {
    ASSERT_TRUE(m_dir.isValid());
    QSettings().clear();
    ASSERT_TRUE(VorlanApp()->InitInstance({QStringLiteral("vorlan")}));
    QApplication::processEvents();
}

void AppTest::TearDown() {
    for (const std::shared_ptr<ModalWait>& pWait : m_modalWaits) {
        if (!pWait->bOver)
            ADD_FAILURE() << "the test ended while waiting for " << qPrintable(pWait->strWhat);
        pWait->bOver = true;
    }
    m_modalWaits.clear();
    VorlanApp()->ExitInstance();
    QApplication::processEvents();
}

CMainFrame* AppTest::Frame() const {
    return VorlanApp()->GetMainFrame();
}

CChildFrame* AppTest::ActiveChild() const {
    return Frame()->MDIGetActive();
}

CVorlanView* AppTest::View() const {
    CChildFrame* pChild = ActiveChild();
    return pChild ? static_cast<CVorlanView*>(pChild->GetActiveView()) : nullptr;
}

CVorlanDoc* AppTest::Doc() const {
    CVorlanView* pView = View();
    return pView ? pView->GetDocument() : nullptr;
}

void AppTest::Command(UINT nID) {
    Frame()->OnCommand(nID);
}

CCmdUI AppTest::State(UINT nID) {
    return Frame()->QueryCommandUI(nID);
}

void AppTest::ImportSample(int nPoints) {
    const QString path = WriteTrackFile(m_dir.filePath(QStringLiteral("sample.txt")), nPoints);
    ChooseInNextFileDialog(path);
    Command(ID_FILE_IMPORT);
}

int CountColour(const QImage& image, QRgb colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF);
    return n;
}
