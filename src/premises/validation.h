// From the premises dialog's eleven texts to the premises record: the
// conversion of each text and the 22 checks, shared by the dialog, the start
// of a day and the batch tool.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "premises/premises.h"

namespace popchan {

// The eleven texts in the dialog's row order.
enum PremiseRow {
    kRowKakuritu,
    kRowDedama,
    kRowKakuhenritu,
    kRowLimiter,
    kRowKaiten,
    kRowJikan,
    kRowKankin,
    kRowGiveup,
    kRowEigyo,
    kRowTimeService,
    kRowHakokisei,
    kPremiseRows
};
using PremiseTexts = std::array<std::string, kPremiseRows>;

// The texts the dialog opens with.
PremiseTexts start_texts();

// The items of the drop-down list of a row, as the dialog offers them (the
// leading blanks right-align the numbers).
std::vector<std::string> list_items(PremiseRow row);

// A number as typed: blanks around it (half- or full-width), an optional
// sign, digits with an optional decimal fraction, and optionally commas
// between groups of three digits. Full-width digits and signs count as their
// half-width twins. No exponents, no blanks inside.
bool is_numeric(std::string_view text);

// The longest leading number of the text after leading blanks, read with the
// same rules as is_numeric; 0 when the text starts with no number.
double leading_number(std::string_view text);

struct Commit {
    Premises record;         // the values read, whether or not they pass; the
                             // dialog writes them only when every check passes
    PremiseTexts texts;      // the texts as the dialog shows them afterwards
    std::vector<int> failed; // numbers (1..22) of the failed checks, in order
};

// Converts the texts and runs every check in order.
Commit convert_and_check(const PremiseTexts& texts);

// The checks that a record can answer by itself (all but the checks of the
// texts): what the start of a day asks before it begins.
std::vector<int> check_record(const Premises& z);

// The message of check n (1..22).
std::string_view check_message(int n);
inline constexpr const char* kInputErrorTitle = "入力エラー";

} // namespace popchan
