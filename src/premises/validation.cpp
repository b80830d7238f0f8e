#include "premises/validation.h"

#include <cmath>
#include <cstdlib>

#include "premises/spin_rate.h"

namespace popchan {

namespace {

constexpr std::array<std::string_view, 22> kMessages = {
    "大当り確率は数字を入力して下さい。",
    "確変率は数字を入力して下さい。",
    "回転率は数字を入力して下さい。",
    "換金率は数字を入力して下さい。",
    "時間は数字を入力して下さい。",
    "確率入力エラーです。",
    "確率は１０００分の１以下です。",
    "出玉入力エラーです。",
    "出玉は１００００以下です。",
    "確変率入力エラーです。",
    "確変率は１０００分の１以下です。",
    "最高継続回数入力エラーです。",
    "最高継続回数は数字又は無制限を入力して下さい。",
    "回転率入力エラーです。",
    "回転率は１０００回以下です。",
    "換金率入力エラーです。",
    "時間入力エラーです。",
    "時間は最高１４時間です。",
    "ギブアップ金額入力エラーです。",
    "営業形態は８形態だけです。",
    "タイムサービスは４種類だけです。",
    "ドル箱規制選択エラー",
};

// The text with full-width digits, signs, point, comma and blank replaced by
// their half-width twins; other characters pass unchanged.
std::string half_width(std::string_view text) {
    static constexpr std::pair<std::string_view, char> kTwins[] = {
        {"０", '0'}, {"１", '1'}, {"２", '2'}, {"３", '3'}, {"４", '4'}, {"５", '5'},
        {"６", '6'}, {"７", '7'}, {"８", '8'}, {"９", '9'}, {"．", '.'}, {"，", ','},
        {"－", '-'}, {"−", '-'},  {"＋", '+'}, {"　", ' '}};
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        bool replaced = false;
        for (const auto& [wide, narrow] : kTwins)
            if (text.substr(i, wide.size()) == wide) {
                out += narrow;
                i += wide.size();
                replaced = true;
                break;
            }
        if (!replaced) out += text[i++];
    }
    return out;
}

bool is_blank(char c) {
    return c == ' ' || c == '\t';
}
bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// Exactly three digits at s[j], and no fourth.
bool three_digits_at(const std::string& s, std::size_t j) {
    return j + 3 <= s.size() && is_digit(s[j]) && is_digit(s[j + 1]) && is_digit(s[j + 2]) &&
           (j + 3 == s.size() || !is_digit(s[j + 3]));
}

// Reads a number at s[i]: sign, digits (commas only between groups of three),
// fraction. Returns how many characters it used (0: no number) and the value.
std::size_t read_number(const std::string& s, std::size_t i, double& value) {
    const std::size_t start = i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    std::string digits;
    std::size_t group = 0; // digits since the last comma
    while (i < s.size()) {
        if (is_digit(s[i])) {
            digits += s[i++];
            ++group;
        } else if (s[i] == ',' && group > 0 && group <= 3 && three_digits_at(s, i + 1)) {
            // A comma is taken only before exactly three digits, so every later
            // group is three long when its comma comes.
            group = 0;
            ++i;
        } else {
            break;
        }
    }
    std::string fraction;
    if (i < s.size() && s[i] == '.') {
        std::size_t j = i + 1;
        while (j < s.size() && is_digit(s[j]))
            fraction += s[j++];
        if (!digits.empty() || !fraction.empty()) i = j;
    }
    if (digits.empty() && fraction.empty()) return 0;
    value = std::strtod(((digits.empty() ? "0" : digits) + "." + fraction + "0").c_str(), nullptr);
    if (negative) value = -value;
    return i - start;
}

} // namespace

PremiseTexts start_texts() {
    return {"  310", "  2100", "   2",         "無制限",     "   30",   "   10",
            " 2.22", " 30000", "確変後無制限", "9:00-10:00", "規制なし"};
}

