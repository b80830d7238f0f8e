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
    auto take = [&](const std::string& name, Surface& target) {
        if (!load(location, name, target)) failed.push_back(name + ".png");
    };
    for (int i = 0; i < 2; ++i)
        take("digipat" + std::to_string(i), pictures.digipat[i]);
    for (int i = 0; i < 10; ++i)
        take("pat" + std::to_string(i), pictures.pat[i]);
    for (int i = 0; i < 6; ++i)
        take("patbox" + std::to_string(i), pictures.patbox[i]);
    take("startup", startup);
    return failed;
}

} // namespace popchan

namespace popchan {

std::string missing_pictures_message(const std::vector<std::string>& names) {
    std::string list;
    for (const auto& name : names)
        list += (list.empty() ? "" : "、") + name;
    return "画像を読み込めませんでした（" + list +
           "）。\nデジタル表示の一部が表示されませんが、シミュレーションはそのまま続けられます。";
}

} // namespace popchan
