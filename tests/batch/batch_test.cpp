#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <numeric>
#include <sys/stat.h>
#include <unistd.h>

#include "analysis/sweep.h"
#include "batch/output.h"
#include "parlour/formdigi_model.h"
#include "reports/json.h"
#include "reports/options.h"
#include "reports/report.h"
#include "reports/sweep_report.h"

using namespace popchan;
using namespace popchan::batch;

namespace {

struct Played {
    Totals totals;
    std::vector<DayResult> days;
    std::vector<std::pair<std::int64_t, SpinRow>> spins;
    std::string error;
    std::size_t workers = 0; // the most threads the run had started at a day
};

// The threads of this process now.
std::size_t threads_now() {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& task : std::filesystem::directory_iterator("/proc/self/task"))
        ++n;
    return n;
}

Played play(std::int64_t days, std::uint64_t seed, int threads, const Premises& z = {}) {
    Played p;
    RunConfig config;
    config.premises = z;
    config.days = days;
    config.seed = seed;
    config.threads = threads;
    config.record_spins = true;
    const std::size_t before = threads_now();
    p.error = run(
        config, p.totals,
        [&](const DayResult& d, const std::vector<SpinRow>& rows) {
            p.workers = std::max(p.workers, threads_now() - before);
            p.days.push_back(d);
            for (const SpinRow& r : rows)
                p.spins.emplace_back(d.day, r);
        },
        nullptr);
    return p;
}

} // namespace

TEST(Batch, TheNumberOfThreadsDoesNotChangeTheResults) {
    const Played one = play(150, 7, 1), two = play(150, 7, 2);
    ASSERT_TRUE(one.error.empty());
    EXPECT_EQ(one.workers, 0u) << "one thread plays where the merge takes the days";
    EXPECT_EQ(two.workers, 2u);
    ASSERT_EQ(one.days.size(), 150u);
    ASSERT_EQ(two.days.size(), 150u);
    for (std::size_t i = 0; i < one.days.size(); ++i)
        ASSERT_EQ(per_day_row(one.days[i]), per_day_row(two.days[i])) << i;
    ASSERT_EQ(one.spins.size(), two.spins.size());
    for (std::size_t i = 0; i < one.spins.size(); ++i)
        ASSERT_EQ(spin_row(one.spins[i].first, one.spins[i].second),
                  spin_row(two.spins[i].first, two.spins[i].second));
    Totals a = one.totals, b = two.totals;
    const Header h{7, start_texts()};
    EXPECT_EQ(summary_json(h, a), summary_json(h, b));
    EXPECT_EQ(summary_table(h, a), summary_table(h, b));
}

TEST(Batch, SignatureRun) {
    // Seed 42, 200 days at the start premises. These figures change only when
    // the rules do; a change here must be explained.
    Played p = play(200, 42, 2);
    const Totals& t = p.totals;
    EXPECT_EQ(t.days, 200);
    EXPECT_NEAR(t.mean(), 19481.5, 1e-6);
    EXPECT_EQ(t.jackpots, 2785);
    EXPECT_EQ(t.first_hits, 1405);
    EXPECT_EQ(t.spins, 509840);
    EXPECT_EQ(t.wins, 146);
    EXPECT_EQ(t.giveups, 35);
    EXPECT_EQ(t.reach[11][1], 295);
    EXPECT_EQ(quantile(p.totals, 0.5), 18800);
}

TEST(Batch, TheSummaryFollowsFromTheDays) {
    Played p = play(120, 3, 2);
    Totals& t = p.totals;
    double sum = 0, hours = 0, jackpots = 0, first_hits = 0, max_chain = 0, spins = 0, seconds = 0;
    std::int64_t wins = 0, giveups = 0;
    for (const DayResult& d : p.days) {
        sum += d.balance;
        hours += d.end_seconds / 3600.0;
        jackpots += d.jackpots;
        first_hits += d.first_hits;
        max_chain += d.max_chain;
        spins += d.spins;
        seconds += d.end_seconds;
        wins += d.balance > 0;
        giveups += d.by_giveup && !d.by_hours;
    }
    EXPECT_NEAR(t.mean(), sum / 120, 1e-6);
    EXPECT_NEAR(t.per_hour(), sum / hours, 1e-6);
    EXPECT_EQ(t.jackpots, jackpots);
    EXPECT_EQ(t.first_hits, first_hits);
    EXPECT_EQ(t.max_chain, max_chain);
    EXPECT_EQ(t.spins, spins);
    EXPECT_EQ(t.seconds, seconds);
    EXPECT_EQ(t.wins, wins);
    EXPECT_EQ(t.giveups, giveups);
    std::vector<float> sorted;
    for (const DayResult& d : p.days)
        sorted.push_back(d.balance);
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(quantile(t, 0.5), sorted[59]);
    EXPECT_EQ(quantile(t, 0.05), sorted[5]);
    EXPECT_EQ(quantile(t, 0.95), sorted[113]);
    const double sd =
        std::sqrt(std::accumulate(p.days.begin(), p.days.end(), 0.0,
                                  [&](double a, const DayResult& d) {
                                      return a + (d.balance - t.mean()) * (d.balance - t.mean());
                                  }) /
                  119);
    EXPECT_NEAR(t.sd(), sd, 1e-6);
}

TEST(Batch, DayRowsAndSpinRowsHoldTogether) {
    Premises z;
    z.zentei_limiter = 3;
    Played p = play(60, 11, 2, z);
    std::size_t row = 0;
    int carried = 0;
    for (const DayResult& d : p.days) {
        EXPECT_GE(d.spins, d.spins_normal);
        EXPECT_LE(d.first_hits, d.jackpots);
        EXPECT_LE(d.max_chain, 3);
        EXPECT_EQ(std::fmod(d.spent, 100.0f), 0);
        EXPECT_TRUE(d.by_hours || d.by_giveup);
        EXPECT_EQ(d.by_hours, d.end_seconds > 36000);
        // One row per spin, numbered from 1, with the day's jackpots among them.
        int spins = 0, jackpots = 0;
        bool set_today = false;
        for (; row < p.spins.size() && p.spins[row].first == d.day; ++row) {
            const SpinRow& r = p.spins[row].second;
            EXPECT_EQ(r.spin, ++spins);
            jackpots += r.atari_flag;
            EXPECT_GE(r.kakuhen_zan, 0);
            // Until a jackpot's lottery sets it, the count carries over from the day before.
            if (!set_today && !r.atari_flag) {
                EXPECT_EQ(r.kakuhen_zan, carried);
            }
            if (r.atari_flag) set_today = true;
            carried = r.kakuhen_zan;
        }
        EXPECT_EQ(spins, d.spins);
        EXPECT_EQ(jackpots, d.jackpots);
    }
    EXPECT_EQ(row, p.spins.size());
    EXPECT_EQ(resolve_zan(1, 5), 1);
    EXPECT_EQ(resolve_zan(kZanMarker - 2, 5), 3);
    EXPECT_EQ(resolve_zan(kZanMarker - 9, 5), 0);
}

