#include "score.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <sstream>
#include <stdexcept>

#include "gm.h"

namespace music {

namespace {

int pitch_class(char letter) {
    static constexpr int kClasses[] = {9, 11, 0, 2, 4, 5, 7}; // A B C D E F G
    if (letter < 'A' || letter > 'G') throw std::invalid_argument("not a note letter");
    return kClasses[letter - 'A'];
}

// The root's semitones above C (-1 for "Cb", 12 for "B#") and the number of
// characters it takes ("Bb" takes 2).
std::pair<int, std::size_t> root_of(std::string_view symbol) {
    if (symbol.empty()) throw std::invalid_argument("empty chord or note");
    int pc = pitch_class(symbol[0]);
    std::size_t used = 1;
    if (symbol.size() > 1 && (symbol[1] == '#' || symbol[1] == 'b')) {
        pc += symbol[1] == '#' ? 1 : -1;
        used = 2;
    }
    return {pc, used};
}

// A quality's intervals above the root, its fifth always third in the list.
std::vector<int> intervals(std::string_view quality) {
    static const std::map<std::string_view, std::vector<int>> kQualities = {
        {"", {0, 4, 7}},         {"m", {0, 3, 7}},    {"7", {0, 4, 7, 10}}, {"m7", {0, 3, 7, 10}},
        {"maj7", {0, 4, 7, 11}}, {"sus4", {0, 5, 7}}, {"dim", {0, 3, 6}},   {"aug", {0, 4, 8}},
        {"add9", {0, 4, 7, 2}},  {"6", {0, 4, 7, 9}}, {"m6", {0, 3, 7, 9}},
    };
    const auto found = kQualities.find(quality);
    if (found == kQualities.end()) throw std::invalid_argument("unknown chord quality");
    return found->second;
}

// The lowest pitch of class `pc` at or above `floor`.
int at_or_above(int pc, int floor) {
    return floor + ((pc - floor) % 12 + 12) % 12;
}

// The chord's fifth (of its own root, not of a slash bass) just above `low`.
int fifth_above(std::string_view symbol, int low) {
    const std::string_view body = symbol.substr(0, symbol.find('/'));
    const auto [root, used] = root_of(body);
    return at_or_above(root + intervals(body.substr(used))[2], low + 1);
}

Tick duration(std::string_view text) {
    std::size_t digits = 0;
    while (digits < text.size() && std::isdigit(static_cast<unsigned char>(text[digits])))
        ++digits;
    const int division = digits ? std::stoi(std::string(text.substr(0, digits))) : 0;
    if (division <= 0 || bar(1) % static_cast<Tick>(division) != 0)
        throw std::invalid_argument("bad duration");
    const Tick plain = bar(1) / static_cast<Tick>(division);
    const std::string_view rest = text.substr(digits);
    if (rest.empty()) return plain;
    if (rest == ".") return plain * 3 / 2;
    if (rest == "t") return plain * 2 / 3;
    throw std::invalid_argument("bad duration suffix");
}

std::vector<std::string> words(std::string_view text) {
    std::istringstream in{std::string(text)};
    std::vector<std::string> out;
    for (std::string word; in >> word;)
        out.push_back(word);
    return out;
}

Tick scaled(Tick length, double share) {
    return std::max<Tick>(1, static_cast<Tick>(std::lround(length * share)));
}

// A value moving in a straight line from v0 at `from` to v1 at `to`, sent every
// thirty-second note when it changes.
void ramp(Tick from, Tick to, int v0, int v1, const std::function<void(Tick, int)>& send) {
    if (to <= from) throw std::invalid_argument("a ramp must move forwards");
    constexpr Tick kGrain = kSixteenth / 2;
    int last = std::numeric_limits<int>::min();
    for (Tick t = from;; t = std::min(t + kGrain, to)) {
        const double share = static_cast<double>(t - from) / (to - from);
        const int value = static_cast<int>(std::lround(v0 + (v1 - v0) * share));
        if (value != last) send(t, value);
        last = value;
        if (t == to) return;
    }
}

// Runs `rhythm` again and again through one chord's span.
void through(const ChordSpan& span, std::string_view rhythm, Tick step, const StepHit& hit) {
    const Tick end = span.start + span.length;
    const Tick period = static_cast<Tick>(rhythm.size()) * step;
    for (Tick t = span.start; t < end; t += period)
        steps(t, step, rhythm, end, hit);
}

} // namespace

MidiFile start_piece(const std::string& title, double bpm, Tick length) {
    MidiFile file(title);
    file.conductor().time_signature(0, 4, 4);
    file.tempo(0, bpm);
    file.set_length(length);
    return file;
}

void ring_out(MidiFile& file, Tick from) {
    if (file.last_note_off() > from) throw std::logic_error("a note is held into the ring-out");
    Track& conductor = file.conductor();
    const Tick end = file.length();
    for (int channel : file.channels()) {
        ramp(from, end, 127, 0, [&](Tick at, int value) {
            conductor.controller(at, channel, gm::kExpression, value);
        });
        conductor.controller(end, channel, gm::kAllSoundOff, 0);
    }
}

int pitch(std::string_view name) {
    const auto [pc, used] = root_of(name);
    const std::string_view octave = name.substr(used);
    if (octave.empty()) throw std::invalid_argument("note without octave");
    int number = 0;
    for (char c : octave) {
        if (!std::isdigit(static_cast<unsigned char>(c))) throw std::invalid_argument("bad octave");
        number = number * 10 + (c - '0');
    }
    return 12 * (number + 1) + pc;
}

std::vector<int> chord(std::string_view symbol, int floor) {
    const std::string_view body = symbol.substr(0, symbol.find('/'));
    const auto [root, used] = root_of(body);
    std::vector<int> tones;
    for (int step : intervals(body.substr(used)))
        tones.push_back(at_or_above(root + step, floor));
    std::sort(tones.begin(), tones.end());
    return tones;
}

int bass_note(std::string_view symbol, int floor) {
    const auto slash = symbol.find('/');
    const std::string_view name =
        slash == std::string_view::npos ? symbol : symbol.substr(slash + 1);
    return at_or_above(root_of(name).first, floor);
}

std::vector<ChordSpan> progression(Tick start, std::string_view bars, Tick until) {
    std::vector<ChordSpan> spans;
    Tick bar_start = start;
    std::size_t from = 0;
    while (from <= bars.size()) {
        const std::size_t to = std::min(bars.find('|', from), bars.size());
        const auto symbols = words(bars.substr(from, to - from));
        if (symbols.empty() || kBar % symbols.size() != 0)
            throw std::invalid_argument("a bar's chords must share it evenly");
        const Tick each = kBar / static_cast<Tick>(symbols.size());
        for (std::size_t i = 0; i < symbols.size(); ++i) {
            const Tick at = bar_start + static_cast<Tick>(i) * each;
            if (at < until) spans.push_back({at, std::min(each, until - at), symbols[i]});
        }
        bar_start += kBar;
        from = to + 1;
    }
    return spans;
}

const std::string& chord_at(const std::vector<ChordSpan>& chords, Tick at) {
    for (const ChordSpan& span : chords)
        if (span.start <= at && at < span.start + span.length) return span.symbol;
    throw std::out_of_range("no chord sounds there");
}

void steps(Tick start, Tick step, std::string_view pattern, Tick limit, const StepHit& hit) {
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char kind = pattern[i];
        const Tick at = start + static_cast<Tick>(i) * step;
        if (at >= limit) return;
        if (kind == '.' || kind == '-') continue;
        std::size_t held = 1;
        while (i + held < pattern.size() && pattern[i + held] == '-')
            ++held;
        hit(at, std::min<Tick>(static_cast<Tick>(held) * step, limit - at), kind);
    }
}

