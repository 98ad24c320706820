#include "CButtonImages.h"

#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {
using Image = CButtonImages::Image;

// The 16-colour palette of the pictures.
const QColor kBlack(0, 0, 0);
const QColor kSilver(192, 192, 192);
const QColor kWhite(255, 255, 255);
const QColor kNavy(0, 0, 128);
const QColor kBlue(0, 0, 255);
const QColor kRed(255, 0, 0);
const QColor kMaroon(128, 0, 0);
const QColor kGreen(0, 128, 0);
const QColor kLime(0, 255, 0);
const QColor kOlive(128, 128, 0);
const QColor kYellow(255, 255, 0);
const QColor kPaleCyan(200, 255, 255);

// Drawing helpers in grid units; a 1-unit outline sits on pixel centres (x + 0.5).
class Pen {
public:
    explicit Pen(QPainter& p) : m_p(p) {}
    QPainter& P() { return m_p; }
    void Line(qreal x1, qreal y1, qreal x2, qreal y2, const QColor& c, qreal w = 1) {
        m_p.setPen(QPen(c, w, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        m_p.drawLine(QPointF(x1 + 0.5, y1 + 0.5), QPointF(x2 + 0.5, y2 + 0.5));
    }
    // A filled box covering the cells x..x+w-1, y..y+h-1, outlined in its outer cells.
    void Box(qreal x, qreal y, qreal w, qreal h, const QColor& fill, const QColor& edge) {
        m_p.setPen(Qt::NoPen);
        m_p.setBrush(fill);
        m_p.drawRect(QRectF(x, y, w, h));
        if (edge.isValid()) {
            m_p.setBrush(Qt::NoBrush);
            m_p.setPen(QPen(edge, 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
            m_p.drawRect(QRectF(x + 0.5, y + 0.5, w - 1, h - 1));
        }
    }
    void Poly(std::initializer_list<QPointF> pts, const QColor& fill, const QColor& edge,
              qreal w = 1) {
        QPolygonF poly;
        for (const QPointF& pt : pts)
            poly << pt + QPointF(0.5, 0.5);
        m_p.setBrush(fill.isValid() ? QBrush(fill) : QBrush(Qt::NoBrush));
        m_p.setPen(edge.isValid() ? QPen(edge, w, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin)
                                  : QPen(Qt::NoPen));
        m_p.drawPolygon(poly);
    }
    void Polyline(std::initializer_list<QPointF> pts, const QColor& c, qreal w = 1) {
        QPolygonF poly;
        for (const QPointF& pt : pts)
            poly << pt + QPointF(0.5, 0.5);
        m_p.setBrush(Qt::NoBrush);
        m_p.setPen(QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        m_p.drawPolyline(poly);
    }
    void Text(const QRectF& r, const QString& s, const QColor& c, qreal size, bool bold = true) {
        QFont f(QStringLiteral("sans-serif"));
        f.setStyleHint(QFont::SansSerif);
        f.setPixelSize(1);
        f.setBold(bold);
        m_p.save();
        // Font sizes below one pixel do not exist: draw at 10x and scale down.
        m_p.translate(r.topLeft());
        m_p.scale(0.1, 0.1);
        f.setPixelSize(static_cast<int>(size * 10));
        m_p.setFont(f);
        m_p.setPen(c);
        m_p.drawText(QRectF(0, 0, r.width() * 10, r.height() * 10), Qt::AlignCenter, s);
        m_p.restore();
    }
    // An arc of the circle around (cx, cy) from angle a0 through span degrees (counter-clockwise,
    // 0 = east) ending in an arrow head.
    void ArcArrow(qreal cx, qreal cy, qreal r, qreal a0, qreal span, const QColor& c) {
        QPainterPath path;
        const QRectF box(cx - r, cy - r, 2 * r, 2 * r);
        path.arcMoveTo(box, a0);
        path.arcTo(box, a0, span);
        m_p.setBrush(Qt::NoBrush);
        m_p.setPen(QPen(c, 2, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
        m_p.drawPath(path);
        // The head points along the tangent at the end of the arc.
        const qreal a1 = qDegreesToRadians(a0 + span);
        const QPointF end(cx + r * std::cos(a1), cy - r * std::sin(a1));
        const qreal dir = span > 0 ? 1 : -1;
        const QPointF tangent(-std::sin(a1) * dir, -std::cos(a1) * dir);
        const QPointF normal(-tangent.y(), tangent.x());
        QPolygonF head;
        head << end + tangent * 3 << end + normal * 3 << end - normal * 3;
        m_p.setPen(Qt::NoPen);
        m_p.setBrush(c);
        m_p.drawPolygon(head);
    }

private:
    QPainter& m_p;
};

void PaintPage(Pen& g, qreal x, qreal y, qreal w, qreal h, qreal fold) {
    g.Poly({{x, y},
            {x + w - 1 - fold, y},
            {x + w - 1, y + fold},
            {x + w - 1, y + h - 1},
            {x, y + h - 1}},
           kWhite, kBlack);
    g.Poly({{x + w - 1 - fold, y}, {x + w - 1 - fold, y + fold}, {x + w - 1, y + fold}}, kSilver,
           kBlack);
}

void PaintMagnifier(Pen& g) {
    QPainter& p = g.P();
    p.setPen(QPen(kBlack, 1));
    p.setBrush(kWhite);
    p.drawEllipse(QRectF(1.5, 1.5, 9, 9));
    g.Line(9.5, 9.5, 13.5, 13.5, kMaroon, 2.5);
}

void PaintButton(QPainter& p, Image image) {
    Pen g(p);
    switch (image) {
    case Image::None:
    case Image::MainIcon:
    case Image::DocumentIcon:
        break;
    case Image::New:
        PaintPage(g, 3, 1, 10, 14, 3);
        break;
    case Image::Open:
        g.Poly({{1, 3}, {5, 3}, {6, 4}, {12, 4}, {12, 12}, {1, 12}}, kOlive, kBlack);
        g.Poly({{1, 12}, {4, 6}, {15, 6}, {12, 12}}, kYellow, kBlack);
        break;
    case Image::Save:
        g.Box(1, 1, 14, 13, kNavy, kBlack);
        g.Box(4, 1, 8, 6, kWhite, kBlack);
        g.Box(5, 9, 6, 5, kSilver, kBlack);
        g.Box(6, 10, 2, 3, kNavy, QColor());
        break;
    case Image::Print:
        g.Box(4, 1, 8, 6, kWhite, kBlack);
        g.Box(1, 6, 14, 6, kSilver, kBlack);
        g.Box(4, 10, 8, 4, kWhite, kBlack);
        g.Line(12, 8, 12, 8, kLime);
        break;
    case Image::About:
        p.setPen(QPen(kNavy, 1));
        p.setBrush(kBlue);
        p.drawEllipse(QRectF(1.5, 0.5, 13, 13));
        g.Text(QRectF(1, 0, 14, 14), QStringLiteral("?"), kWhite, 11);
        break;
    case Image::ContextHelp:
        g.Poly({{1, 1}, {1, 12}, {4, 9}, {6, 13}, {8, 12}, {6, 8}, {10, 8}}, kWhite, kBlack);
        g.Text(QRectF(8, 2, 8, 12), QStringLiteral("?"), kBlue, 11);
        break;
    case Image::Import:
        PaintPage(g, 6, 1, 9, 14, 3);
        g.Line(8, 8, 12, 8, kRed);
        g.Line(8, 10, 12, 10, kBlue);
        g.Poly({{0, 6}, {3, 6}, {3, 3}, {7, 7}, {3, 11}, {3, 8}, {0, 8}}, kGreen, QColor());
        break;
    case Image::PlotElevation:
        g.Line(1, 0, 1, 14, kBlack);
        g.Line(1, 14, 15, 14, kBlack);
        g.Polyline({{2, 11}, {4, 7}, {5, 9}, {7, 4}, {9, 8}, {10, 6}, {12, 10}, {14, 9}}, kRed);
        g.Polyline({{2, 12}, {4, 9}, {7, 6}, {10, 8}, {14, 11}}, kBlue);
        break;
    case Image::Plot3D:
        g.Poly({{0, 10}, {5, 14}, {15, 11}, {10, 7}}, kPaleCyan, kLime);
        g.Line(0, 10, 0, 3, kLime);
        g.Line(0, 3, 10, 0, kLime);
        g.Line(10, 0, 10, 7, kLime);
        g.Polyline({{3, 10}, {5, 6}, {8, 8}, {11, 5}, {12, 9}}, kBlue, 1.5);
        break;
    case Image::ZoomIn:
        PaintMagnifier(g);
        g.Line(4, 6, 8, 6, kBlack);
        g.Line(6, 4, 6, 8, kBlack);
        break;
    case Image::ZoomOut:
        PaintMagnifier(g);
        g.Line(4, 6, 8, 6, kBlack);
        break;
    case Image::ZoomRestore:
        PaintMagnifier(g);
        g.Text(QRectF(2, 1, 9, 10), QStringLiteral("1"), kBlack, 8);
        break;
    case Image::RotateLeft:
        g.ArcArrow(8, 9, 5.5, 0, 150, kNavy);
        break;
    case Image::RotateRight:
        g.ArcArrow(8, 9, 5.5, 180, -150, kNavy);
        break;
    case Image::RotateUp:
        g.ArcArrow(6, 8, 5.5, -90, 150, kNavy);
        break;
    case Image::RotateDown:
        g.ArcArrow(6, 7, 5.5, 90, -150, kNavy);
        break;
    case Image::RotateRestore:
        g.Poly({{1, 7}, {8, 1}, {15, 7}}, kRed, kMaroon);
        g.Box(3, 7, 11, 7, kWhite, kBlack);
        g.Box(7, 9, 3, 5, kOlive, kBlack);
        break;
    }
}

void PaintIcon(QPainter& p, Image image) {
    Pen g(p);
    if (image == Image::MainIcon) {
        // The 3D plot: a box on a pale floor with the track inside.
        g.Poly({{1, 21}, {11, 30}, {30, 24}, {20, 16}}, kPaleCyan, kGreen);
        g.Line(1, 21, 1, 6, kGreen);
        g.Line(1, 6, 20, 1, kGreen);
        g.Line(20, 1, 20, 16, kGreen);
        g.Line(20, 1, 30, 9, kGreen);
        g.Line(30, 9, 30, 24, kGreen);
        g.Polyline({{5, 22}, {9, 14}, {13, 18}, {17, 9}, {21, 15}, {25, 12}, {26, 20}}, kBlue, 2);
        g.Polyline({{5, 24}, {9, 22}, {13, 24}, {17, 21}, {21, 23}, {25, 22}}, kSilver, 1);
    } else {
        // A document page holding an elevation profile.
        g.Poly({{4, 1}, {21, 1}, {27, 7}, {27, 30}, {4, 30}}, kWhite, kBlack);
        g.Poly({{21, 1}, {21, 7}, {27, 7}}, kSilver, kBlack);
        g.Line(7, 10, 7, 26, kBlack);
        g.Line(7, 26, 24, 26, kBlack);
        g.Polyline({{8, 22}, {11, 15}, {13, 19}, {16, 11}, {19, 17}, {21, 14}, {23, 20}}, kRed,
                   1.5);
        g.Polyline({{8, 23}, {11, 18}, {16, 15}, {20, 17}, {23, 21}}, kBlue, 1.5);
    }
}

class ImageIconEngine : public QIconEngine {
public:
    explicit ImageIconEngine(Image image) : m_image(image) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        if (mode == QIcon::Disabled) {
            const qreal scale = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
            painter->drawImage(rect, Render(rect.size(), mode, scale));
            return;
        }
        CButtonImages::Paint(*painter, rect, m_image);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1.0);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State, qreal scale) override {
        QPixmap pm = QPixmap::fromImage(Render(size, mode, scale));
        pm.setDevicePixelRatio(scale);
        return pm;
    }
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }
    QIconEngine* clone() const override { return new ImageIconEngine(m_image); }
    QString key() const override { return QStringLiteral("CButtonImages"); }

private:
    QImage Render(const QSize& size, QIcon::Mode mode, qreal scale) const {
        QImage img((QSizeF(size) * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::transparent);
        {
            QPainter p(&img);
            CButtonImages::Paint(p, QRectF(QPointF(0, 0), QSizeF(img.size())), m_image);
        }
        if (mode == QIcon::Disabled) {
            // Grey and lightened, keeping the shape.
            for (int y = 0; y < img.height(); ++y) {
                QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
                for (int x = 0; x < img.width(); ++x) {
                    const int a = qAlpha(line[x]);
                    const int grey = qGray(line[x]) * 255 / std::max(a, 1);
                    const int alpha = a * 3 / 4;
                    const int v = (128 + std::min(255, grey) / 2) * alpha / 255;
                    line[x] = qRgba(v, v, v, alpha);
                }
            }
        }
        return img;
    }

    Image m_image;
};
} // namespace

QIcon CButtonImages::Icon(Image image) {
    return QIcon(new ImageIconEngine(image));
}

void CButtonImages::Paint(QPainter& painter, const QRectF& rect, Image image) {
    const bool bIcon = image == Image::MainIcon || image == Image::DocumentIcon;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.translate(rect.topLeft());
    if (bIcon) {
        painter.scale(rect.width() / kIconSize, rect.height() / kIconSize);
        PaintIcon(painter, image);
    } else {
        painter.scale(rect.width() / kButtonWidth, rect.height() / kButtonHeight);
        PaintButton(painter, image);
    }
    painter.restore();
}
