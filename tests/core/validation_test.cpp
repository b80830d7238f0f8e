#include <gtest/gtest.h>

#include <cmath>
#include <random>

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

TEST(Premises, Limiter) {
    EXPECT_EQ(commit_with({{kRowLimiter, "1500"}}).record.zentei_limiter, 999);
    EXPECT_EQ(commit_with({{kRowLimiter, "0"}}).failed, Checks{12});
    EXPECT_EQ(commit_with({{kRowLimiter, "abc"}}).failed, (Checks{12, 13}));
    EXPECT_EQ(commit_with({{kRowLimiter, " 無制限"}}).failed, (Checks{12, 13})); // not exactly
    // A chain limit that is not whole would never be met.
    const Commit half = commit_with({{kRowLimiter, "2.5"}});
    EXPECT_EQ(half.failed, Checks{13});
    EXPECT_EQ(check_message(13), "最高継続回数は数字又は無制限を入力して下さい。");
}

TEST(Premises, GiveUp) {
    const Commit unlimited = commit_with({{kRowGiveup, "無制限"}});
    EXPECT_EQ(unlimited.record.zentei_giveup, 9999999);
    EXPECT_EQ(unlimited.texts[kRowGiveup], "9999999");
    EXPECT_TRUE(unlimited.failed.empty());
    const Commit big = commit_with({{kRowGiveup, "12345678"}});
    EXPECT_EQ(big.record.zentei_giveup, 9999999);
    EXPECT_TRUE(big.failed.empty());
    EXPECT_EQ(commit_with({{kRowGiveup, "-5"}}).failed, Checks{19});
}

TEST(Premises, ExchangeRateAndHours) {
    EXPECT_TRUE(commit_with({{kRowKankin, " 4.00"}}).failed.empty());
    EXPECT_EQ(commit_with({{kRowKankin, "4.01"}}).failed, Checks{16});
    EXPECT_EQ(commit_with({{kRowKankin, "0"}}).failed, Checks{16});
    EXPECT_TRUE(commit_with({{kRowJikan, "   14"}}).failed.empty());
    EXPECT_EQ(commit_with({{kRowJikan, "14.5"}}).failed, Checks{18});
}

TEST(Premises, LeadingNumberIsStoredEvenWhenTheTextFails) {
    const Commit c = commit_with({{kRowKakuritu, "310abc"}});
    EXPECT_EQ(c.failed, Checks{1});
    EXPECT_EQ(c.record.zentei_kakuritu, 310);
    EXPECT_EQ(commit_with({{kRowKakuritu, ""}}).failed, (Checks{1, 6}));
    EXPECT_EQ(commit_with({{kRowDedama, "lots"}}).failed, Checks{8});
}

TEST(Premises, CodesByExactText) {
    EXPECT_EQ(commit_with({{kRowEigyo, "確変→4･6･8交換"}}).record.zentei_eigyo, 7);
    EXPECT_EQ(commit_with({{kRowEigyo, "確変後"}}).failed, Checks{20});
    EXPECT_EQ(commit_with({{kRowHakokisei, " ３箱"}}).record.zentei_hakokisei, 2);
    EXPECT_EQ(commit_with({{kRowHakokisei, "３箱"}}).failed, Checks{22});
    EXPECT_EQ(commit_with({{kRowTimeService, "9:00-13:00"}}).failed, Checks{21});
}

TEST(Premises, SeveralWrongFieldsFailInTableOrder) {
    const Commit c = commit_with(
        {{kRowHakokisei, "x"}, {kRowKakuritu, "2000"}, {kRowKaiten, "zero"}, {kRowJikan, "20"}});
    EXPECT_EQ(c.failed, (Checks{3, 7, 14, 18, 22}));
    EXPECT_EQ(check_message(7), "確率は１０００分の１以下です。");
    EXPECT_EQ(check_message(22), "ドル箱規制選択エラー");
}

TEST(Premises, EveryListItemPassesAndReadsAsItShows) {
    EXPECT_EQ(list_items(kRowKaiten).size(), 41u);
    EXPECT_EQ(list_items(kRowKaiten).front(), "   10");
    EXPECT_EQ(list_items(kRowKaiten).back(), "   50");
    EXPECT_EQ(list_items(kRowKakuritu).size(), 21u);
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
