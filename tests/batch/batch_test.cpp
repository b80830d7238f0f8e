#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <numeric>

#include "batch/json.h"
#include "batch/options.h"
#include "batch/report.h"
#include "batch/sweep.h"
#include "batch/sweep_report.h"

using namespace popchan;
using namespace popchan::batch;

namespace {

struct Played {
    Totals totals;
    std::vector<DayResult> days;
    std::vector<std::pair<std::int64_t, SpinRow>> spins;
    std::string error;
};

Played play(std::int64_t days, std::uint64_t seed, int threads, const Premises& z = {}) {
    Played p;
    RunConfig config;
    config.premises = z;
    config.days = days;
    config.seed = seed;
    config.threads = threads;
    config.record_spins = true;
    p.error = run(
        config, p.totals,
        [&](const DayResult& d, const std::vector<SpinRow>& rows) {
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
    double sum = 0, hours = 0, jackpots = 0;
    std::int64_t wins = 0, giveups = 0;
    for (const DayResult& d : p.days) {
        sum += d.balance;
        hours += d.end_seconds / 3600.0;
        jackpots += d.jackpots;
        wins += d.balance > 0;
        giveups += d.by_giveup && !d.by_hours;
    }
    EXPECT_NEAR(t.mean(), sum / 120, 1e-6);
    EXPECT_NEAR(t.per_hour(), sum / hours, 1e-6);
    EXPECT_EQ(t.jackpots, jackpots);
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
    const std::string json = summary_json(h, p.totals);
    for (const char* key : {"{\"5\": ", ", \"25\": ", ", \"50\": ", ", \"75\": ", ", \"95\": "})
        EXPECT_NE(json.find(key), std::string::npos) << key << json;
    EXPECT_EQ(json_string("a b\t\"\\"), "\"a b\\u0009\\\"\\\\\"");
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
    // Without a limiter a day's chains are those of unending play. A chain's
    // spins: 310 normal ones and 62 probability-up ones, and two payouts of
    // 300 s: 11.14 s a spin, 1.517 jackpots an hour.
    for (const char* play : {"days", "unending"}) {
        const Json* chain = j->find(play);
        ASSERT_NE(chain, nullptr) << play;
        const std::pair<const char*, double> chains[] = {
            {"kakuhen_share", 0.5},
            {"chain_mean", 2},
            {"balls_per_chain", 4200},
            {"seconds_per_spin", (310 * normal + 62 * kakuhen) / 372},
            {"jackpots_per_hour", 3600 * 2 / (310 * normal + 62 * kakuhen + 600)},
        };
        for (const auto& [key, value] : chains)
            EXPECT_NEAR(number(*chain, key), value, value * 1e-3) << play << " " << key;
        EXPECT_NEAR(number(*chain, "seconds_per_spin"), 11.14, 0.005) << play;
        EXPECT_NEAR(number(*chain, "jackpots_per_hour"), 1.517, 0.0005) << play;
        // Chains of n jackpots or more, n = 2 to 10: one in 2^(n - 1).
        const Json* at_least = chain->find("chain_at_least");
        ASSERT_NE(at_least, nullptr) << play;
        ASSERT_EQ(at_least->members.size(), 9u) << play;
        for (int n = 2; n <= 10; ++n)
            EXPECT_NEAR(number(*at_least, std::to_string(n)), std::ldexp(1.0, 1 - n), 1e-4)
                << play << " " << n;
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