TEST(BatchOptions, PremisesByNumberTextAndCode) {
    const Parsed p = parse({"--limiter", "無制限", "--form", "3", "--box-limit=2", "--time-service",
                            "9:00-12:00", "--probability", "320", "--days", "5", "--seed", "9",
                            "--threads", "2", "--json", "--plot", "p.svg"});
    EXPECT_TRUE(p.usage_errors.empty());
    EXPECT_TRUE(p.premise_errors.empty());
    const Premises z = convert_and_check(p.options.premises).record;
    EXPECT_EQ(z.zentei_limiter, 999);
    EXPECT_EQ(z.zentei_eigyo, 3);
    EXPECT_EQ(z.zentei_hakokisei, 2);
    EXPECT_EQ(z.zentei_timeservice, 4);
    EXPECT_EQ(z.zentei_kakuritu, 320);
    EXPECT_EQ(p.options.days, 5);
    EXPECT_EQ(*p.options.seed, 9u);
    EXPECT_EQ(p.options.threads, 2);
    EXPECT_TRUE(p.options.json);
    EXPECT_EQ(p.options.plot, "p.svg");
    EXPECT_EQ(
        convert_and_check(parse({"--form", "確変→4･6･8交換"}).options.premises).record.zentei_eigyo,
        7);
}

TEST(BatchOptions, BadValuesAndUsageErrors) {
    const Parsed bad = parse({"--probability", "0", "--exchange", "5", "--form", "9"});
    EXPECT_EQ(bad.premise_errors,
              (std::vector<std::string>{"確率入力エラーです。", "換金率入力エラーです。",
                                        "営業形態は８形態だけです。"}));
    EXPECT_EQ(parse({"--frobnicate"}).usage_errors.size(), 1u);
    EXPECT_EQ(parse({"--days"}).usage_errors.size(), 1u);
    EXPECT_EQ(parse({"--days", "0"}).usage_errors.size(), 1u);
    // A refused value leaves the option as it was (found by fuzzing).
    EXPECT_EQ(parse({"--days", "0"}).options.days, 1000);
    EXPECT_EQ(parse({"--threads", "-3"}).options.threads, 0);
    EXPECT_EQ(parse({"--threads", "5000"}).options.threads, 0);
    EXPECT_EQ(parse({"--threads", "x"}).usage_errors.size(), 1u);
    EXPECT_EQ(parse({"--seed", "-1"}).usage_errors.size(), 1u);
    const std::string help = usage();
    for (const char* option :
         {"--probability", "--payout", "--kakuhen-rate", "--limiter", "--spin-rate", "--hours",
          "--exchange", "--give-up", "--form", "--time-service", "--box-limit", "--days", "--seed",
          "--threads", "--json", "--per-day", "--spins", "--plot"})
        EXPECT_NE(help.find(option), std::string::npos) << option;
    EXPECT_NE(help.find("default 310"), std::string::npos);
}

TEST(BatchReports, TheSummaryShowsBothReachTablesAndEveryQuantile) {
    Played p = play(20, 3, 1);
    ASSERT_TRUE(p.error.empty());
    const Header h{3, start_texts()};
    const std::string table = summary_table(h, p.totals);
    const auto normal = table.find("（通常時）\n"), up = table.find("（確変時）\n");
    ASSERT_NE(normal, std::string::npos) << table;
    ASSERT_NE(up, std::string::npos) << table;
    EXPECT_LT(normal, up);
    for (const char* label : {"  普通…", "  箱２…", "  天使…", "  計…"}) {
        const auto first = table.find(label, normal);
        EXPECT_LT(first, up) << label;
        EXPECT_NE(table.find(label, up), std::string::npos) << label;
    }
    // Each table's total line is the run's own count of jackpots and reaches.
    for (const auto& [start, row] : {std::pair{normal, 0}, std::pair{up, 20}}) {
        const auto count = [&](int i) {
            return std::to_string(std::llround(p.totals.reach[row][i]));
        };
        const std::string total = "  計… " + count(0) + "/ " + count(1);
        EXPECT_NE(table.find(total, start), std::string::npos) << total << "\n" << table;
    }
    // Every quantile is the balance of one of the days, and they rise in order.
    const std::string json = summary_json(h, p.totals);
    double before = -1e300;
    for (const char* key : {"{\"5\": ", ", \"25\": ", ", \"50\": ", ", \"75\": ", ", \"95\": "}) {
        const auto at = json.find(key);
        ASSERT_NE(at, std::string::npos) << key << json;
        const double q = std::strtod(json.c_str() + at + std::strlen(key), nullptr);
        EXPECT_TRUE(std::any_of(p.days.begin(), p.days.end(),
                                [&](const DayResult& d) { return d.balance == q; }))
            << key << q;
        EXPECT_GE(q, before) << key;
        before = q;
    }
    EXPECT_EQ(json_string("a b\t\"\\"), "\"a b\\t\\\"\\\\\"");
}

TEST(BatchReports, ThePlayerLeavesWithTheBalanceForEveryHourAfter) {
    Played p = play(30, 5, 1);
    ASSERT_TRUE(p.error.empty());
    std::array<std::int64_t, kMaxHours + 1> sums{};
    for (const DayResult& d : p.days) {
        EXPECT_EQ(d.hourly[kMaxHours], d.balance) << d.day;
        for (int h = 0; h <= kMaxHours; ++h)
            sums[h] += std::llround(d.hourly[h]);
    }
    EXPECT_EQ(p.totals.hourly, sums);
}

namespace {
std::size_t count_of(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}
// The points of the first `element` of a picture.
std::string points_of(const std::string& svg, const std::string& element) {
    const auto at = svg.find(element);
    if (at == std::string::npos) return {};
    const auto from = svg.find("points=\"", at);
    if (from == std::string::npos) return {};
    const auto to = svg.find('"', from + 8);
    if (to == std::string::npos) return {};
    return svg.substr(from + 8, to - from - 8);
}
} // namespace

TEST(BatchReports, ThePlotHasABarPerBinAndAPointAndALabelPerHour) {
    Played p = play(40, 9, 1);
    ASSERT_TRUE(p.error.empty());
    const std::string svg = plot_svg(p.totals, 10);
    EXPECT_TRUE(svg.ends_with("</svg>\n"));
    // Ten hours of play: the clock from 9:00 to 19:00, eleven points.
    for (int h = 9; h <= 19; ++h) {
        std::string label = ">";
        label.append(std::to_string(h)).append(":00</text>");
        EXPECT_EQ(count_of(svg, label), 1u) << h;
    }
    EXPECT_EQ(count_of(svg, ">20:00</text>"), 0u);
    EXPECT_EQ(count_of(points_of(svg, "<polyline"), ","), 11u);
}

