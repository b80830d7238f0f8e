// The music: the committed pieces render to real sound, the player obeys the
// media commands, and the machine's cues come in the right order.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <filesystem>
#include <fluidsynth.h>
#include <fstream>
#include <memory>
#include <thread>
#include <unistd.h>

#include "common/clock.h"
#include "core/display_rig.h"
#include "display/spin_sequence.h"
#include "parlour/formdigi_model.h"
#include "shell/fluid_media.h"

using namespace popchan;
using popchan::testing::RecordingMedia;
using popchan::testing::ScriptedDialogs;

namespace {

const std::string kMusic = POPCHAN_MUSIC_DIR;

std::string soundfont() {
    for (const auto& font : FluidMedia::default_soundfonts())
        if (std::filesystem::exists(font)) return font;
    return {};
}

struct Render {
    double seconds = 0, rms_db = -200, peak_db = -200;
};

// Plays the file through a synthesizer without a device, as fast as it computes.
Render render(const std::string& file) {
    Render r;
    fluid_settings_t* settings = new_fluid_settings();
    fluid_settings_setnum(settings, "synth.gain", 0.6);
    fluid_synth_t* synth = new_fluid_synth(settings);
    fluid_synth_sfload(synth, soundfont().c_str(), 1);
    fluid_player_t* player = new_fluid_player(synth);
    fluid_player_add(player, file.c_str());
    fluid_player_play(player);
    const int block = 4410;
    std::vector<float> left(block), right(block);
    double sum = 0, peak = 0;
    long frames = 0;
    while (fluid_player_get_status(player) == FLUID_PLAYER_PLAYING && frames < 44100L * 120) {
        fluid_synth_write_float(synth, block, left.data(), 0, 1, right.data(), 0, 1);
        for (int i = 0; i < block; ++i) {
            sum += left[i] * left[i] + right[i] * right[i];
            peak = std::max({peak, double(std::fabs(left[i])), double(std::fabs(right[i]))});
        }
        frames += block;
    }
    delete_fluid_player(player);
    delete_fluid_synth(synth);
    delete_fluid_settings(settings);
    r.seconds = frames / 44100.0;
    r.rms_db = 10 * std::log10(sum / (2.0 * frames) + 1e-30);
    r.peak_db = 20 * std::log10(peak + 1e-30);
    return r;
}

} // namespace

TEST(Music, EveryPieceRendersToSoundOfItsLength) {
    ASSERT_FALSE(soundfont().empty()) << "no General MIDI soundfont installed";
    struct Piece {
        const char* name;
        double min_s, max_s;
    };
    // The player reports "playing" for about 2 s after the last note.
    for (const Piece& p :
         {Piece{"kaiten.mid", 16, 27}, Piece{"reach.mid", 15, 27}, Piece{"chusen.mid", 3, 8},
          Piece{"atari.mid", 6, 14}, Piece{"teishi.mid", 1, 5}, Piece{"hazure.mid", 1.5, 5},
          Piece{"zenkai.mid", 15, 27}}) {
        const Render r = render(kMusic + "/" + p.name);
        EXPECT_GE(r.seconds, p.min_s) << p.name;
        EXPECT_LE(r.seconds, p.max_s) << p.name;
        EXPECT_GT(r.rms_db, -40) << p.name << " is nearly silent";
        EXPECT_LT(r.peak_db, 0) << p.name << " clips";
    }
}

TEST(Music, ThePlayerObeysTheMediaCommands) {
    const std::string out = std::filesystem::temp_directory_path() / "popchan-music-test.wav";
    FluidMedia media(FluidMedia::default_soundfonts(), {"file"}, out);
    EXPECT_FALSE(media.mode().has_value()); // nothing open
    ASSERT_TRUE(media.open(kMusic + "/teishi.mid"));
    EXPECT_TRUE(media.available());
    EXPECT_EQ(media.mode(), "stopped");
    EXPECT_TRUE(media.play());
    EXPECT_EQ(media.mode(), "playing");
    media.stop();
    EXPECT_NE(media.mode(), "playing");
    media.seek_to_start();
    media.close();
    EXPECT_FALSE(media.mode().has_value());
    EXPECT_FALSE(media.open(kMusic + "/missing.mid")); // a missing file leaves it closed
    EXPECT_FALSE(media.mode().has_value());
    EXPECT_FALSE(media.open(std::string(POPCHAN_SOURCE_DIR) + "/README.md")); // not MIDI
    std::filesystem::remove(out);
}

