// The day's figures: clock, spins, jackpots, balls and money. Single-precision
// reals, as the parlour's books keep them.
#pragma once

#include <array>
#include <string>

#include "common/numbers.h"

namespace popchan {

struct DayState {
    Single renchan = 0, renchan_max = 0; // jackpots in the chain, longest chain
    Single nichime = 0;                  // day number
    Single keika_byo = 0;                // simulated seconds since 9:00
    Single jikan_hour = 0, jikan_minute = 0;
    Single kaiten_total = 0, kaiten_tsujo = 0; // spins: all, in the normal state
    Single atari_count = 0, hatsuatari_count = 0;
    Single hamari = 0, hamari_max = 0; // spins since the last jackpot, longest run
    std::array<Single, 2>
        kaiten_kankaku{};      // spins between the last two jackpots; total at the last
    Single mochidama = 0;      // balls held
    Single kaishu_gaku = 0;    // value of the balls held plus yen exchanged
    Single shishutsu_gaku = 0; // yen spent, to the nearest 100
    Single kankin_gaku = 0;    // yen exchanged
    Single shishutsu_raw = 0;  // exact yen spent
    Single shushi = 0;         // balance
    Int16 museigen_flag = 0;   // unlimited play for the rest of the day
    Int16 mochidama_ok = 0;    // balls may be kept at a jackpot
    std::array<std::string, 5> rireki_line; // columns of one hit-history line
};

} // namespace popchan
