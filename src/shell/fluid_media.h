// The music player of the program: FluidSynth with a General MIDI soundfont,
// played through PulseAudio or ALSA. Without a sound device or a soundfont it
// stays silent, says so once on stderr, and the program runs on as with sound.
#pragma once

#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "common/bgm.h"

struct _fluid_hashtable_t;
struct _fluid_synth_t;
struct _fluid_audio_driver_t;
struct _fluid_player_t;

namespace popchan {

class FluidMedia : public MediaDevice {
  public:
    // Soundfonts and audio drivers are tried in order; the first that works is
    // used. `device` is where the driver plays: the ALSA device for "alsa"
    // (default: the system's default), the file for FluidSynth's "file" driver.
    explicit FluidMedia(std::vector<std::string> soundfonts = default_soundfonts(),
                        std::vector<std::string> drivers = {"pulseaudio", "alsa"},
                        std::string device = {});
    ~FluidMedia() override;
    FluidMedia(const FluidMedia&) = delete;
    FluidMedia& operator=(const FluidMedia&) = delete;

    bool open(const std::string& path) override;
    bool play() override;
    void stop() override;
    void close() override;
    std::optional<std::string> mode() override;
    void seek_to_start() override;

    // Whether sound can be heard at all (known after the first open).
    bool available() const { return state_ == State::Ready; }

    static std::vector<std::string> default_soundfonts();

  private:
    enum class State { Unknown, Ready, Silent };
    bool start_up(); // settings, synthesizer, soundfont and audio driver, once
    void silent(const std::string& why);
    // The driver's thread asks for each period of sound here.
    static int render(void* self, int frames, int, float*[], int outputs, float* out[]);
    void keep_pace(int frames);

    std::vector<std::string> soundfonts_, drivers_;
    std::string device_;
    State state_ = State::Unknown;
    _fluid_hashtable_t* settings_ = nullptr;
    _fluid_synth_t* synth_ = nullptr;
    _fluid_audio_driver_t* driver_ = nullptr;
    _fluid_player_t* player_ = nullptr;
    // The player is not safe to command while the synthesizer, rendering,
    // moves it on; this keeps the two apart.
    std::mutex player_lock_;
    // Real time the driver's thread may still render ahead (s), as of `last_`.
    double sample_rate_ = 44100, ahead_ = 0;
    std::chrono::steady_clock::time_point last_{};
};

} // namespace popchan
