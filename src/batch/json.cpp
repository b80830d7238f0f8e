#include "batch/json.h"

#include <charconv>
#include <cstdio>

namespace popchan::batch {

namespace {

class Reader {
  public:
    explicit Reader(std::string_view text) : s_(text) {}

    std::optional<Json> document(std::string& error) {
        Json v;
        const bool ok = value(v, 0) && (blanks(), at_ == s_.size());
        if (ok) return v;
        error = "not JSON at byte " + std::to_string(at_ + 1);
        return std::nullopt;
    }

  private:
    static constexpr int kDepth = 64;

    void blanks() {
        while (at_ < s_.size() &&
               (s_[at_] == ' ' || s_[at_] == '\n' || s_[at_] == '\t' || s_[at_] == '\r'))
            ++at_;
    }
    bool take(char c) {
        blanks();
        if (at_ < s_.size() && s_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }
    bool word(std::string_view w) {
        if (s_.substr(at_, w.size()) != w) return false;
        at_ += w.size();
        return true;
    }

    bool value(Json& v, int depth) {
        blanks();
        if (at_ >= s_.size() || depth > kDepth) return false;
        const char c = s_[at_];
        if (c == '{') return object(v, depth);
        if (c == '[') return array(v, depth);
        if (c == '"') {
            v.kind = Json::kString;
            return string(v.text);
        }
        if (word("true") || word("false")) { // read, never asked for
            v.kind = Json::kBool;
            return true;
        }
        if (word("null")) return true;
        const std::size_t start = at_;
        while (at_ < s_.size() &&
               std::string_view("+-.0123456789eE").find(s_[at_]) != std::string_view::npos)
            ++at_;
        v.kind = Json::kNumber;
        v.text = s_.substr(start, at_ - start);
        return at_ > start;
    }

    bool object(Json& v, int depth) {
        v.kind = Json::kObject;
        ++at_;
        if (take('}')) return true;
        do {
            std::string key;
            Json member;
            blanks();
            if (at_ >= s_.size() || s_[at_] != '"' || !string(key) || !take(':') ||
                !value(member, depth + 1))
                return false;
            v.members.emplace_back(std::move(key), std::move(member));
        } while (take(','));
        return take('}');
    }

    bool array(Json& v, int depth) {
        v.kind = Json::kArray;
        ++at_;
        if (take(']')) return true;
        do {
            v.items.emplace_back();
            if (!value(v.items.back(), depth + 1)) return false;
        } while (take(','));
        return take(']');
    }

    // A string from its opening quote; \uXXXX escapes of the Basic
    // Multilingual Plane only, which is all the tool writes.
    bool string(std::string& out) {
        ++at_;
        while (at_ < s_.size() && s_[at_] != '"') {
            char c = s_[at_++];
            if (c == '\\') {
                if (at_ >= s_.size()) return false;
                c = s_[at_++];
                static constexpr std::string_view kFrom = "\"\\/bfnrt", kTo = "\"\\/\b\f\n\r\t";
                if (const auto k = kFrom.find(c); k != std::string_view::npos) {
                    out += kTo[k];
                } else if (c == 'u' && at_ + 4 <= s_.size()) {
                    // Exactly four hexadecimal digits.
                    unsigned code{};
                    const char* digits = s_.data() + at_;
                    const auto [end, ec] = std::from_chars(digits, digits + 4, code, 16);
                    if (ec != std::errc() || end != digits + 4) return false;
                    at_ += 4;
                    if (code < 0x80) {
                        out += char(code);
                    } else if (code < 0x800) {
                        out += char(0xC0 | (code >> 6));
                        out += char(0x80 | (code & 0x3F));
                    } else {
                        out += char(0xE0 | (code >> 12));
                        out += char(0x80 | ((code >> 6) & 0x3F));
                        out += char(0x80 | (code & 0x3F));
                    }
                } else {
                    return false;
                }
            } else {
                out += c;
            }
        }
        return at_ < s_.size() && s_[at_++] == '"';
    }

    std::string_view s_;
    std::size_t at_ = 0;
};

} // namespace

const Json* Json::find(std::string_view key) const {
    for (const auto& [name, value] : members)
        if (name == key) return &value;
    return nullptr;
}

std::optional<Json> parse_json(std::string_view text, std::string& error) {
    return Reader(text).document(error);
}

} // namespace popchan::batch
