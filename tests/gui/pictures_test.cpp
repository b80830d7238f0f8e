// The pictures the program embeds: their sizes and the mask convention
// (mask white where transparent and black where opaque; sprite white where
// transparent), which the two-pass masked drawing relies on.
#include <QImage>
#include <gtest/gtest.h>

#include "app/pictures.h"
#include "display/digi.h"

using namespace popchan;

namespace {

QImage picture(const QString& name) {
    return QImage(":/pictures/" + name + ".png").convertToFormat(QImage::Format_RGB32);
}

constexpr QRgb kWhite = 0xFFFFFFFF, kBlack = 0xFF000000;

// Checks the mask at (mx, my) against the sprite at (sx, sy), w × h pixels.
void expect_masked(const QImage& mask, int mx, int my, const QImage& sprite, int sx, int sy, int w,
                   int h, const std::string& what) {
    int not_two_colour = 0, sprite_not_white = 0, opaque = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const QRgb m = mask.pixel(mx + x, my + y);
            if (m != kWhite && m != kBlack) ++not_two_colour;
            if (m == kWhite && sprite.pixel(sx + x, sy + y) != kWhite) ++sprite_not_white;
            if (m == kBlack) ++opaque;
        }
    EXPECT_EQ(not_two_colour, 0) << what << ": mask pixels neither black nor white";
    EXPECT_EQ(sprite_not_white, 0) << what << ": sprite not white where the mask is";
    EXPECT_GT(opaque, 0) << what << ": nothing opaque";
}

} // namespace

TEST(Pictures, AllLoadWithTheirSizes) {
    Pictures p;
    Surface startup(kDigiW, kDigiH);
    EXPECT_TRUE(load_pictures(p, startup).empty());
    for (const char* plain : {"dorubako", "fuda0", "fuda1"})
        EXPECT_EQ(picture(plain).size(), QSize(32, 32)) << plain;
}

TEST(Pictures, SymbolStripFollowsTheMaskConvention) {
    const QImage strip = picture("digipat0"), mask = picture("digipat1");
    expect_masked(mask, 0, 0, strip, 0, 0, 37, 864, "digipat");
    // Cells 14..17 repeat cells 0..3, so the strip wraps seamlessly.
    EXPECT_EQ(strip.copy(0, 0, 37, 192), strip.copy(0, 672, 37, 192));
    // The seven symbols outside the probability-up set share one mask shape.
    const QImage shared = mask.copy(0, 48 * 13, 37, 48); // symbol 0
    for (int e : {1, 2, 4, 6, 8, 9})
        EXPECT_EQ(mask.copy(0, 48 * (13 - e), 37, 48), shared) << "symbol " << e;
    for (int e : {3, 5, 7, 10, 11, 12, 13})
        EXPECT_NE(mask.copy(0, 48 * (13 - e), 37, 48), shared) << "symbol " << e;
}

TEST(Pictures, SpriteSheetsOverlaysAndFanfare) {
    for (int n : {0, 1, 2, 3, 4, 5, 7, 9}) {
        const QImage sheet = picture(QString("pat%1").arg(n));
        for (int cell = 0; cell < sheet.width() / 64; ++cell)
            expect_masked(sheet, 64 * cell, 72, sheet, 64 * cell, 0, 64, 72,
                          "pat" + std::to_string(n) + " cell " + std::to_string(cell));
    }
    const QImage overlay = picture("pat6");
    expect_masked(overlay, 115, 0, overlay, 0, 0, 115, 192, "pat6");
    EXPECT_EQ(overlay.copy(0, 0, 240, 96), overlay.copy(0, 96, 240, 96)); // scrolls round
    const QImage band = picture("pat8");
    expect_masked(band, 0, 30, band, 0, 0, 115, 30, "pat8");
    const QImage common = picture("patbox5");
    for (int f = 0; f < 5; ++f)
        expect_masked(common, 0, 0, picture(QString("patbox%1").arg(f)), 0, 0, 115, 96,
                      "patbox" + std::to_string(f));
}
