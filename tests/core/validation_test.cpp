#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "core/fakes.h"
#include "premises/dialog.h"
#include "premises/validation.h"

using namespace popchan;

namespace {

// The start texts with some rows replaced.
Commit commit_with(std::initializer_list<std::pair<PremiseRow, std::string>> changes) {
    PremiseTexts t = start_texts();
    for (const auto& [row, text] : changes)
        t[row] = text;
    return convert_and_check(t);
}

using Checks = std::vector<int>;

// A field of the record as a number.
template <auto member> double field(const Premises& z) {
    return double(z.*member);
}

} // namespace

TEST(Premises, TheUntouchedDialogCommitsTheStartValues) {
    const Commit c = convert_and_check(start_texts());
    EXPECT_TRUE(c.failed.empty());
    const Premises& z = c.record;
    EXPECT_EQ(z.zentei_kakuritu, 310);
    EXPECT_EQ(z.zentei_dedama, 2100);
    EXPECT_EQ(z.zentei_kakuhenritu, 2);
    EXPECT_EQ(z.zentei_limiter, 999);
    EXPECT_EQ(z.zentei_kaiten, 30);
    EXPECT_EQ(z.zentei_jikan, 10);
    EXPECT_EQ(z.zentei_kankin, 2.22f);
    EXPECT_EQ(z.zentei_giveup, 30000);
    EXPECT_EQ(z.zentei_eigyo, 3);
    EXPECT_EQ(z.zentei_timeservice, 2);
    EXPECT_EQ(z.zentei_hakokisei, 1);
    const Premises defaults;
    EXPECT_EQ(z.zentei_kankin, defaults.zentei_kankin);
}

TEST(Premises, EachTextCommitsOrFailsItsChecks) {
    // Rows changed from the start texts, the checks that fail in table order,
    // and a field of the record the commit stores (even when a check fails).
    struct Case {
        std::vector<std::pair<PremiseRow, std::string>> changes;
        Checks failed;
        double (*field)(const Premises&) = nullptr;
        double stored = 0;
    };
    const Case cases[] = {
        {{{kRowLimiter, "1500"}}, {}, &field<&Premises::zentei_limiter>, 999},
        {{{kRowLimiter, "0"}}, {12}},
        {{{kRowLimiter, "abc"}}, {12, 13}},
        {{{kRowLimiter, " 無制限"}}, {12, 13}}, // not exactly the list's text
        {{{kRowLimiter, "2.5"}}, {13}},         // a chain limit that is not whole is never met
        {{{kRowGiveup, "無制限"}}, {}, &field<&Premises::zentei_giveup>, 9999999},
        {{{kRowGiveup, "12345678"}}, {}, &field<&Premises::zentei_giveup>, 9999999},
        {{{kRowGiveup, "-5"}}, {19}},
        {{{kRowKankin, " 4.00"}}, {}, &field<&Premises::zentei_kankin>, 4},
        {{{kRowKankin, "4.01"}}, {16}},
        {{{kRowKankin, "0"}}, {16}},
        {{{kRowJikan, "   14"}}, {}, &field<&Premises::zentei_jikan>, 14},
        {{{kRowJikan, "14.5"}}, {18}},
        {{{kRowKakuritu, "310abc"}}, {1}, &field<&Premises::zentei_kakuritu>, 310},
        {{{kRowKakuritu, ""}}, {1, 6}},
        {{{kRowDedama, "lots"}}, {8}},
        {{{kRowEigyo, "確変→4･6･8交換"}}, {}, &field<&Premises::zentei_eigyo>, 7},
        {{{kRowEigyo, "確変後"}}, {20}},
        {{{kRowHakokisei, " ３箱"}}, {}, &field<&Premises::zentei_hakokisei>, 2},
        {{{kRowHakokisei, "３箱"}}, {22}},
        {{{kRowTimeService, "9:00-13:00"}}, {21}},
        {{{kRowHakokisei, "x"}, {kRowKakuritu, "2000"}, {kRowKaiten, "zero"}, {kRowJikan, "20"}},
         {3, 7, 14, 18, 22}},
    };
    for (const Case& c : cases) {
        PremiseTexts t = start_texts();
        for (const auto& [row, text] : c.changes)
            t[row] = text;
        const Commit commit = convert_and_check(t);
        const std::string what =
            "row " + std::to_string(c.changes[0].first) + " '" + c.changes[0].second + "'";
        EXPECT_EQ(commit.failed, c.failed) << what;
        if (c.field) {
            EXPECT_EQ(c.field(commit.record), c.stored) << what;
        }
    }
    EXPECT_EQ(commit_with({{kRowGiveup, "無制限"}}).texts[kRowGiveup], "9999999");
    EXPECT_EQ(check_message(7), "確率は１０００分の１以下です。");
    EXPECT_EQ(check_message(13), "最高継続回数は数字又は無制限を入力して下さい。");
    EXPECT_EQ(check_message(22), "ドル箱規制選択エラー");
}

