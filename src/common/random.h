// The program's one source of chance: uniform draws in [0, 1).
#pragma once

#include <array>
#include <concepts>
#include <cstdint>
#include <memory>

namespace popchan {

class Random {
  public:
    virtual ~Random() = default;
    // Rnd: a uniform draw in [0, 1).
    virtual double Rnd() = 0;
    // Every lottery re-seeds from the clock first.
    virtual void Randomize() = 0;
};

// The state of xoshiro256++ and its step.
using XoshiroState = std::array<std::uint64_t, 4>;
inline std::uint64_t xoshiro_next(XoshiroState& s) {
    const auto rotl = [](std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); };
    const std::uint64_t result = rotl(s[0] + s[3], 23) + s[0];
    const std::uint64_t t = s[1] << 17;
    s[2] ^= s[0];
    s[3] ^= s[1];
    s[1] ^= s[2];
    s[0] ^= s[3];
    s[2] ^= t;
    s[3] = rotl(s[3], 45);
    return result;
}

// xoshiro256++ with 53-bit doubles. Re-seeding mixes the clock reading into
// the running state instead of replacing it, so two lotteries that read the
// same clock value still draw different numbers.
class alignas(64) MachineRandom final : public Random {
  public:
    // `clock_mixing` false: a pure seeded sequence (tests, the batch tool).
    explicit MachineRandom(std::uint64_t seed, bool clock_mixing = true);
    // A seed of its own from the system's entropy, mixing in the clock.
    MachineRandom();

    // Starts the sequence of `seed` afresh.
    void seed(std::uint64_t seed);

    // Rnd is bits53 × 2^-53.
    double Rnd() override { return from_bits53(bits53()); }
    std::uint64_t bits53() { return next() >> 11; }
    // The 53 bits are below 2^63: as a signed number they convert in one step.
    static constexpr double from_bits53(std::uint64_t k) {
        return static_cast<double>(static_cast<std::int64_t>(k)) * 0x1.0p-53;
    }
    void Randomize() override {
        if (clock_mixing_) mix_clock();
    }

    std::uint64_t next() { return xoshiro_next(s_); }

    const XoshiroState& state() const { return s_; }
    void set_state(const XoshiroState& s) { s_ = s; }
    bool clock_mixing() const { return clock_mixing_; }

  private:
    void mix_clock();
    XoshiroState s_{};
    bool clock_mixing_;
};

// A generator whose 53 bits can be compared with bounds.
template <class R>
concept DrawsBits = requires(R& r) {
    { r.bits53() } -> std::same_as<std::uint64_t>;
};

// The machine's generator through one lottery: its state is copied in, kept
// in registers while the lottery draws, and written back when the lottery
// ends and before anything out of line draws from the generator itself.
class LotteryDraws {
  public:
    explicit LotteryDraws(MachineRandom& rng) : rng_(rng), s_(rng.state()) {}
    ~LotteryDraws() { rng_.set_state(s_); }
    LotteryDraws(const LotteryDraws&) = delete;
    LotteryDraws& operator=(const LotteryDraws&) = delete;

    std::uint64_t bits53() { return xoshiro_next(s_) >> 11; }
    double Rnd() { return MachineRandom::from_bits53(bits53()); }
    // f(the generator itself), holding the draws so far and keeping those it makes.
    template <class F> decltype(auto) with_generator(F&& f) {
        rng_.set_state(s_);
        struct Reload {
            LotteryDraws& d;
            ~Reload() { d.s_ = d.rng_.state(); }
        } reload{*this};
        return f(rng_);
    }
    void Randomize() {
        if (rng_.clock_mixing()) with_generator([](MachineRandom& r) { r.Randomize(); });
    }

  private:
    MachineRandom& rng_;
    XoshiroState s_;
};

// Int(Rnd × n) for a whole n above 0: Rnd × n is never negative, so its floor
// is its whole part.
template <class R> int rnd_below(R& rng, int n) {
    return static_cast<int>(rng.Rnd() * n);
}

// The least 53-bit draw k of the machine's generator for which
// Int(k × 2^-53 × n) is v or more; 2^53 when there is none. Rnd × n rises
// with k, so the draws giving Int(Rnd × n) = v are those from
// rnd_bound(n, v) up to rnd_bound(n, v + 1).
constexpr std::uint64_t rnd_bound(int n, int v) {
    std::uint64_t lo = 0, hi = std::uint64_t(1) << 53;
    while (lo < hi) {
        const std::uint64_t k = lo + (hi - lo) / 2;
        if (MachineRandom::from_bits53(k) * n >= v)
            hi = k;
        else
            lo = k + 1;
    }
    return lo;
}

// Whether Int(Rnd × n) is v, for a whole n above 0.
template <int n, int v, class R> bool rnd_is(R& rng) {
    return rnd_below(rng, n) == v;
}
// The machine's own generator compares its 53 bits with the band's bounds.
template <int n, int v, DrawsBits R> bool rnd_is(R& rng) {
    constexpr std::uint64_t lo = rnd_bound(n, v), hi = rnd_bound(n, v + 1);
    return rng.bits53() - lo < hi - lo;
}

// The machine's generator as a front end starts it: seeded (a pure sequence,
// the same day on every front end) when `seed` is a whole number, from
// POPCHAN_SEED on the desktop and ?seed= on the web page; otherwise null, and
// the machine draws from its own clock-mixed one.
std::unique_ptr<Random> seeded_random(const char* seed);

// SplitMix64: spreads one 64-bit value over the whole word.
std::uint64_t splitmix64(std::uint64_t& state);

} // namespace popchan
