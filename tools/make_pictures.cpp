// Draws the program's pictures into assets/pictures and their contact sheet into
// docs/pictures.png. Run it after changing a picture: `make pictures`. The PNG files
// it writes are committed.
#include "pictures/pictures.h"
#include "pictures/reads.h"

#include <QDir>
#include <QGuiApplication>
#include <cstdio>
#include <utility>

namespace {

bool save(const QImage& image, const QString& path) {
    const bool ok = image.convertToFormat(QImage::Format_ARGB32).save(path);
    std::printf("%s %s (%d x %d)\n", ok ? "wrote" : "FAILED", qPrintable(path), image.width(),
                image.height());
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QString dir = argc > 1 ? argv[1] : "assets/pictures";
    const QString sheet = argc > 2 ? argv[2] : "docs/pictures.png";
    QDir().mkpath(dir);
    pictures::Pictures all;
    for (auto group : {pictures::symbol_pictures, pictures::reach_sheets,
                       pictures::overlay_pictures, pictures::plain_pictures}) {
        for (auto& picture : group())
            all.push_back(std::move(picture));
    }
    const QStringList faults = pictures::convention_faults(all);
    for (const QString& fault : faults)
        std::printf("mask convention broken: %s\n", qPrintable(fault));
    bool ok = faults.isEmpty();
    for (const auto& picture : all)
        ok = save(picture.image, dir + "/" + picture.name + ".png") && ok;
    ok = save(pictures::contact_sheet(all), sheet) && ok;
    return ok ? 0 : 1;
}
