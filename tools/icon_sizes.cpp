// Draws the program's icon in the sizes a desktop theme asks for, into
// OUTDIR/NxN/apps/popchan.png: `icon_sizes OUTDIR`. Run by the build for the
// package and `make install`.
#include "pictures/pictures.h"

#include <QDir>
#include <QGuiApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: icon_sizes OUTDIR\n");
        return 2;
    }
    bool ok = true;
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        const QString dir = QString("%1/%2x%2/apps").arg(argv[1]).arg(size);
        const QString path = dir + "/popchan.png";
        ok = QDir().mkpath(dir) && pictures::icon(size).save(path) && ok;
        if (!ok) std::fprintf(stderr, "icon_sizes: cannot write %s\n", qPrintable(path));
    }
    return ok ? 0 : 1;
}
