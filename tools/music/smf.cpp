#include "smf.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <stdexcept>

namespace music {

namespace {

void require(bool condition, const char* what) {
    if (!condition) throw std::invalid_argument(what);
}

void put_u16(std::vector<std::uint8_t>& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value >> 8));
    out.push_back(static_cast<std::uint8_t>(value));
}

void put_u32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    put_u16(out, value >> 16);
    put_u16(out, value & 0xFFFF);
}

// MIDI's variable-length quantity: seven bits a byte, most significant first.
void put_vlq(std::vector<std::uint8_t>& out, std::uint32_t value) {
    std::uint8_t groups[5];
    int count = 0;
    do {
        groups[count++] = value & 0x7F;
        value >>= 7;
    } while (value != 0);
    while (count-- > 1)
        out.push_back(groups[count] | 0x80);
    out.push_back(groups[0]);
}

void put_chunk(std::vector<std::uint8_t>& out, const char* id,
               const std::vector<std::uint8_t>& body) {
    out.insert(out.end(), id, id + 4);
    put_u32(out, static_cast<std::uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
}

std::uint8_t data_byte(int value) {
    require(value >= 0 && value <= 127, "MIDI data byte out of range");
    return static_cast<std::uint8_t>(value);
}

std::vector<std::uint8_t> meta(int type, const std::vector<std::uint8_t>& data) {
    std::vector<std::uint8_t> bytes{0xFF, static_cast<std::uint8_t>(type)};
    put_vlq(bytes, static_cast<std::uint32_t>(data.size()));
    bytes.insert(bytes.end(), data.begin(), data.end());
    return bytes;
}

} // namespace

Track::Track(std::string name) : name_(std::move(name)) {
    text(0, 0x03, name_);
}

void Track::add(Tick at, Order order, std::vector<std::uint8_t> bytes) {
    events_.push_back({at, order, std::move(bytes)});
}

void Track::channel_message(Tick at, Order order, int status, int channel, int data1, int data2) {
    require(channel >= 0 && channel < 16, "MIDI channel out of range");
    add(at, order,
        {static_cast<std::uint8_t>(status | channel), data_byte(data1), data_byte(data2)});
}

void Track::note(Tick start, Tick length, int channel, int key, int velocity) {
    require(length > 0, "note without length");
    require(velocity > 0, "silent note");
    channel_message(start, Order::NoteOn, 0x90, channel, key, velocity);
    channel_message(start + length, Order::NoteOff, 0x80, channel, key, 0);
}

void Track::program(Tick at, int channel, int number) {
    require(channel >= 0 && channel < 16, "MIDI channel out of range");
    add(at, Order::Setting, {static_cast<std::uint8_t>(0xC0 | channel), data_byte(number)});
}

void Track::controller(Tick at, int channel, int number, int value) {
    channel_message(at, Order::Setting, 0xB0, channel, number, value);
}

void Track::pitch_bend(Tick at, int channel, int value) {
    require(value >= -8192 && value <= 8191, "pitch bend out of range");
    const int raw = value + 8192;
    channel_message(at, Order::Setting, 0xE0, channel, raw & 0x7F, raw >> 7);
}

void Track::tempo(Tick at, double bpm) {
    require(bpm > 0, "tempo must be positive");
    const auto micros = static_cast<std::uint32_t>(std::lround(60'000'000.0 / bpm));
    add(at, Order::Setting,
        meta(0x51, {static_cast<std::uint8_t>(micros >> 16), static_cast<std::uint8_t>(micros >> 8),
                    static_cast<std::uint8_t>(micros)}));
}

void Track::time_signature(Tick at, int numerator, int denominator) {
    int power = 0;
    while ((1 << power) < denominator)
        ++power;
    require((1 << power) == denominator, "time signature denominator must be a power of two");
    add(at, Order::Setting, meta(0x58, {data_byte(numerator), data_byte(power), 24, 8}));
}

void Track::text(Tick at, int type, const std::string& text) {
    add(at, Order::Setting, meta(type, std::vector<std::uint8_t>(text.begin(), text.end())));
}

Tick Track::last_tick() const {
    Tick last = 0;
    for (const Event& e : events_)
        last = std::max(last, e.tick);
    return last;
}

Tick Track::last_note_off() const {
    Tick last = 0;
    for (const Event& e : events_)
        if ((e.bytes.front() & 0xF0) == 0x80) last = std::max(last, e.tick);
    return last;
}

unsigned Track::channel_mask() const {
    unsigned mask = 0;
    for (const Event& e : events_)
        if (e.bytes.front() >= 0x80 && e.bytes.front() < 0xF0)
            mask |= 1u << (e.bytes.front() & 0x0F);
    return mask;
}

std::vector<std::uint8_t> Track::encode(Tick end) const {
    require(last_tick() <= end, "event after the end of the piece");
    std::vector<const Event*> sorted;
    for (const Event& e : events_)
        sorted.push_back(&e);
    std::stable_sort(sorted.begin(), sorted.end(), [](const Event* a, const Event* b) {
        return a->tick != b->tick ? a->tick < b->tick : a->order < b->order;
    });
    std::vector<std::uint8_t> body;
    Tick now = 0;
    for (const Event* e : sorted) {
        put_vlq(body, e->tick - now);
        body.insert(body.end(), e->bytes.begin(), e->bytes.end());
        now = e->tick;
    }
    put_vlq(body, end - now);
    const auto end_of_track = meta(0x2F, {});
    body.insert(body.end(), end_of_track.begin(), end_of_track.end());
    std::vector<std::uint8_t> chunk;
    put_chunk(chunk, "MTrk", body);
    return chunk;
}

MidiFile::MidiFile(const std::string& title) {
    tracks_.emplace_back(title);
}

void MidiFile::tempo(Tick at, double bpm) {
    conductor().tempo(at, bpm);
    tempi_[at] = bpm;
}

double MidiFile::seconds() const {
    double total = 0;
    double bpm = 120; // MIDI's tempo until the first change
    Tick from = 0;
    for (const auto& [at, next] : tempi_) {
        if (at >= end_) break;
        total += (at - from) * 60.0 / (bpm * kTicksPerQuarter);
        from = at;
        bpm = next;
    }
    return total + (end_ - from) * 60.0 / (bpm * kTicksPerQuarter);
}

Track& MidiFile::add_track(const std::string& name) {
    return tracks_.emplace_back(name);
}

std::vector<int> MidiFile::channels() const {
    unsigned mask = 0;
    for (const Track& track : tracks_)
        mask |= track.channel_mask();
    std::vector<int> used;
    for (int channel = 0; channel < 16; ++channel)
        if (mask & (1u << channel)) used.push_back(channel);
    return used;
}

Tick MidiFile::last_note_off() const {
    Tick last = 0;
    for (const Track& track : tracks_)
        last = std::max(last, track.last_note_off());
    return last;
}

std::vector<std::uint8_t> MidiFile::encode() const {
    require(end_ > 0, "piece without length");
    std::vector<std::uint8_t> header;
    put_u16(header, 1);
    put_u16(header, static_cast<unsigned>(tracks_.size()));
    put_u16(header, kTicksPerQuarter);
    std::vector<std::uint8_t> out;
    put_chunk(out, "MThd", header);
    for (const Track& track : tracks_) {
        const auto chunk = track.encode(end_);
        out.insert(out.end(), chunk.begin(), chunk.end());
    }
    return out;
}

std::size_t MidiFile::save(const std::string& path) const {
    const auto bytes = encode();
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    if (!file) throw std::runtime_error("cannot write " + path);
    return bytes.size();
}

} // namespace music
