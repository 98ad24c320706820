#include "CVorlanDoc.h"

#include "CArchive.h"
#include "CPlot.h"
#include "CVorlanApp.h"
#include "Resource.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

#include <cmath>
#include <new>

namespace {
// The view values of a document file: a zoom factor above 0 and no larger than the zoom
// commands can make it, and finite angles. Anything else would make a page too large to draw.
bool ViewValuesValid(const CPlot& plot) {
    return std::isfinite(plot.m_fZoom) && plot.m_fZoom > 0.0f &&
           plot.m_fZoom <= CPlot::kMaxDocumentZoom && std::isfinite(plot.m_fAzimuth) &&
           std::isfinite(plot.m_fElevation);
}
} // namespace

CVorlanDoc::CVorlanDoc() {
    m_pPlot = new (std::nothrow) CPlot;
    m_bLoaded = 0;
    m_b3D = 0;
    m_nPlotMode = kPlotNone;
}

CVorlanDoc::~CVorlanDoc() {
    delete m_pPlot;
    m_pPlot = nullptr;
}

BOOL CVorlanDoc::OnNewDocument() {
    return CDocument::OnNewDocument() ? 1 : 0;
}

BOOL CVorlanDoc::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        m_track.Save(ar);
        m_pPlot->SaveView(ar);
        return 1;
    }
    // A refused track leaves the document as it was; the view values are checked as well.
    if (!m_track.Load(ar))
        return 0;
    CPlot view;
    view.LoadView(ar);
    if (!ViewValuesValid(view))
        return 0;
    m_pPlot->m_fZoom = view.m_fZoom;
    m_pPlot->m_fAzimuth = view.m_fAzimuth;
    m_pPlot->m_fElevation = view.m_fElevation;
    m_bLoaded = 1;
    OnPlot3D();
    return 1;
}

BOOL CVorlanDoc::OnDocCmdMsg(UINT nID, CmdCode nCode, CCmdUI* pCmdUI) {
    static const CmdEntry<CVorlanDoc> kMessageMap[] = {
        {ID_PLOT_ELEVATION, &CVorlanDoc::OnPlotElevation, &CVorlanDoc::OnUpdatePlotElevation},
        {ID_FILE_IMPORT, &CVorlanDoc::OnFileImport, &CVorlanDoc::OnUpdateFileImport},
        {ID_PLOT_3D, &CVorlanDoc::OnPlot3D, &CVorlanDoc::OnUpdatePlot3D},
        {ID_ROTATE_UP, &CVorlanDoc::OnRotateUp, &CVorlanDoc::OnUpdateRotateUp},
        {ID_ROTATE_DOWN, &CVorlanDoc::OnRotateDown, &CVorlanDoc::OnUpdateRotateDown},
        {ID_ROTATE_LEFT, &CVorlanDoc::OnRotateLeft, &CVorlanDoc::OnUpdateRotateLeft},
        {ID_ROTATE_RIGHT, &CVorlanDoc::OnRotateRight, &CVorlanDoc::OnUpdateRotateRight},
        {ID_ROTATE_RESTORE, &CVorlanDoc::OnRotateRestore, &CVorlanDoc::OnUpdateRotateRestore},
    };
    return DispatchCmdMsg(this, kMessageMap, nID, nCode, pCmdUI);
}

void CVorlanDoc::OnPlotElevation() {
    m_pPlot->FillElevation(m_track);
    m_nPlotMode = kPlotElevation;
    m_b3D = 0;
    UpdateAllViews(nullptr);
}

void CVorlanDoc::OnPlot3D() {
    m_pPlot->Fill3D(m_track);
    m_nPlotMode = kPlot3D;
    m_b3D = 1;
    UpdateAllViews(nullptr);
}

// A cancelled dialog leaves the document as it was: still empty and still able to import.
void CVorlanDoc::OnFileImport() {
    const QString path = PromptImportFile();
    if (!path.isEmpty())
        ImportFile(path);
}

bool CVorlanDoc::ImportFile(const QString& strPath) {
    const short r = m_track.ImportFile(QFile::encodeName(strPath).constData());
    m_bLoaded = r;
    if (r)
        OnPlot3D();
    return r != 0;
}

