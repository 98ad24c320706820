#include "CQtDC.h"

#include "TextLayout.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPaintDevice>
#include <QPainter>
#include <QPen>
#include <QPolygon>

#include <cmath>
#include <cstring>

namespace {
QColor ToColor(COLORREF cr) {
    return QColor(GetRValue(cr), GetGValue(cr), GetBValue(cr));
}

// Chart texts are plain ASCII; anything else is taken as UTF-8 when it is valid UTF-8, else as
// Latin-1 (the byte 0xB0 of a MapSource grid line is a degree sign).
QString Decode(const char* psz, int nCount) {
    const QByteArray bytes(psz, nCount);
    bool ascii = true;
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    if (ascii)
        return QString::fromLatin1(bytes);
    const QString utf8 = QString::fromUtf8(bytes);
    return utf8.contains(QChar::ReplacementCharacter) ? QString::fromLatin1(bytes) : utf8;
}

// GDI's defaults for a surface without a selected pen or brush: a black 1-pixel pen and a white
// brush; text is black on a white background.
const QColor kTextColor = Qt::black;
const QColor kBkColor = Qt::white;
} // namespace

CQtDC::CQtDC(QPainter* pPainter, CWnd* pWnd, BOOL bPrinting)
    : m_pPainter(pPainter), m_pDevice(pPainter->device()), m_pWnd(pWnd),
      m_fPenScale(bPrinting ? static_cast<qreal>(m_pDevice->logicalDpiX()) / kPenDpi : 1.0) {
    m_bPrinting = bPrinting;
    m_lines.reserve(kBatchLines);
    m_pPainter->setRenderHint(QPainter::Antialiasing, false);
}

CQtDC::~CQtDC() {
    Flush();
}

int CQtDC::GetDeviceCaps(int nIndex) const {
    switch (nIndex) {
    case LOGPIXELSX:
        return m_pDevice->logicalDpiX();
    case LOGPIXELSY:
        return m_pDevice->logicalDpiY();
    case HORZRES:
        return m_pDevice->width();
    case VERTRES:
        return m_pDevice->height();
    default:
        return 0;
    }
}

CPen* CQtDC::SelectObject(CPen* pPen) {
    if (pPen != m_pPen)
        Flush();
    return CDC::SelectObject(pPen);
}

void CQtDC::ApplyOrigin() {
    if (m_ptApplied.x == m_ptViewportOrg.x && m_ptApplied.y == m_ptViewportOrg.y)
        return;
    m_pPainter->translate(m_ptViewportOrg.x - m_ptApplied.x, m_ptViewportOrg.y - m_ptApplied.y);
    m_ptApplied = m_ptViewportOrg;
}

void CQtDC::SetSmoothLines(bool bSmooth) {
    Flush();
    m_pPainter->setRenderHint(QPainter::Antialiasing, bSmooth);
}

// Pen widths are logical units, scaled by the painter's transformation like every coordinate:
// by the device pixel ratio of a 2x screen, the scale of a larger PNG export and the zoom of a
// print preview, which replays the printer's page at the size it shows. A cosmetic pen would
// keep its printer width in screen pixels there, 25 for a 2-pixel line.
QPen CQtDC::ToQPen(const CPen* pPen) const {
    QPen pen;
    if (pPen) {
        const Qt::PenStyle style = pPen->m_nStyle == PS_DOT    ? Qt::DotLine
                                   : pPen->m_nStyle == PS_DASH ? Qt::DashLine
                                                               : Qt::SolidLine;
        pen = QPen(ToColor(pPen->m_crColor), pPen->m_nWidth * m_fPenScale, style, Qt::FlatCap,
                   Qt::MiterJoin);
    } else {
        pen = QPen(Qt::black, m_fPenScale);
    }
    return pen;
}

void CQtDC::ApplyBrush(const CBrush* pBrush) {
    m_pPainter->setBrush(pBrush ? ToColor(pBrush->m_crColor) : kBkColor);
}

void CQtDC::DrawLine(POINT from, POINT to) {
    if (m_ptApplied.x != m_ptViewportOrg.x || m_ptApplied.y != m_ptViewportOrg.y) {
        Flush();
        ApplyOrigin();
    }
    // A dense series maps many points to one pixel; a segment of no length draws nothing.
    if (from.x == to.x && from.y == to.y)
        return;
    // The pen is taken now: the pen object need not outlive the segments it drew.
    if (m_lines.empty() && m_polyline.empty())
        m_linesPen = ToQPen(m_pPen);
    if (m_linesPen.style() != Qt::DashLine) {
        m_lines.emplace_back(from.x, from.y, to.x, to.y);
        if (static_cast<int>(m_lines.size()) == kBatchLines)
            Flush();
        return;
    }
    // Flush keeps the pen: a dashed line that breaks off goes on with it.
    if (!m_polyline.empty() && m_polyline.back() != QPoint(from.x, from.y))
        Flush();
    if (m_polyline.empty())
        m_polyline.append(QPoint(from.x, from.y));
    m_polyline.append(QPoint(to.x, to.y));
}

