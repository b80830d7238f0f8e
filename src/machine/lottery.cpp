#include "machine/lottery.h"

#include "machine/rules.h"

namespace popchan {

namespace {

// Int(Rnd × n) for a small n, as a table index.
template <class R> int draw(R& rng, int n) {
    return static_cast<int>(vb_int(rng.Rnd() * n));
}

template <class R> Int16 other_symbol(R& rng) {
    return kOtherSymbols.at(draw(rng, 7));
}

// Half of the jackpots are shown first on another symbol and then promoted.
template <class R> void promotion_draw(SpinState& s, R& rng) {
    if (draw(rng, 2) == 1) {
        s.shoukaku_egara = s.atari_egara == 0 ? Int16(14) : s.atari_egara;
        s.atari_egara = other_symbol(rng);
    }
}

template <class R> bool jackpot_draw(const SpinState& s, const Premises& z, R& rng) {
    const double P = z.zentei_kakuritu;
    if (s.kakuhen_flag == 1) return vb_int(rng.Rnd() * P / 5 + 1) == 1;
    const double m = vb_int(rng.Rnd() * P * 10 + 1);
    return vb_int(m / 10 + 0.9) == 1;
}

template <class R> void jackpot(SpinState& s, Single renchan, const Premises& z, R& rng) {
    const Single limit = z.zentei_limiter - 1;
    if (limit > renchan) {
        // Symbol lottery: a probability-up symbol with the chance 1/R. The draw
        // is held wide enough for every R the premises accept.
        const double d = vb_int(rng.Rnd() * z.zentei_kakuhenritu * 1000);
        s.atari_egara = d >= 1000 ? other_symbol(rng) : Int16(kKakuhenSymbols.at(draw(rng, 7)));
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
    s.suberi_flag = draw(rng, 2);
    if (s.reach_kind == 11) {
        s.suberi_flag = 0;
        return;
    }
    s.yokoku_chara = draw(rng, 2);
    s.yokoku_level = draw(rng, 2);
    if (s.yokoku_level == 1 && draw(rng, 2) == 0) s.yokoku_level = 2;
    if (draw(rng, 10) == 0) s.yokoku_level = 3;
    if (s.reach_kind < 6 && s.yokoku_level > 2) s.yokoku_level = 2;
}

// Int(Rnd × n) with anything above 1 read as 0: a chance of 1/n of a 1.
template <class R> Int16 one_in(R& rng, int n) {
    const int v = draw(rng, n);
    return v > 1 ? 0 : v;
}

template <class R> void miss(SpinState& s, R& rng) {
    if (draw(rng, kHazureReachOneIn) == 0) s.reach_kind = Reach_Hantei(s.atari_flag, rng);
    s.suberi_flag = s.reach_kind <= 1 ? one_in(rng, 14) : Int16(draw(rng, 2));
    if (s.kakuhen_flag == 1) {
        // In the probability-up state only the stronger reaches may miss.
        if (!kakuhen_keeps_miss_reach(s.reach_kind)) s.reach_kind = 0;
        if (s.reach_kind == 0) s.suberi_flag = 0;
    }
    if (s.reach_kind >= 2 && s.reach_kind <= 10) {
        s.yokoku_chara = one_in(rng, 10);
        s.yokoku_level = one_in(rng, 10);
        if (s.yokoku_level == 1 && draw(rng, 2) == 0) s.yokoku_level = 2;
    }
}

} // namespace

template <class R> void lottery(SpinState& s, Single renchan, const Premises& z, R& rng) {
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
    if (jackpot_draw(s, z, rng)) {
        s.atari_flag = 1;
        jackpot(s, renchan, z, rng);
    } else {
        miss(s, rng);
    }
    s.spin_phase = 1;
}

void Timer1_Timer(SpinState& s, Single renchan, const Premises& z, Random& rng) {
    lottery(s, renchan, z, rng);
}

void Timer1_Timer(SpinState& s, Single renchan, const Premises& z, MachineRandom& rng) {
    lottery(s, renchan, z, rng);
}

} // namespace popchan