QString CVorlanDoc::PromptImportFile() {
    QFileDialog dlg(AfxGetMainWnd(), QStringLiteral("Open"), QDir::currentPath(),
                    QStringLiteral("MapSource Exported Files (*.txt; *.TXT)"));
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setFileMode(QFileDialog::ExistingFile);
    dlg.selectFile(QStringLiteral("*.txt"));
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return QString();
    const QString path = dlg.selectedFiles().first();
    // The current directory follows the folder the user chose.
    QDir::setCurrent(QFileInfo(path).absolutePath());
    return path;
}

void CVorlanDoc::OnRotateUp() {
    if (m_pPlot->m_fElevation > -CPlot::kMaxRotation) {
        m_pPlot->m_fElevation = m_pPlot->m_fElevation - CPlot::kRotateStepButton;
        UpdateAllViews(nullptr);
    }
}

void CVorlanDoc::OnRotateDown() {
    if (m_pPlot->m_fElevation < CPlot::kMaxRotation) {
        m_pPlot->m_fElevation = m_pPlot->m_fElevation + CPlot::kRotateStepButton;
        UpdateAllViews(nullptr);
    }
}

void CVorlanDoc::OnRotateLeft() {
    if (m_pPlot->m_fAzimuth < CPlot::kMaxRotation) {
        m_pPlot->m_fAzimuth = m_pPlot->m_fAzimuth + CPlot::kRotateStepButton;
        UpdateAllViews(nullptr);
    }
}

void CVorlanDoc::OnRotateRight() {
    if (m_pPlot->m_fAzimuth > -CPlot::kMaxRotation) {
        m_pPlot->m_fAzimuth = m_pPlot->m_fAzimuth - CPlot::kRotateStepButton;
        UpdateAllViews(nullptr);
    }
}

void CVorlanDoc::OnRotateRestore() {
    m_pPlot->m_fAzimuth = CPlot::kHomeAzimuth;
    m_pPlot->m_fElevation = CPlot::kHomeElevation;
    UpdateAllViews(nullptr);
}

void CVorlanDoc::OnUpdatePlotElevation(CCmdUI* pCmdUI) {
    pCmdUI->Enable(m_bLoaded);
    pCmdUI->SetCheck(m_nPlotMode == kPlotElevation ? 1 : 0);
}

void CVorlanDoc::OnUpdateFileImport(CCmdUI* pCmdUI) {
    pCmdUI->Enable(m_bLoaded == 0);
}

void CVorlanDoc::OnUpdatePlot3D(CCmdUI* pCmdUI) {
    pCmdUI->Enable(m_bLoaded);
    pCmdUI->SetCheck(m_nPlotMode == kPlot3D ? 1 : 0);
}

void CVorlanDoc::OnUpdateRotateUp(CCmdUI* pCmdUI) {
    pCmdUI->Enable(RotationEnabled() && m_pPlot->m_fElevation > -CPlot::kMaxRotation);
}

void CVorlanDoc::OnUpdateRotateDown(CCmdUI* pCmdUI) {
    pCmdUI->Enable(RotationEnabled() && m_pPlot->m_fElevation < CPlot::kMaxRotation);
}

void CVorlanDoc::OnUpdateRotateLeft(CCmdUI* pCmdUI) {
    pCmdUI->Enable(RotationEnabled() && m_pPlot->m_fAzimuth < CPlot::kMaxRotation);
}

void CVorlanDoc::OnUpdateRotateRight(CCmdUI* pCmdUI) {
    pCmdUI->Enable(RotationEnabled() && m_pPlot->m_fAzimuth > -CPlot::kMaxRotation);
}

// At rest while both angles lie within the tolerance of the home view (the bounds count as at
// rest).
void CVorlanDoc::OnUpdateRotateRestore(CCmdUI* pCmdUI) {
    const float az = m_pPlot->m_fAzimuth;
    const float el = m_pPlot->m_fElevation;
    pCmdUI->Enable(RotationEnabled() && (az > CPlot::kHomeAzimuth + CPlot::kHomeTolerance ||
                                         az < CPlot::kHomeAzimuth - CPlot::kHomeTolerance ||
                                         el > CPlot::kHomeElevation + CPlot::kHomeTolerance ||
                                         el < CPlot::kHomeElevation - CPlot::kHomeTolerance));
}