TEST(BatchReports, JsonStringsReadBackTheirEscapes) {
    std::string error;
    const auto j = parse_json("\"a\\u0041\\u00e9\\n\"", error);
    ASSERT_TRUE(j.has_value()) << error;
    EXPECT_EQ(j->text, "aAé\n");
    EXPECT_FALSE(parse_json("\"\\uZZZZ\"", error).has_value());
    EXPECT_FALSE(parse_json("\"\\u00\"", error).has_value());
    // What the summaries write reads back as it was; bytes that are not UTF-8
    // become U+FFFD rather than a file no reader takes.
    for (const auto& [written, read] :
         std::vector<std::pair<std::string, std::string>>{{"2.22", "2.22"},
                                                          {"a\"b\\c", "a\"b\\c"},
                                                          {"\t\x01\n", "\t\x01\n"},
                                                          {"無制限", "無制限"},
                                                          {"x\xff", "x\xef\xbf\xbd"}}) {
        const auto back = parse_json(json_string(written), error);
        ASSERT_TRUE(back.has_value()) << json_string(written) << ": " << error;
        EXPECT_EQ(back->text, read);
    }
    EXPECT_EQ(json_strings(std::vector<std::string>{"1", "\""}), "[\"1\", \"\\\"\"]");
}

TEST(BatchReports, TheSweepPictureHasAPointPerRow) {
    const Sweep sweep{"kaiten", kRowKaiten, {"20", "30", "40"}};
    const std::vector<SweepRow> rows = {{"20", 100, -9000, 800, 0.2, -900, 2},
                                        {"30", 100, -1500, 700, 0.4, -150, 2},
                                        {"40", 100, 4000, 900, 0.6, 400, 2}};
    const std::string svg = sweep_svg(sweep, rows);
    EXPECT_TRUE(svg.ends_with("</svg>\n"));
    EXPECT_EQ(count_of(points_of(svg, "<polyline"), ","), 3u);
    EXPECT_EQ(count_of(points_of(svg, "<polygon"), ","), 6u) << "the band's upper and lower edges";
}

TEST(BatchReports, TheSweepPicturePlacesEachMeanAndLabelsItsAxisOnce) {
    // The plot spans x 70..650 and y 45..350 (305 high); its axis runs from the
    // least of 0 and the intervals' lower ends to the most of 0 and their upper ends.
    struct Case {
        std::vector<SweepRow> rows;
        std::vector<std::string> points; // each mean's place, in the rows' order
        std::string band;                // upper ends in order, then lower ends back
        std::vector<std::string> labels; // the axis's values, each written once
        std::string zero;                // the height of 0
    };
    const Case cases[] = {
        // One value, in the middle; 0 to 4,900: the mean at 45 + 305 × 900 / 4,900.
        {{{"30", 100, 4000, 900, 0.6, 400, 2}},
         {"360.0,101.0"},
         "360.0,45.0 360.0,157.0 ",
         {"4,900", "0"},
         "350.0"},
        // -9,800 to 4,900.
        {{{"20", 100, -9000, 800, 0.2, -900, 2},
          {"30", 100, -1500, 700, 0.4, -150, 2},
          {"40", 100, 4000, 900, 0.6, 400, 2}},
         {"70.0,333.4", "360.0,177.8", "650.0,63.7"},
         "70.0,316.8 360.0,163.3 650.0,45.0 650.0,82.3 360.0,192.3 70.0,350.0 ",
         {"4,900", "0", "-9,800"},
         "146.7"},
        // Values in falling order, 40 at the right; 0 to 1,100.
        {{{"40", 100, 1000, 100, 0.6, 100, 2}, {"20", 100, 500, 100, 0.5, 50, 2}},
         {"650.0,72.7", "70.0,211.4"},
         "650.0,45.0 70.0,183.6 70.0,239.1 650.0,100.5 ",
         {"1,100", "0"},
         "350.0"},
        // Every band below 0: -4,000 to 0, the mean at 45 + 305 × 3,000 / 4,000.
        {{{"30", 100, -3000, 1000, 0.1, -300, 2}},
         {"360.0,273.8"},
         "360.0,197.5 360.0,350.0 ",
         {"0", "-4,000"},
         "45.0"},
    };
    for (const Case& c : cases) {
        const std::string svg = sweep_svg(Sweep{"kaiten", kRowKaiten, {}}, c.rows);
        std::string points;
        for (const std::string& p : c.points) {
            points += p + " ";
            const auto comma = p.find(',');
            EXPECT_EQ(count_of(svg, "<circle cx=\"" + p.substr(0, comma) + "\" cy=\"" +
                                        p.substr(comma + 1) + "\""),
                      1u)
                << p << svg;
        }
        EXPECT_EQ(count_of(svg, "<circle"), c.rows.size()) << svg;
        EXPECT_EQ(points_of(svg, "<polyline"), points);
        EXPECT_EQ(points_of(svg, "<polygon"), c.band);
        for (const std::string& label : c.labels)
            EXPECT_EQ(count_of(svg, "text-anchor=\"end\">" + label + "</text>"), 1u)
                << label << svg;
        EXPECT_EQ(count_of(svg, "text-anchor=\"end\">"), c.labels.size()) << svg;
        EXPECT_EQ(
            count_of(svg, "<line x1=\"70\" y1=\"" + c.zero + "\" x2=\"650\" y2=\"" + c.zero + "\""),
            1u)
            << svg;
    }
}

