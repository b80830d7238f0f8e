#include "parlour/formdigi_model.h"

#include "parlour/help_windows.h"

#include "premises/validation.h"

namespace popchan {

int scaled_font_size(int nominal, int twips_per_px) {
    return static_cast<int>(vb_int(nominal * twips_per_px / 15.0));
}

FormDigiModel::FormDigiModel(Dialogs& dialogs, MediaDevice* media, std::unique_ptr<Random> rng)
    : bgm(clock_, media), dialogs_(dialogs),
      rng_(rng ? std::move(rng) : std::make_unique<MachineRandom>()),
      machine_rng_(dynamic_cast<MachineRandom*>(rng_.get())),
      clock_([this](int t) { on_timer(t); }) {}

template <class F> void FormDigiModel::guarded(ReportForm form, F&& handler) {
    try {
        handler();
    } catch (const RuntimeError& e) {
        dialogs_.message(error_report(e, form), kErrorTitle, MessageIcon::None);
    }
}

void FormDigiModel::Form_Load(int twips_x, int twips_y, std::string app_path) {
    guarded(ReportForm::Long, [&] {
        twips_per_px_x = twips_x;
        twips_per_px_y = twips_y;
        screen.menus = Menus{};
        for (int t = 0; t < 3; ++t)
            clock_.set_interval(t, 0);
        spin.spin_phase = 0;
        premises = Premises{};
        graph.clear(twips_per_px_x, twips_per_px_y);
        digi.set_back_color(kBackNormal);
        reach.Reach_Rireki(99, spin.reach_kind, spin.atari_flag, spin.kakuhen_flag, spin.digi_mode);
        bgm.set_app_path(std::move(app_path));
        clear_day_screen();
    });
}

void FormDigiModel::Form_Unload() {
    bgm.Bgm_Control("stop", 2);
}

void FormDigiModel::report_tick_error(int timer, const RuntimeError& e) {
    // A failing tick fails again on the next one; say it once.
    const std::string text = error_report(e, ReportForm::Short);
    if (text != last_report_[timer]) dialogs_.message(text, kErrorTitle, MessageIcon::None);
    last_report_[timer] = text;
}

void FormDigiModel::on_timer(int timer) {
    switch (timer) {
    case 0:
        return timer_handler(0, [this] { lottery_tick(); });
    case 1:
        return timer_handler(1, [this] { Timer2_Timer(display_); });
    case 2:
        return timer_handler(2, [this] { Timer3_Timer(accounting_); });
    case 3:
        return timer_handler(3, [this] { bgm.Timer4_Timer(); });
    default:
        return;
    }
}

void FormDigiModel::a2_Click() {
    screen.menus.a2 = true;
    screen.menus.a3 = true;
    screen.menus.a4 = false;
    changed();
}

void FormDigiModel::a3_Click() {
    guarded(ReportForm::Short, [&] { start_day(); });
    changed();
}

void FormDigiModel::start_day() {
    // A failed OK of the premises dialog leaves its values in the record; a day
    // must not start with them.
    const std::vector<int> failed = check_record(premises);
    for (int n : failed)
        dialogs_.message(std::string(check_message(n)), kInputErrorTitle, MessageIcon::Warning);
    if (!failed.empty()) return;

    clock_.set_interval(0, 1);
    clock_.set_interval(1, 10);
    clock_.set_interval(2, 1);
    clock_.set_interval(Bgm::kTimer, 0);
    screen.menus.a2 = false;
    screen.menus.a3 = false;
    screen.menus.a4 = true;
    day.nichime = 1;
    spin.spin_phase = 0;
    spin.reach_kind = 0;
    day.shushi = 0;
    spin.atari_flag = 0;
    spin.atari_egara = 0;
    graph.start_pen();

    const Premises& z = premises;
    if (z.zentei_eigyo == 2) {
        day.museigen_flag = 1;
        screen.fuda[0] = true;
    }
    screen.zentei[0] = cstr(z.zentei_kakuritu);
    screen.zentei[1] = cstr(z.zentei_dedama);
    screen.zentei[2] = cstr(z.zentei_kakuhenritu);
    screen.zentei[3] = z.zentei_limiter > 99 ? std::string(kUnlimited) : cstr(z.zentei_limiter);
    screen.zentei[4] = cstr(z.zentei_kaiten);
    // Row 5 is named "換金率(¥/個)" and row 6 "プレイ時間(h)".
    screen.zentei[5] = cstr(z.zentei_kankin);
    screen.zentei[6] = cstr(z.zentei_jikan);
    screen.zentei[7] =
        z.zentei_giveup >= kGiveupUnlimited ? std::string(kUnlimited) : cstr(z.zentei_giveup);
    screen.zentei[8] = element(kEigyoLabels, z.zentei_eigyo, 1);

    if (z.zentei_eigyo == 2) premises.zentei_timeservice = 1;
    if (z.zentei_hakokisei == 1) {
        screen.pichakokisei = false;
    } else {
        screen.labelhakokiseisu = element(kHakokiseiLabels, z.zentei_hakokisei, 2);
        screen.pichakokisei = true;
    }
    if (premises.zentei_timeservice != 1) screen.pictimeservice = true;
    reach.Reach_Rireki(99, spin.reach_kind, spin.atari_flag, spin.kakuhen_flag, spin.digi_mode);
}

void FormDigiModel::a4_Click() {
    guarded(ReportForm::Short, [&] { reset_day(); });
    changed();
}

namespace {
// "今日は、12300円、負けました。" and its kin.
std::string result_sentence(Single shushi) {
    if (shushi < 0) return "今日は、" + cstr(Single(-shushi)) + "円、負けました。";
    if (shushi > 0) return "今日は、" + cstr(shushi) + "円、勝ちました。";
    return "今日は、収支トントンでした。";
}
constexpr const char* kEndHeading = "シミュレーション終了\n\n";
} // namespace

void FormDigiModel::reset_day() {
    for (int t = 0; t < 3; ++t)
        clock_.set_interval(t, 0);
    digi.PictureWaku.touch();
    digi.set_back_color(kBackNormal);
    bgm.Bgm_Control("stop", 2);
    screen.menus.a2 = true;
    screen.menus.a3 = true;
    screen.menus.a4 = false;
    // The sound menu shows the switch as it really is.
    screen.menus.f2 = bgm.sound_off == 1;
    screen.menus.f3 = bgm.sound_off != 1;
    h2_Click(0); // the next day starts at the machine's own pace; the menus show
    dialogs_.message(kEndHeading + result_sentence(day.shushi), kAppTitle, MessageIcon::None);

    // kakuhen_zan stays: the next jackpot's lottery sets it again.
    spin.kakuhen_flag = 0;
    spin.atari_flag = 0;
    spin.atari_egara = 0;
    spin.reach_kind = 0;
    spin.suberi_flag = 0;
    spin.spin_tick = 0;
    spin.egara_step = {};
    spin.spin_phase = 0;
    day = DayState{};
    day.nichime = 1;
    clear_day_screen();
    graph.clear(twips_per_px_x, twips_per_px_y);
}

void FormDigiModel::clear_day_screen() {
    screen.jikan = {1, 0, 0};
    screen.fuda = {};
    screen.dorubako = {};
    screen.rireki.clear();
}

void FormDigiModel::b2_Click() {
    screen.menus.b2 = false;
    screen.menus.b3 = screen.menus.b4_1 = screen.menus.b4_2 = true;
    spin.digi_mode = kDigiShowAll;
    reach.Reach_Rireki(99, spin.reach_kind, spin.atari_flag, spin.kakuhen_flag, spin.digi_mode);
    changed();
}

void FormDigiModel::b4_Click(Int16 i) {
    bgm.Bgm_Control("stop", 2);
    screen.menus.b2 = screen.menus.b3 = true;
    screen.menus.b4_1 = i != 1;
    screen.menus.b4_2 = i == 1;
    spin.digi_mode = i == 1 ? kDigiReachesOnly : kDigiJackpotsOnly;
    // A spin being shown goes on from its closing. Between spins there is none
    // to move: the next spin must start from its beginning.
    if (spin.spin_tick != 0) spin.spin_tick = spin.mark_close;
    reach.Reach_Rireki(99, spin.reach_kind, spin.atari_flag, spin.kakuhen_flag, spin.digi_mode);
    digi.set_back_color(spin.kakuhen_flag != 0 ? kBackKakuhen : kBackNormal);
    changed();
}

void FormDigiModel::f2_Click() {
    screen.menus.f2 = false;
    screen.menus.f3 = true;
    bgm.sound_off = 0; // nothing plays until the next cue
    changed();
}

void FormDigiModel::f3_Click() {
    screen.menus.f2 = true;
    screen.menus.f3 = false;
    bgm.Bgm_Control("stop", 2); // while the switch is still on, so the music really stops
    bgm.sound_off = 1;
    changed();
}

void FormDigiModel::h2_Click(int i) {
    screen.menus.h2_checked = i;
    bgm.set_hushed(i != 0);
    changed();
}

void FormDigiModel::d6_Click() {
    Show_Version(dialogs_);
}

void FormDigiModel::set_on_top(bool on) {
    screen.menus.g3_checked = on;
    changed();
}

bool FormDigiModel::a5_Click() {
    digi.PictureWaku.touch();
    std::string text = kEndHeading;
    if (day.shushi != 0) text += result_sentence(day.shushi) + "\n\n";
    text += "終了しますか。\n\n";
    if (!dialogs_.ask_yes_no(text, kCaption, MessageIcon::Question)) return false;
    bgm.Bgm_Control("stop", 2);
    return true;
}

} // namespace popchan
