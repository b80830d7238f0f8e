#include "spin_frames.h"

#include <QPainter>

#include "app/pictures.h"
#include "common/clock.h"
#include "display/spin_sequence.h"
#include "presentations/presentations.h"

namespace popchan {

std::vector<DecidedSpin> sample_spins() {
    return {
        {"loss", 0, 0, 0, 0, 0, 1, 0, 0},
        {"reach loss, slide, notice 2", 0, 0, 0, 1, 1, 0, 2, 0},
        {"jackpot 8 promoted to 7, notice 3", 1, 8, 7, 1, 0, 1, 3, 0},
        {"jackpot 2, probability-up state", 1, 2, 0, 1, 0, 0, 1, 1},
    };
}

std::vector<DecidedSpin> reach_spins() {
    return {
        {"箱 (kind 2) jackpot 4", 1, 4, 0, 2, 0, 0, 0, 0},
        {"箱２ (kind 3) miss", 0, 0, 0, 3, 0, 0, 0, 0},
        {"風 (kind 4) miss", 0, 0, 0, 4, 0, 0, 0, 0},
        {"風２ (kind 5) jackpot 9", 1, 9, 0, 5, 0, 0, 0, 0},
        {"猫 (kind 6) miss", 0, 0, 0, 6, 0, 0, 0, 0},
        {"猫２ (kind 7) jackpot 12", 1, 12, 0, 7, 0, 0, 0, 0},
        {"精３ (kind 9) miss", 0, 0, 0, 9, 0, 0, 0, 0},
        {"精４ (kind 10) jackpot 3", 1, 3, 0, 10, 0, 0, 0, 0},
        {"天使 (kind 11) jackpot 7", 1, 7, 0, 11, 0, 0, 0, 0},
    };
}

std::vector<DecidedSpin> every_reach_outcome() {
    std::vector<DecidedSpin> spins = reach_spins();
    const std::vector<DecidedSpin> others = {
        {"箱 (kind 2) miss", 0, 0, 0, 2, 0, 0, 0, 0},
        {"箱２ (kind 3) jackpot 1", 1, 1, 0, 3, 0, 0, 0, 0},
        {"風 (kind 4) jackpot 5", 1, 5, 0, 4, 0, 0, 0, 0},
        {"風２ (kind 5) miss", 0, 0, 0, 5, 0, 0, 0, 0},
        {"猫 (kind 6) jackpot 0", 1, 0, 0, 6, 0, 0, 0, 0},
        {"猫２ (kind 7) miss", 0, 0, 0, 7, 0, 0, 0, 0},
        {"精２ (kind 8) jackpot 11", 1, 11, 0, 8, 0, 0, 0, 0},
        {"精２ (kind 8) miss", 0, 0, 0, 8, 0, 0, 0, 0},
        {"精３ (kind 9) jackpot 6", 1, 6, 0, 9, 0, 0, 0, 0},
        {"精４ (kind 10) miss", 0, 0, 0, 10, 0, 0, 0, 0},
    };
    spins.insert(spins.end(), others.begin(), others.end());
    return spins;
}

std::vector<QImage> presentation_frames(const PlayedSpin& spin, int count) {
    return pick_frames(
        std::vector<QImage>(spin.frames.begin() + long(spin.presentation_start), spin.frames.end()),
        count);
}

PlayedSpin play(const DecidedSpin& d, std::uint64_t seed) {
    MachineRandom rng(seed, false);
    Digi digi(rng);
    Surface startup(kDigiW, kDigiH);
    load_pictures(digi.pictures, startup);
    SpinState s;
    s.atari_flag = d.atari_flag;
    s.atari_egara = d.atari_egara;
    s.shoukaku_egara = d.shoukaku_egara;
    s.reach_kind = d.reach_kind;
    s.suberi_flag = d.suberi_flag;
    s.yokoku_chara = d.yokoku_chara;
    s.yokoku_level = d.yokoku_level;
    s.kakuhen_flag = d.kakuhen_flag;
    s.egara_top = {24, 24, 24};
    s.spin_phase = 1;
    Clock clock([](int) {});
    Bgm bgm(clock, nullptr);
    DisplayContext c{s, digi, rng, bgm, present_reach};
    PlayedSpin played;
    while (s.spin_phase == 1 && played.frames.size() < 5000) {
        Timer2_Timer(c);
        if (s.spin_phase == 1 && s.spin_tick < s.mark_present)
            played.presentation_start = played.frames.size() + 1;
        played.frames.push_back(QImage(reinterpret_cast<const uchar*>(digi.PictureWaku.data()),
                                       kDigiW, kDigiH, kDigiW * 4, QImage::Format_ARGB32)
                                    .copy());
    }
    return played;
}

std::vector<QImage> pick_frames(const std::vector<QImage>& frames, int count) {
    std::vector<QImage> picked;
    if (frames.empty()) return picked;
    for (int i = 0; i < count; ++i)
        picked.push_back(frames[std::size_t(i) * (frames.size() - 1) / (count - 1)]);
    return picked;
}

QImage contact_sheet(const std::vector<std::pair<std::string, std::vector<QImage>>>& rows,
                     int scale) {
    const int label_h = 18, gap = 6, w = kDigiW * scale, h = kDigiH * scale;
    std::size_t columns = 0;
    for (const auto& row : rows)
        columns = std::max(columns, row.second.size());
    QImage sheet(gap + int(columns) * (w + gap), int(rows.size()) * (label_h + h + gap) + gap,
                 QImage::Format_RGB32);
    sheet.fill(QColor(64, 64, 72));
    QPainter p(&sheet);
    p.setPen(Qt::white);
    p.setFont(QFont("IPAGothic", 10));
    int y = gap;
    for (const auto& [label, frames] : rows) {
        p.drawText(gap, y + label_h - 5, QString::fromStdString(label));
        for (std::size_t i = 0; i < frames.size(); ++i)
            p.drawImage(QRect(gap + int(i) * (w + gap), y + label_h, w, h), frames[i]);
        y += label_h + h + gap;
    }
    return sheet;
}

} // namespace popchan
