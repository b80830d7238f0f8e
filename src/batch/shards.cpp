#include "batch/shards.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "batch/json.h"

namespace popchan::batch {

namespace {

// The measured ratios of the exact figures, by name.
constexpr std::pair<const char*, DayRatio Measured::*> kRatios[] = {
    {"atari_tsujo", &Measured::atari_tsujo},
    {"atari_kakuhen", &Measured::atari_kakuhen},
    {"seconds_tsujo", &Measured::seconds_tsujo},
    {"seconds_kakuhen", &Measured::seconds_kakuhen},
};

// Enough digits to read back the same double.
std::string exact(double x) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.17g", x);
    return buf;
}

template <class T> std::string list(const T& items, auto show) {
    std::string out = "[";
    for (const auto& item : items) {
        if (out.size() > 1) out += ", ";
        out += show(item);
    }
    return out + "]";
}

std::string pair_of(const std::string& a, const std::string& b) {
    std::string out = "[";
    out += a;
    out += ", ";
    out += b;
    return out + "]";
}

// Reading back; each read fails on a missing member or a value of another kind.
struct Read {
    bool ok = true;

    const Json& member(const Json& j, const char* key) {
        static const Json none;
        const Json* m = j.kind == Json::kObject ? j.find(key) : nullptr;
        ok = ok && m;
        return m ? *m : none;
    }
    const std::vector<Json>& items(const Json& j, std::size_t size = 0) {
        ok = ok && j.kind == Json::kArray && (size == 0 || j.items.size() == size);
        return j.items;
    }
    template <class T> T number(const Json& j) {
        T value{};
        const char* end = j.text.data() + j.text.size();
        const auto r = std::from_chars(j.text.data(), end, value);
        ok = ok && j.kind == Json::kNumber && r.ec == std::errc() && r.ptr == end;
        return value;
    }
    template <class T> T number(const Json& j, const char* key) {
        return number<T>(member(j, key));
    }
};

// One file's header and totals.
bool read_summary(const Json& j, Header& h, Totals& t) {
    Read r;
    h.seed = r.number<std::uint64_t>(j, "seed");
    const auto& premises = r.items(r.member(j, "premises"), kPremiseRows);
    for (std::size_t i = 0; r.ok && i < premises.size(); ++i) {
        r.ok = premises[i].kind == Json::kString;
        h.premises[i] = premises[i].text;
    }
    h.first_day = r.number<std::int64_t>(j, "first_day");
    h.run_days = r.number<std::int64_t>(j, "run_days");
    t.days = r.number<std::int64_t>(j, "days");
    const Json& s = r.member(j, "sums");
    for (auto [name, field] :
         {std::pair{"wins", &Totals::wins}, std::pair{"giveups", &Totals::giveups},
          std::pair{"seconds", &Totals::seconds}, std::pair{"jackpots", &Totals::jackpots},
          std::pair{"first_hits", &Totals::first_hits}, std::pair{"max_chain", &Totals::max_chain},
          std::pair{"spins", &Totals::spins}})
        t.*field = r.number<std::int64_t>(s, name);
    const auto& hourly = r.items(r.member(s, "hourly"), t.hourly.size());
    for (std::size_t i = 0; r.ok && i < hourly.size(); ++i)
        t.hourly[i] = r.number<std::int64_t>(hourly[i]);
    const auto& reach = r.items(r.member(s, "reach"), t.reach.size());
    for (std::size_t i = 0; r.ok && i < reach.size(); ++i)
        for (std::size_t c = 0; c < 2; ++c)
            t.reach[i][c] = r.number<double>(r.items(reach[i], 2)[c]);
    std::int64_t days = 0;
    for (const Json& bin : r.items(r.member(s, "balances"))) {
        const auto& b = r.items(bin, 2);
        if (!r.ok) break;
        const auto count = r.number<std::int64_t>(b[1]);
        t.balances[r.number<std::int64_t>(b[0])] += count;
        days += count;
    }
    const Json& e = r.member(s, "exact");
    for (auto [name, ratio] : kRatios) {
        const auto& v = r.items(r.member(e, name), 6);
        if (!r.ok) break;
        DayRatio& d = t.exact.*ratio;
        d.x = r.number<double>(v[0]);
        d.y = r.number<double>(v[1]);
        d.xx = r.number<double>(v[2]);
        d.xy = r.number<double>(v[3]);
        d.yy = r.number<double>(v[4]);
        d.days = r.number<std::int64_t>(v[5]);
    }
    for (const Json& place : r.items(r.member(e, "chain"))) {
        const auto& c = r.items(place, 2);
        if (!r.ok) break;
        t.exact.chain.push_back({r.number<double>(c[0]), r.number<double>(c[1])});
    }
    return r.ok && days == t.days && t.days > 0 && h.first_day >= 1 &&
           h.first_day - 1 + t.days <= h.run_days;
}

void add(Totals& into, const Totals& part) {
    into.days += part.days;
    for (const auto& [balance, count] : part.balances)
        into.balances[balance] += count;
    for (auto field : {&Totals::wins, &Totals::giveups, &Totals::seconds, &Totals::jackpots,
                       &Totals::first_hits, &Totals::max_chain, &Totals::spins})
        into.*field += part.*field;
    for (std::size_t i = 0; i < into.hourly.size(); ++i)
        into.hourly[i] += part.hourly[i];
    for (std::size_t i = 0; i < into.reach.size(); ++i)
        for (std::size_t c = 0; c < 2; ++c)
            into.reach[i][c] += part.reach[i][c];
    for (auto [name, ratio] : kRatios)
        into.exact.*ratio += part.exact.*ratio;
    auto& chain = into.exact.chain;
    chain.resize(std::max(chain.size(), part.exact.chain.size()));
    for (std::size_t i = 0; i < part.exact.chain.size(); ++i)
        for (std::size_t c = 0; c < 2; ++c)
            chain[i][c] += part.exact.chain[i][c];
}

} // namespace

