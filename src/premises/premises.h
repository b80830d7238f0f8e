// The premises of a simulated day: eleven settings that fix the machine and the
// parlour. One record for the whole run; the dialog's OK writes it and the
// main window reads it when a day starts and while it runs.
#pragma once

#include <array>
#include <string_view>

#include "common/numbers.h"

namespace popchan {

struct Premises {
    Single zentei_kakuritu = 310;  // jackpot probability, denominator N of 1/N
    Single zentei_dedama = 2100;   // balls paid by one jackpot
    Single zentei_kakuhenritu = 2; // probability-up rate, denominator N of 1/N
    Single zentei_limiter = 999;   // longest chain; 999 stands for unlimited
    Single zentei_kaiten = 30;     // spins per 1,000 yen
    Single zentei_jikan = 10;      // hours of play in one day
    Single zentei_kankin = 2.22f;  // yen per ball at the exchange
    Single zentei_giveup = 30000;  // yen lost before giving up; 9999999 unlimited
    Int16 zentei_eigyo = 3;        // business form 1..8
    Int16 zentei_timeservice = 2;  // lucky time service 1..4
    Int16 zentei_hakokisei = 1;    // dollar-box regulation 1..6
};

inline constexpr Single kLimiterUnlimited = 999;
inline constexpr Single kGiveupUnlimited = 9999999;
inline constexpr std::string_view kUnlimited = "無制限";

// Business forms as the dialog lists them (code = position + 1).
inline constexpr std::array<std::string_view, 8> kEigyoTexts = {
    "確変中持玉",  "オール無制限", "確変後無制限",   "3･7無制限",
    "3･7→4･6交換", "確変→4･6交換", "確変→4･6･8交換", "確変→46､37無制限"};

// Business forms as the premises panel of the main window names them.
inline constexpr std::array<std::string_view, 8> kEigyoLabels = {
    "確変中持ち玉", "オール無制限", "確変以降無制限", "3･7無制限",
    "3･7→4･6交換",  "確変→4･6交換", "確変→4･6･8交換", "確変→46､37無制限"};

// Lucky time service (code = position + 1).
inline constexpr std::array<std::string_view, 4> kTimeServiceTexts = {"なし", "9:00-10:00",
                                                                      "9:00-11:00", "9:00-12:00"};

// Dollar-box regulation (code = position + 1); the leading blank belongs to the text.
inline constexpr std::array<std::string_view, 6> kHakokiseiTexts = {"規制なし", " ３箱", " ４箱",
                                                                    " ５箱",    " ６箱", " ７箱"};

// The box count written into the regulation sign, for codes 2..6.
inline constexpr std::array<std::string_view, 5> kHakokiseiLabels = {"３箱", "４箱", "５箱", "６箱",
                                                                     "７箱"};

} // namespace popchan
