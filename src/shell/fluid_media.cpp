#include "shell/fluid_media.h"

#include <algorithm>
#include <alsa/asoundlib.h>
#include <cstdio>
#include <filesystem>
#include <fluidsynth.h>
#include <thread>

namespace popchan {

namespace {

void quiet_fluid(int, const char*, void*) {}
void quiet_alsa(const char*, int, const char*, int, const char*, ...) {}

// Periods of 1024 frames (23 ms at 44.1 kHz), four to the device's buffer:
// background music needs no short latency, and each period wakes us once.
constexpr int kPeriodFrames = 1024;
constexpr int kPeriods = 4;
// A device that takes sound as fast as it comes (ALSA's null device, some
// virtual ones) would have the synthesizer render flat out, a whole core for
// nothing. So we render at most this far ahead of real time (s), enough to
// fill any device's buffer at the start ...
constexpr double kLead = 0.25;
// ... and at most this much faster than real time, so a device whose clock
// runs a little fast is never kept waiting.
constexpr double kPace = 1.02;

} // namespace

std::vector<std::string> FluidMedia::default_soundfonts() {
    return {"/usr/share/sounds/sf2/TimGM6mb.sf2", "/usr/share/sounds/sf2/default-GM.sf2",
            "/usr/share/sounds/sf2/FluidR3_GM.sf2", "/usr/share/sounds/sf3/default-GM.sf3"};
}

FluidMedia::FluidMedia(std::vector<std::string> soundfonts, std::vector<std::string> drivers,
                       std::string device)
    : soundfonts_(std::move(soundfonts)), drivers_(std::move(drivers)), device_(std::move(device)) {
}

FluidMedia::~FluidMedia() {
    close();
    if (driver_) delete_fluid_audio_driver(driver_); // waits a period at most
    if (synth_) delete_fluid_synth(synth_);
    if (settings_) delete_fluid_settings(settings_);
}

void FluidMedia::silent(const std::string& why) {
    state_ = State::Silent;
    std::fprintf(stderr, "popchan: %s; the program runs without music.\n", why.c_str());
}

bool FluidMedia::start_up() {
    if (state_ != State::Unknown) return state_ == State::Ready;
    // The libraries' own complaints would flood the terminal; we say it once.
    for (int level = FLUID_PANIC; level <= FLUID_DBG; ++level)
        fluid_set_log_function(level, quiet_fluid, nullptr);
    snd_lib_error_set_handler(quiet_alsa);

    settings_ = new_fluid_settings();
    fluid_settings_setnum(settings_, "synth.gain", kMusicGain);
    fluid_settings_setint(settings_, "audio.period-size", kPeriodFrames);
    fluid_settings_setint(settings_, "audio.periods", kPeriods);
    fluid_settings_getnum(settings_, "synth.sample-rate", &sample_rate_);
    synth_ = new_fluid_synth(settings_);
    bool loaded = false;
    for (const std::string& font : soundfonts_)
        if (std::filesystem::exists(font) &&
            fluid_synth_sfload(synth_, font.c_str(), 1) != FLUID_FAILED) {
            loaded = true;
            break;
        }
    if (!loaded) {
        silent("no General MIDI soundfont found (install timgm6mb-soundfont)");
        return false;
    }
    if (!device_.empty()) {
        fluid_settings_setstr(settings_, "audio.alsa.device", device_.c_str());
        fluid_settings_setstr(settings_, "audio.file.name", device_.c_str());
    }
    ahead_ = kLead;
    last_ = std::chrono::steady_clock::now();
    for (const std::string& name : drivers_) {
        fluid_settings_setstr(settings_, "audio.driver", name.c_str());
        driver_ = new_fluid_audio_driver2(settings_, render, this);
        // The file driver (for the tests) has no callback: it renders on a
        // timer of its own, in real time, without taking the player lock.
        if (!driver_ && name == "file") driver_ = new_fluid_audio_driver(settings_, synth_);
        if (driver_) break;
    }
    if (!driver_) {
        silent("no sound device");
        return false;
    }
    state_ = State::Ready;
    return true;
}

int FluidMedia::render(void* self, int frames, int, float*[], int outputs, float* out[]) {
    auto& media = *static_cast<FluidMedia*>(self);
    if (outputs < 2) return FLUID_FAILED;
    // Reverb and chorus go into the same two channels as the dry sound.
    float* effects[] = {out[0], out[1], out[0], out[1]};
    int result;
    {
        std::lock_guard lock(media.player_lock_);
        result = fluid_synth_process(media.synth_, frames, 4, effects, 2, out);
    }
    media.keep_pace(frames);
    return result;
}

void FluidMedia::keep_pace(int frames) {
    const auto now = std::chrono::steady_clock::now();
    const double since = std::chrono::duration<double>(now - last_).count();
    ahead_ = std::min(kLead, ahead_ + kPace * since) - frames / sample_rate_;
    last_ = now;
    // A device that blocks never lets us get ahead; this sleep, when it comes,
    // is no longer than the period just rendered.
    if (ahead_ < 0) std::this_thread::sleep_for(std::chrono::duration<double>(-ahead_));
}

bool FluidMedia::open(const std::string& path) {
    close();
    if (!start_up()) return false;
    if (!fluid_is_midifile(path.c_str())) return false; // missing or not a MIDI file
    std::lock_guard lock(player_lock_);
    player_ = new_fluid_player(synth_);
    if (player_ && fluid_player_add(player_, path.c_str()) == FLUID_OK) return true;
    if (player_) delete_fluid_player(player_);
    player_ = nullptr;
    return false;
}

bool FluidMedia::play() {
    std::lock_guard lock(player_lock_);
    return player_ && fluid_player_play(player_) == FLUID_OK;
}

void FluidMedia::stop() {
    {
        std::lock_guard lock(player_lock_);
        if (player_) fluid_player_stop(player_);
    }
    if (synth_) fluid_synth_all_sounds_off(synth_, -1);
}

void FluidMedia::close() {
    if (!player_) return;
    {
        // Never join the player: it would wait for ever without a device.
        std::lock_guard lock(player_lock_);
        fluid_player_stop(player_);
        delete_fluid_player(player_);
        player_ = nullptr;
    }
    if (synth_) fluid_synth_all_sounds_off(synth_, -1);
}

std::optional<std::string> FluidMedia::mode() {
    if (!player_) return std::nullopt;
    return fluid_player_get_status(player_) == FLUID_PLAYER_PLAYING ? kModePlaying : kModeStopped;
}

void FluidMedia::seek_to_start() {
    std::lock_guard lock(player_lock_);
    if (player_) fluid_player_seek(player_, 0);
}

} // namespace popchan
