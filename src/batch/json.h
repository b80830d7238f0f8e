// The batch tool's summaries read back as a tree, by nlohmann JSON's reader.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/json_text.h"

namespace popchan::batch {

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
