#include "machine/lottery.h"

#include <cmath>

#include "machine/rules.h"

namespace popchan {

namespace {

template <class R> Int16 other_symbol(R& rng) {
    return kOtherSymbols.at(rnd_below(rng, 7));
}

// Half of the jackpots are shown first on another symbol and then promoted.
template <class R> void promotion_draw(SpinState& s, R& rng) {
    if (rnd_below(rng, 2) == 1) {
        s.shoukaku_egara = s.atari_egara == 0 ? Int16(14) : s.atari_egara;
        s.atari_egara = other_symbol(rng);
    }
}

template <class R> void jackpot(SpinState& s, Single renchan, const Premises& z, R& rng) {
    const Single limit = z.zentei_limiter - 1;
    if (limit > renchan) {
        // Symbol lottery: a probability-up symbol with the chance 1/R. The draw
        // is held wide enough for every R the premises accept.
        const double d = vb_int(rng.Rnd() * z.zentei_kakuhenritu * 1000);
        s.atari_egara =
            d >= 1000 ? other_symbol(rng) : Int16(kKakuhenSymbols.at(rnd_below(rng, 7)));
        promotion_draw(s, rng);
        const Int16 final_egara = s.shoukaku_egara != 0
                                      ? Int16(s.shoukaku_egara == 14 ? 0 : int(s.shoukaku_egara))
                                      : s.atari_egara;
        if (KakuhenHantei(final_egara) == 1)
            s.kakuhen_zan = 1;
        else
            s.kakuhen_zan = s.kakuhen_zan - 1 < 1 ? 0 : s.kakuhen_zan - 1;
    } else if (limit == renchan) {
        // The chain is at its limit: forced onto another symbol. Below 1 means
        // none, so the count stops at 0 rather than running down for ever.
        s.atari_egara = other_symbol(rng);
        if (s.kakuhen_zan > 0) --s.kakuhen_zan;
        promotion_draw(s, rng);
    }
    // Past the limit no symbol is drawn: a jackpot on symbol 0.

    s.reach_kind = Reach_Hantei(s.atari_flag, rng);
    s.suberi_flag = rnd_below(rng, 2);
    if (s.reach_kind == 11) {
        s.suberi_flag = 0;
        return;
    }
    s.yokoku_chara = rnd_below(rng, 2);
    s.yokoku_level = rnd_below(rng, 2);
    if (s.yokoku_level == 1 && rnd_below(rng, 2) == 0) s.yokoku_level = 2;
    if (rnd_below(rng, 10) == 0) s.yokoku_level = 3;
    if (s.reach_kind < 6 && s.yokoku_level > 2) s.yokoku_level = 2;
}

} // namespace

void jackpot_decisions(SpinState& s, Single renchan, const Premises& z, Random& rng) {
    jackpot(s, renchan, z, rng);
}
void jackpot_decisions(SpinState& s, Single renchan, const Premises& z, MachineRandom& rng) {
    jackpot(s, renchan, z, rng);
}

JackpotBounds JackpotBounds::for_odds(double P) {
    JackpotBounds b;
    b.P = P;
    if (!(P > 0) || !std::isfinite(P)) return b;
    std::array<std::uint64_t, 2> below{};
    for (int kakuhen = 0; kakuhen < 2; ++kakuhen) {
        auto wins = [&](std::uint64_t k) {
            return lottery_detail::jackpot_hit(MachineRandom::from_bits53(k), P, kakuhen == 1);
        };
        // wins(lo) holds, and hi is the first draw that loses or the end.
        std::uint64_t lo = 0, hi = std::uint64_t(1) << 53;
        if (!wins(lo)) return b;
        while (hi - lo > 1) {
            const std::uint64_t mid = lo + (hi - lo) / 2;
            (wins(mid) ? lo : hi) = mid;
        }
        below[kakuhen] = hi;
    }
    b.below = below;
    b.exact = true;
    return b;
}

void Timer1_Timer(SpinState& s, Single renchan, const Premises& z, Random& rng) {
    lottery(s, renchan, z, rng);
}

} // namespace popchan
