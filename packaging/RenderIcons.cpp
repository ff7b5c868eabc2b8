// Renders the program's icon at the hicolor theme's sizes, for installing:
//   veltrim-icons OUTPUT-FOLDER   writes OUTPUT-FOLDER/<n>x<n>/apps/veltrim.png
#include "app/Artwork.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: veltrim-icons OUTPUT-FOLDER\n");
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(root).arg(size);
        if (!QDir().mkpath(folder) ||
            !veltrim::ProgramIcon(size).save(folder + QStringLiteral("/veltrim.png"), "PNG")) {
            std::fprintf(stderr, "veltrim-icons: cannot write the %dx%d icon in %s\n", size, size,
                         qPrintable(folder));
            return 1;
        }
    }
    return 0;
}