TEST(BatchReports, TheExactFiguresAsJson) {
    std::string error;
    const auto j = parse_json(exact_json(start_texts()), error);
    ASSERT_TRUE(j.has_value()) << error;
    const Json* premises = j->find("premises");
    ASSERT_NE(premises, nullptr);
    ASSERT_EQ(premises->items.size(), 11u);
    EXPECT_EQ(premises->items[0].text, "  310");
    EXPECT_EQ(premises->items[10].text, "規制なし");
    const auto number = [](const Json& parent, const std::string& key) {
        const Json* m = parent.find(key);
        EXPECT_TRUE(m && m->kind == Json::kNumber) << key;
        return m ? std::strtod(m->text.c_str(), nullptr) : NAN;
    };
    // The start premises: 1/310, payout 2,100, probability-up rate 2, no
    // limiter, 30 spins per 1,000 yen, 2.22 yen a ball. A spin costs Int(250 /
    // 30 + 0.5) = 8 balls or Int(1,000 / 30 + 0.5) = 33 yen; the jackpot spin
    // is free. A chain goes on at one jackpot in two: 2 jackpots, 4,200 balls.
    const std::pair<const char*, double> figures[] = {
        {"jackpot_chance_normal", 1.0 / 310},
        {"jackpot_chance_kakuhen", 1.0 / 62},
        {"kakuhen_symbol_chance", 0.5},
        {"balls_per_spin", 8},
        {"yen_per_spin", 33},
        {"payout_ratio", 4200.0 / (8 * 309)},
        {"yen_per_spin_cash", (4200 * 2.22 - 309 * 33) / 310},
        {"yen_per_spin_held", (4200 - 309 * 8) * 2.22 / 310},
        // Break-even 4,200 × 2.22 / 309 = 30.17 yen a spin: 30 whole yen from
        // 1,000 / 30.5 spins; 13.59 balls: 13 from 250 / 13.5.
        {"border_cash", 1000 / 30.5},
        {"border_cash_unrounded", 1000 * 309 / (4200 * 2.22)},
        {"border_held", 250 / 13.5},
        {"border_held_unrounded", 250.0 * 309 / 4200},
    };
    for (const auto& [key, value] : figures)
        EXPECT_NEAR(number(*j, key), value, std::fabs(value) * 1e-6) << key;
    const double normal = number(*j, "seconds_per_spin_normal"),
                 kakuhen = number(*j, "seconds_per_spin_kakuhen");
    // Without a limiter unending play's chains go on at one jackpot in two. A
    // chain's spins: 310 normal ones and 62 probability-up ones, and two
    // payouts of 300 s: 11.14 s a spin, 1.517 jackpots an hour. A day's are
    // cut by its end: at 10 hours, 1.498 jackpots an hour (from a model of
    // the day written apart), and every first hit still draws its symbol.
    const Json* unending_chain = j->find("unending");
    ASSERT_NE(unending_chain, nullptr);
    const std::pair<const char*, double> chains[] = {
        {"kakuhen_share", 0.5},
        {"chain_mean", 2},
        {"balls_per_chain", 4200},
        {"seconds_per_spin", (310 * normal + 62 * kakuhen) / 372},
        {"jackpots_per_hour", 3600 * 2 / (310 * normal + 62 * kakuhen + 600)},
    };
    for (const auto& [key, value] : chains)
        EXPECT_NEAR(number(*unending_chain, key), value, value * 1e-3) << key;
    EXPECT_NEAR(number(*unending_chain, "seconds_per_spin"), 11.14, 0.005);
    EXPECT_NEAR(number(*unending_chain, "jackpots_per_hour"), 1.517, 0.0005);
    const Json* day_chain = j->find("days");
    ASSERT_NE(day_chain, nullptr);
    EXPECT_NEAR(number(*day_chain, "jackpots_per_hour"), 1.498, 0.0005);
    EXPECT_NEAR(number(*day_chain, "kakuhen_share"), 0.5, 1e-9);
    EXPECT_LT(number(*day_chain, "chain_mean"), 2);
    // Chains of n jackpots or more, n = 2 to 10: one in 2^(n - 1) without
    // end, fewer in a day.
    for (const char* play : {"days", "unending"}) {
        const Json* at_least = j->find(play)->find("chain_at_least");
        ASSERT_NE(at_least, nullptr) << play;
        ASSERT_EQ(at_least->members.size(), 9u) << play;
        for (int n = 2; n <= 10; ++n) {
            const double x = number(*at_least, std::to_string(n)), endless = std::ldexp(1.0, 1 - n);
            if (play == std::string("unending"))
                EXPECT_NEAR(x, endless, 1e-4) << n;
            else
                EXPECT_TRUE(x > 0 && x < endless) << n << " " << x;
        }
    }
    // Limiter 3 without end: a chain of 2 or 3 (half the drawn ones) holds the
    // next first hit to a chain of 1, so 2 first hits in 3 draw: chains of 1
    // (2/3 × 1/2 + 1/3), 2 (2/3 × 1/4) and 3 (2/3 × 1/4), mean 1.5, 3,150 balls.
    // A day starts without a chain before it: a little more goes on.
    PremiseTexts texts = start_texts();
    texts[kRowLimiter] = "3";
    const auto three = parse_json(exact_json(texts), error);
    ASSERT_TRUE(three.has_value()) << error;
    const Json& unending = *three->find("unending");
    EXPECT_NEAR(number(unending, "kakuhen_share"), 1.0 / 3, 1e-12);
    EXPECT_NEAR(number(unending, "chain_mean"), 1.5, 1e-12);
    EXPECT_NEAR(number(unending, "balls_per_chain"), 3150, 1e-9);
    const Json& tail = *unending.find("chain_at_least");
    ASSERT_EQ(tail.members.size(), 2u);
    EXPECT_NEAR(number(tail, "2"), 1.0 / 3, 1e-12);
    EXPECT_NEAR(number(tail, "3"), 1.0 / 6, 1e-12);
    EXPECT_GT(number(*three->find("days"), "kakuhen_share"), 1.0 / 3 + 0.01);
}

TEST(BatchOptions, TheLimiterAndGiveUpShowAsPlayed) {
    // A limiter above 999 plays as 999, a give-up above 9,999,999 as 9,999,999:
    // each the unlimited value, 無制限.
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {{"--limiter", "1500"}, "最高継続回数 無制限, "},
        {{"--limiter", "999"}, "最高継続回数 無制限, "},
        {{"--limiter", "998"}, "最高継続回数 998, "},
        {{"--give-up", "20000000"}, "ギブアップ金額 無制限, "},
        {{"--give-up", "9999999"}, "ギブアップ金額 無制限, "},
        {{"--give-up", "9999998"}, "ギブアップ金額 9999998, "},
        {{"--give-up", "無制限"}, "ギブアップ金額 無制限, "},
    };
    for (const auto& [args, shown] : cases) {
        const Parsed p = parse(args);
        EXPECT_TRUE(p.premise_errors.empty()) << args[1];
        EXPECT_NE(premises_line(p.options.premises).find(shown), std::string::npos)
            << args[1] << premises_line(p.options.premises);
    }
    EXPECT_EQ(parse({"--sweep", "limiter=5,1500"}).options.sweep->values,
              (std::vector<std::string>{"5", "無制限"}));
    EXPECT_EQ(parse({"--sweep", "give-up=30000,12345678"}).options.sweep->values,
              (std::vector<std::string>{"30000", "無制限"}));
}

namespace {
std::string written(std::FILE* f) {
    std::string text(std::size_t(std::ftell(f)), '\0');
    std::rewind(f);
    text.resize(std::fread(text.data(), 1, text.size(), f));
    std::fseek(f, 0, SEEK_END);
    return text;
}
} // namespace

TEST(BatchOutput, TheProgressBarAppearsAfterASecondAndIsWipedAtTheEnd) {
    // Thirty marks for the whole run; the time left is the time so far times
    // the part to do over the part done.
    struct Step {
        double seconds;
        std::int64_t done, total;
        std::string shown; // what this step adds
    };
    const Step steps[] = {
        {0.99, 20, 40, ""},
        {1.0, 10, 40, "\r[#######.......................]  25.0 %  3 s left "},
        {1.5, 0, 40, "\r[..............................]   0.0 %  0 s left "},
        {6.0, 30, 40, "\r[######################........]  75.0 %  2 s left "},
        {9.0, 40, 40, "\r[##############################] 100.0 %  0 s left "},
    };
    std::FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    std::string expected;
    {
        double now = 0;
        ProgressBar bar(f, [&] { return now; });
        for (const Step& s : steps) {
            now = s.seconds;
            bar(s.done, s.total);
            expected += s.shown;
            EXPECT_EQ(written(f), expected) << s.seconds;
        }
    }
    EXPECT_EQ(written(f), expected + "\r" + std::string(60, ' ') + "\r");
    std::fclose(f);

    // Within the first second nothing is shown, and nothing is wiped.
    std::FILE* g = std::tmpfile();
    ASSERT_NE(g, nullptr);
    {
        ProgressBar bar(g, [] { return 0.5; });
        bar(1, 2);
    }
    EXPECT_EQ(written(g), "");
    std::fclose(g);
    ProgressBar none(nullptr, [] { return 5.0; });
    none(1, 2); // no terminal: no bar
}

