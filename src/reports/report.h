// What the batch tool writes: the summary as a table or JSON, the CSV rows
// and the SVG plot.
#pragma once

#include <string>

#include "analysis/run.h"
#include "premises/validation.h"

namespace popchan::batch {

// The analyses the tool runs and reports.
using namespace popchan::analysis;

std::string summary_table(const Header& h, Totals& t);
// "前提: 大当り確率 310, …" and a new line.
std::string premises_line(const PremiseTexts& premises);
// The exact figures alone, from the premises, without a run.
std::string exact_table(const PremiseTexts& premises);
std::string summary_json(const Header& h, Totals& t);
// The exact figures alone as JSON numbers, with the premises.
std::string exact_json(const PremiseTexts& premises);

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

// The quantile q (0..1) of the day balances of one day or more, by the
// nearest rank.
double quantile(const Totals& t, double q);

// A share of the days in per cent with its 95 % interval: "68.4 % [67.9, 69.0]".
std::string days_share(double share, const Interval& interval);

// A number as the CSV and JSON carry it: whole numbers without a fraction.
std::string num(double x);
// A number with a fixed count of decimals.
std::string fixed(double x, int decimals);
// A number with enough digits to read back the same double.
std::string exact_number(double x);

} // namespace popchan::batch