Part::Part(MidiFile& file, const std::string& name, int channel, int program, int volume, int pan,
           int reverb)
    : track_(file.add_track(name)), channel_(channel) {
    if (channel != gm::kDrumChannel) track_.program(0, channel, program);
    set(0, gm::kVolume, volume);
    set(0, gm::kPan, pan);
    set(0, gm::kReverb, reverb);
    set(0, gm::kExpression, 127);
    set(0, kPitchBend, 0);
}

int Part::accented(char kind) const {
    if (kind == 'X' || kind == '>') return std::min(127, velocity + 16);
    if (kind == 'o') return std::max(1, velocity - 30);
    return velocity;
}

void Part::note(Tick start, Tick length, int key, int vel) {
    auto& taken = sounding_[key];
    for (const auto& [on, off] : taken)
        if (start < off && on < start + length)
            throw std::logic_error("two notes of one key overlap on " + track_.name());
    taken.emplace_back(start, start + length);
    track_.note(start, length, channel_, key, vel);
}

void Part::notes(Tick start, Tick length, const std::vector<int>& keys, int vel) {
    Tick offset = 0;
    for (int key : keys) {
        note(start + offset, std::max<Tick>(1, length - std::min(length, offset)), key, vel);
        offset += spread;
    }
}

Tick Part::line(Tick start, std::string_view text) {
    Tick at = start;
    Tick length = kQuarter;
    for (std::string word : words(text)) {
        if (word == "|") {
            if ((at - start) % kBar != 0) throw std::logic_error("a bar line falls mid-bar");
            continue;
        }
        const bool accent = word.back() == '>';
        if (accent) word.pop_back();
        const auto slash = word.find('/');
        if (slash != std::string::npos) length = duration(std::string_view(word).substr(slash + 1));
        const std::string pitches = word.substr(0, slash);
        if (pitches != "r") {
            std::vector<int> keys;
            for (std::size_t from = 0; from <= pitches.size();) {
                const std::size_t to = std::min(pitches.find('+', from), pitches.size());
                keys.push_back(pitch(std::string_view(pitches).substr(from, to - from)) +
                               transpose);
                from = to + 1;
            }
            notes(at, scaled(length, gate), keys, accented(accent ? '>' : 'x'));
        }
        at += length;
    }
    return at;
}