TEST(Premises, EveryListItemPassesAndReadsAsItShows) {
    EXPECT_EQ(list_items(kRowKaiten).size(), 41u);
    EXPECT_EQ(list_items(kRowKaiten).front(), "   10");
    EXPECT_EQ(list_items(kRowKaiten).back(), "   50");
    EXPECT_EQ(list_items(kRowKakuritu).size(), 21u);
    EXPECT_EQ(list_items(kRowDedama),
              (std::vector<std::string>{"  1800", "  1900", "  2000", "  2100", "  2200", "  2300",
                                        "  2400", "  2500"}));
    EXPECT_EQ(list_items(kRowLimiter)[7], "     9");
    EXPECT_EQ(list_items(kRowLimiter)[8], "    10");
    EXPECT_EQ(list_items(kRowJikan)[0], "    1");
    EXPECT_EQ(list_items(kRowKakuhenritu)[2], "   2.17");
    for (int row = 0; row < kPremiseRows; ++row)
        for (const std::string& item : list_items(PremiseRow(row))) {
            PremiseTexts t = start_texts();
            t[row] = item;
            const Commit c = convert_and_check(t);
            EXPECT_TRUE(c.failed.empty()) << row << " '" << item << "'";
            if (row <= kRowKankin && item != "無制限") {
                EXPECT_EQ(leading_number(item), std::stod(item)) << item;
            }
        }
}

TEST(NumericText, WhatAJapaneseUserTypes) {
    EXPECT_TRUE(is_numeric("３１０"));
    EXPECT_EQ(leading_number("３１０"), 310);
    EXPECT_TRUE(is_numeric("　２．５　"));
    EXPECT_EQ(leading_number("　２．５"), 2.5);
    EXPECT_TRUE(is_numeric("30,000"));
    EXPECT_EQ(leading_number("30,000"), 30000);
    EXPECT_EQ(leading_number("1,234,567.5"), 1234567.5);
    EXPECT_FALSE(is_numeric("1,00"));
    EXPECT_EQ(leading_number("1,00"), 1);
    // A comma counts only before exactly three digits.
    EXPECT_FALSE(is_numeric("1,23"));
    EXPECT_FALSE(is_numeric("1,2345"));
    EXPECT_EQ(leading_number("1,2345"), 1);
    EXPECT_EQ(leading_number("1,2a4"), 1);
    EXPECT_EQ(leading_number("1,.23"), 1);
    EXPECT_EQ(leading_number("1,2.4"), 1);
    EXPECT_EQ(leading_number("1,234.5"), 1234.5);
    EXPECT_TRUE(is_numeric("123,456"));
    EXPECT_FALSE(is_numeric("1234,567")); // at most three digits before the first comma
    EXPECT_FALSE(is_numeric(",123"));     // and at least one
    EXPECT_EQ(leading_number(",123"), 0);
    EXPECT_FALSE(is_numeric("1e3"));
    EXPECT_EQ(leading_number("1e3"), 1);
    EXPECT_FALSE(is_numeric("3 10"));
    EXPECT_EQ(leading_number("3 10"), 3);
    EXPECT_TRUE(is_numeric("-5"));
    EXPECT_TRUE(is_numeric(".5"));
    EXPECT_TRUE(is_numeric("5."));
    EXPECT_FALSE(is_numeric("."));
    EXPECT_FALSE(is_numeric(""));
    EXPECT_FALSE(is_numeric("   "));
    EXPECT_FALSE(is_numeric("無制限"));
    EXPECT_FALSE(is_numeric("+"));
    EXPECT_EQ(leading_number("abc"), 0);
}

TEST(Premises, StartAsksTheRecordsOwnChecks) {
    Premises z;
    EXPECT_TRUE(check_record(z).empty());
    z.zentei_kaiten = 0;
    z.zentei_limiter = 2.5f;
    EXPECT_EQ(check_record(z), (Checks{13, 14}));
}

