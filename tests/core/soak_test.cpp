// A thousand seeded days through the whole pipeline: the lottery, the display
// sequence tick by tick with every presentation, and the accounting, on the
// machine's clock. The books must balance at the end of every day and no
// run-time error may be reported.
#include <gtest/gtest.h>

#include <cmath>

#include "core/fakes.h"
#include "parlour/formdigi_model.h"

using namespace popchan;

namespace {

// Checks the day's books when its result is shown, before they are cleared.
class Auditor : public Dialogs {
  public:
    FormDigiModel* model = nullptr;
    int days = 0, errors = 0, unbalanced = 0;
    double jackpots = 0, presented = 0;

    void message(const std::string&, const std::string& title, MessageIcon) override {
        if (title == kErrorTitle) {
            ++errors;
            return;
        }
        ++days;
        const DayState& d = model->day;
        // The balance is the balls held, valued in whole 100 yen at the
        // exchange rate, plus the yen exchanged, less the yen spent.
        const double balls = d.shushi - d.kankin_gaku + d.shishutsu_gaku;
        const double rate = model->premises.zentei_kankin;
        const bool books =
            std::fmod(balls, 100.0) == 0 && std::fabs(balls - d.mochidama * rate) <= 50 &&
            d.kaiten_total >= d.kaiten_tsujo && d.hatsuatari_count <= d.atari_count &&
            std::fmod(d.shishutsu_gaku, 100.0f) == 0 &&
            model->screen.rireki.size() == std::size_t(d.atari_count) &&
            d.renchan_max <= d.atari_count;
        unbalanced += !books;
        jackpots += d.atari_count;
        for (int k = 2; k <= 11; ++k)
            presented += model->reach.count(k, 1) + model->reach.count(20 + k, 1);
    }
    bool ask_yes_no(const std::string&, const std::string&, MessageIcon) override { return false; }
};

} // namespace

// Four runs of 250 days, each from a seed of its own, so that the runs can go
// side by side.
class Soak : public ::testing::TestWithParam<int> {};

TEST_P(Soak, AThousandDaysThroughTheWholePipeline) {
    Auditor auditor;
    FormDigiModel model(auditor, nullptr,
                        std::make_unique<MachineRandom>(20261207 + GetParam(), false));
    auditor.model = &model;
    model.Form_Load(15, 15, "");
    model.digi.set_drawing(false); // the pixels are tested elsewhere; here the sequence
    model.premises.zentei_jikan = 1;
    model.premises.zentei_kakuritu = 150; // more jackpots and presentations a day
    model.premises.zentei_eigyo = 8;
    model.premises.zentei_hakokisei = 2;
    for (int day = 1; day <= 250; ++day) {
        model.a3_Click();
        const int before = auditor.days;
        for (int guard = 0; auditor.days == before && guard < 100000; ++guard)
            model.advance(1000);
        ASSERT_EQ(auditor.days, before + 1) << "day " << day << " never ended";
    }
    EXPECT_EQ(auditor.errors, 0);
    EXPECT_EQ(auditor.unbalanced, 0);
    EXPECT_GT(auditor.jackpots, 500);
    EXPECT_GT(auditor.presented, 2500);
}

INSTANTIATE_TEST_SUITE_P(Quarter, Soak, ::testing::Range(0, 4));
