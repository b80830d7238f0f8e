// Background music: one piece at a time under the device alias "bgm", looped
// by Timer4, with a switch that silences everything.
#pragma once

#include <optional>
#include <string>

#include "common/numbers.h"

namespace popchan {

class Clock;

// The synthesizer's gain: loud enough, and no piece clips.
constexpr double kMusicGain = 0.6;

// What the music needs of a player: one device at a time.
class MediaDevice {
  public:
    // The device's modes, as the media control interface names them.
    static constexpr const char* kModePlaying = "playing";
    static constexpr const char* kModeStopped = "stopped";

    virtual ~MediaDevice() = default;
    virtual bool open(const std::string& path) = 0; // true on success
    virtual bool play() = 0;                        // from the current position
    virtual void stop() = 0;
    virtual void close() = 0;
    // kModePlaying while playing, another word (kModeStopped) when open and
    // not playing, nothing when no device is open.
    virtual std::optional<std::string> mode() = 0;
    virtual void seek_to_start() = 0;
};

class Bgm {
  public:
    static constexpr int kTimer = 3;            // Timer4 carries the loop
    static constexpr int kLoopInterval = 10000; // ms

    Bgm(Clock& clock, MediaDevice* device) : clock_(clock), device_(device) {}

    void set_app_path(std::string path) { app_path_ = std::move(path); }
    const std::string& app_path() const { return app_path_; }

    // Mode 1 plays `name` (a bare name resolves in the program's folder),
    // replacing what plays; mode 2 stops. Nothing at all while sound is off
    // or hushed.
    void Bgm_Control(const std::string& name, Int16 mode);
    // While the machine runs faster than its own pace the music would race:
    // hushing stops it at once and keeps every cue silent; unhushed, nothing
    // plays until the next cue. The sound switch is left as it is.
    void set_hushed(bool hushed);
    bool hushed() const { return hushed_; }
    // Timer4: restarts the piece from the start once it has ended.
    void Timer4_Timer();

    Int16 sound_off = 0; // 1 while the sound is switched off
    Int16 bgm_open = 0;  // -1 while a piece is open under "bgm"

  private:
    void close_open();
    Clock& clock_;
    MediaDevice* device_;
    std::string app_path_;
    bool hushed_ = false;
};

} // namespace popchan
