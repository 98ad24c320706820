// Build tool: writes the program's icon and the document icon as PNG files in the hicolor
// theme's folders (16x16, 32x32, 48x48), from the same drawings the program paints.
// Usage: vorlan-render-icons OUTPUT_FOLDER
#include "CButtonImages.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: vorlan-render-icons OUTPUT_FOLDER\n");
        return 2;
    }
    // No display is needed to paint images.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const struct {
        CButtonImages::Image image;
        const char* path;
    } icons[] = {
        {CButtonImages::Image::MainIcon, "apps/vorlan.png"},
        {CButtonImages::Image::DocumentIcon, "mimetypes/application-x-vorlan-document.png"},
    };
    for (int size : {16, 32, 48}) {
        for (const auto& icon : icons) {
            QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            {
                QPainter painter(&image);
                CButtonImages::Paint(painter, QRectF(0, 0, size, size), icon.image);
            }
            const QString path =
                out.filePath(QStringLiteral("%1x%1/").arg(size) + QString::fromLatin1(icon.path));
            if (!QDir().mkpath(QFileInfo(path).absolutePath()) || !image.save(path, "PNG")) {
                std::fprintf(stderr, "vorlan-render-icons: cannot write %s\n", qPrintable(path));
                return 1;
            }
        }
    }
    return 0;
}
