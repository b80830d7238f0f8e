// Sweeps, the border, and a run split into shards and merged again.
#include <gtest/gtest.h>

#include <limits>
#include <map>

#include "analysis/sweep.h"
#include "reports/options.h"
#include "reports/shards.h"
#include "reports/sweep_report.h"

using namespace popchan;
using namespace popchan::batch;

namespace {

RunConfig config_of(const PremiseTexts& texts, std::int64_t days, std::uint64_t seed) {
    RunConfig c;
    c.premises = convert_and_check(texts).record;
    c.days = days;
    c.seed = seed;
    c.threads = 2;
    return c;
}

std::vector<SweepRow> swept(const std::vector<std::string>& args, std::int64_t days,
                            std::uint64_t seed) {
    const Parsed p = parse(args);
    EXPECT_TRUE(p.usage_errors.empty());
    EXPECT_TRUE(p.premise_errors.empty());
    std::vector<SweepRow> rows;
    EXPECT_EQ(sweep(config_of(p.options.premises, days, seed), p.options.premises, *p.options.sweep,
                    rows, nullptr),
              "");
    return rows;
}

std::string row_text(const SweepRow& r) {
    return fixed(r.mean, 6) + " " + fixed(r.half_width, 6) + " " + fixed(r.winning_share, 6) + " " +
           fixed(r.per_hour, 6) + " " + fixed(r.jackpots, 6);
}

} // namespace

TEST(BatchSweep, ValuesOfARangeAndOfAList) {
    const Parsed range = parse({"--sweep", "spin-rate=20:22:0.5"});
    ASSERT_TRUE(range.usage_errors.empty());
    EXPECT_EQ(range.options.sweep->row, kRowKaiten);
    EXPECT_EQ(range.options.sweep->values,
              (std::vector<std::string>{"20.0", "20.5", "21.0", "21.5", "22.0"}));
    // A step that does not land on TO stops before it; codes stand for their texts.
    EXPECT_EQ(parse({"--sweep=hours=1:10:4"}).options.sweep->values,
              (std::vector<std::string>{"1", "5", "9"}));
    const Parsed forms = parse({"--sweep", "form=1,3,確変→4･6交換"});
    EXPECT_EQ(forms.options.sweep->row, kRowEigyo);
    EXPECT_EQ(forms.options.sweep->values,
              (std::vector<std::string>{"確変中持玉", "確変後無制限", "確変→4･6交換"}));
    EXPECT_EQ(parse({"--sweep", "limiter=3,無制限"}).options.sweep->values,
              (std::vector<std::string>{"3", "無制限"}));
    // FROM may be TO; at most 1,000 values, in a range or a list.
    EXPECT_EQ(parse({"--sweep", "spin-rate=25:25:1"}).options.sweep->values,
              (std::vector<std::string>{"25"}));
    const Parsed most = parse({"--sweep", "spin-rate=1:1000:1"});
    ASSERT_TRUE(most.options.sweep.has_value());
    EXPECT_EQ(most.options.sweep->values.size(), 1000u);
    EXPECT_EQ(most.options.sweep->values.back(), "1000");
    EXPECT_EQ(parse({"--sweep", "spin-rate=0:1000:1"}).usage_errors.size(), 1u);
    std::string list = "spin-rate=1";
    for (int v = 2; v <= 1000; ++v)
        list.append(",").append(std::to_string(v));
    EXPECT_TRUE(parse({"--sweep", list}).usage_errors.empty());
    EXPECT_EQ(parse({"--sweep", list + ",1001"}).usage_errors,
              (std::vector<std::string>{"--sweep takes at most 1000 values"}));
    // A sweep refused is no sweep.
    EXPECT_FALSE(parse({"--sweep", "spin-rate=a:2:1"}).options.sweep.has_value());
}

