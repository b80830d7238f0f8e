// The spin lottery: decides one whole spin before the display shows it.
#pragma once

#include <array>
#include <cstdint>
#include <limits>

#include "common/random.h"
#include "machine/rules.h"
#include "machine/spin_state.h"
#include "premises/premises.h"

namespace popchan {

// A jackpot's symbol, the probability-up count, the reach and the notices.
// Out of line: the lottery below runs on every spin and stays small.
void jackpot_decisions(SpinState& s, Single renchan, const Premises& z, Random& rng);
void jackpot_decisions(SpinState& s, Single renchan, const Premises& z, MachineRandom& rng);
inline void jackpot_decisions(SpinState& s, Single renchan, const Premises& z, LotteryDraws& d) {
    d.with_generator([&](MachineRandom& rng) { jackpot_decisions(s, renchan, z, rng); });
}

namespace lottery_detail {

// Whether the draw u wins the jackpot lottery at 1 in P.
inline bool jackpot_hit(double u, double P, bool kakuhen) {
    if (kakuhen) return vb_int(u * P / 5 + 1) == 1;
    const double m = vb_int(u * P * 10 + 1);
    return vb_int(m / 10 + 0.9) == 1;
}

template <class R> bool jackpot_draw(const SpinState& s, const Premises& z, R& rng) {
    return jackpot_hit(rng.Rnd(), z.zentei_kakuritu, s.kakuhen_flag == 1);
}

} // namespace lottery_detail

// The machine's draws that win the jackpot lottery at 1 in P, as bounds on
// its 53 bits. Every step of jackpot_hit rises with u when P is above 0, so
// the draws that win are those below a bound, found once by bisection.
struct JackpotBounds {
    double P = std::numeric_limits<double>::quiet_NaN(); // the bounds are for this P
    bool exact = false;                                  // false: no bounds for this P
    // Normal state, probability-up. Without bounds they lie above every draw,
    // and each draw goes to the rule itself.
    std::array<std::uint64_t, 2> below{~std::uint64_t(0), ~std::uint64_t(0)};
    static JackpotBounds for_odds(double P);
};

// The bounds for P, kept per thread from the last lottery.
inline const JackpotBounds& jackpot_bounds(double P) {
    constinit thread_local JackpotBounds bounds;
    if (!(bounds.P == P)) [[unlikely]]
        bounds = JackpotBounds::for_odds(P);
    return bounds;
}

namespace lottery_detail {

// The machine's own draw: one comparison of its bits with the bound.
template <DrawsBits R>
[[gnu::always_inline]] inline bool jackpot_draw(const SpinState& s, const Premises& z, R& rng) {
    const JackpotBounds& bounds = jackpot_bounds(z.zentei_kakuritu);
    const bool kakuhen = s.kakuhen_flag == 1;
    const std::uint64_t k = rng.bits53();
    if (!(k < bounds.below[kakuhen])) [[likely]]
        return false;
    return bounds.exact || jackpot_hit(MachineRandom::from_bits53(k), z.zentei_kakuritu, kakuhen);
}

// Int(Rnd × n) with anything above 1 read as 0: a chance of 1/n of a 1.
template <int n, class R> Int16 one_in(R& rng) {
    return rnd_is<n, 1>(rng);
}

template <class R> [[gnu::always_inline]] inline void miss(SpinState& s, R& rng) {
    if (rnd_is<kHazureReachOneIn, 0>(rng)) [[unlikely]]
        s.reach_kind = Reach_Hantei(s.atari_flag, rng);
    s.suberi_flag = s.reach_kind <= 1 ? one_in<14>(rng) : Int16(rnd_is<2, 1>(rng));
    if (s.kakuhen_flag == 1) {
        // In the probability-up state only the stronger reaches may miss.
        if (!kakuhen_keeps_miss_reach(s.reach_kind)) s.reach_kind = 0;
        if (s.reach_kind == 0) s.suberi_flag = 0;
    }
    if (s.reach_kind >= 2 && s.reach_kind <= 10) [[unlikely]] {
        s.yokoku_chara = one_in<10>(rng);
        s.yokoku_level = one_in<10>(rng);
        if (s.yokoku_level == 1 && rnd_is<2, 0>(rng)) s.yokoku_level = 2;
    }
}

} // namespace lottery_detail

// One lottery. Acts only when spin_phase is 0 and hands over with spin_phase
// 1. `renchan` is the chain length the accounting left. Inline: the batch tool
// runs it hundreds of millions of times.
template <class R>
[[gnu::always_inline]] inline void lottery(SpinState& s, Single renchan, const Premises& z,
                                           R& rng) {
    if (s.spin_phase != 0) return;
    rng.Randomize();
    s.atari_flag = 0;
    s.atari_egara = 0;
    s.reach_kind = 0;
    s.suberi_flag = 0;
    s.yokoku_chara = 0;
    s.shoukaku_egara = 0;
    s.yokoku_level = 0;
    s.yokoku_scroll = 0;
    if (lottery_detail::jackpot_draw(s, z, rng)) [[unlikely]] {
        s.atari_flag = 1;
        jackpot_decisions(s, renchan, z, rng);
    } else {
        lottery_detail::miss(s, rng);
    }
    s.spin_phase = 1;
}

// One lottery tick.
void Timer1_Timer(SpinState& s, Single renchan, const Premises& z, Random& rng);
// The same with the machine's own generator, without a virtual call per draw.
[[gnu::always_inline]] inline void Timer1_Timer(SpinState& s, Single renchan, const Premises& z,
                                                MachineRandom& rng) {
    LotteryDraws draws(rng);
    lottery(s, renchan, z, draws);
}

} // namespace popchan
