#include "app/pictures.h"

#include <QImage>

#include "display/digi.h"

namespace popchan {

namespace {

// Copies the resource picture `name` into `target`, which it must fit exactly.
bool load(const std::string& location, const std::string& name, Surface& target) {
    QImage image(QString::fromStdString(location + "/" + name + ".png"));
    if (image.isNull() || image.width() != target.width() || image.height() != target.height())
        return false;
    image = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const Pixel*>(image.constScanLine(y));
        std::copy(row, row + image.width(), target.data() + std::size_t(y) * target.width());
    }
    target.touch();
    return true;
}

} // namespace

std::vector<std::string> load_pictures(Pictures& pictures, Surface& startup,
                                       const std::string& location) {
    std::vector<std::string> failed;
    for (const PictureFile& file : picture_files(pictures, startup))
        if (!load(location, file.name, *file.target)) failed.push_back(file.name + ".png");
    return failed;
}

} // namespace popchan
