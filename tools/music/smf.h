// A Standard MIDI File writer: format 1, one tempo track and any number of
// instrument tracks, every track closed at the piece's last tick.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

namespace music {

using Tick = std::uint32_t;

inline constexpr Tick kTicksPerQuarter = 480;

// One track's events, kept by absolute tick and sorted when encoded.
class Track {
  public:
    explicit Track(std::string name);

    void note(Tick start, Tick length, int channel, int key, int velocity);
    void program(Tick at, int channel, int program);
    void controller(Tick at, int channel, int number, int value);
    void pitch_bend(Tick at, int channel, int value); // -8192 .. 8191
    void tempo(Tick at, double bpm);
    void time_signature(Tick at, int numerator, int denominator);
    void text(Tick at, int type, const std::string& text);

    Tick last_tick() const;
    Tick last_note_off() const;
    // Bit n set when the track sends anything on channel n.
    unsigned channel_mask() const;
    const std::string& name() const { return name_; }
    // The MTrk chunk, its end-of-track event at `end`.
    std::vector<std::uint8_t> encode(Tick end) const;

  private:
    // Within one tick: note-offs first, then settings, then note-ons.
    enum class Order { NoteOff, Setting, NoteOn };
    struct Event {
        Tick tick;
        Order order;
        std::vector<std::uint8_t> bytes;
    };
    void add(Tick at, Order order, std::vector<std::uint8_t> bytes);
    void channel_message(Tick at, Order order, int status, int channel, int data1, int data2);

    std::string name_;
    std::vector<Event> events_;
};

// A format-1 file: the first track carries tempo and metre.
class MidiFile {
  public:
    explicit MidiFile(const std::string& title);

    Track& conductor() { return tracks_.front(); }
    // A tempo change on the conductor track, remembered for seconds().
    void tempo(Tick at, double bpm);
    Track& add_track(const std::string& name);
    void set_length(Tick end) { end_ = end; }
    Tick length() const { return end_; }
    // How long the piece plays, start to end, under its tempo changes.
    double seconds() const;
    // The channels that any track uses, in order.
    std::vector<int> channels() const;
    // When the last note of any track is released.
    Tick last_note_off() const;

    std::vector<std::uint8_t> encode() const;
    // Writes the file; returns its size in bytes.
    std::size_t save(const std::string& path) const;

  private:
    std::deque<Track> tracks_;     // a deque keeps handed-out references valid
    std::map<Tick, double> tempi_; // tick -> beats per minute
    Tick end_ = 0;
};

} // namespace music
