// What the shell does to paint faster must leave the pixels alone: the style that paints long
// scroll bars, toolbars and split bars in bands, and the faulting in of a window's new picture.
#include "CBackingStoreWarmup.h"
#include "CBandedStyle.h"

#include <QApplication>
#include <QBackingStore>
#include <QImage>
#include <QMainWindow>
#include <QPainter>
#include <QScrollBar>
#include <QStyleFactory>
#include <QStyleOption>
#include <QToolBar>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {
// On an opaque picture and on one that lets half of what is under it through.
QImage Paint(QSize size, QImage::Format format, const std::function<void(QPainter*)>& draw) {
    QImage image(size, format);
    image.fill(format == QImage::Format_RGB32 ? QColor(Qt::magenta) : QColor(255, 0, 255, 128));
    QPainter painter(&image);
    draw(&painter);
    return image;
}

QStyleOptionSlider ScrollBarOption(const QScrollBar& bar) {
    QStyleOptionSlider opt;
    opt.initFrom(&bar);
    opt.subControls = QStyle::SC_All;
    opt.orientation = bar.orientation();
    if (bar.orientation() == Qt::Horizontal)
        opt.state |= QStyle::State_Horizontal;
    opt.minimum = bar.minimum();
    opt.maximum = bar.maximum();
    opt.sliderPosition = opt.sliderValue = bar.value();
    opt.singleStep = bar.singleStep();
    opt.pageStep = bar.pageStep();
    return opt;
}
} // namespace

TEST(BandedStyleTest, PaintsTheSamePixelsAsTheStyleItWraps) {
    ASSERT_NE(dynamic_cast<CBandedStyle*>(QApplication::style()), nullptr);
    // The style it paints in bands.
    const QString key = QStringLiteral("Fusion");
    const std::unique_ptr<QStyle> base(QStyleFactory::create(key));
    ASSERT_NE(base, nullptr);
    CBandedStyle banded(key);
    const auto expectSame = [&](QSize size, const std::function<void(QStyle*, QPainter*)>& draw) {
        for (const QImage::Format format :
             {QImage::Format_RGB32, QImage::Format_ARGB32_Premultiplied}) {
            const QImage expected = Paint(size, format, [&](QPainter* p) { draw(base.get(), p); });
            EXPECT_EQ(Paint(size, format, [&](QPainter* p) { draw(&banded, p); }), expected)
                << format;
        }
    };

    QMainWindow window;
    QToolBar* pToolBar = window.addToolBar(QStringLiteral("Tools"));
    window.resize(1000, 700);
    QScrollBar tall(Qt::Vertical);
    tall.setGeometry(0, 0, 14, 671);
    tall.setRange(0, 1000);
    tall.setValue(400);
    QScrollBar wide(Qt::Horizontal);
    wide.setGeometry(0, 0, 982, 14);
    wide.setRange(0, 50);
    wide.setValue(50);
    QScrollBar idle(Qt::Vertical);
    idle.setGeometry(0, 0, 14, 600);
    idle.setEnabled(false);
    for (const QScrollBar* pBar : {&tall, &wide, &idle}) {
        const QStyleOptionSlider opt = ScrollBarOption(*pBar);
        expectSame(pBar->size(), [&](QStyle* pStyle, QPainter* p) {
            pStyle->drawComplexControl(QStyle::CC_ScrollBar, &opt, p, pBar);
        });
    }
    QStyleOptionToolBar toolBar;
    toolBar.initFrom(pToolBar);
    toolBar.rect = QRect(0, 0, 1000, 29);
    toolBar.state |= QStyle::State_Horizontal;
    toolBar.toolBarArea = Qt::TopToolBarArea;
    expectSame(toolBar.rect.size(), [&](QStyle* pStyle, QPainter* p) {
        pStyle->drawControl(QStyle::CE_ToolBar, &toolBar, p, pToolBar);
    });
    QStyleOption splitBar;
    splitBar.initFrom(&window);
    splitBar.rect = QRect(0, 0, 6, 671);
    splitBar.state |= QStyle::State_Horizontal;
    expectSame(splitBar.rect.size(), [&](QStyle* pStyle, QPainter* p) {
        pStyle->drawControl(QStyle::CE_Splitter, &splitBar, p, &window);
    });
}

TEST(BackingStoreWarmupTest, LeavesTheWindowsPictureAsItWas) {
    CBackingStoreWarmup warmup;
    QWidget window;
    warmup.Prepare(&window); // not shown yet: no picture
    window.resize(900, 700);
    window.show();
    QApplication::processEvents();
    const auto* pImage = static_cast<const QImage*>(window.backingStore()->paintDevice());
    ASSERT_EQ(window.backingStore()->paintDevice()->devType(), QInternal::Image);
    ASSERT_GE(pImage->sizeInBytes(), 1 << 20);
    const QImage before = pImage->copy();
    warmup.Prepare(&window);
    warmup.Prepare(&window);
    EXPECT_EQ(*pImage, before);
}
