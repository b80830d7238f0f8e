#include "stats/reach_stats.h"

#include "machine/spin_state.h"

namespace popchan {

void ReachStats::Reach_Rireki(Int16 Rno, Int16 reach_kind, Int16 atari_flag, Int16 kakuhen_flag,
                              Int16 digi_mode) {
    if (Rno == 99) {
        for (auto& row : reach_stats_)
            row = {0, 0};
    } else {
        const int base = kakuhen_flag != 0 ? kProbUpBase : 0;
        auto& row = reach_stats_.at(base + reach_kind);
        if (atari_flag == 1) row[0] += 1;
        row[1] += 1;
        // The first row sums kinds 1 to 11: whole numbers, so kept exact by adding.
        if (reach_kind >= 1 && reach_kind <= 11) {
            auto& total = reach_stats_[base];
            if (atari_flag == 1) total[0] += 1;
            total[1] += 1;
        }
    }
    const bool redraw_list = Rno == 99 || digi_mode == kDigiShowAll ||
                             digi_mode == kDigiReachesOnly ||
                             (digi_mode == kDigiJackpotsOnly && atari_flag == 1);
    if (!redraw_list || !shown_) return;
    redraw(Rno == 99 ? 0 : reach_kind + (kakuhen_flag == 1 ? 14 : 0));
}

void ReachStats::set_shown(bool shown) {
    if (shown && !shown_) redraw(0);
    shown_ = shown;
}

void ReachStats::redraw(int selection) {
    auto pair = [this](int row) {
        return str(reach_stats_[row][0]) + "/" + str(reach_stats_[row][1]);
    };
    int n = 0;
    for (int base : {0, kProbUpBase}) {
        list_.lines[n++] = base == 0 ? "（通常時）" : "（確変時）";
        for (int k = 1; k <= 11; ++k)
            list_.lines[n++] = kReachLabels[k - 1] + pair(base + k);
        list_.lines[n++] = "--------------";
        list_.lines[n++] = "計…" + pair(base);
    }
    // Selecting a line scrolls it into view; selection 0 is then removed.
    list_.scroll_to = selection;
    list_.selected = selection == 0 ? -1 : selection;
    ++list_.redraws;
}

} // namespace popchan
