#include "parlour/decided_spins.h"

#include "common/bgm.h"
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

SpinLength play(const DecidedSpin& d, const Pictures& pictures, std::uint64_t seed,
                const std::function<void(const Surface&)>& frame) {
    MachineRandom rng(seed, false);
    Digi digi(rng);
    digi.pictures = pictures;
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
    SpinLength length;
    // A spin that never ended would be a fault of the sequence; 5,000 frames
    // are far more than the longest presentation.
    while (s.spin_phase == 1 && length.frames < 5000) {
        Timer2_Timer(c);
        if (s.spin_phase == 1 && s.spin_tick < s.mark_present)
            length.presentation_start = length.frames + 1;
        frame(digi.PictureWaku);
        ++length.frames;
    }
    return length;
}

std::vector<std::size_t> pick_evenly(std::size_t frames, int count) {
    std::vector<std::size_t> picked;
    if (frames == 0) return picked;
    for (int i = 0; i < count; ++i)
        picked.push_back(std::size_t(i) * (frames - 1) / std::size_t(count - 1));
    return picked;
}

std::vector<Surface> golden_frames(const DecidedSpin& spin, bool presentation,
                                   const Pictures& pictures, int count) {
    const SpinLength length = play(spin, pictures, 1, [](const Surface&) {});
    const std::size_t first = presentation ? length.presentation_start : 0;
    std::vector<std::size_t> wanted = pick_evenly(length.frames - first, count);
    for (std::size_t& w : wanted)
        w += first;
    std::vector<Surface> frames;
    std::size_t at = 0;
    play(spin, pictures, 1, [&](const Surface& shown) {
        for (std::size_t w : wanted)
            if (w == at) frames.push_back(shown);
        ++at;
    });
    return frames;
}

} // namespace popchan
