// What the batch tool writes: the summary as a table or JSON, the CSV rows
// and the SVG plot.
#pragma once

#include <string>

#include "batch/run.h"
#include "premises/validation.h"

namespace popchan::batch {

struct Header {
    std::uint64_t seed;
    PremiseTexts premises;
};

std::string summary_table(const Header& h, Totals& t);
std::string summary_json(const Header& h, Totals& t);

inline constexpr const char* kPerDayHeader =
    "day,spins,spins_normal,jackpots,first_hits,max_hamari,max_chain,balls,exchanged,spent,"
    "balance,end_seconds,ended_by";
inline constexpr const char* kSpinsHeader =
    "day,spin,kakuhen,atari_flag,atari_egara,shoukaku_egara,reach_kind,suberi_flag,yokoku_chara,"
    "yokoku_level,kakuhen_zan";

std::string per_day_row(const DayResult& d);
std::string spin_row(std::int64_t day, const SpinRow& r);

// Histogram of the day balances and the mean balance by hour, as SVG.
std::string plot_svg(Totals& t, double hours);

// The quantile q (0..1) of the balances, by the nearest rank; sorts them.
double quantile(std::vector<float>& sorted_or_not, double q);

} // namespace popchan::batch
