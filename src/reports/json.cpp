#include "reports/json.h"

#include <algorithm>
#include <nlohmann/json.hpp>

namespace popchan::batch {

std::string json_string(std::string_view s) {
    return nlohmann::json(std::string(s))
        .dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

namespace {

// Builds the tree as Debian's nlohmann JSON reads the text: numbers keep their
// text (a float as written, an integer as its digits), members their order and
// repeats, and no value lies deeper than kDepth below the top.
class Builder : public nlohmann::json_sax<nlohmann::json> {
  public:
    static constexpr std::size_t kDepth = 64;
    Json root;
    std::size_t error_at = 0; // the byte where reading stopped, from 1
    bool too_deep = false;    // a value lay deeper than kDepth

    bool null() override { return put(of(Json::kNull)); }
    bool boolean(bool) override { return put(of(Json::kBool)); } // read, never asked for
    bool number_integer(number_integer_t v) override { return number(std::to_string(v)); }
    bool number_unsigned(number_unsigned_t v) override { return number(std::to_string(v)); }
    bool number_float(number_float_t, const string_t& text) override { return number(text); }
    bool string(string_t& v) override { return put(of(Json::kString, v)); }
    bool binary(binary_t&) override { return false; }
    bool start_object(std::size_t) override { return open(Json::kObject); }
    bool key(string_t& k) override {
        key_ = k;
        return true;
    }
    bool end_object() override { return close(); }
    bool start_array(std::size_t) override { return open(Json::kArray); }
    bool end_array() override { return close(); }
    bool parse_error(std::size_t position, const std::string&,
                     const nlohmann::detail::exception&) override {
        error_at = position;
        return false;
    }

  private:
    static Json of(Json::Kind kind, std::string text = {}) {
        Json j;
        j.kind = kind;
        j.text = std::move(text);
        return j;
    }
    bool number(std::string text) { return put(of(Json::kNumber, std::move(text))); }
    // A value into the array or object open now, or as the whole text; none
    // deeper than kDepth.
    Json* put_at(Json&& v) {
        if (open_.size() > kDepth) {
            too_deep = true;
            return nullptr;
        }
        if (open_.empty()) {
            root = std::move(v);
            return &root;
        }
        Json& into = *open_.back();
        if (into.kind == Json::kArray) {
            into.items.push_back(std::move(v));
            return &into.items.back();
        }
        into.members.emplace_back(key_, std::move(v));
        return &into.members.back().second;
    }
    bool put(Json&& v) { return put_at(std::move(v)) != nullptr; }
    bool open(Json::Kind kind) {
        Json* opened = put_at(of(kind));
        if (opened) open_.push_back(opened);
        return opened != nullptr;
    }
    bool close() {
        open_.pop_back();
        return true;
    }
    std::vector<Json*> open_; // the arrays and objects being filled, innermost last
    std::string key_;
};

} // namespace

const Json* Json::find(std::string_view key) const {
    for (const auto& [name, value] : members)
        if (name == key) return &value;
    return nullptr;
}

std::optional<Json> parse_json(std::string_view text, std::string& error) {
    Builder b;
    if (nlohmann::json::sax_parse(text.begin(), text.end(), &b)) return std::move(b.root);
    error = b.too_deep ? "nested deeper than " + std::to_string(Builder::kDepth) + " levels"
                       : "not JSON at byte " + std::to_string(b.error_at);
    return std::nullopt;
}

} // namespace popchan::batch
