#include "reports/shards.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <stdexcept>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

#include "reports/digest.h"
#include "reports/json.h"
#include "reports/options.h"
#include "common/numbers.h"
#include "common/text.h"
#include "stats/reach_stats.h"

namespace popchan::batch {

namespace {

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
        // A member missing is null, which no read takes.
        const Json* m = j.kind == Json::kObject ? j.find(key) : nullptr;
        return m ? *m : none;
    }
    const std::string& text(const Json& j) {
        ok = ok && j.kind == Json::kString;
        return j.text;
    }
    const std::vector<Json>& items(const Json& j, std::size_t size = 0) {
        ok = ok && j.kind == Json::kArray && (size == 0 || j.items.size() == size);
        return j.items;
    }
    template <class T> T number(const Json& j) {
        T value{};
        bool read = false;
        if constexpr (std::is_floating_point_v<T>) {
            const std::optional<double> x = decimal_number(j.text);
            read = x.has_value();
            value = x.value_or(0);
        } else {
            const char* end = j.text.data() + j.text.size();
            const auto r = std::from_chars(j.text.data(), end, value);
            read = r.ec == std::errc() && r.ptr == end;
        }
        ok = ok && j.kind == Json::kNumber && read;
        return value;
    }
    template <class T> T number(const Json& j, const char* key) {
        return number<T>(member(j, key));
    }
};

// The version of the tool that wrote a summary, as far as it tells: empty
// when it is this one's, or when the text is no summary (which reading tells).
std::string another_format(const Json& j) {
    const Json* format = j.kind == Json::kObject ? j.find("format") : nullptr;
    if (!format) return j.kind == Json::kObject && j.find("sums") ? "no format" : "";
    Read r;
    const auto n = r.number<std::int64_t>(*format);
    return r.ok && n != kShardFormat ? "format " + std::to_string(n) : "";
}

// One file's header, totals and digest, as far as they are there and of
// their kinds.
bool read_summary(const Json& j, Header& h, Totals& t, std::string& digest) {
    Read r;
    r.number<std::int64_t>(j, "format"); // its value was asked before
    h.seed = r.number<std::uint64_t>(j, "seed");
    const auto& premises = r.items(r.member(j, "premises"), kPremiseRows);
    for (std::size_t i = 0; r.ok && i < premises.size(); ++i)
        h.premises[i] = r.text(premises[i]);
    h.first_day = r.number<std::int64_t>(j, "first_day");
    h.run_days = r.number<std::int64_t>(j, "run_days");
    t.days = r.number<std::int64_t>(j, "days");
    const Json& s = r.member(j, "sums");
    for (auto [name, field] : kSums)
        t.*field = r.number<std::int64_t>(s, name);
    const auto& hourly = r.items(r.member(s, "hourly"), t.hourly.size());
    for (std::size_t i = 0; r.ok && i < hourly.size(); ++i)
        t.hourly[i] = r.number<std::int64_t>(hourly[i]);
    const auto& reach = r.items(r.member(s, "reach"), t.reach.size());
    for (std::size_t i = 0; r.ok && i < reach.size(); ++i)
        for (std::size_t c = 0; c < 2; ++c)
            t.reach[i][c] = r.number<double>(r.items(reach[i], 2)[c]);
    for (const Json& bin : r.items(r.member(s, "balances"))) {
        const auto& b = r.items(bin, 2);
        if (!r.ok) break;
        // Each balance once, as the histogram is written.
        r.ok =
            t.balances.emplace(r.number<std::int64_t>(b[0]), r.number<std::int64_t>(b[1])).second;
    }
    const Json& e = r.member(s, "exact");
    for (const auto& ratio : t.exact.named()) {
        const auto& v = r.items(r.member(e, ratio.name.c_str()), 6);
        if (!r.ok) break;
        DayRatio& d = *ratio.ratio;
        d.x = r.number<double>(v[0]);
        d.y = r.number<double>(v[1]);
        d.xx = r.number<double>(v[2]);
        d.xy = r.number<double>(v[3]);
        d.yy = r.number<double>(v[4]);
        d.days = r.number<std::int64_t>(v[5]);
    }
    digest = r.text(r.member(j, "digest"));
    return r.ok;
}