namespace {

// "   10" … : numbers right-aligned in a field of `width` characters.
std::vector<std::string> aligned(std::initializer_list<const char*> numbers, std::size_t width) {
    std::vector<std::string> items;
    for (const char* n : numbers) {
        const std::string text = n;
        items.push_back(std::string(width > text.size() ? width - text.size() : 0, ' ') + text);
    }
    return items;
}

template <std::size_t N> std::vector<std::string> texts(const std::array<std::string_view, N>& a) {
    return {a.begin(), a.end()};
}

} // namespace

std::vector<std::string> list_items(PremiseRow row) {
    switch (row) {
    case kRowKakuritu:
        return aligned({"1",   "3",   "5",   "10",  "20",  "30",  "40",  "50",  "100", "150", "200",
                        "230", "250", "300", "310", "320", "338", "350", "400", "450", "500"},
                       5);
    case kRowDedama:
        return aligned({"1800", "1900", "2000", "2100", "2200", "2300", "2400", "2500"}, 6);
    case kRowKakuhenritu: {
        auto items = aligned({"1", "2"}, 4);
        items.push_back("   2.17");
        items.push_back("   2.5");
        for (auto& item : aligned({"3", "4", "5", "6", "7", "8"}, 4))
            items.push_back(item);
        return items;
    }
    case kRowLimiter: {
        auto items = aligned({"2", "3", "4", "5", "6", "7", "8", "9", "10"}, 6);
        items.emplace_back(kUnlimited);
        return items;
    }
    case kRowKaiten: {
        std::vector<std::string> items;
        for (int n = 10; n <= 50; ++n)
            items.push_back("   " + std::to_string(n));
        return items;
    }
    case kRowJikan:
        return aligned({"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12", "13", "14"},
                       5);
    case kRowKankin:
        return aligned({"2.00", "2.10", "2.20", "2.22", "2.27", "2.30", "2.40",
                        "2.45", "2.50", "2.60", "2.70", "2.80", "2.90", "3.00",
                        "3.10", "3.20", "3.30", "3.40", "3.50", "4.00"},
                       5);
    case kRowGiveup: {
        auto items = aligned(
            {"5000", "10000", "20000", "25000", "30000", "35000", "40000", "45000", "50000"}, 6);
        items.emplace_back(kUnlimited);
        return items;
    }
    case kRowEigyo:
        return texts(kEigyoTexts);
    case kRowTimeService:
        return texts(kTimeServiceTexts);
    case kRowHakokisei:
        return texts(kHakokiseiTexts);
    case kPremiseRows:
        break;
    }
    return {};
}

namespace {

// The first place from i on that holds no blank.
std::size_t past_blanks(const std::string& s, std::size_t i) {
    while (i < s.size() && is_blank(s[i]))
        ++i;
    return i;
}

} // namespace

bool is_numeric(std::string_view text) {
    const std::string s = half_width(text);
    const std::size_t start = past_blanks(s, 0);
    double value = 0;
    const std::size_t used = read_number(s, start, value);
    return used != 0 && past_blanks(s, start + used) == s.size();
}

double leading_number(std::string_view text) {
    const std::string s = half_width(text);
    double value = 0;
    return read_number(s, past_blanks(s, 0), value) ? value : 0;
}

std::string_view check_message(int n) {
    return kMessages.at(n - 1);
}

