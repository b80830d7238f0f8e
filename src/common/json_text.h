// Texts written as JSON: by the batch tool's summaries and the web page's state.
#pragma once

#include <string>
#include <string_view>

namespace popchan {

// A string as a JSON string, quotes included.
std::string json_string(std::string_view s);

// Strings as a JSON array.
template <class Strings> std::string json_strings(const Strings& items) {
    std::string out = "[";
    for (const auto& item : items)
        out += (out.size() > 1 ? ", " : "") + json_string(item);
    return out + "]";
}

} // namespace popchan
