#include "CBandedStyle.h"

#include <QPaintEngine>
#include <QPainter>
#include <QStyleOption>

#include <algorithm>

namespace {
// Under the 96 rows from which the raster engine splits a fill between threads.
constexpr int kBand = 64;
// Far beyond any window: a band's open ends and its extent across.
constexpr int kFar = 1 << 20;
} // namespace

CBandedStyle::CBandedStyle(const QString& key)
    : QProxyStyle(key),
      m_bBands(baseStyle()->name().compare(QLatin1String("fusion"), Qt::CaseInsensitive) == 0) {}

void CBandedStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* pOption,
                                      QPainter* pPainter, const QWidget* pWidget) const {
    const auto draw = [&](QPainter* p) {
        QProxyStyle::drawComplexControl(control, pOption, p, pWidget);
    };
    if (m_bBands && control == CC_ScrollBar)
        InRowImages(pOption->rect, pPainter, draw);
    else
        draw(pPainter);
}

void CBandedStyle::drawControl(ControlElement element, const QStyleOption* pOption,
                               QPainter* pPainter, const QWidget* pWidget) const {
    const auto draw = [&] { QProxyStyle::drawControl(element, pOption, pPainter, pWidget); };
    if (m_bBands && (element == CE_ToolBar || element == CE_Splitter))
        InBands(pOption->rect, pPainter, draw);
    else
        draw();
}

void CBandedStyle::InRowImages(const QRect& rc, QPainter* pPainter,
                               const std::function<void(QPainter*)>& draw) {
    const QPaintEngine* pEngine = pPainter->paintEngine();
    const QPaintDevice* pDevice = pEngine ? pEngine->paintDevice() : nullptr;
    const QTransform toDevice = pPainter->deviceTransform();
    if (!pDevice || pDevice->devType() != QInternal::Image ||
        toDevice.type() > QTransform::TxTranslate || pPainter->opacity() < 1 ||
        pPainter->compositionMode() != QPainter::CompositionMode_SourceOver ||
        rc.height() <= kBand) {
        draw(pPainter);
        return;
    }
    const auto* pTarget = static_cast<const QImage*>(pDevice);
    for (int y = rc.top(); y <= rc.bottom(); y += kBand) {
        const QRect row(rc.left(), y, rc.width(), std::min(kBand, rc.bottom() + 1 - y));
        const QRect band = toDevice.mapRect(row) & pTarget->rect();
        if (band.isEmpty())
            continue;
        // What lies beneath, so that the style paints over the same pixels as on the window.
        QImage image = pTarget->copy(band);
        image.setDevicePixelRatio(1);
        {
            QPainter bandPainter(&image);
            bandPainter.setRenderHints(pPainter->renderHints());
            bandPainter.setFont(pPainter->font());
            bandPainter.setPen(pPainter->pen());
            bandPainter.setBrush(pPainter->brush());
            bandPainter.setLayoutDirection(pPainter->layoutDirection());
            bandPainter.setTransform(toDevice *
                                     QTransform::fromTranslate(-band.left(), -band.top()));
            draw(&bandPainter);
        }
        // The band holds the pixels beneath as well: it replaces them, even where they are not
        // opaque.
        pPainter->save();
        pPainter->setCompositionMode(QPainter::CompositionMode_Source);
        pPainter->drawImage(toDevice.inverted().map(band.topLeft()), image);
        pPainter->restore();
    }
}

void CBandedStyle::InBands(const QRect& rc, QPainter* pPainter, const std::function<void()>& draw) {
    const bool bTall = rc.height() > rc.width();
    const int nStart = bTall ? rc.top() : rc.left();
    const int nEnd = bTall ? rc.bottom() + 1 : rc.right() + 1;
    if (nEnd - nStart <= kBand) {
        draw();
        return;
    }
    for (int nFrom = nStart; nFrom < nEnd; nFrom += kBand) {
        const int nLow = nFrom == nStart ? -kFar : nFrom;
        const int nHigh = nFrom + kBand >= nEnd ? kFar : nFrom + kBand;
        const QRect band = bTall ? QRect(QPoint(-kFar, nLow), QPoint(kFar, nHigh - 1))
                                 : QRect(QPoint(nLow, -kFar), QPoint(nHigh - 1, kFar));
        pPainter->save();
        pPainter->setClipRect(band, Qt::IntersectClip);
        draw();
        pPainter->restore();
    }
}