namespace {

template <std::size_t N>
Int16 code_of(const std::string& text, const std::array<std::string_view, N>& texts) {
    for (std::size_t i = 0; i < N; ++i)
        if (text == texts[i]) return Int16(int(i) + 1);
    return Int16(int(N) + 1); // not one of the list's texts
}

Single to_single(double v) {
    // Far beyond any bound, a typed number still reads as a huge value.
    if (!std::isfinite(v) || std::fabs(v) > 3e38) return v < 0 ? -3e38f : 3e38f;
    return static_cast<Single>(v);
}

// Checks 6 to 22 but 13 on the record's values, appended in order.
void value_checks(const Premises& z, bool limiter_ok, std::vector<int>& failed,
                  const std::array<bool, 5>& numeric) {
    auto fail = [&](int n, bool bad) {
        if (bad) failed.push_back(n);
    };
    for (int n = 1; n <= 5; ++n)
        fail(n, !numeric[n - 1]);
    fail(6, !(z.zentei_kakuritu > 0));
    fail(7, z.zentei_kakuritu > 1000);
    fail(8, !(z.zentei_dedama > 0));
    fail(9, z.zentei_dedama > 10000);
    fail(10, !(z.zentei_kakuhenritu > 0));
    fail(11, z.zentei_kakuhenritu > 1000);
    fail(12, !(z.zentei_limiter > 0));
    fail(13, !limiter_ok);
    fail(14, !spin_rate_fits(z.zentei_kaiten));
    fail(15, z.zentei_kaiten > 1000);
    fail(16, !(z.zentei_kankin > 0) || z.zentei_kankin > 4);
    // A day holds at least a second: the graph spreads its hours over its
    // width, and the clock counts whole seconds.
    fail(17, !(Single(z.zentei_jikan * 3600) >= 1));
    fail(18, z.zentei_jikan > 14);
    fail(19, !(z.zentei_giveup > 0));
    fail(20, z.zentei_eigyo == 9 || z.zentei_eigyo < 1 || z.zentei_eigyo > 9);
    fail(21, z.zentei_timeservice == 5 || z.zentei_timeservice < 1 || z.zentei_timeservice > 5);
    fail(22, z.zentei_hakokisei == 7 || z.zentei_hakokisei < 1 || z.zentei_hakokisei > 7);
}

// A chain limit must be a whole number, or the chain would never meet it.
bool whole(Single v) {
    return std::floor(v) == v;
}

} // namespace

Commit convert_and_check(const PremiseTexts& in) {
    Commit c;
    c.texts = in;
    Premises& z = c.record;
    const auto number = [&](int row) { return to_single(leading_number(c.texts[row])); };
    z.zentei_kakuritu = number(kRowKakuritu);
    z.zentei_dedama = number(kRowDedama);
    z.zentei_kakuhenritu = number(kRowKakuhenritu);
    const bool limiter_unlimited = c.texts[kRowLimiter] == kUnlimited;
    z.zentei_limiter = limiter_unlimited ? kLimiterUnlimited : number(kRowLimiter);
    if (z.zentei_limiter > kLimiterUnlimited) z.zentei_limiter = kLimiterUnlimited;
    z.zentei_kaiten = number(kRowKaiten);
    z.zentei_jikan = number(kRowJikan);
    z.zentei_kankin = number(kRowKankin);
    if (c.texts[kRowGiveup] == kUnlimited) c.texts[kRowGiveup] = "9999999";
    z.zentei_giveup = number(kRowGiveup);
    if (z.zentei_giveup > kGiveupUnlimited) z.zentei_giveup = kGiveupUnlimited;
    z.zentei_eigyo = code_of(c.texts[kRowEigyo], kEigyoTexts);
    z.zentei_timeservice = code_of(c.texts[kRowTimeService], kTimeServiceTexts);
    z.zentei_hakokisei = code_of(c.texts[kRowHakokisei], kHakokiseiTexts);

    const std::array<bool, 5> numeric = {
        is_numeric(c.texts[kRowKakuritu]), is_numeric(c.texts[kRowKakuhenritu]),
        is_numeric(c.texts[kRowKaiten]), is_numeric(c.texts[kRowKankin]),
        is_numeric(c.texts[kRowJikan])};
    const bool limiter_ok =
        limiter_unlimited || (is_numeric(c.texts[kRowLimiter]) && whole(z.zentei_limiter));
    value_checks(z, limiter_ok, c.failed, numeric);
    return c;
}

std::vector<int> check_record(const Premises& z) {
    std::vector<int> failed;
    value_checks(z, whole(z.zentei_limiter), failed, {true, true, true, true, true});
    return failed;
}

} // namespace popchan