namespace {

double cpu_seconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

double seconds_since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

// ALSA's null device takes sound as fast as it comes, so only the player
// itself can keep the music to real time.
TEST(Music, ADeviceThatNeverWaitsGetsMusicInRealTimeNotFlatOut) {
    auto media = std::make_unique<FluidMedia>(FluidMedia::default_soundfonts(),
                                              std::vector<std::string>{"alsa"}, "null");
    ASSERT_TRUE(media->open(kMusic + "/kaiten.mid"));
    ASSERT_TRUE(media->available());
    ASSERT_TRUE(media->play());
    const double cpu0 = cpu_seconds();
    const auto start = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    const double cpu = cpu_seconds() - cpu0, wall = seconds_since(start);
    // Real time costs a few per cent of a core; rendering flat out, all of one.
    EXPECT_LT(cpu, 0.5 * wall) << cpu << " s of CPU in " << wall << " s";
    // A piece of some twenty seconds is still playing after one and a half.
    EXPECT_EQ(media->mode(), "playing");
    const auto quit = std::chrono::steady_clock::now();
    media->stop();
    media->close();
    media.reset();
    EXPECT_LT(seconds_since(quit), 0.5) << "stopping and quitting must not keep the user waiting";
}

TEST(Music, WithoutSoundfontOrDeviceEverythingIsSilentAndFine) {
    FluidMedia no_font(std::vector<std::string>{"/nonexistent.sf2"});
    EXPECT_FALSE(no_font.open(kMusic + "/kaiten.mid"));
    EXPECT_FALSE(no_font.available());
    EXPECT_FALSE(no_font.play());
    no_font.stop();
    no_font.close();
    EXPECT_FALSE(no_font.mode().has_value());
    FluidMedia no_device(FluidMedia::default_soundfonts(), {"no-such-driver"});
    // However often the machine asks, one line on stderr says it, and no more.
    const std::string log = std::filesystem::temp_directory_path() / "popchan-stderr.txt";
    std::fflush(stderr);
    const int saved = dup(2);
    FILE* capture = std::fopen(log.c_str(), "w");
    dup2(fileno(capture), 2);
    for (int i = 0; i < 5; ++i)
        EXPECT_FALSE(no_device.open(kMusic + "/kaiten.mid"));
    std::fflush(stderr);
    dup2(saved, 2);
    close(saved);
    std::fclose(capture);
    std::ifstream lines(log);
    std::string line;
    int count = 0;
    while (std::getline(lines, line))
        ++count;
    EXPECT_EQ(count, 1);
    std::filesystem::remove(log);
    // The machine plays on as with sound.
    ScriptedDialogs dialogs;
    FormDigiModel model(dialogs, &no_device, std::make_unique<MachineRandom>(1, false));
    model.Form_Load(15, 15, kMusic);
    model.digi.set_drawing(false);
    model.a3_Click();
    model.advance(600000);
    EXPECT_GT(model.day.kaiten_total, 10);
    EXPECT_TRUE(dialogs.boxes.empty());
}

namespace {

// The files a spin opened, in order, with what the display decided.
std::vector<std::string> cues(int reach_kind, int atari_flag, int shoukaku) {
    MachineRandom rng(5, false);
    popchan::testing::DisplayRig rig(rng);
    rig.d.set_drawing(false);
    SpinState& s = rig.s;
    s.reach_kind = reach_kind;
    s.atari_flag = atari_flag;
    s.atari_egara = 4;
    s.shoukaku_egara = shoukaku;
    s.spin_phase = 1;
    while (s.spin_phase == 1)
        Timer2_Timer(rig.c);
    EXPECT_EQ(rig.bgm.bgm_open, 0) << "the end of a spin stops the music";
    EXPECT_EQ(rig.clock.interval(Bgm::kTimer), 0);
    return rig.music();
}

using Files = std::vector<std::string>;

} // namespace

TEST(Music, CuesOfEachOutcome) {
    EXPECT_EQ(cues(0, 0, 0), Files{"kaiten.mid"});
    EXPECT_EQ(cues(1, 0, 0), (Files{"kaiten.mid", "reach.mid"}));
    EXPECT_EQ(cues(1, 1, 0), (Files{"kaiten.mid", "reach.mid", "atari.mid"}));
    EXPECT_EQ(cues(3, 1, 7),
              (Files{"kaiten.mid", "reach.mid", "teishi.mid", "chusen.mid", "atari.mid"}));
    EXPECT_EQ(cues(5, 0, 0), (Files{"kaiten.mid", "reach.mid", "hazure.mid"}));
    EXPECT_EQ(cues(11, 1, 0), (Files{"kaiten.mid", "zenkai.mid", "teishi.mid", "atari.mid"}));
}

TEST(Music, SoundOffStopsAtOnceAndSoundOnWaitsForTheNextCue) {
    ScriptedDialogs dialogs;
    RecordingMedia media;
    FormDigiModel model(dialogs, &media, std::make_unique<MachineRandom>(2, false));
    model.Form_Load(15, 15, "/opt/popchan");
    model.digi.set_drawing(false);
    model.a3_Click();
    model.advance(30); // the first spin plays its music
    ASSERT_EQ(model.bgm.bgm_open, -1);
    model.f3_Click();
    EXPECT_EQ(media.log.back(), "close");
    EXPECT_EQ(model.bgm.bgm_open, 0);
    EXPECT_TRUE(model.screen.menus.f2);
    EXPECT_FALSE(model.screen.menus.f3);
    const std::size_t silent_from = media.log.size();
    model.advance(120000);
    EXPECT_EQ(media.log.size(), silent_from); // later cues do nothing
    model.f2_Click();
    EXPECT_EQ(media.log.size(), silent_from); // nothing until the next cue
    model.advance(120000);
    EXPECT_GT(media.log.size(), silent_from);
    // Reset shows the switch as it is.
    model.f3_Click();
    model.a4_Click();
    EXPECT_TRUE(model.screen.menus.f2);
    EXPECT_FALSE(model.screen.menus.f3);
}
