// The machine's number rules: 16-bit integers that overflow into run-time
// error 6, single-precision reals for money, balls and time, Int as the floor,
// conversions to integers with halves to even, and the number-to-text forms
// shown on the screen.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>

#include "common/runtime_error.h"

namespace popchan {

// Money, balls, times and the day's counters.
using Single = float;

// A signed 16-bit integer of the machine's state. Every arithmetic result and
// every conversion into it is range-checked; leaving -32768..32767 raises
// run-time error 6.
class Int16 {
  public:
    constexpr Int16() = default;
    // From any whole number; out of range is an overflow.
    constexpr Int16(long long v) : v_(checked(v)) {} // NOLINT: implicit on purpose

    constexpr int value() const { return v_; }
    constexpr operator int() const { return v_; } // NOLINT: reads like a plain integer

    constexpr Int16& operator+=(long long o) { return *this = Int16(v_ + o); }
    constexpr Int16& operator-=(long long o) { return *this = Int16(v_ - o); }
    constexpr Int16& operator++() { return *this += 1; }
    constexpr Int16& operator--() { return *this -= 1; }

  private:
    static constexpr std::int16_t checked(long long v) {
        if (v < -32768 || v > 32767) raise_error(kOverflow);
        return static_cast<std::int16_t>(v);
    }
    std::int16_t v_ = 0;
};

// Int(x): the largest whole number not above x.
inline double vb_int(double x) {
#if defined(__x86_64__) && !defined(__SSE4_1__)
    // Without SSE4.1's rounding instruction the compiler's floor is a long
    // chain; for a positive x below 2^63 the floor is the whole part, two
    // conversions. (-0, negatives, NaN and the rest take the general floor.)
    if (x > 0 && x < 0x1p63) return double(static_cast<long long>(x));
#endif
    return std::floor(x);
}

// x rounded to the nearest whole number, halves to the even neighbour.
double round_half_even(double x);

// A real stored into a 16-bit integer: rounded half to even, then range-checked.
Int16 to_int16(double x);

// Plain digits as the machine writes a number into a message: up to 7
// significant digits for a single, no separators ("12300", "2.22", "-5").
std::string cstr(Single x);
// The same for a double (15 significant digits), used by the statistics.
std::string cstr(double x);

// As in lists: one leading blank before a non-negative number, and a fraction
// below one written without its leading zero (" 5", "-5", " .5").
std::string str(Single x);
std::string str(double x);

// The counter boxes' "##,##0": thousands separators, at least one digit, the
// fraction rounded away (halves away from zero), a minus sign when negative.
std::string format_counter(double x);

} // namespace popchan
