#include "analysis/simulation.h"

#include <algorithm>
#include <limits>

#include "common/random.h"
#include "parlour/formdigi_model.h"

namespace popchan::analysis {

int resolve_zan(int recorded, int carried) {
    if (recorded <= 1000) return recorded; // set afresh during the day
    return std::max(carried - (kZanMarker - recorded), 0);
}

std::uint64_t day_seed(std::uint64_t run_seed, std::int64_t day) {
    std::uint64_t x = run_seed ^ (std::uint64_t(day) * 0xD1B54A32D192ED03ull);
    return splitmix64(x);
}

// Answers the core's message boxes: the end of the day's result, which marks
// the moment to read the day's figures, and run-time errors.
struct DayPlayer::Silent : Dialogs {
    FormDigiModel* model = nullptr;
    DayResult* result = nullptr;
    std::string error;
    int next_hour = 1;

    void message(const std::string& text, const std::string& title, MessageIcon) override {
        if (title == kErrorTitle) {
            if (error.empty()) error = text;
            return;
        }
        if (!result || !model) return;
        const DayState& d = model->day;
        DayResult& r = *result;
        r.spins = d.kaiten_total;
        r.spins_normal = d.kaiten_tsujo;
        r.jackpots = d.atari_count;
        r.first_hits = d.hatsuatari_count;
        r.max_hamari = d.hamari_max;
        r.max_chain = d.renchan_max;
        r.balls = d.mochidama;
        r.exchanged = d.kankin_gaku;
        r.spent = d.shishutsu_gaku;
        r.balance = d.shushi;
        r.end_seconds = d.keika_byo;
        r.kakuhen_end = model->spin.kakuhen_flag;
        r.by_hours = d.keika_byo > model->premises.zentei_jikan * 3600;
        r.by_giveup = d.shushi < -model->premises.zentei_giveup;
        // The player leaves with this balance: it stands for the hours after too.
        for (; next_hour <= kMaxHours; ++next_hour)
            r.hourly[next_hour] = d.shushi;
    }
    bool ask_yes_no(const std::string&, const std::string&, MessageIcon) override { return false; }

    // The clock of the first hour's mark.
    Single start_day() {
        next_hour = 1;
        return 3600;
    }
    // Notes the balance at the hours the clock has passed; the clock of the
    // next mark, or past the last hour one above every clock.
    Single note_hours() {
        const DayState& d = model->day;
        while (next_hour <= kMaxHours && d.keika_byo >= next_hour * 3600.0f)
            result->hourly[next_hour++] = d.shushi;
        return next_hour <= kMaxHours ? next_hour * 3600.0f
                                      : std::numeric_limits<Single>::infinity();
    }
};

DayPlayer::DayPlayer(const Premises& premises) : dialogs_(std::make_unique<Silent>()) {
    auto rng = std::make_unique<MachineRandom>(0, false);
    rng_ = rng.get();
    model_ = std::make_unique<FormDigiModel>(*dialogs_, nullptr, std::move(rng));
    model_->Form_Load(15, 15, "");
    model_->digi.set_drawing(false);
    model_->set_screen_shown(false);
    model_->spin.digi_mode = kDigiHideAll;
    model_->premises = premises;
    dialogs_->model = model_.get();
}

DayPlayer::~DayPlayer() = default;

const std::string& DayPlayer::error() const {
    return dialogs_->error;
}

DayResult DayPlayer::play(std::int64_t day, std::uint64_t run_seed, std::vector<SpinRow>* rows,
                          ReachTable& reach) {
    FormDigiModel& m = *model_;
    DayResult result;
    result.day = day;
    dialogs_->result = &result;
    Single next_mark = dialogs_->start_day();
    rng_->seed(day_seed(run_seed, day));
    m.spin.kakuhen_zan = kZanMarker;
    m.a3_Click();
    std::int32_t spin = 0;
    // The day ends when its timer stops, at the end of the day or on an error.
    bool over = m.clock().interval(0) == 0 || !dialogs_->error.empty();
    while (!over) {
        const SpinState& s = m.spin;
        const SpinBefore before = m.tick_spin([&] {
            if (rows && s.spin_phase == 1)
                rows->push_back({++spin, std::int8_t(int(s.kakuhen_flag)),
                                 std::int8_t(int(s.atari_flag)), std::int8_t(int(s.atari_egara)),
                                 std::int8_t(int(s.shoukaku_egara)), std::int8_t(int(s.reach_kind)),
                                 std::int8_t(int(s.suberi_flag)), std::int8_t(int(s.yokoku_chara)),
                                 std::int8_t(int(s.yokoku_level)),
                                 std::int16_t(int(s.kakuhen_zan))});
            // The display changes none of these.
            return SpinBefore{s.kakuhen_flag, s.atari_flag, m.day.renchan, m.day.keika_byo};
        });
        over = m.clock().interval(0) == 0;
        // Reset has cleared the day by now: its end is as the result saw it.
        if (over)
            result.tally.book(before, result.end_seconds, result.kakuhen_end);
        else
            result.tally.book(before, m.day.keika_byo, s.kakuhen_flag);
        if (m.day.keika_byo >= next_mark) [[unlikely]]
            next_mark = dialogs_->note_hours();
        over = over || !dialogs_->error.empty();
    }
    result.zan_end = m.spin.kakuhen_zan;
    for (int row = 0; row < 32; ++row)
        for (int column = 0; column < 2; ++column)
            reach[row][column] += m.reach.count(row, column);
    dialogs_->result = nullptr;
    return result;
}

} // namespace popchan::analysis
