// UTF-8 texts as the program measures them.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace popchan {

// Bytes of the UTF-8 sequence that begins with `lead` (1 to 4).
int utf8_length(unsigned char lead);

// Characters of a UTF-8 text.
std::size_t utf8_chars(const std::string& text);

// Columns a text takes on a terminal: ASCII and half-width katakana one, every
// other character two.
std::size_t display_width(const std::string& text);

// A finite number written as a program writes one: decimal, without a
// leading blank or '+', within a double's range; none for any other text.
std::optional<double> decimal_number(std::string_view text);

} // namespace popchan