// The first member of `file` that `known`, the summary this version writes of
// the same sums, does not have at the same place, or one that `file` has
// twice; empty when there is none. `path` names the place.
std::string unknown_member(const Json& file, const Json& known, const std::string& path = "") {
    if (file.kind == Json::kObject && known.kind == Json::kObject) {
        for (const auto& member : file.members) {
            const std::string& key = member.first;
            const Json* k = known.find(key);
            if (!k) return "unknown member " + path + key;
            if (std::count_if(file.members.begin(), file.members.end(),
                              [&](const auto& m) { return m.first == key; }) > 1)
                return "member " + path + key + " given twice";
            if (std::string e = unknown_member(member.second, *k, path + key + "."); !e.empty())
                return e;
        }
    } else if (file.kind == Json::kArray && known.kind == Json::kArray) {
        for (std::size_t i = 0; i < std::min(file.items.size(), known.items.size()); ++i)
            if (std::string e = unknown_member(file.items[i], known.items[i], path); !e.empty())
                return e;
    }
    return {};
}

} // namespace

namespace {

// The members a merge reads after the days and the seed, each line starting
// with ",\n".
std::string merged_members(const Header& h, const Totals& t) {
    std::string out = ",\n  \"format\": " + std::to_string(kShardFormat);
    out += ",\n  \"premises\": " + json_strings(h.premises);
    out += ",\n  \"first_day\": " + std::to_string(h.first_day);
    out += ",\n  \"run_days\": " + std::to_string(h.run_days ? h.run_days : t.days);
    out += ",\n  \"sums\": {";
    for (auto [name, field] : kSums)
        out += std::string(out.back() == '{' ? "" : ", ") + "\"" + name +
               "\": " + std::to_string(t.*field);
    out += ",\n    \"hourly\": " + list(t.hourly, [](std::int64_t v) { return std::to_string(v); });
    out += ",\n    \"reach\": " + list(t.reach, [](const auto& r) {
               return pair_of(exact_number(r[0]), exact_number(r[1]));
           });
    out += ",\n    \"balances\": " + list(t.balances, [](const auto& bin) {
               return pair_of(std::to_string(bin.first), std::to_string(bin.second));
           });
    out += ",\n    \"exact\": {";
    for (const auto& ratio : t.exact.named()) {
        const DayRatio& d = *ratio.ratio;
        out += std::string(out.back() == '{' ? "" : ", ") + "\"" + ratio.name + "\": [" +
               exact_number(d.x) + ", " + exact_number(d.y) + ", " + exact_number(d.xx) + ", " +
               exact_number(d.xy) + ", " + exact_number(d.yy) + ", " + std::to_string(d.days) + "]";
    }
    return out + "}}";
}

// The digest of what a merge reads of a summary: the days, the seed and the
// members above, as a JSON object laid out as the summary has them.
std::string sums_digest(const Header& h, const Totals& t) {
    return sha256_hex("{\n  \"days\": " + std::to_string(t.days) +
                      ",\n  \"seed\": " + std::to_string(h.seed) + merged_members(h, t) + "\n}\n");
}

// Premises compared by the values a run plays, whatever their texts ("10"
// and "10.0" hours).
bool same_premises(const PremiseTexts& a, const PremiseTexts& b) {
    const auto values = [](const PremiseTexts& texts) {
        const Premises z = convert_and_check(texts).record;
        return std::tuple{z.zentei_kakuritu,    z.zentei_dedama,   z.zentei_kakuhenritu,
                          z.zentei_limiter,     z.zentei_kaiten,   z.zentei_jikan,
                          z.zentei_kankin,      z.zentei_giveup,   z.zentei_eigyo,
                          z.zentei_timeservice, z.zentei_hakokisei};
    };
    return values(a) == values(b);
}

} // namespace