TEST(Batch, TheReachStatisticsOfARunAreThoseOfItsDays) {
    // One run of 40 days against 40 runs of a day each, both tables: the
    // totals (計, rows 0 and 20) and every kind.
    const Played whole = play(40, 13, 2);
    ReachTable sum{};
    for (std::int64_t day = 1; day <= 40; ++day) {
        RunConfig config;
        config.first_day = day;
        config.days = 1;
        config.seed = 13;
        Totals t;
        ASSERT_EQ(run(
                      config, t, [](const DayResult&, const std::vector<SpinRow>&) {}, nullptr),
                  "");
        for (std::size_t r = 0; r < sum.size(); ++r)
            for (std::size_t c = 0; c < 2; ++c)
                sum[r][c] += t.reach[r][c];
    }
    EXPECT_GT(sum[0][1], 0);
    EXPECT_GT(sum[20][1], 0);
    EXPECT_EQ(whole.totals.reach, sum);
}

namespace {

// Four days by hand: balances of -20,000, 10,000 twice and 40,000 yen, three
// won, one given up, ten hours each; 50 jackpots, 25 first hits, 10 for the
// longest chains, 10,000 spins; the day's mean balance -1,000 after its first
// hour and 10,000 from its second on. Reaches: normal kind 1 one jackpot in 4,
// 3 in 10 in all; probability-up kind 11 one in one, one in 5 in all.
Totals four_days() {
    Totals t;
    t.days = 4;
    t.balances = {{-200, 1}, {100, 2}, {400, 1}};
    t.wins = 3;
    t.giveups = 1;
    t.seconds = 4 * 36000;
    t.jackpots = 50;
    t.first_hits = 25;
    t.max_chain = 10;
    t.spins = 10000;
    t.hourly.fill(40000);
    t.hourly[0] = 0;
    t.hourly[1] = -4000;
    t.reach[0] = {3, 10};
    t.reach[1] = {1, 4};
    t.reach[20] = {1, 5};
    t.reach[31] = {1, 1};
    return t;
}

std::string reach_table(const char* state, const char* first, const char* last, const char* total) {
    const char* labels[] = {"普通…", "箱  …", "箱２…", "風  …", "風２…", "猫  …",
                            "猫２…", "精２…", "精３…", "精４…", "天使…"};
    std::string out = std::string(state) + "\n";
    for (int k = 0; k < 11; ++k)
        out += std::string("  ") + labels[k] +
               (k == 0    ? first
                : k == 10 ? last
                          : " 0/ 0   -") +
               "\n";
    return out + "  --------------\n  計…" + total + "\n";
}

} // namespace

TEST(BatchReports, TheSummaryOfFourDaysByHand) {
    Totals t = four_days();
    const Header h{7, start_texts()};
    // Mean 40,000 / 4 = 10,000; spread sqrt((30,000² + 30,000²) / 3) = 24,495;
    // nearest ranks 1, 1, 2, 3, 4 of 4; 40,000 yen in 40 hours.
    const std::string table =
        "ＣＲぽぷちゃん batch: 4 days, seed 7\n"
        "前提: 大当り確率 310, 大当り出玉 2100, 確変率 2, 最高継続回数 無制限, 回転率 30, "
        "プレイ時間 10, 換金率 2.22, ギブアップ金額 30000, 営業形態 確変後無制限, ﾀｲﾑｻｰﾋﾞｽ "
        "9:00-10:00, ドル箱規制 規制なし\n"
        "\n"
        "1日の収支 (円)\n"
        "  平均          10,000\n"
        "  標準偏差      24,495\n"
        "  5 %点         -20,000\n"
        "  25 %点        -20,000\n"
        "  50 %点        10,000\n"
        "  75 %点        10,000\n"
        "  95 %点        40,000\n"
        // 3 of 4 days won: Wilson's 95 % interval is 30.1 % to 95.4 %.
        "勝った日          75.0 % [30.1, 95.4]\n"
        "1時間あたり収支   1,000 円\n"
        "1日あたり: 当り数 12.50, 初当り数 6.25, 最大連荘数 2.50, 回転数 2,500\n"
        "ギブアップで終わった日 25.0 %\n"
        "\n"
        "リーチ統計 (全日, 当り/ﾘｰﾁ と信頼度)\n" +
        reach_table("（通常時）", " 1/ 4   25.0 %", " 0/ 0   -", " 3/ 10   30.0 %") +
        reach_table("（確変時）", " 0/ 0   -", " 1/ 1   100.0 %", " 1/ 5   20.0 %") + "\n理論値";
    const std::string shown = summary_table(h, t);
    EXPECT_EQ(shown.substr(0, table.size()), table);

    std::string normal, kakuhen, reach = "[[3, 10], [1, 4]";
    for (int k = 1; k <= 11; ++k) {
        const std::string none = ", \"jackpots\": 0, \"reaches\": 0}";
        normal += (k > 1 ? ", {\"kind\": " : "{\"kind\": ") + std::to_string(k) +
                  (k == 1 ? ", \"jackpots\": 1, \"reaches\": 4}" : none);
        kakuhen += (k > 1 ? ", {\"kind\": " : "{\"kind\": ") + std::to_string(k) +
                   (k == 11 ? ", \"jackpots\": 1, \"reaches\": 1}" : none);
    }
    for (int r = 2; r < 32; ++r)
        reach += r == 20 ? ", [1, 5]" : r == 31 ? ", [1, 1]" : ", [0, 0]";
    std::string hourly = "[0, -4000";
    for (int hour = 2; hour <= 14; ++hour)
        hourly += ", 40000";
    // The measured ratios of the exact figures, each with its six sums.
    std::string exact;
    for (std::string name :
         {"atari_tsujo", "atari_kakuhen", "seconds_tsujo", "seconds_kakuhen", "kakuhen_first",
          "chain_mean", "seconds_all", "jackpots_per_day", "chain_at_2", "chain_at_3", "chain_at_4",
          "chain_at_5", "chain_at_6", "chain_at_7", "chain_at_8", "chain_at_9", "chain_at_10"})
        exact += (exact.empty() ? "\"" : ", \"") + name + "\": [0, 0, 0, 0, 0, 0]";
    // What a merge reads: the format, the premises, the days and the sums.
    const std::string merged =
        ",\n  \"format\": 1"
        ",\n  \"premises\": [\"  310\", \"  2100\", \"   2\", \"無制限\", \"   30\", \"   10\", "
        "\" 2.22\", \" 30000\", \"確変後無制限\", \"9:00-10:00\", \"規制なし\"],\n"
        "  \"first_day\": 1,\n  \"run_days\": 4,\n"
        "  \"sums\": {\"wins\": 3, \"giveups\": 1, \"seconds\": 144000, \"jackpots\": 50, "
        "\"first_hits\": 25, \"max_chain\": 10, \"spins\": 10000,\n"
        "    \"hourly\": " +
        hourly + "],\n    \"reach\": " + reach +
        "],\n"
        "    \"balances\": [[-200, 1], [100, 2], [400, 1]],\n"
        "    \"exact\": {" +
        exact + "}}";
    // The digest is the SHA-256 of "{\n  \"days\": 4,\n  \"seed\": 7" + merged + "\n}\n", as
    // Python's hashlib.sha256 gives it.
    const std::string json =
        "{\n  \"days\": 4,\n  \"seed\": 7,\n"
        "  \"balance\": {\"mean\": 10000.00, \"sd\": 24494.90, \"quantiles\": {\"5\": -20000, "
        "\"25\": -20000, \"50\": 10000, \"75\": 10000, \"95\": 40000}},\n"
        "  \"winning_share\": 0.750000, \"winning_low\": 0.300642, \"winning_high\": 0.954413,\n"
        "  \"balance_per_hour\": 1000.00,\n"
        "  \"per_day\": {\"jackpots\": 12.5000, \"first_hits\": 6.2500, \"max_chain\": 2.5000, "
        "\"spins\": 2500.00},\n"
        "  \"giveup_share\": 0.250000,\n"
        "  \"reach\": {\"normal\": [" +
        normal + "], \"kakuhen\": [" + kakuhen + "]}" + merged +
        ",\n  \"digest\": "
        "\"ccec737f4cae3f4ca34985784e48daeccaf6e66f82ec6d635afe45d679c0d4f7\"\n}\n";
    EXPECT_EQ(summary_json(h, t), json);
}