TEST(Premises, AnyTextGivesADefinedResult) {
    std::mt19937 gen(12345);
    const std::vector<std::string> pieces = {
        "1",   "0",      ",", ".",  "-",  "+",    " ",    "　",       "１",
        "．",  "無制限", "e", "\t", "\n", "\x01", "\xff", "\xe3\x80", "9999999999999999999999",
        "確変"};
    for (int round = 0; round < 20000; ++round) {
        PremiseTexts t = start_texts();
        for (auto& text : t) {
            if (gen() % 3) continue;
            text.clear();
            const int n = gen() % 12;
            for (int i = 0; i < n; ++i)
                text += pieces[gen() % pieces.size()];
        }
        const Commit c = convert_and_check(t);
        for (std::size_t i = 0; i < c.failed.size(); ++i) {
            ASSERT_GE(c.failed[i], 1);
            ASSERT_LE(c.failed[i], 22);
            if (i > 0) {
                ASSERT_LT(c.failed[i - 1], c.failed[i]);
            }
        }
        ASSERT_LE(c.record.zentei_limiter, 999);
        ASSERT_LE(c.record.zentei_giveup, 9999999);
        ASSERT_FALSE(std::isnan(c.record.zentei_kakuritu));
    }
    const std::string huge(100000, '9');
    EXPECT_FALSE(commit_with({{kRowKakuritu, huge}}).failed.empty());
}

namespace {

// The message of each check, by its number.
const char* const kCheckMessages[23] = {
    "",
    "大当り確率は数字を入力して下さい。",             // 1
    "確変率は数字を入力して下さい。",                 // 2
    "回転率は数字を入力して下さい。",                 // 3
    "換金率は数字を入力して下さい。",                 // 4
    "時間は数字を入力して下さい。",                   // 5
    "確率入力エラーです。",                           // 6
    "確率は１０００分の１以下です。",                 // 7
    "出玉入力エラーです。",                           // 8
    "出玉は１００００以下です。",                     // 9
    "確変率入力エラーです。",                         // 10
    "確変率は１０００分の１以下です。",               // 11
    "最高継続回数入力エラーです。",                   // 12
    "最高継続回数は数字又は無制限を入力して下さい。", // 13
    "回転率入力エラーです。",                         // 14
    "回転率は１０００回以下です。",                   // 15
    "換金率入力エラーです。",                         // 16
    "時間入力エラーです。",                           // 17
    "時間は最高１４時間です。",                       // 18
    "ギブアップ金額入力エラーです。",                 // 19
    "営業形態は８形態だけです。",                     // 20
    "タイムサービスは４種類だけです。",               // 21
    "ドル箱規制選択エラー",                           // 22
};

// One text of the start texts replaced, and the one check it must fail (0:
// none). Each bound is tried where it still passes and one step past it.
struct BoundCase {
    PremiseRow row;
    const char* text;
    int fails;
};

const BoundCase kBoundCases[] = {
    {kRowKakuritu, "310", 0},
    {kRowKakuritu, "310円", 1},
    {kRowKakuhenritu, "2", 0},
    {kRowKakuhenritu, "2分の1", 2},
    {kRowKaiten, "30", 0},
    {kRowKaiten, "30回", 3},
    {kRowKankin, "2.5", 0},
    {kRowKankin, "2.5円", 4},
    {kRowJikan, "10", 0},
    {kRowJikan, "10h", 5},
    {kRowKakuritu, "1", 0},
    {kRowKakuritu, "0.5", 0},
    {kRowKakuritu, "0", 6},
    {kRowKakuritu, "-1", 6},
    {kRowKakuritu, "1000", 0},
    {kRowKakuritu, "1001", 7},
    {kRowDedama, "1", 0},
    {kRowDedama, "0", 8},
    {kRowDedama, "10000", 0},
    {kRowDedama, "10001", 9},
    {kRowKakuhenritu, "1", 0},
    {kRowKakuhenritu, "0", 10},
    {kRowKakuhenritu, "1000", 0},
    {kRowKakuhenritu, "1001", 11},
    {kRowLimiter, "1", 0},
    {kRowLimiter, "0", 12},
    {kRowLimiter, "999", 0},
    {kRowLimiter, "1000", 0}, // read as 999
    {kRowLimiter, "無制限", 0},
    {kRowLimiter, "5回", 13},
    {kRowKaiten, "1", 0},
    {kRowKaiten, "0", 14},
    // A spin costs whole yen and balls, and takes whole seconds, that a single
    // holds exactly: at most 2^24 = 16,777,216 yen, so 1000 / 2^24 spins and
    // no fewer; 1000 / 0.0000596046 = 16,777,222 yen is past it.
    {kRowKaiten, "0.000059604644775390625", 0},
    {kRowKaiten, "0.0000596046", 14},
    {kRowKaiten, "0.0000000000000000000000000000000000000001", 14},
    {kRowKaiten, "1000", 0},
    {kRowKaiten, "1001", 15},
    {kRowKankin, "0.01", 0},
    {kRowKankin, "0", 16},
    {kRowKankin, "4", 0},
    {kRowKankin, "4.01", 16},
    {kRowKankin, "5", 16},
    {kRowJikan, "1", 0},
    {kRowJikan, "0", 17},
    // A day of at least one second: 1 / 3600 hours.
    {kRowJikan, "0.00027778", 0},
    {kRowJikan, "0.00027777", 17},
    {kRowJikan, "0.0000000000000000000000000000000000000001", 17},
    {kRowJikan, "14", 0},
    {kRowJikan, "15", 18},
    {kRowGiveup, "1", 0},
    {kRowGiveup, "0", 19},
    {kRowGiveup, "9999999", 0},
    {kRowGiveup, "10000000", 0}, // read as 9999999
    {kRowEigyo, "確変→46､37無制限", 0},
    {kRowEigyo, "確変中持ち玉", 20}, // the panel's label, not the list's text
    {kRowTimeService, "9:00-12:00", 0},
    {kRowTimeService, "9:00-13:00", 21},
    {kRowHakokisei, " ７箱", 0},
    {kRowHakokisei, " ８箱", 22},
};

} // namespace

