// Golden frames: what the display shows at chosen ticks of a few seeded
// spins, compared pixel for pixel with the images in tests/golden. After a
// deliberate change of the pictures or the sequence, regenerate them with
//   POPCHAN_REBASELINE=1 tests/gui_tests --gtest_filter='GoldenFrames.*'
#include <QDir>
#include <gtest/gtest.h>

#include <set>

#include "spin_frames.h"

using namespace popchan;

namespace {

QImage strip_of(const std::vector<QImage>& frames) {
    QImage strip(115 * int(frames.size()), 96, QImage::Format_RGB32);
    for (std::size_t i = 0; i < frames.size(); ++i)
        for (int y = 0; y < 96; ++y)
            for (int x = 0; x < 115; ++x)
                strip.setPixel(115 * int(i) + x, y, frames[i].pixel(x, y));
    return strip;
}

void check_golden(const std::string& name, const QImage& actual) {
    const QString path = QString(POPCHAN_GOLDEN_DIR "/%1.png").arg(QString::fromStdString(name));
    if (qEnvironmentVariableIsSet("POPCHAN_REBASELINE")) {
        QDir().mkpath(POPCHAN_GOLDEN_DIR);
        ASSERT_TRUE(actual.save(path));
        return;
    }
    const QImage expected = QImage(path).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(expected.isNull()) << "no golden image " << path.toStdString();
    EXPECT_TRUE(expected == actual.convertToFormat(QImage::Format_RGB32))
        << name << " differs from " << path.toStdString();
}

} // namespace

TEST(GoldenFrames, SampleSpins) {
    int n = 0;
    for (const DecidedSpin& spin : sample_spins())
        check_golden("spin" + std::to_string(n++), strip_of(golden_images(spin, false, 8)));
}

TEST(GoldenFrames, ReachPresentations) {
    // Every presented kind, 2 to 11, with both outcomes; kind 11 only wins.
    std::set<std::pair<int, int>> outcomes;
    int n = 0;
    for (const DecidedSpin& spin : every_reach_outcome()) {
        outcomes.insert({spin.reach_kind, spin.atari_flag});
        check_golden("reach" + std::to_string(n++), strip_of(golden_images(spin, true, 8)));
    }
    std::set<std::pair<int, int>> expected;
    for (int kind = 2; kind <= 11; ++kind)
        for (int jackpot : {0, 1})
            if (kind != 11 || jackpot == 1) expected.insert({kind, jackpot});
    EXPECT_EQ(outcomes, expected);
}
