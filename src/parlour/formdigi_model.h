// The main window's core: it owns every variable of the machine and of the
// day, the premises record, the clock with the four timers, the display
// surfaces and what the window shows. The window and the batch tool drive it;
// nothing else changes its state.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <type_traits>

#include "common/bgm.h"
#include "common/clock.h"
#include "common/dialogs.h"
#include "common/random.h"
#include "display/digi.h"
#include "display/spin_sequence.h"
#include "machine/lottery.h"
#include "machine/spin_state.h"
#include "parlour/accounting.h"
#include "parlour/day_state.h"
#include "parlour/graph.h"
#include "parlour/screen.h"
#include "premises/premises.h"
#include "presentations/presentations.h"
#include "stats/reach_stats.h"

namespace popchan {

// Label font sizes: Int(nominal × twips per pixel / 15).
int scaled_font_size(int nominal, int twips_per_px);

class FormDigiModel {
  public:
    static constexpr int kWidth = 632, kHeight = 430; // client area in pixels
    // Play speeds of h2(0..3): simulated milliseconds per real millisecond.
    static constexpr std::array<int, 4> kSpeeds = {1, 2, 5, 10};

    // Without a generator of its own the machine draws from a clock-mixed one.
    explicit FormDigiModel(Dialogs& dialogs, MediaDevice* media = nullptr,
                           std::unique_ptr<Random> rng = nullptr);
    FormDigiModel(const FormDigiModel&) = delete;
    FormDigiModel& operator=(const FormDigiModel&) = delete;

    // Start-up: twips per pixel of the screen, and the program's folder.
    void Form_Load(int twips_x, int twips_y, std::string app_path);
    // The window closes: the music stops.
    void Form_Unload();

    void a2_Click();          // Premises: the dialog opens; Start is possible, Reset not
    void a3_Click();          // Start
    void a4_Click();          // Reset, also the end of the day
    bool a5_Click();          // Exit: true when the user confirmed and the window unloads
    void b2_Click();          // show every spin
    void b4_Click(Int16 i);   // hide spins but reaches (1) or but jackpots (2)
    void f2_Click();          // Sound on
    void f3_Click();          // Sound off
    void h2_Click(int i);     // play speed kSpeeds[i]; music only at the machine's own pace
    void d6_Click();          // the version box
    void set_on_top(bool on); // the window kept above the others, as the menu shows it

    // One tick of timer 0..3 (Timer1 … Timer4), as the clock fires it.
    void tick(int timer) { on_timer(timer); }
    // Ticks of Timer1, Timer2 and Timer3 in a row, as the clock fires them in
    // one millisecond; `after_lottery` sees the lottery's decisions before the
    // display and the accounting take them, and what it returns is returned.
    // The batch tool plays its days this way, at machine speed; inline, for
    // its hundreds of millions of spins.
    template <class F> auto tick_spin(F&& after_lottery) {
        timer_handler(0, [this] { lottery_tick(); });
        const auto rest = [this] {
            timer_handler(1, [this] { Timer2_Timer(display_); });
            timer_handler(2, [this] { Timer3_Timer(accounting_); });
        };
        if constexpr (std::is_void_v<decltype(after_lottery())>) {
            after_lottery();
            rest();
        } else {
            auto seen = after_lottery();
            rest();
            return seen;
        }
    }
    // Whether anybody sees the window; the batch tool says no, and the day's
    // figures are kept without the screen's clock, lists, graph and signs.
    void set_screen_shown(bool shown) {
        accounting_.shown = shown;
        reach.set_shown(shown);
    }

    // Lets simulated milliseconds pass on the clock.
    void advance(std::int64_t ms) { clock_.advance(ms); }
    const Clock& clock() const { return clock_; }
    // How many simulated milliseconds pass in one real one.
    int speed() const { return kSpeeds.at(screen.menus.h2_checked); }

    // The window's state, read by the window and by tests.
    SpinState spin;
    DayState day;
    Premises premises;
    ReachStats reach;
    BalanceGraph graph;
    FormDigiScreen screen;
    Bgm bgm;
    int twips_per_px_x = 15, twips_per_px_y = 15;

  private:
    void on_timer(int timer);
    [[gnu::always_inline]] void lottery_tick() {
        if (machine_rng_)
            Timer1_Timer(spin, day.renchan, premises, *machine_rng_);
        else
            Timer1_Timer(spin, day.renchan, premises, *rng_);
    }
    // Runs a timer's handler; a run-time error is reported once, not on every
    // tick that fails the same way.
    template <class F> void timer_handler(int timer, F&& handler) {
        try {
            handler();
            std::string& last = last_report_[timer];
            if (!last.empty()) last.clear();
        } catch (const RuntimeError& e) {
            report_tick_error(timer, e);
        }
    }
    void report_tick_error(int timer, const RuntimeError& e);
    void start_day();
    void reset_day();
    void clear_day_screen();
    void changed() { ++screen.revision; }
    // Runs a handler; a run-time error ends it with the uniform error report.
    template <class F> void guarded(ReportForm form, F&& handler);

    Dialogs& dialogs_;
    std::unique_ptr<Random> rng_;
    MachineRandom* machine_rng_ = nullptr; // rng_ when it is the machine's own kind
    Clock clock_;

  public:
    Digi digi{*rng_}; // the display: surfaces, pictures, drawing

  private:
    DisplayContext display_{spin, digi, *rng_, bgm, present_reach};
    AccountingContext accounting_{
        spin, day, premises, reach, graph, screen, [this] { a4_Click(); }};
    std::array<std::string, Clock::kTimers> last_report_; // per timer, against repeats
};

} // namespace popchan
