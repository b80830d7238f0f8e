// Run-time errors and the uniform error report that ends a failed handler.
#pragma once

#include <iterator>
#include <stdexcept>
#include <string>

namespace popchan {

// The error numbers the machine can raise.
enum ErrorNumber : int {
    kInvalidCall = 5,
    kOverflow = 6,
    kSubscriptOutOfRange = 9,
    kDivisionByZero = 11,
    kTypeMismatch = 13,
};

// The run-time error's source as the report names it: the program itself.
inline constexpr const char* kErrorSource = "popchan";

class RuntimeError : public std::runtime_error {
  public:
    RuntimeError(int number, std::string source, std::string description);
    explicit RuntimeError(int number); // the standard description for the number

    int number() const { return number_; }
    const std::string& source() const { return source_; }
    const std::string& description() const { return what_; }

  private:
    int number_;
    std::string source_;
    std::string what_;
};

// The runtime's own wording for an error number.
std::string error_description(int number);

// Raises run-time error `number`. Out of line, so that a check costs the code
// it guards only a comparison.
[[noreturn]] void raise_error(int number);

// Element i of an array whose subscripts run from `first`, checked as the
// language checks a subscript: any other i is run-time error 9.
template <class Array> auto& element(Array& array, int i, int first = 0) {
    if (i < first || i - first >= static_cast<int>(std::size(array)))
        raise_error(kSubscriptOutOfRange);
    return array[static_cast<std::size_t>(i - first)];
}

// Which wording the report uses: the menu and dialog handlers say
// "エラー番号 = 6、popchan でエラーが発生しました。 …"; the spin timers, Start and
// Reset say "エラー番号 6popchan でエラーが発生しました。 …".
enum class ReportForm { Long, Short };

// Title of the message box that shows the report.
inline constexpr const char* kErrorTitle = "エラー";

std::string error_report(const RuntimeError& e, ReportForm form);

} // namespace popchan
