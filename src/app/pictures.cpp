#include "app/pictures.h"

#include <QImage>

#include "display/digi.h"

namespace popchan {

namespace {

// Copies the resource picture `name` into `target`, which it must fit exactly.
bool load(const std::string& name, Surface& target) {
    QImage image(QString(":/pictures/%1.png").arg(QString::fromStdString(name)));
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

std::vector<std::string> load_pictures(Pictures& pictures, Surface& startup) {
    std::vector<std::string> failed;
    auto take = [&](const std::string& name, Surface& target) {
        if (!load(name, target)) failed.push_back(name + ".png");
    };
    for (int i = 0; i < 2; ++i) take("digipat" + std::to_string(i), pictures.digipat[i]);
    for (int i = 0; i < 10; ++i) take("pat" + std::to_string(i), pictures.pat[i]);
    for (int i = 0; i < 6; ++i) take("patbox" + std::to_string(i), pictures.patbox[i]);
    take("startup", startup);
    return failed;
}

} // namespace popchan