TEST(PremiseChecks, EveryCheckAtAndPastItsBoundWithItsMessage) {
    bool seen[23] = {};
    for (const BoundCase& k : kBoundCases) {
        const Commit c = commit_with({{k.row, k.text}});
        const Checks expected = k.fails ? Checks{k.fails} : Checks{};
        EXPECT_EQ(c.failed, expected) << "row " << k.row << " '" << k.text << "'";
        if (k.fails) {
            EXPECT_EQ(check_message(k.fails), kCheckMessages[k.fails]) << "check " << k.fails;
            seen[k.fails] = true;
        }
    }
    for (int n = 1; n <= 22; ++n)
        EXPECT_TRUE(seen[n]) << "check " << n << " has no case";
}

TEST(PremiseChecks, AFailedPressKeepsItsValuesAndTexts) {
    // Three wrong fields: three messages in table order; the record holds what
    // was typed, and the texts stay as the user left them.
    const Commit c = commit_with(
        {{kRowDedama, "10001"}, {kRowJikan, "0"}, {kRowKakuhenritu, "0"}, {kRowGiveup, "無制限"}});
    ASSERT_EQ(c.failed, (Checks{9, 10, 17}));
    EXPECT_EQ(check_message(9), std::string_view("出玉は１００００以下です。"));
    EXPECT_EQ(check_message(10), std::string_view("確変率入力エラーです。"));
    EXPECT_EQ(check_message(17), std::string_view("時間入力エラーです。"));
    EXPECT_EQ(c.record.zentei_dedama, 10001);
    EXPECT_EQ(c.record.zentei_jikan, 0);
    EXPECT_EQ(c.record.zentei_kakuhenritu, 0);
    EXPECT_EQ(c.record.zentei_giveup, 9999999);
    EXPECT_EQ(c.texts[kRowDedama], "10001");
    EXPECT_EQ(c.texts[kRowJikan], "0");
    EXPECT_EQ(c.texts[kRowGiveup], "9999999");
    EXPECT_EQ(c.texts[kRowKakuritu], "  310");

    // Corrected, the same press passes and commits.
    PremiseTexts t = c.texts;
    t[kRowDedama] = "10000";
    t[kRowJikan] = "14";
    t[kRowKakuhenritu] = "1000";
    const Commit ok = convert_and_check(t);
    EXPECT_TRUE(ok.failed.empty());
    EXPECT_EQ(ok.record.zentei_dedama, 10000);
    EXPECT_EQ(ok.record.zentei_jikan, 14);
    EXPECT_EQ(ok.record.zentei_kakuhenritu, 1000);
    EXPECT_EQ(ok.record.zentei_giveup, 9999999);
}