void CQtDC::Flush() {
    if (!m_polyline.empty()) {
        m_pPainter->setPen(m_linesPen);
        m_pPainter->drawPolyline(m_polyline);
        m_polyline.clear();
    }
    if (m_lines.empty())
        return;
    m_pPainter->setPen(m_linesPen);
    m_pPainter->drawLines(m_lines.data(), static_cast<int>(m_lines.size()));
    m_lines.clear();
}

BOOL CQtDC::Rectangle(int x1, int y1, int x2, int y2) {
    Flush();
    ApplyOrigin();
    const QRect rc = QRect(QPoint(x1, y1), QPoint(x2 - 1, y2 - 1)).normalized();
    m_pPainter->setPen(ToQPen(m_pPen));
    ApplyBrush(m_pBrush);
    // Interior and outline both stay inside the rectangle, right and bottom edges excluded.
    m_pPainter->drawRect(rc.adjusted(0, 0, -1, -1));
    return 1;
}

BOOL CQtDC::FillRgn(CRgn* pRgn, CBrush* pBrush) {
    if (!pRgn || !pBrush || pRgn->m_nCount < 3)
        return 0;
    Flush();
    ApplyOrigin();
    QPoint points[CRgn::kMaxPoints];
    for (int i = 0; i < pRgn->m_nCount; ++i)
        points[i] = QPoint(pRgn->m_pt[i].x, pRgn->m_pt[i].y);
    // The 3D view's ground fills up to 40000 cells in a few hundred colours: the painter's pen
    // and brush are changed only when they differ.
    if (m_pPainter->pen().style() != Qt::NoPen)
        m_pPainter->setPen(Qt::NoPen);
    const QColor color = ToColor(pBrush->m_crColor);
    const QBrush& brush = m_pPainter->brush();
    if (brush.style() != Qt::SolidPattern || brush.color() != color)
        m_pPainter->setBrush(color);
    m_pPainter->drawPolygon(points, pRgn->m_nCount,
                            pRgn->m_nFillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
    return 1;
}

QFont CQtDC::QtFont(const CFont* pFont) const {
    QFont font = QGuiApplication::font();
    const CFont* pText = TextFont(pFont);
    if (!pText)
        return font;
    const LOGFONT& lf = pText->m_logfont;
    if (std::strcmp(lf.lfFaceName, "Roman") == 0) {
        font.setFamily(QStringLiteral("serif"));
        font.setStyleHint(QFont::Serif);
    } else if (lf.lfFaceName[0] != '\0') {
        font.setFamily(QString::fromLatin1(lf.lfFaceName));
    }
    if (lf.lfWeight > 0)
        font.setWeight(static_cast<QFont::Weight>(lf.lfWeight));
    font.setItalic(lf.lfItalic != 0);
    font.setUnderline(lf.lfUnderline != 0);
    font.setStrikeOut(lf.lfStrikeOut != 0);
    const TextSize size = DecodeFontHeight(pText);
    if (size.nHeight > 0 && size.bCell) {
        // The cell is ascent plus descent: the pixel size is scaled from a probe's cell.
        QFont probe = font;
        probe.setPixelSize(100);
        const qreal cell = QFontMetricsF(probe, m_pDevice).height();
        font.setPixelSize(std::max(1, static_cast<int>(std::lround(size.nHeight * 100.0 / cell))));
    } else if (size.nHeight > 0) {
        font.setPixelSize(size.nHeight);
    }
    // A height of 0 keeps the application font's size in points: the device's default size.
    return font;
}

BOOL CQtDC::TextOut(int x, int y, const char* lpszString, int nCount) {
    const int nLength = TextLength(lpszString, nCount);
    if (nLength == 0)
        return 1;
    Flush();
    ApplyOrigin();
    const QString text = Decode(lpszString, nLength);
    const QFont font = QtFont(m_pFont);
    const QFontMetricsF fm(font, m_pDevice);
    const qreal width = fm.horizontalAdvance(text);

    // The reference point: left, right or centre of the text horizontally; top of the cell,
    // bottom of the cell or the baseline vertically, all in the text's own (rotated) frame.
    const TextAlignment align = DecodeTextAlign(m_nTextAlign);
    qreal dx = 0;
    if (align.anchor == TextAnchor::Centre)
        dx = -width / 2;
    else if (align.anchor == TextAnchor::Right)
        dx = -width;
    qreal baseline = fm.ascent();
    if (align.line == TextLine::Baseline)
        baseline = 0;
    else if (align.line == TextLine::Bottom)
        baseline = -fm.descent();

    m_pPainter->save();
    m_pPainter->translate(x, y);
    if (const double angle = TextAngle(m_pFont); angle != 0)
        m_pPainter->rotate(-angle);
    if (m_nBkMode == OPAQUE)
        m_pPainter->fillRect(QRectF(dx, baseline - fm.ascent(), width, fm.height()), kBkColor);
    m_pPainter->setFont(font);
    m_pPainter->setPen(kTextColor);
    m_pPainter->drawText(QPointF(dx, baseline), text);
    m_pPainter->restore();
    return 1;
}