TEST(BatchReports, TheDayPlotOfFourDaysByHand) {
    Totals t = four_days();
    const std::string svg = plot_svg(t, 2);
    // Balances from -20,000 to 40,000 in 40 bins of 1,500 yen, each 15.5 wide
    // from x = 50; the highest bar (2 days) 200 high down to y = 250.
    // Two hours: the mean after each at x = 50, 360, 670, from -1,000 to
    // 10,000 over the 200 from y = 350.
    const char* parts[] = {
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"720\" height=\"600\" ",
        "<text x=\"50\" y=\"20\">1日の収支の分布 (4 日)</text>",
        "<rect x=\"50.0\" y=\"150.0\" width=\"14.5\" height=\"100.0\" fill=\"#4a7fd0\"/>",
        "<rect x=\"65.5\" y=\"250.0\" width=\"14.5\" height=\"0.0\" fill=\"#4a7fd0\"/>",
        "<rect x=\"360.0\" y=\"50.0\" width=\"14.5\" height=\"200.0\" fill=\"#4a7fd0\"/>",
        "<rect x=\"654.5\" y=\"150.0\" width=\"14.5\" height=\"100.0\" fill=\"#4a7fd0\"/>",
        "<text x=\"50\" y=\"266\">-20,000 円</text>",
        "<text x=\"670\" y=\"266\" text-anchor=\"end\">40,000 円</text>",
        "<text x=\"50\" y=\"320\">時刻ごとの平均収支 (円)</text>",
        "<line x1=\"50.0\" y1=\"531.8\" x2=\"670.0\" y2=\"531.8\" stroke=\"black\"/>",
        "points=\"50.0,531.8 360.0,550.0 670.0,350.0 \"",
        "<text x=\"50.0\" y=\"566\" text-anchor=\"middle\">9:00</text>",
        "<text x=\"360.0\" y=\"566\" text-anchor=\"middle\">10:00</text>",
        "<text x=\"670.0\" y=\"566\" text-anchor=\"middle\">11:00</text>",
        "<text x=\"46\" y=\"350.0\" text-anchor=\"end\">10,000</text>",
        "<text x=\"46\" y=\"550.0\" text-anchor=\"end\">-1,000</text>",
    };
    for (const char* part : parts)
        EXPECT_EQ(count_of(svg, part), 1u) << part << "\n" << svg;
    EXPECT_EQ(count_of(svg, "<rect "), 41u) << "the ground and 40 bars";
    EXPECT_EQ(count_of(svg, "height=\"0.0\""), 37u) << "the empty bins";
}

TEST(BatchReports, NumbersAsCsvAndJsonCarryThem) {
    const std::pair<double, const char*> cases[] = {
        {3, "3"},
        {-2500, "-2500"},
        {2.5, "2.5"},
        {0.125, "0.125"},
        {999999999999999, "999999999999999"},
        {1e15, "1e+15"},
        {-1e15, "-1e+15"},
    };
    for (const auto& [x, text] : cases)
        EXPECT_EQ(num(x), text) << text;
}