TEST(BatchSweep, BadSweepsShardsAndCombinations) {
    for (const char* bad :
         {"spin-rat=20:30:1", "spin-rate", "spin-rate=30:20:1", "spin-rate=1:2:0", "spin-rate=1:2",
          "spin-rate=a:2:1", "spin-rate=1,,2", "days=1:2:1", "spin-rate=1:5000:1"})
        EXPECT_EQ(parse({"--sweep", bad}).usage_errors.size(), 1u) << bad;
    // A value that the premises refuse, with its own message and the value.
    EXPECT_EQ(parse({"--sweep", "spin-rate=0:10:5"}).premise_errors,
              (std::vector<std::string>{"回転率入力エラーです。 (--sweep spin-rate=0)"}));
    for (const char* bad : {"0/4", "5/4", "2", "2/", "a/4", "-1/4"})
        EXPECT_EQ(parse({"--shard", bad}).usage_errors.size(), 1u) << bad;
    const Parsed shard = parse({"--shard", "3/4", "--days", "10"});
    EXPECT_TRUE(shard.usage_errors.empty());
    EXPECT_EQ(shard.options.shard, 3);
    EXPECT_EQ(shard.options.shards, 4);
    EXPECT_EQ(parse({"--shard", "3/4", "--days", "3"}).usage_errors.size(), 1u);
    for (const std::vector<std::string>& bad :
         std::vector<std::vector<std::string>>{{"--sweep", "form=1,2", "--border"},
                                               {"--csv", "x.csv"},
                                               {"--border", "--shard", "1/2"},
                                               {"--sweep", "form=1,2", "--per-day", "d.csv"},
                                               {"--border", "--plot", "b.svg"},
                                               {"merge"},
                                               {"merge", "a.json", "--days", "5"}})
        EXPECT_EQ(parse(bad).usage_errors.size(), 1u) << bad[0] << " " << bad[1];
    EXPECT_TRUE(parse({"merge", "-h"}).options.help);
    EXPECT_TRUE(parse({"merge", "--help"}).options.help);
    EXPECT_EQ(parse({"merge", "a.json", "---x"}).usage_errors,
              (std::vector<std::string>{"merge takes only --json and files: ---x"}));
    const Parsed merge = parse({"merge", "a.json", "--json", "b.json"});
    EXPECT_TRUE(merge.usage_errors.empty());
    EXPECT_TRUE(merge.options.merge);
    EXPECT_TRUE(merge.options.json);
    EXPECT_EQ(merge.options.files, (std::vector<std::string>{"a.json", "b.json"}));
    const std::string help = usage();
    for (const char* option :
         {"--sweep NAME=FROM:TO:STEP", "--border", "--csv FILE", "--shard I/N", "merge FILE"})
        EXPECT_NE(help.find(option), std::string::npos) << option;
}

TEST(BatchSweep, APremiseThatCannotMatterGivesIdenticalRows) {
    // Form 2 (all unlimited) plays without the time service whatever it is.
    const auto rows = swept({"--form", "2", "--sweep", "time-service=1,2,3,4"}, 200, 5);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].value, "なし");
    EXPECT_EQ(rows[3].value, "9:00-12:00");
    for (const SweepRow& r : rows) {
        EXPECT_EQ(r.days, 200);
        EXPECT_EQ(row_text(r), row_text(rows[0])) << r.value;
    }
    // Under form 3 the longer services do change the days.
    const auto form3 = swept({"--form", "3", "--sweep", "time-service=1,4"}, 200, 5);
    EXPECT_NE(row_text(form3[0]), row_text(form3[1]));
}

TEST(BatchSweep, EachValuePlaysTheSameDays) {
    // Common random numbers: the row of a value is the run at that value with the same seed.
    const auto rows = swept({"--sweep", "spin-rate=18:30:6"}, 150, 21);
    ASSERT_EQ(rows.size(), 3u);
    for (const auto& [row, text] : {std::pair{0, "18"}, std::pair{1, "24"}, std::pair{2, "30"}}) {
        EXPECT_EQ(rows[row].value, text);
        PremiseTexts texts = start_texts();
        texts[kRowKaiten] = text;
        Totals t;
        ASSERT_EQ(run(
                      config_of(texts, 150, 21), t,
                      [](const DayResult&, const std::vector<SpinRow>&) {}, nullptr),
                  "");
        EXPECT_EQ(row_text(rows[row]), row_text(sweep_row(text, t)));
    }
    // More spins for the money on the same days: a better balance each step.
    EXPECT_LT(rows[0].mean, rows[1].mean);
    EXPECT_LT(rows[1].mean, rows[2].mean);
    // The interval is the mean ± 1.96 standard errors of the days.
    EXPECT_GT(rows[0].half_width, 0);
}