std::pair<std::int64_t, std::int64_t> shard_days(std::int64_t days, std::int64_t index,
                                                 std::int64_t count) {
    // index × days / count without overflow for any run that fits the day numbers.
    auto cut = [&](std::int64_t i) { return days / count * i + days % count * i / count; };
    return {cut(index - 1) + 1, cut(index) - cut(index - 1)};
}

std::string sums_json(const Header& h, const Totals& t) {
    std::string out = ",\n  \"premises\": " + json_strings(h.premises);
    out += ",\n  \"first_day\": " + std::to_string(h.first_day);
    out += ",\n  \"run_days\": " + std::to_string(h.run_days ? h.run_days : t.days);
    out += ",\n  \"sums\": {";
    for (auto [name, value] : {std::pair{"wins", t.wins}, std::pair{"giveups", t.giveups},
                               std::pair{"seconds", t.seconds}, std::pair{"jackpots", t.jackpots},
                               std::pair{"first_hits", t.first_hits},
                               std::pair{"max_chain", t.max_chain}, std::pair{"spins", t.spins}})
        out += std::string(out.back() == '{' ? "" : ", ") + "\"" + name +
               "\": " + std::to_string(value);
    out += ",\n    \"hourly\": " + list(t.hourly, [](std::int64_t v) { return std::to_string(v); });
    out += ",\n    \"reach\": " +
           list(t.reach, [](const auto& r) { return pair_of(exact(r[0]), exact(r[1])); });
    out += ",\n    \"balances\": " + list(t.balances, [](const auto& bin) {
               return pair_of(std::to_string(bin.first), std::to_string(bin.second));
           });
    out += ",\n    \"exact\": {";
    for (auto [name, ratio] : kRatios) {
        const DayRatio& d = t.exact.*ratio;
        out += std::string("\"") + name + "\": [" + exact(d.x) + ", " + exact(d.y) + ", " +
               exact(d.xx) + ", " + exact(d.xy) + ", " + exact(d.yy) + ", " +
               std::to_string(d.days) + "], ";
    }
    out += "\"chain\": " +
           list(t.exact.chain, [](const auto& c) { return pair_of(exact(c[0]), exact(c[1])); });
    return out + "}}";
}

std::string merge_summaries(const std::vector<std::pair<std::string, std::string>>& files,
                            Header& header, Totals& totals) {
    struct Part {
        std::string name;
        Header header{};
        Totals totals;
    };
    std::vector<Part> parts;
    for (const auto& [name, text] : files) {
        std::string error;
        const std::optional<Json> j = parse_json(text, error);
        if (!j) return name + ": " + error;
        Part& p = parts.emplace_back();
        p.name = name;
        if (!read_summary(*j, p.header, p.totals))
            return name + ": not a JSON summary of popchan-batch (--json)";
        const Header& first = parts.front().header;
        if (p.header.seed != first.seed || p.header.premises != first.premises ||
            p.header.run_days != first.run_days)
            return name + ": another run than " + parts.front().name +
                   " (its seed, premises or days differ)";
    }
    if (parts.empty()) return "merge needs the JSON summaries of the shards";
    std::stable_sort(parts.begin(), parts.end(), [](const Part& a, const Part& b) {
        return a.header.first_day < b.header.first_day;
    });
    header = parts.front().header;
    totals = Totals{};
    std::int64_t next = 1;
    for (const Part& p : parts) {
        if (p.header.first_day != next)
            return p.header.first_day > next
                       ? "day " + std::to_string(next) + " is in no file"
                       : p.name + ": day " + std::to_string(p.header.first_day) +
                             " is in another file too";
        add(totals, p.totals);
        next += p.totals.days;
    }
    if (next != header.run_days + 1) return "day " + std::to_string(next) + " is in no file";
    header.first_day = 1;
    return {};
}

} // namespace popchan::batch