TEST(BatchReports, TheJsonReaderTakesWhatTheToolWritesAndNothingElse) {
    struct Case {
        std::string_view text;
        const char* read; // the value read back, as kinds and texts; null: not JSON
    };
    // Nesting to a depth of 64 below the top: 65 arrays, or 64 objects and the value in them.
    const std::string deep = std::string(65, '[') + std::string(65, ']'),
                      deeper = std::string(66, '[') + std::string(66, ']');
    std::string objects = "1", more_objects;
    for (int i = 0; i < 64; ++i)
        objects = "{\"a\": " + objects + "}";
    more_objects = "{\"a\": " + objects + "}";
    const Case cases[] = {
        {"[true, false, null]", "[bool bool null]"},
        {" \t\r\n{\"a\": [1, -2.5e3], \"b\": {}}\r\n", "{a=[1 -2.5e3] b={}}"},
        {"\"a\\\"b\\\\c\\/d\\be\\ff\\ng\\rh\\ti\"", "a\"b\\c/d\be\ff\ng\rh\ti"},
        {"\"\\u0041\\u00e9\\u3042\"", "Aéあ"},
        {"[]", "[]"},
        {deep, "deep"},
        {deeper, "too deep"},
        {objects, "deep"},
        {more_objects, "too deep"},
        {"\"\\u007f\\u0080\\u07ff\\u0800\"", "\x7f\xc2\x80\xdf\xbf\xe0\xa0\x80"},
        {"\"\\u12G4\"", nullptr},
        {"\"\\u+041\"", nullptr},
        {"\"\\x0041\"", nullptr},
        {"{a\": 1}", nullptr},
        // Texts that end before what follows them in memory.
        {std::string_view("[1] ", 3), "[1]"},
        {std::string_view("[1]", 2), nullptr},
        {std::string_view("12", 1), "1"},
        {"tru", nullptr},
        {"[1,]", nullptr},
        {"[1 2]", nullptr},
        {"{\"a\" 1}", nullptr},
        {"{1: 2}", nullptr},
        {"{\"a\": 1,}", nullptr},
        {"\"\\x\"", nullptr},
        {"\"\\u12\"", nullptr},
        {"\"ab", nullptr},
        {std::string_view("\"ab\"", 3), nullptr}, // the closing quote lies beyond the text
        {"", nullptr},
        {"[1] 2", nullptr},
    };
    const auto shown = [](const Json& j, const auto& self) -> std::string {
        switch (j.kind) {
        case Json::kNull:
            return "null";
        case Json::kBool:
            return "bool";
        case Json::kNumber:
        case Json::kString:
            return j.text;
        case Json::kArray: {
            std::string out = "[";
            for (const Json& item : j.items)
                out += (out.size() > 1 ? " " : "") + self(item, self);
            return out + "]";
        }
        case Json::kObject: {
            std::string out = "{";
            for (const auto& [key, value] : j.members)
                out += (out.size() > 1 ? " " : "") + key + "=" + self(value, self);
            return out + "}";
        }
        }
        return {};
    };
    for (const Case& c : cases) {
        std::string error;
        const auto j = parse_json(c.text, error);
        if (!c.read) {
            EXPECT_FALSE(j.has_value()) << c.text;
            EXPECT_TRUE(error.starts_with("not JSON at byte ")) << c.text;
            EXPECT_NE(error, "not JSON at byte 0") << c.text << ": bytes count from 1";
        } else if (std::string_view(c.read) == "too deep") {
            EXPECT_FALSE(j.has_value()) << c.text;
            EXPECT_EQ(error, "nested deeper than 64 levels");
        } else if (std::string_view(c.read) == "deep") {
            EXPECT_TRUE(j.has_value()) << error;
        } else {
            ASSERT_TRUE(j.has_value()) << c.text << ": " << error;
            EXPECT_EQ(shown(*j, shown), c.read) << c.text;
        }
    }
    std::string error;
    EXPECT_FALSE(parse_json("[1,]", error).has_value());
    EXPECT_EQ(error, "not JSON at byte 4");
    // Control characters are escaped; other bytes, UTF-8 included, pass.
    EXPECT_EQ(json_string("\x01\x1f é"), "\"\\u0001\\u001f é\"");
}