std::string sums_json(const Header& h, const Totals& t) {
    return merged_members(h, t) + ",\n  \"digest\": \"" + sums_digest(h, t) + "\"";
}

std::string read_summary_file(const std::string& name, std::string& text) {
    const std::string too_large = name + ": more than " + std::to_string(kMaxShardBytes >> 20) +
                                  " MiB, more than a shard's summary takes";
    const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return "cannot read " + name + ": " + std::strerror(errno);
    const struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    // A file's size refuses it unread; a pipe or a growing file by what it gave.
    if (struct stat st{};
        ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && std::uint64_t(st.st_size) > kMaxShardBytes)
        return too_large;
    text.clear();
    char buffer[1 << 16];
    for (;;) {
        const std::size_t want = std::min(sizeof buffer, kMaxShardBytes + 1 - text.size());
        const ssize_t got = ::read(fd, buffer, want);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return "cannot read " + name + ": " + std::strerror(errno);
        if (got == 0) return {};
        text.append(buffer, std::size_t(got));
        if (text.size() > kMaxShardBytes) return too_large;
    }
}

std::string ShardMerge::add(const std::string& name, std::string_view text) {
    std::string error;
    const std::optional<Json> j = parse_json(text, error);
    if (!j) return name + ": " + error;
    if (const std::string format = another_format(*j); !format.empty())
        return name + ": written by another version of popchan-batch (" + format +
               ", this one reads " + std::to_string(kShardFormat) + ")";
    Part p;
    p.name = name;
    std::string digest;
    if (!read_summary(*j, p.header, p.totals, digest))
        return name + ": not a JSON summary of popchan-batch (--json)";
    if (const std::string fault = impossible(p.header, p.totals); !fault.empty())
        return name + ": " + fault;
    // What this version writes of the same sums has every member it knows.
    if (const std::string e =
            unknown_member(*j, parse_json(summary_json(p.header, p.totals), error).value());
        !e.empty())
        return name + ": " + e;
    if (digest != sums_digest(p.header, p.totals))
        return name + ": its digest does not match its sums (the file was damaged or edited)";
    if (!parts_.empty()) {
        const Header& first = parts_.front().header;
        if (p.header.seed != first.seed || !same_premises(p.header.premises, first.premises) ||
            p.header.run_days != first.run_days)
            return name + ": another run than " + parts_.front().name +
                   " (its seed, premises or days differ)";
    }
    parts_.push_back(std::move(p));
    return {};
}

std::string ShardMerge::finish(Header& header, Totals& totals) {
    if (parts_.empty()) return "merge needs the JSON summaries of the shards";
    std::stable_sort(parts_.begin(), parts_.end(), [](const Part& a, const Part& b) {
        return a.header.first_day < b.header.first_day;
    });
    header = parts_.front().header;
    totals = Totals{};
    std::int64_t done = 0; // days 1 to done are merged
    for (const Part& p : parts_) {
        const std::int64_t first = p.header.first_day;
        if (first - 1 != done)
            return first - 1 > done
                       ? "day " + std::to_string(done + 1) + " is in no file"
                       : p.name + ": day " + std::to_string(first) + " is in another file too";
        if (const std::string over = add_sums(totals, p.totals); !over.empty())
            return p.name + ": " + over + " overflows with the files before it";
        done += p.totals.days;
    }
    if (done != header.run_days) return "day " + std::to_string(done + 1) + " is in no file";
    header.first_day = 1;
    return {};
}

std::string merge_summaries(const std::vector<std::pair<std::string, std::string>>& files,
                            Header& header, Totals& totals) {
    ShardMerge merge;
    for (const auto& [name, text] : files)
        if (const std::string e = merge.add(name, text); !e.empty()) return e;
    return merge.finish(header, totals);
}

} // namespace popchan::batch
