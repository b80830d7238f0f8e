// The batch tool's JSON: strings written by nlohmann JSON, and summaries read
// back as a tree by its reader.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace popchan::batch {

// A string as a JSON string, quotes included; bytes that are not UTF-8 become U+FFFD.
std::string json_string(std::string_view s);

// Strings as a JSON array.
template <class Strings> std::string json_strings(const Strings& items) {
    std::string out = "[";
    for (const auto& item : items)
        out += (out.size() > 1 ? ", " : "") + json_string(item);
    return out + "]";
}

struct Json {
    enum Kind { kNull, kBool, kNumber, kString, kArray, kObject } kind = kNull;
    std::string text;                                  // a number as written, or a string's value
    std::vector<Json> items;                           // of an array
    std::vector<std::pair<std::string, Json>> members; // of an object, in order

    // The member named `key`, or null when there is none.
    const Json* find(std::string_view key) const;
};

// The value of the whole text; empty with `error` set when it is not JSON.
std::optional<Json> parse_json(std::string_view text, std::string& error);

} // namespace popchan::batch
