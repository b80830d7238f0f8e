#include "common/text.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace popchan {

int utf8_length(unsigned char lead) {
    return lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
}

std::size_t utf8_chars(const std::string& text) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < text.size(); i += utf8_length(static_cast<unsigned char>(text[i])))
        ++n;
    return n;
}

std::size_t display_width(const std::string& text) {
    std::size_t width = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int length = utf8_length(lead);
        unsigned code = length == 1 ? lead : lead & (0x7F >> length);
        for (int k = 1; k < length && i + k < text.size(); ++k)
            code = code << 6 | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        width += code < 0x80 || (code >= 0xFF61 && code <= 0xFF9F) ? 1 : 2;
        i += length;
    }
    return width;
}

std::optional<double> decimal_number(std::string_view text) {
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0])) || text[0] == '+' ||
        text.find_first_of("xX") != std::string_view::npos)
        return std::nullopt;
    const std::string s(text); // strtod reads up to a terminating zero
    char* end = nullptr;
    errno = 0;
    const double x = std::strtod(s.c_str(), &end);
    if (end != s.c_str() + s.size() || !std::isfinite(x) || (errno == ERANGE && x == 0))
        return std::nullopt;
    return x;
}

} // namespace popchan