TEST(PremiseChecks, TheRecordsOwnChecksAtTheirBounds) {
    // What the start of a day asks of a record left by a failed press.
    struct Case {
        Single Premises::*field;
        Single passes, fails;
        int check;
    };
    const Case cases[] = {
        {&Premises::zentei_kakuritu, 1000, 1001, 7},
        {&Premises::zentei_dedama, 10000, 10001, 9},
        {&Premises::zentei_kakuhenritu, 1000, 1001, 11},
        {&Premises::zentei_kaiten, 1000, 1001, 15},
        {&Premises::zentei_kankin, 4, 4.01f, 16},
        {&Premises::zentei_jikan, 14, 15, 18},
        {&Premises::zentei_kakuritu, 0.5f, 0, 6},
        {&Premises::zentei_dedama, 1, 0, 8},
        {&Premises::zentei_kakuhenritu, 1, 0, 10},
        {&Premises::zentei_limiter, 1, 0, 12},
        {&Premises::zentei_kaiten, 1, 0, 14},
        {&Premises::zentei_jikan, 1, 0, 17},
        {&Premises::zentei_giveup, 1, 0, 19},
    };
    for (const Case& k : cases) {
        Premises z;
        z.*k.field = k.passes;
        EXPECT_TRUE(check_record(z).empty()) << "check " << k.check;
        z.*k.field = k.fails;
        EXPECT_EQ(check_record(z), Checks{k.check}) << "check " << k.check;
    }
    Premises codes;
    codes.zentei_eigyo = 9;
    codes.zentei_timeservice = 5;
    codes.zentei_hakokisei = 7;
    EXPECT_EQ(check_record(codes), (Checks{20, 21, 22}));
    // Each code outside its list, on either side, and the list's own ends.
    struct Code {
        Int16 Premises::*field;
        int first, last, check;
    };
    for (const Code& k :
         {Code{&Premises::zentei_eigyo, 1, 8, 20}, Code{&Premises::zentei_timeservice, 1, 4, 21},
          Code{&Premises::zentei_hakokisei, 1, 6, 22}}) {
        for (int code : {k.first, k.last}) {
            Premises z;
            z.*k.field = Int16(code);
            EXPECT_TRUE(check_record(z).empty()) << "check " << k.check << " code " << code;
        }
        for (int code : {k.first - 1, k.last + 1, k.last + 2}) {
            Premises z;
            z.*k.field = Int16(code);
            EXPECT_EQ(check_record(z), Checks{k.check}) << "code " << code;
        }
    }
}

TEST(PremiseChecks, ANumberTooLargeForTheRecordIsHeldAtItsLargest) {
    const std::string huge = "1" + std::string(40, '0'); // 1e40, beyond any float
    PremiseTexts t = start_texts();
    t[kRowKaiten] = huge;
    Commit c = convert_and_check(t);
    EXPECT_EQ(c.record.zentei_kaiten, 3e38f);
    // (3e38 × 6 + 250) × 0.6 / 3e38 seconds a spin is no finite time in a
    // single, as well as past 1000 spins.
    EXPECT_EQ(c.failed, (Checks{14, 15}));
    t[kRowKaiten] = "-" + huge;
    c = convert_and_check(t);
    EXPECT_EQ(c.record.zentei_kaiten, -3e38f);
    EXPECT_EQ(c.failed, Checks{14});
}

