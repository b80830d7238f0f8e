// The premises dialog's eleven texts, as anything a user could type or paste:
// the input is split at NUL bytes into the texts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "premises/validation.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    popchan::PremiseTexts texts = popchan::start_texts();
    std::size_t row = 0;
    std::string current;
    for (std::size_t i = 0; i < size && row < texts.size(); ++i) {
        if (data[i] == 0) {
            texts[row++] = current;
            current.clear();
        } else {
            current += char(data[i]);
        }
    }
    if (row < texts.size()) texts[row] = current;
    const popchan::Commit c = popchan::convert_and_check(texts);
    int previous = 0;
    for (int n : c.failed) {
        if (n <= previous || n > 22) std::abort(); // checks come once each, in order
        previous = n;
    }
    if (c.record.zentei_limiter > 999 || c.record.zentei_giveup > 9999999) std::abort();
    if (c.failed.empty() && !popchan::check_record(c.record).empty()) std::abort();
    return 0;
}
