// Reaches and their jackpots per reach kind, in the normal and the
// probability-up state, and the 28-line list that shows them.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "common/numbers.h"

namespace popchan {

struct ReachList {
    std::array<std::string, 28> lines;
    int selected = -1; // -1: nothing selected
    int scroll_to = 0; // the line last selected, which the list keeps in view
    // Counts redraws: the list's text and selection change only with one.
    std::uint64_t redraws = 0;
};

class ReachStats {
  public:
    static constexpr int kRows = 32;
    static constexpr int kProbUpBase = 20;

    // Rno 99 clears everything; 1..11 counts the spin just played.
    // `digi_mode` decides whether the list is redrawn.
    void Reach_Rireki(Int16 Rno, Int16 reach_kind, Int16 atari_flag, Int16 kakuhen_flag,
                      Int16 digi_mode);

    double count(int row, int column) const { return reach_stats_.at(row).at(column); }
    const ReachList& list() const { return list_; }
    // Whether anybody sees the list. Unseen, the counts go on but the list is
    // not redrawn; seen again, it shows the counts with nothing selected.
    void set_shown(bool shown);

  private:
    void redraw(int selection);
    std::array<std::array<double, 2>, kRows> reach_stats_{};
    ReachList list_;
    bool shown_ = true;
};

// Labels of kinds 1..11 in the list.
inline constexpr std::array<const char*, 11> kReachLabels = {"普通…", "箱  …", "箱２…", "風  …",
                                                             "風２…", "猫  …", "猫２…", "精２…",
                                                             "精３…", "精４…", "天使…"};

} // namespace popchan