TEST(PremisesDialog, EveryListWithItsItemsAsWritten) {
    using L = std::vector<std::string>;
    EXPECT_EQ(list_items(kRowKakuritu),
              (L{"    1", "    3", "    5", "   10", "   20", "   30", "   40",
                 "   50", "  100", "  150", "  200", "  230", "  250", "  300",
                 "  310", "  320", "  338", "  350", "  400", "  450", "  500"}));
    EXPECT_EQ(list_items(kRowKakuhenritu), (L{"   1", "   2", "   2.17", "   2.5", "   3", "   4",
                                              "   5", "   6", "   7", "   8"}));
    EXPECT_EQ(list_items(kRowLimiter), (L{"     2", "     3", "     4", "     5", "     6",
                                          "     7", "     8", "     9", "    10", "無制限"}));
    L spins;
    for (int n = 10; n <= 50; ++n)
        spins.push_back("   " + std::to_string(n));
    EXPECT_EQ(list_items(kRowKaiten), spins);
    EXPECT_EQ(list_items(kRowJikan),
              (L{"    1", "    2", "    3", "    4", "    5", "    6", "    7", "    8", "    9",
                 "   10", "   11", "   12", "   13", "   14"}));
    EXPECT_EQ(list_items(kRowKankin),
              (L{" 2.00", " 2.10", " 2.20", " 2.22", " 2.27", " 2.30", " 2.40",
                 " 2.45", " 2.50", " 2.60", " 2.70", " 2.80", " 2.90", " 3.00",
                 " 3.10", " 3.20", " 3.30", " 3.40", " 3.50", " 4.00"}));
    EXPECT_EQ(list_items(kRowGiveup), (L{"  5000", " 10000", " 20000", " 25000", " 30000", " 35000",
                                         " 40000", " 45000", " 50000", "無制限"}));
    EXPECT_EQ(list_items(kRowTimeService), (L{"なし", "9:00-10:00", "9:00-11:00", "9:00-12:00"}));
    EXPECT_EQ(list_items(kRowHakokisei),
              (L{"規制なし", " ３箱", " ４箱", " ５箱", " ６箱", " ７箱"}));
}

// The premises dialog's rows as it shows them: label and list places in pixels
// inside its panel; the last three lists are wider, their labels shorter.
TEST(PremisesDialog, RowsInTheirPlaces) {
    struct Row {
        const char* label;
        const char* name;
        int label_width, list_left, list_width;
    };
    const Row rows[] = {
        {"大当たり確率 (1/?)", "entkakuritu", 153, 191, 65},
        {"大当たり出玉", "entdedama", 153, 191, 65},
        {"確変・時短率 (1/?)", "entkakuhenritu", 153, 191, 65},
        {"最高継続回数（リミッター）", "entlimiter", 153, 191, 65},
        {"千円あたり回転率", "entkaiten", 153, 191, 65},
        {"一日あたりﾌﾟﾚｲ時間", "entjikan", 153, 191, 65},
        {"換金率（円／個）", "entkankin", 153, 191, 65},
        {"ｷﾞﾌﾞｱｯﾌﾟ金額", "entgiveup", 153, 191, 65},
        {"営業形態", "enteigyo", 65, 104, 152},
        {"ﾗｯｷｰﾀｲﾑｻｰﾋﾞｽ", "enttimeservice", 97, 136, 121},
        {"ﾄﾞﾙ箱規制（2,500個/箱）", "enthakokisei", 145, 176, 81},
    };
    for (int r = 0; r < kPremiseRows; ++r) {
        const PremiseRowFace& f = premise_rows()[r];
        SCOPED_TRACE(rows[r].name);
        EXPECT_STREQ(f.label, rows[r].label);
        EXPECT_STREQ(f.name, rows[r].name);
        const int top = 24 + 32 * r;
        EXPECT_EQ((std::array{f.label_place.width, f.label_place.height, f.label_place.left,
                              f.label_place.top}),
                  (std::array{rows[r].label_width, 21, 40, top}));
        EXPECT_EQ((std::array{f.list_place.width, f.list_place.left, f.list_place.top}),
                  (std::array{rows[r].list_width, rows[r].list_left, top}));
    }
}

// OK: a refused press shows the corrected texts first, then its box, and
// leaves the record; an accepted one writes it.
TEST(PremisesDialog, OkWritesTheRecordOnlyWhenEveryCheckPasses) {
    popchan::testing::ScriptedDialogs boxes;
    Premises record;
    record.zentei_kaiten = 25;
    PremiseTexts texts = start_texts();
    texts[kRowKaiten] = "0";
    std::vector<std::string> order;
    boxes.while_open = [&](const popchan::testing::ScriptedDialogs::Box&) {
        order.push_back("box");
    };
    EXPECT_FALSE(premises_ok(texts, record, boxes, [&] { order.push_back("show"); }));
    EXPECT_EQ(order, (std::vector<std::string>{"show", "box"}));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "回転率入力エラーです。");
    EXPECT_EQ(boxes.boxes[0].title, "入力エラー");
    EXPECT_EQ(record.zentei_kaiten, 25);

    texts = start_texts();
    EXPECT_TRUE(premises_ok(texts, record, boxes, [] {}));
    EXPECT_EQ(record.zentei_kaiten, 30);
    EXPECT_EQ(boxes.boxes.size(), 1u);
}
