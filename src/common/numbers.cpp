#include "common/numbers.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace popchan {

double round_half_even(double x) {
    // Worked out from the floor, so no floating-point rounding mode can change it.
    const double f = std::floor(x);
    const double fraction = x - f; // exact for every double that has a fraction
    if (fraction > 0.5) return f + 1;
    if (fraction < 0.5) return f;
    return std::fmod(f, 2.0) == 0 ? f : f + 1;
}

Int16 to_int16(double x) {
    if (std::isnan(x)) raise_error(kOverflow);
    const double r = round_half_even(x);
    if (r < -32768.0 || r > 32767.0) raise_error(kOverflow);
    return Int16(static_cast<long long>(r));
}

namespace {

// %.<digits>G prints what the runtime prints for a real ("2.22", "12300",
// "1.234568E+07"); the runtime adds nothing to whole numbers.
std::string general(double x, int digits) {
    if (x == 0) return "0"; // also -0
    if (x == std::floor(x) && std::fabs(x) < std::pow(10.0, digits)) {
        // A whole number within the digits: plain digits, without printf.
        char buf[24];
        const auto end = std::to_chars(buf, buf + sizeof buf, static_cast<long long>(x)).ptr;
        return std::string(buf, end);
    }
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.*G", digits, x);
    return buf;
}

std::string with_blank(std::string s) {
    // " .5" and "-.5": a fraction below one loses its leading zero in lists.
    if (s.rfind("0.", 0) == 0)
        s.erase(0, 1);
    else if (s.rfind("-0.", 0) == 0)
        s.erase(1, 1);
    return s[0] == '-' ? s : " " + s;
}

} // namespace

std::string cstr(Single x) {
    return general(x, 7);
}
std::string cstr(double x) {
    return general(x, 15);
}

std::string str(Single x) {
    return with_blank(cstr(x));
}
std::string str(double x) {
    return with_blank(cstr(x));
}

std::string format_counter(double x) {
    const double r = std::round(x); // halves away from zero, as the format does
    const bool negative = r < 0;
    char digits[40];
    std::snprintf(digits, sizeof digits, "%.0f", std::fabs(r));
    std::string d = digits, out;
    const int n = static_cast<int>(d.size());
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out += ',';
        out += d[i];
    }
    return negative ? "-" + out : out;
}

} // namespace popchan
