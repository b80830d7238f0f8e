#include "display/digi.h"

namespace popchan {

std::pair<int, int> Pictures::pat_size(int n) {
    switch (n) {
    case 0:
    case 1:
        return {320, 144};
    case 4:
    case 5:
        return {64, 144};
    case 6:
        return {240, 192};
    case 8:
        return {115, 60};
    default:
        return {256, 144}; // 2, 3, 7, 9 hold four frames
    }
}

namespace {
template <std::size_t N, class F> std::array<Surface, N> surfaces(F&& size) {
    return [&]<std::size_t... I>(std::index_sequence<I...>) {
        return std::array<Surface, N>{Surface(size(int(I)).first, size(int(I)).second)...};
    }
    (std::make_index_sequence<N>());
}
} // namespace

Pictures::Pictures()
    : digipat(surfaces<2>([](int) {
          return std::pair{37, 864};
      })),
      pat(surfaces<10>(&Pictures::pat_size)), patbox(surfaces<6>([](int) {
          return std::pair{kDigiW, kDigiH};
      })) {}

std::vector<PictureFile> picture_files(Pictures& pictures, Surface& startup) {
    std::vector<PictureFile> files;
    for (int i = 0; i < 2; ++i)
        files.push_back({"digipat" + std::to_string(i), &pictures.digipat[i]});
    for (int i = 0; i < 10; ++i)
        files.push_back({"pat" + std::to_string(i), &pictures.pat[i]});
    for (int i = 0; i < 6; ++i)
        files.push_back({"patbox" + std::to_string(i), &pictures.patbox[i]});
    files.push_back({"startup", &startup});
    return files;
}

std::string missing_pictures_message(const std::vector<std::string>& names) {
    std::string list;
    for (const auto& name : names)
        list += (list.empty() ? "" : "、") + name;
    return "画像を読み込めませんでした（" + list +
           "）。\nデジタル表示の一部が表示されませんが、シミュレーションはそのまま続けられます。";
}

void Digi::set_drawing(bool on) {
    if (on && !drawing_) scr_bkg.fill(from_bgr(back_color_));
    drawing_ = on;
}

void Digi::set_back_color(std::uint32_t bgr) {
    back_color_ = bgr;
    if (drawing_) scr_bkg.fill(from_bgr(bgr));
}

void Digi::draw_masked(const Surface& mask, int mx, int my, const Surface& sprite, int sx, int sy,
                       int dx, int dy, int dw, int dh, int sw, int sh) {
    if (!drawing_) return;
    scr_work.stretchblt(dx, dy, dw, dh, mask, mx, my, sw, sh, Rop::SrcErase);
    scr_work.stretchblt(dx, dy, dw, dh, sprite, sx, sy, sw, sh, Rop::SrcInvert);
}

void Digi::Egara_Move(std::array<Int16, 3>& egara_top, Int16 DigiNo, Int16 EgaraTop, Int16 MoveSu) {
    Int16& reel = element(egara_top, DigiNo);
    Int16 top = Int16(EgaraTop - MoveSu);
    if (top < 1) top = kStripLength; // set to 672, not wrapped by adding it
    reel = top;
    const int x = 37 * DigiNo;
    draw_masked(pictures.digipat[1], 0, top, pictures.digipat[0], 0, top, x, 0, 37, 144, 37, 144);
}

std::optional<Int16> Digi::Egara_Top(std::string_view EgaraType, Int16 EgaraNo) {
    const int e = EgaraNo;
    if (EgaraType == "stop") return Int16(e >= 13 ? 48 * e + 24 : (12 - e) * 48 + 24);
    if (EgaraType == "slow") return Int16(e < 1 ? 24 : (14 - e) * 48 + 24);
    if (EgaraType == "suberi") {
        const int b = rnd_below(rng_, 3) + 7;
        return Int16(e > b ? (12 - e + b) * 48 + 24 : (b - e) * 48 + 24);
    }
    return std::nullopt;
}

void Digi::draw_pat(Int16 patNO, Int16 patX, Int16 patW, Int16 nx, Int16 ny) {
    const Surface& sheet = element(pictures.pat, patNO);
    draw_masked(sheet, 64 * patX, 72, sheet, 64 * patX, 0, nx, ny, Int16(64 * patW), 72, 64, 72);
}

} // namespace popchan
