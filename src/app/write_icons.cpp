// Build-time helper: writes the program's icon as PNG files for the desktop's icon theme,
// one per size, as <dir>/<size>x<size>/apps/lankutong.png.

#include <QDir>
#include <QGuiApplication>
#include <cstdio>

#include "app/app_images.h"

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <icon directory>\n", argv[0]);
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(root).arg(size);
        if (!QDir().mkpath(dir) ||
            !ProgramIconImage(size).save(dir + QStringLiteral("/lankutong.png"))) {
            std::fprintf(stderr, "cannot write the %dx%d icon into %s\n", size, size,
                         qPrintable(dir));
            return 1;
        }
    }
    return 0;
}