void Part::pattern(Tick start, int key, std::string_view text, Tick step) {
    const Tick end = start + static_cast<Tick>(text.size()) * step;
    steps(start, step, text, end, [&](Tick at, Tick length, char kind) {
        note(at, scaled(length, gate), key, accented(kind));
    });
}

void Part::roll(Tick from, Tick to, int key, Tick step, int v0, int v1) {
    for (Tick t = from; t < to; t += step) {
        const double share = static_cast<double>(t - from) / (to - from);
        note(t, scaled(std::min(step, to - t), gate), key,
             static_cast<int>(std::lround(v0 + (v1 - v0) * share)));
    }
}

void Part::set(Tick at, int controller, int value) {
    if (controller == kPitchBend)
        track_.pitch_bend(at, channel_, value);
    else
        track_.controller(at, channel_, controller, value);
}

void Part::sweep(Tick from, Tick to, int controller, int v0, int v1) {
    ramp(from, to, v0, v1, [&](Tick at, int value) { set(at, controller, value); });
}

void pad(Part& part, const std::vector<ChordSpan>& chords, int floor) {
    for (const ChordSpan& span : chords)
        part.notes(span.start, scaled(span.length, part.gate), chord(span.symbol, floor),
                   part.velocity);
}

void comp(Part& part, const std::vector<ChordSpan>& chords, int floor, std::string_view rhythm,
          Tick step) {
    for (const ChordSpan& span : chords) {
        const auto tones = chord(span.symbol, floor);
        through(span, rhythm, step, [&](Tick at, Tick length, char kind) {
            part.notes(at, scaled(length, part.gate), tones, part.accented(kind));
        });
    }
}

void bass(Part& part, const std::vector<ChordSpan>& chords, int floor, std::string_view rhythm,
          Tick step) {
    for (const ChordSpan& span : chords) {
        const int root = bass_note(span.symbol, floor);
        const int fifth = fifth_above(span.symbol, root);
        through(span, rhythm, step, [&](Tick at, Tick length, char kind) {
            const int key = kind == 'o' ? root + 12 : kind == '5' ? fifth : root;
            part.note(at, scaled(length, part.gate), key, part.velocity);
        });
    }
}

void arpeggio(Part& part, const std::vector<ChordSpan>& chords, int floor, int octaves, Tick step) {
    for (const ChordSpan& span : chords) {
        const auto tones = chord(span.symbol, floor);
        std::vector<int> cycle;
        for (int o = 0; o < octaves; ++o)
            for (int key : tones)
                cycle.push_back(key + 12 * o);
        cycle.push_back(tones.front() + 12 * octaves);
        for (std::size_t i = cycle.size() - 2; i > 0; --i)
            cycle.push_back(cycle[i]);
        std::size_t next = 0;
        for (Tick t = span.start; t < span.start + span.length; t += step)
            part.note(t, scaled(step, part.gate), cycle[next++ % cycle.size()], part.velocity);
    }
}

void groove(Part& drums, Tick from, int bars, const Groove& g) {
    for (int b = 0; b < bars; ++b) {
        const Tick at = from + bar(b);
        for (auto [key, text] : {std::pair{gm::kKick, g.kick}, std::pair{gm::kSnare, g.snare},
                                 std::pair{gm::kClosedHat, g.hat}})
            if (!text.empty()) drums.pattern(at, key, text);
    }
}

} // namespace music
