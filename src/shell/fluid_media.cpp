#include "shell/fluid_media.h"

#include <alsa/asoundlib.h>
#include <cstdio>
#include <filesystem>
#include <fluidsynth.h>

namespace popchan {

namespace {

void quiet_fluid(int, const char*, void*) {}
void quiet_alsa(const char*, int, const char*, int, const char*, ...) {}

} // namespace

std::vector<std::string> FluidMedia::default_soundfonts() {
    return {"/usr/share/sounds/sf2/TimGM6mb.sf2", "/usr/share/sounds/sf2/default-GM.sf2",
            "/usr/share/sounds/sf2/FluidR3_GM.sf2", "/usr/share/sounds/sf3/default-GM.sf3"};
}

FluidMedia::FluidMedia(std::vector<std::string> soundfonts, std::vector<std::string> drivers,
                       std::string file_name)
    : soundfonts_(std::move(soundfonts)), drivers_(std::move(drivers)),
      file_name_(std::move(file_name)) {}

FluidMedia::~FluidMedia() {
    close();
    if (driver_) delete_fluid_audio_driver(driver_);
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
    fluid_settings_setnum(settings_, "synth.gain", 0.6);
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
    if (!file_name_.empty())
        fluid_settings_setstr(settings_, "audio.file.name", file_name_.c_str());
    for (const std::string& name : drivers_) {
        fluid_settings_setstr(settings_, "audio.driver", name.c_str());
        driver_ = new_fluid_audio_driver(settings_, synth_);
        if (driver_) break;
    }
    if (!driver_) {
        silent("no sound device");
        return false;
    }
    state_ = State::Ready;
    return true;
}

bool FluidMedia::open(const std::string& path) {
    close();
    if (!start_up()) return false;
    if (!fluid_is_midifile(path.c_str())) return false; // missing or not a MIDI file
    player_ = new_fluid_player(synth_);
    if (!player_ || fluid_player_add(player_, path.c_str()) != FLUID_OK) {
        close();
        return false;
    }
    return true;
}

bool FluidMedia::play() {
    return player_ && fluid_player_play(player_) == FLUID_OK;
}

void FluidMedia::stop() {
    if (player_) fluid_player_stop(player_);
    if (synth_) fluid_synth_all_sounds_off(synth_, -1);
}

void FluidMedia::close() {
    if (!player_) return;
    // Never join the player: it would wait for ever without a device.
    fluid_player_stop(player_);
    delete_fluid_player(player_);
    player_ = nullptr;
    if (synth_) fluid_synth_all_sounds_off(synth_, -1);
}

std::optional<std::string> FluidMedia::mode() {
    if (!player_) return std::nullopt;
    return fluid_player_get_status(player_) == FLUID_PLAYER_PLAYING ? "playing" : "stopped";
}

void FluidMedia::seek_to_start() {
    if (player_) fluid_player_seek(player_, 0);
}

} // namespace popchan