TEST(BatchOptions, WholeNumbersWithinTheirBounds) {
    struct Case {
        std::vector<std::string> args;
        bool ok;
    };
    const Case cases[] = {
        {{"--days", "1"}, true},
        {{"--days", "0"}, false},
        {{"--days", "5x"}, false},
        {{"--days", " 5"}, false},
        // A hundred billion days at most, which no sum of a run can overflow.
        {{"--days", "100000000000"}, true},
        {{"--days", "100000000001"}, false},
        {{"--days", "9223372036854775807"}, false},
        {{"--days", "9223372036854775808"}, false},
        {{"--seed", "0"}, true},
        {{"--seed", "18446744073709551615"}, true},
        {{"--seed", "-1"}, false},
        {{"--seed", "7x"}, false},
        {{"--threads", "1"}, true},
        {{"--threads", "1024"}, true},
        {{"--threads", "1025"}, false},
        {{"--threads", "0"}, false},
        {{"--shard", "1/1", "--days", "5"}, true},
        {{"--shard", "4/4", "--days", "5"}, true},
        {{"--shard", "5/4", "--days", "5"}, false},
        {{"--shard", "0/4", "--days", "5"}, false},
        {{"--shard", "1/0", "--days", "5"}, false},
        {{"--shard", "3", "--days", "5"}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parse(c.args).usage_errors.empty(), c.ok) << c.args[0] << " " << c.args[1];
    EXPECT_EQ(parse({"--days", "1"}).options.days, 1);
    EXPECT_EQ(*parse({"--seed", "18446744073709551615"}).options.seed, 18446744073709551615u);
    EXPECT_EQ(parse({"--threads", "1024"}).options.threads, 1024);
    const Options shard = parse({"--shard", "4/4", "--days", "5"}).options;
    EXPECT_EQ(shard.shard, 4);
    EXPECT_EQ(shard.shards, 4);
}

TEST(BatchOutputDeathTest, ASignalRemovesTheTemporariesOfEveryOpenOutput) {
    // Sixteen outputs open at once, the most the tool follows, after sixteen
    // others were written and closed.
    const std::string dir = testing::TempDir() + "popchan_outputs_" + std::to_string(getpid());
    ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
    const auto names = [&] {
        std::vector<std::string> out;
        for (const auto& entry : std::filesystem::directory_iterator(dir))
            out.push_back(entry.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    };
    EXPECT_EXIT(
        {
            {
                std::vector<OutputFile> before(16);
                for (std::size_t i = 0; i < before.size(); ++i)
                    if (!before[i].open(dir + "/done" + std::to_string(i)) || !before[i].commit())
                        std::exit(1);
            }
            std::vector<OutputFile> files(16);
            for (std::size_t i = 0; i < files.size(); ++i)
                if (!files[i].open(dir + "/open" + std::to_string(i))) std::exit(1);
            remove_temporaries_on_signals();
            std::raise(SIGTERM);
        },
        testing::KilledBySignal(SIGTERM), "");
    std::vector<std::string> done;
    for (int i = 0; i < 16; ++i)
        done.push_back("done" + std::to_string(i));
    std::sort(done.begin(), done.end());
    EXPECT_EQ(names(), done);
    std::filesystem::remove_all(dir);
}

TEST(BatchReports, TheDayPlotsHistogramAndHoursByTable) {
    // Three days of 0, 14,900 and 40,000 yen: bins of 1,000 yen, the middle
    // day in bin 14 (x = 50 + 15.5 × 14), each bar of one day the full 200
    // high; two hours whose means set the hourly axis over the 200 from y = 350.
    struct Case {
        std::array<std::int64_t, 3> hourly; // sums after 0, 1 and 2 hours
        std::vector<std::string> parts;
    };
    const Case cases[] = {
        // Means 0, -2 and 3: 40 a yen, 0 at y = 470.
        {{0, -6, 9},
         {"<line x1=\"50.0\" y1=\"470.0\" x2=\"670.0\" y2=\"470.0\" stroke=\"black\"/>",
          "points=\"50.0,470.0 360.0,550.0 670.0,350.0 \"",
          "<text x=\"46\" y=\"350.0\" text-anchor=\"end\">3</text>",
          "<text x=\"46\" y=\"550.0\" text-anchor=\"end\">-2</text>"}},
        // Means 0, -2 and -1: 0 is the top.
        {{0, -6, -3},
         {"<line x1=\"50.0\" y1=\"350.0\" x2=\"670.0\" y2=\"350.0\" stroke=\"black\"/>",
          "points=\"50.0,350.0 360.0,550.0 670.0,450.0 \"",
          "<text x=\"46\" y=\"350.0\" text-anchor=\"end\">0</text>",
          "<text x=\"46\" y=\"550.0\" text-anchor=\"end\">-2</text>"}},
        // Every mean 0: one label, the line at the top.
        {{0, 0, 0},
         {"<line x1=\"50.0\" y1=\"350.0\" x2=\"670.0\" y2=\"350.0\" stroke=\"black\"/>",
          "points=\"50.0,350.0 360.0,350.0 670.0,350.0 \"",
          "<text x=\"46\" y=\"350.0\" text-anchor=\"end\">0</text>"}},
    };
    for (const Case& c : cases) {
        Totals t;
        t.days = 3;
        t.balances = {{0, 1}, {149, 1}, {400, 1}};
        std::copy(c.hourly.begin(), c.hourly.end(), t.hourly.begin());
        const std::string svg = plot_svg(t, 2);
        for (const std::string& part : c.parts)
            EXPECT_EQ(count_of(svg, part), 1u) << part << "\n" << svg;
        EXPECT_EQ(count_of(svg, "text-anchor=\"end\">"), c.parts.size() - 2 + 1)
            << "the balances' upper end, and the means' ends" << svg;
        EXPECT_EQ(count_of(svg, "<rect x=\"267.0\" y=\"50.0\" width=\"14.5\" height=\"200.0\""),
                  1u);
        EXPECT_EQ(count_of(svg, "<rect x=\"282.5\" y=\"250.0\""), 1u);
    }
}

TEST(BatchReports, ASpinRowAndADayRowByHand) {
    SpinRow r;
    r.spin = 3, r.kakuhen = 1, r.atari_flag = 1, r.atari_egara = 7, r.shoukaku_egara = 7;
    r.reach_kind = 11, r.suberi_flag = 0, r.yokoku_chara = 2, r.yokoku_level = 3;
    r.kakuhen_zan = 4;
    EXPECT_EQ(spin_row(5, r), "5,3,1,1,7,7,11,0,2,3,4");
    DayResult d;
    d.day = 2, d.spins = 2500, d.spins_normal = 2000, d.jackpots = 12, d.first_hits = 6;
    d.max_hamari = 900, d.max_chain = 4, d.balls = 1234, d.exchanged = 20000, d.spent = 15000;
    d.balance = 5000, d.end_seconds = 36012.5f, d.by_hours = true;
    EXPECT_EQ(per_day_row(d), "2,2500,2000,12,6,900,4,1234,20000,15000,5000,36012.5,hours");
    d.by_hours = false;
    EXPECT_TRUE(per_day_row(d).ends_with(",give-up"));
}

TEST(BatchReports, TheQuantilesOfOneDayAndOfFour) {
    Totals one;
    one.days = 1;
    one.balances = {{-35, 1}};
    for (double q : {0.0, 0.05, 0.5, 1.0})
        EXPECT_EQ(quantile(one, q), -3500) << q;
    // Nearest ranks of four: 1 up to a quarter, then 2, 3 and 4.
    const Totals four = four_days();
    const std::pair<double, double> ranks[] = {{0.0, -20000}, {0.25, -20000}, {0.26, 10000},
                                               {0.75, 10000}, {0.76, 40000},  {1.0, 40000}};
    for (const auto& [q, balance] : ranks)
        EXPECT_EQ(quantile(four, q), balance) << q;
}

TEST(Batch, EachHourTakesTheBalanceOfTheFirstSpinEndingAtOrAfterIt) {
    // The same days played on the machine itself, spin by spin: the balance of
    // hour h is the one after the first spin whose clock reaches h × 3600 s,
    // and the day's last balance (as its end box shows it) for the hours the
    // day does not reach. At 30 spins per 1,000 yen every spin lasts a
    // multiple of 5 s, so many spins end exactly on the hour.
    struct Silent : Dialogs {
        const DayState* day = nullptr;
        Single at_the_end = 0;
        void message(const std::string&, const std::string&, MessageIcon) override {
            at_the_end = day->shushi;
        }
        bool ask_yes_no(const std::string&, const std::string&, MessageIcon) override {
            return false;
        }
    };
    Premises z;
    z.zentei_giveup = kGiveupUnlimited;
    DayPlayer player(z);
    int on_the_hour = 0;
    for (std::int64_t day = 1; day <= 6; ++day) {
        ReachTable reach{};
        const DayResult d = player.play(day, 77, nullptr, reach);
        ASSERT_TRUE(player.error().empty()) << player.error();
        Silent dialogs;
        FormDigiModel m(dialogs, nullptr,
                        std::make_unique<MachineRandom>(day_seed(77, day), false));
        dialogs.day = &m.day;
        m.Form_Load(15, 15, "");
        m.premises = z;
        m.spin.digi_mode = kDigiHideAll;
        m.spin.kakuhen_zan = kZanMarker;
        m.a3_Click();
        std::array<Single, kMaxHours + 1> hourly{};
        int hour = 1;
        while (m.clock().interval(0) != 0) {
            m.tick_spin([] {});
            if (m.clock().interval(0) == 0) break; // the day was cleared at its end
            for (; hour <= kMaxHours && m.day.keika_byo >= hour * 3600.0f; ++hour) {
                hourly[std::size_t(hour)] = m.day.shushi;
                on_the_hour += m.day.keika_byo == hour * 3600.0f;
            }
        }
        for (; hour <= kMaxHours; ++hour)
            hourly[std::size_t(hour)] = dialogs.at_the_end;
        for (int h = 1; h <= kMaxHours; ++h)
            EXPECT_EQ(d.hourly[std::size_t(h)], hourly[std::size_t(h)]) << day << " " << h;
    }
    EXPECT_GT(on_the_hour, 10);
}

TEST(Batch, ADayEndsByTheGiveUpOnlyPastIt) {
    // At 10 spins per 1,000 yen a spin with no balls costs 100 yen, and a day
    // of 3.6 s ends by its hours after its first spin, with a balance of -100.
    struct Case {
        Single giveup;
        bool by_giveup;
    };
    for (const Case c : {Case{100, false}, Case{99, true}}) {
        Premises z;
        z.zentei_kaiten = 10;
        z.zentei_jikan = 0.001f;
        z.zentei_giveup = c.giveup;
        DayPlayer player(z);
        ReachTable reach{};
        const DayResult d = player.play(1, 1, nullptr, reach);
        ASSERT_TRUE(player.error().empty()) << player.error();
        ASSERT_EQ(d.spins, 1);
        ASSERT_EQ(d.jackpots, 0);
        EXPECT_EQ(d.spent, 100);
        EXPECT_EQ(d.balance, -100);
        EXPECT_TRUE(d.by_hours);
        EXPECT_EQ(d.by_giveup, c.by_giveup) << c.giveup;
        for (int hour = 1; hour <= kMaxHours; ++hour)
            EXPECT_EQ(d.hourly[hour], -100) << hour; // the hours after the day keep its balance
    }
}
