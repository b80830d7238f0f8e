// What a sweep and the border write: a table, JSON, CSV rows and an SVG plot.
#pragma once

#include <string>
#include <vector>

#include "analysis/sweep.h"
#include "reports/report.h"

namespace popchan::batch {

// The analyses the tool runs and reports.
using namespace popchan::analysis;

std::string sweep_table(const Header& h, const Sweep& s, const std::vector<SweepRow>& rows);
std::string sweep_json(const Header& h, const Sweep& s, const std::vector<SweepRow>& rows);
std::string sweep_csv(const std::vector<SweepRow>& rows);
// The mean balance by value with its 95 % band.
std::string sweep_svg(const Sweep& s, const std::vector<SweepRow>& rows);

// The border by simulation beside the exact cash and held-ball borders.
std::string border_table(const Header& h, std::int64_t days, const Border& b);
std::string border_json(const Header& h, std::int64_t days, const Border& b);

} // namespace popchan::batch