TEST(BatchSweep, CsvAndJsonShapes) {
    // 25 and 50 days won of 100: Wilson's 95 % intervals 17.5452 % to
    // 34.3045 % and 40.3832 % to 59.6168 %.
    const std::vector<SweepRow> rows = {
        {"20", 100, -1234.5, 100.25, 0.25, -150.5, 12.5, {0.175452, 0.343045}},
        {"確変→4･6交換", 100, 2000, 50, 0.5, 200, 13, {0.403832, 0.596168}}};
    EXPECT_EQ(sweep_csv(rows),
              "value,days,mean,low,high,winning_share,winning_low,winning_high,balance_per_hour,"
              "jackpots_per_day\n"
              "20,100,-1234.50,-1334.75,-1134.25,0.250000,0.175452,0.343045,-150.50,12.5000\n"
              "確変→4･6交換,100,2000.00,1950.00,2050.00,0.500000,0.403832,0.596168,200.00,"
              "13.0000\n");
    Sweep s{"form", kRowEigyo, {}};
    const std::string json = sweep_json(Header{7, start_texts()}, s, rows);
    EXPECT_NE(json.find("\"sweep\": \"form\",\n  \"days\": 100,\n  \"seed\": 7,"),
              std::string::npos);
    // The swept premise is marked, as in the table.
    EXPECT_NE(json.find("\"premises\": [\"  310\", \"  2100\", \"   2\", \"無制限\", \"   30\", "
                        "\"   10\", \" 2.22\", \" 30000\", \"*\", \"9:00-10:00\", \"規制なし\"]"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("{\"value\": 20, \"mean\": -1234.50, \"low\": -1334.75, \"high\": "
                        "-1134.25, \"winning_share\": 0.250000, \"winning_low\": 0.175452, "
                        "\"winning_high\": 0.343045, \"balance_per_hour\": -150.50, "
                        "\"jackpots_per_day\": 12.5000}"),
              std::string::npos);
    EXPECT_NE(json.find("{\"value\": \"確変→4･6交換\", \"mean\": 2000.00"), std::string::npos);
    // A value is a number as the premises read it: 1e5 is not one (its leading 1 is
    // what a give-up of "1e5" plays), 3,000 is 3000.
    const std::string texts =
        sweep_json(Header{7, start_texts()}, Sweep{"give-up", kRowGiveup, {}},
                   {{"1e5", 100, 0, 0, 0, 0, 0, {}}, {"3,000", 100, 0, 0, 0, 0, 0, {}}});
    EXPECT_NE(texts.find("{\"value\": \"1e5\", "), std::string::npos) << texts;
    EXPECT_NE(texts.find("{\"value\": 3000, "), std::string::npos) << texts;
    const std::string svg = sweep_svg(s, rows);
    EXPECT_NE(svg.find("<polygon"), std::string::npos);
    EXPECT_NE(svg.find(">確変→4･6交換</text>"), std::string::npos);
}

TEST(BatchShards, ShardsCutTheRunIntoConsecutiveBlocks) {
    using Days = std::pair<std::int64_t, std::int64_t>;
    EXPECT_EQ(shard_days(10, 1, 4), Days(1, 2));
    EXPECT_EQ(shard_days(10, 2, 4), Days(3, 3));
    EXPECT_EQ(shard_days(10, 3, 4), Days(6, 2));
    EXPECT_EQ(shard_days(10, 4, 4), Days(8, 3));
    EXPECT_EQ(shard_days(7, 1, 1), Days(1, 7));
    EXPECT_EQ(shard_days(4'000'000'000'000'000'000, 3, 4),
              Days(2'000'000'000'000'000'001, 1'000'000'000'000'000'000));
}

namespace {

struct Summary {
    std::string table, json;
};

Summary shard_summary(std::int64_t run_days, std::int64_t index, std::int64_t count,
                      std::uint64_t seed, const PremiseTexts& texts) {
    RunConfig c = config_of(texts, 0, seed);
    std::tie(c.first_day, c.days) = shard_days(run_days, index, count);
    Totals t;
    EXPECT_EQ(run(
                  c, t, [](const DayResult&, const std::vector<SpinRow>&) {}, nullptr),
              "");
    const Header h{seed, texts, c.first_day, run_days};
    return {summary_table(h, t), summary_json(h, t)};
}

} // namespace

TEST(BatchShards, FourMergedShardsAreOneRunToTheLastDigit) {
    PremiseTexts texts = start_texts();
    texts[kRowHakokisei] = " ４箱"; // a premise with a leading blank, kept as it is
    const Summary whole = shard_summary(203, 1, 1, 99, texts);
    std::vector<std::pair<std::string, std::string>> files;
    for (int i : {3, 1, 4, 2}) // in any order
        files.emplace_back("part" + std::to_string(i), shard_summary(203, i, 4, 99, texts).json);
    Header h{};
    Totals t;
    ASSERT_EQ(merge_summaries(files, h, t), "");
    EXPECT_EQ(t.days, 203);
    EXPECT_EQ(summary_table(h, t), whole.table);
    EXPECT_EQ(summary_json(h, t), whole.json);
    // A shard says which days it played.
    EXPECT_NE(shard_summary(203, 2, 4, 99, texts).table.find("51 days (51-101 of 203), seed 99"),
              std::string::npos);
    // Merging the one run gives it back.
    ASSERT_EQ(merge_summaries({{"whole", whole.json}}, h, t), "");
    EXPECT_EQ(summary_json(h, t), whole.json);

    auto refused = [&](std::vector<std::pair<std::string, std::string>> parts) {
        Header hh{};
        Totals tt;
        return merge_summaries(parts, hh, tt);
    };
    EXPECT_EQ(refused({files[0], files[1], files[2]}), "day 51 is in no file");
    EXPECT_EQ(refused({files[1], files[3], files[2]}), "day 102 is in no file");
    EXPECT_EQ(refused({files[0], files[2], files[3]}), "day 1 is in no file");
    EXPECT_EQ(refused({files[0], files[1], files[2], files[3], files[0]}),
              "part3: day 102 is in another file too");
    EXPECT_EQ(refused({{"one", files[1].second}, {"two", files[1].second}}),
              "two: day 1 is in another file too");
    EXPECT_EQ(refused({files[1], {"other", shard_summary(203, 2, 4, 98, texts).json}}),
              "other: another run than part1 (its seed, premises or days differ)");
    EXPECT_EQ(refused({{"garbage", "{\"days\": "}}), "garbage: not JSON at byte 10");
    EXPECT_EQ(refused({{"old", "{\"days\": 5, \"seed\": 1}"}}),
              "old: not a JSON summary of popchan-batch (--json)");
}

TEST(BatchBorder, TheBorderIsBracketedByTheMeansAroundIt) {
    // Form 1 without the time service exchanges every chain's balls when it
    // ends, so each normal-state spin is paid in cash: the cash border.
    PremiseTexts texts = start_texts();
    texts[kRowEigyo] = "確変中持玉";
    texts[kRowTimeService] = "なし";
    texts[kRowGiveup] = "無制限";
    const RunConfig c = config_of(texts, 400, 8);
    Border b;
    ASSERT_EQ(find_border(c, b, nullptr), "");
    ASSERT_TRUE(b.found);
    EXPECT_LE(b.low, b.rate);
    EXPECT_LE(b.rate, b.high);
    auto mean_at = [&](int hundredths) {
        RunConfig at = c;
        at.premises.zentei_kaiten = Single(hundredths / 100.0);
        Totals t;
        EXPECT_EQ(run(
                      at, t, [](const DayResult&, const std::vector<SpinRow>&) {}, nullptr),
                  "");
        return sweep_row("", t);
    };
    // The least rate, to a hundredth, with a mean of at least 0 on these days.
    EXPECT_GE(mean_at(b.rate).mean, 0);
    EXPECT_LT(mean_at(b.rate - 1).mean, 0);
    const SweepRow low = mean_at(b.low), below_low = mean_at(b.low - 1);
    EXPECT_GE(low.mean + low.half_width, 0);
    EXPECT_LT(below_low.mean + below_low.half_width, 0);
    // Worked by hand: a first hit pays two jackpots on average (a chain goes
    // on at each probability-up symbol, one jackpot in two), 4,200 balls worth
    // 9,324 yen at 2.22; a normal-state spin costs 1,000 / k yen and hits once
    // in 310, so the border is near 310,000 / 9,324 = 33.2 spins. A spin
    // costs whole yen, Int(1,000 / k + 0.5), so the mean steps where the cost
    // does: 31 yen from 31.75, 30 from 32.79, 29 from 33.90, 28 from 35.09.
    // Nothing else of a day depends on k here (a spin without a reach takes 10 s
    // from k = 23.5 up; the others do not depend on k), so the
    // border is one of these steps, within two of the worked one.
    EXPECT_TRUE(b.rate == 3175 || b.rate == 3279 || b.rate == 3390 || b.rate == 3509) << b.rate;
}

TEST(BatchSweep, TheTableShowsEachRowsFiguresInTheirFormats) {
    const Header h{1, start_texts()};
    const Sweep s{"kaiten", kRowKaiten, {"30"}};
    const SweepRow r{"30", 100, -1500, 250, 0.5, -160, 2.25, {0.403832, 0.596168}};
    const std::string table = sweep_table(h, s, {r});
    EXPECT_NE(table.find("50.0 % [40.4, 59.6]"), std::string::npos) << table;
    EXPECT_NE(table.find(" 2.25\n"), std::string::npos) << table;
    Border b;
    b.found = true, b.rate = 2950, b.low = 2900, b.high = 3000, b.runs = 7;
    EXPECT_NE(border_table(h, 100, b).find("\n(7 回, 毎回同じ日々)\n"), std::string::npos);
}

TEST(BatchSweep, TheTablesOfASweepAndOfTheBorderByHand) {
    const Header h{1, start_texts()};
    const Sweep s{"spin-rate", kRowKaiten, {"20", "25.5"}};
    // Columns right-aligned to 9 (the name), 12, 24, 23, 13 and 11, a
    // full-width character two wide; yen rounded half away from 0; the days
    // won with Wilson's interval of 50 and 62.5 of 100.
    EXPECT_EQ(
        sweep_table(h, s,
                    {{"20", 100, -1500, 250, 0.5, -160, 2.25, {0.403832, 0.596168}},
                     {"25.5", 100, 12345.6, 1234.4, 0.625, 1500.5, 10, {0.527146, 0.713605}}}),
        "ＣＲぽぷちゃん batch sweep of spin-rate: 100 days at each value, seed 1\n"
        "前提: 大当り確率 310, 大当り出玉 2100, 確変率 2, 最高継続回数 無制限, 回転率 *, "
        "プレイ時間 10, 換金率 2.22, ギブアップ金額 30000, 営業形態 確変後無制限, "
        "ﾀｲﾑｻｰﾋﾞｽ 9:00-10:00, ドル箱規制 規制なし\n"
        "\n"
        "spin-rate    平均収支               95 % 区間   勝った日 [95 % 区間]  1時間あたり  "
        "当り数/日\n"
        "       20      -1,500        -1,750 ～ -1,250    50.0 % [40.4, 59.6]         -160       "
        "2.25\n"
        "     25.5      12,346        11,111 ～ 13,580    62.5 % [52.7, 71.4]        1,501      "
        "10.00\n");
    // Found at 29.50 (95 % interval 29.00 to 30.00) in 7 runs; the exact
    // borders at the start premises are 1,000 / 30.5 and 250 / 13.5.
    Border b;
    b.found = true, b.rate = 2950, b.low = 2900, b.high = 3000, b.runs = 7;
    const std::string heading =
        "前提: 大当り確率 310, 大当り出玉 2100, 確変率 2, 最高継続回数 無制限, 回転率 30, "
        "プレイ時間 10, 換金率 2.22, ギブアップ金額 30000, 営業形態 確変後無制限, "
        "ﾀｲﾑｻｰﾋﾞｽ 9:00-10:00, ドル箱規制 規制なし\n";
    EXPECT_EQ(border_table(h, 100, b),
              "ＣＲぽぷちゃん batch border: 100 days at each rate tried, seed 1\n" + heading +
                  "\nボーダー (千円あたり回転率)\n"
                  "  シミュレーション (1日の平均収支が 0)  29.50  (95 % 区間 29.00 ～ 30.00)\n"
                  "  理論値 (現金)                        32.79\n"
                  "  理論値 (持ち玉)                      18.52\n"
                  "(7 回, 毎回同じ日々)\n");
    const std::string premises =
        "[\"  310\", \"  2100\", \"   2\", \"無制限\", \"   30\", \"   10\", \" 2.22\", \" "
        "30000\", \"確変後無制限\", \"9:00-10:00\", \"規制なし\"]";
    EXPECT_EQ(border_json(h, 100, b),
              "{\n  \"days\": 100,\n  \"seed\": 1,\n  \"premises\": " + premises +
                  ",\n  \"border\": 29.50,\n  \"low\": 29.00,\n  \"high\": 30.00,\n  \"runs\": "
                  "7,\n  \"exact_cash\": 32.7869,\n  \"exact_held\": 18.5185\n}\n");
    // The upper end beyond 1,000 spins; no border at all.
    b.high = 0;
    EXPECT_NE(border_table(h, 100, b).find("29.50  (95 % 区間 29.00 ～ 1000.00 超)\n"),
              std::string::npos);
    EXPECT_NE(border_json(h, 100, b).find("\"high\": null,"), std::string::npos);
    b = Border{};
    b.runs = 18;
    EXPECT_NE(border_table(h, 100, b).find("(1日の平均収支が 0)  なし (1000.00 でも平均収支が 0 "
                                           "未満)\n"),
              std::string::npos);
    EXPECT_NE(border_json(h, 100, b).find("\"border\": null,\n  \"low\": null,\n  \"high\": null,"),
              std::string::npos);
}

TEST(BatchShards, FilesAtTheEdgesOfWhatARunCanHaveMerge) {
    // Days 1-2 of a run of 3, both won, each a second past its 10 hours, with
    // every part of the jackpots at its whole and the balance in yen after each
    // hour at the top of 64 bits; day 3 given up at once, 30,100 yen down
    // (past the give-up of 30,000), with nothing else at all.
    const std::int64_t top = std::numeric_limits<std::int64_t>::max();
    const std::int64_t hundreds = top / 200; // the balance of each of the two days
    Totals full;
    full.days = 2;
    full.wins = 2;
    full.seconds = 2 * (10 * 3600 + 1);
    full.jackpots = full.first_hits = full.max_chain = full.spins = 5;
    full.reach[0] = full.reach[1] = {5, 5}; // five first hits, each with a reach of kind 1
    full.balances = {{7, 0}, {hundreds, 2}};
    full.hourly.fill(200 * hundreds);
    full.hourly[0] = 0;
    for (const auto& r : full.exact.named())
        r.ratio->days = 2;
    full.exact.atari_tsujo = DayRatio{5, 5, 0, 0, 0, 2};
    full.exact.seconds_tsujo = DayRatio{0, 5, 0, 0, 0, 2};
    full.exact.kakuhen_first = DayRatio{5, 5, 0, 0, 0, 2};
    full.exact.chain_at[0] = DayRatio{5, 5, 0, 0, 0, 2};
    Totals none;
    none.days = 1;
    none.giveups = 1;
    none.balances = {{-301, 1}};
    none.hourly.fill(-30100);
    none.hourly[0] = 0;
    for (const auto& r : none.exact.named())
        r.ratio->days = 1;
    const PremiseTexts texts = start_texts();
    const std::vector<std::pair<std::string, std::string>> files = {
        {"full", summary_json(Header{1, texts, 1, 3}, full)},
        {"none", summary_json(Header{1, texts, 3, 3}, none)}};
    Header h{};
    Totals t;
    ASSERT_EQ(merge_summaries(files, h, t), "");
    EXPECT_EQ(t.days, 3);
    EXPECT_EQ(t.wins, 2);
    EXPECT_EQ(t.giveups, 1);
    EXPECT_EQ(t.spins, 5);
    EXPECT_EQ(t.hourly[14], 200 * hundreds - 30100);
    EXPECT_EQ(t.balances, (std::map<std::int64_t, std::int64_t>{{-301, 1}, {7, 0}, {hundreds, 2}}));
    EXPECT_EQ(t.exact.chain_at[0].x, 5);
    EXPECT_EQ(t.exact.chain_at[0].days, 3);
}

TEST(BatchShards, ShardsOfEveryKindOfDayHoldTogether) {
    // Whatever the premises, the sums a shard writes hold together as merge
    // checks them: days of 14 hours (whose last hour may be noted before the
    // last spin), of hours that are no whole number, spins of 50 minutes, a
    // give-up of 100 yen or none, a limiter, a box limit.
    const std::vector<std::vector<std::pair<PremiseRow, const char*>>> cases = {
        {{kRowJikan, "14"}},
        {{kRowJikan, "13.9"}, {kRowGiveup, "5000"}},
        {{kRowJikan, "0.5"}, {kRowKaiten, "0.05"}},
        {{kRowJikan, "14"}, {kRowKaiten, "0.5"}, {kRowGiveup, "無制限"}},
        {{kRowGiveup, "100"}, {kRowKankin, "4"}},
        {{kRowLimiter, "5"}, {kRowEigyo, "確変中持玉"}, {kRowHakokisei, " ３箱"}},
    };
    for (const auto& premises : cases) {
        PremiseTexts texts = start_texts();
        for (const auto& [row, value] : premises)
            texts[row] = value;
        std::vector<std::pair<std::string, std::string>> files;
        for (int i : {1, 2})
            files.emplace_back("part" + std::to_string(i),
                               shard_summary(600, i, 2, 11, texts).json);
        Header h{};
        Totals t;
        EXPECT_EQ(merge_summaries(files, h, t), "") << texts[premises[0].first];
    }
}
