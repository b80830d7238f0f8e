#include "reports/options.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "analysis/run.h"
#include "reports/shards.h"
#include "common/numbers.h"
#include "common/text.h"

namespace popchan::batch {

namespace {

struct PremiseOption {
    const char* name;
    PremiseRow row;
    const char* help;
    const char* example;
};

constexpr PremiseOption kPremiseOptions[] = {
    {"--probability", kRowKakuritu, "jackpot probability 1/N (大当り確率)", "--probability 320"},
    {"--payout", kRowDedama, "balls paid by a jackpot (大当り出玉)", "--payout 2400"},
    {"--kakuhen-rate", kRowKakuhenritu, "probability-up rate 1/N (確変率)", "--kakuhen-rate 2.5"},
    {"--limiter", kRowLimiter, "longest chain (最高継続回数), a number or 無制限", "--limiter 5"},
    {"--spin-rate", kRowKaiten, "spins per 1,000 yen (回転率)", "--spin-rate 25"},
    {"--hours", kRowJikan, "hours of play in a day (プレイ時間)", "--hours 8"},
    {"--exchange", kRowKankin, "exchange rate, yen per ball (換金率)", "--exchange 2.5"},
    {"--give-up", kRowGiveup, "give-up amount in yen (ギブアップ金額), or 無制限",
     "--give-up 50000"},
    {"--form", kRowEigyo, "business form (営業形態), code 1-8 or its text", "--form 3"},
    {"--time-service", kRowTimeService, "lucky time service, code 1-4 or its text",
     "--time-service 9:00-12:00"},
    {"--box-limit", kRowHakokisei, "dollar-box limit, code 1-6 or its text", "--box-limit 3"},
};

// A whole number from `min` to `max`; none when the text is anything else.
template <class T>
std::optional<T> whole_number(const std::string& text, T min,
                              T max = std::numeric_limits<T>::max()) {
    T value{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || !(value >= min && value <= max))
        return std::nullopt;
    return value;
}

// A code given as its number stands for the list's text of that code.
std::string code_text(PremiseRow row, const std::string& value) {
    const std::vector<std::string> items = list_items(row);
    if (const auto code = whole_number<int>(value, 1, int(items.size()))) return items[*code - 1];
    return value;
}

// The number of decimals written in a number's text.
int decimals(const std::string& text) {
    const std::size_t dot = text.find('.');
    return dot == std::string::npos ? 0 : int(text.size() - dot - 1);
}

constexpr std::size_t kMaxSweepValues = 1000;

// The parts of a text between its separators.
std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    for (std::size_t start = 0;;) {
        const std::size_t at = text.find(separator, start);
        parts.push_back(text.substr(start, at - start));
        if (at == std::string::npos) return parts;
        start = at + 1;
    }
}

// "NAME=FROM:TO:STEP" or "NAME=V1,V2,…" into the sweep; the error otherwise.
std::string read_sweep(const std::string& given, Sweep& sweep) {
    const std::size_t eq = given.find('=');
    const PremiseOption* premise = nullptr;
    for (const PremiseOption& candidate : kPremiseOptions)
        if (eq != std::string::npos && given.substr(0, eq) == candidate.name + 2)
            premise = &candidate;
    if (!premise) return "--sweep needs a premise's option name, e.g. spin-rate=20:40:1: " + given;
    Sweep s{given.substr(0, eq), premise->row, {}};
    const std::string values = given.substr(eq + 1);
    if (values.find(':') != std::string::npos) {
        const std::vector<std::string> range = split(values, ':'); // FROM, TO, STEP
        const auto part = [&](std::size_t i) {
            return range.size() == 3 ? decimal_number(range[i]) : std::nullopt;
        };
        const auto a = part(0), b = part(1), d = part(2);
        if (!a || !b || !d || !(*d > 0) || !(*b >= *a) ||
            !((*b - *a) / *d < double(kMaxSweepValues)))
            return "--sweep needs numbers FROM:TO:STEP with FROM <= TO, STEP > 0 and at most " +
                   std::to_string(kMaxSweepValues) + " values: " + given;
        const int places = std::max(decimals(range[0]), decimals(range[2]));
        const auto count = std::size_t((*b - *a) / *d + 1e-9) + 1;
        for (std::size_t i = 0; i < count; ++i) {
            char buf[64];
            std::snprintf(buf, sizeof buf, "%.*f", places, *a + double(i) * *d);
            s.values.emplace_back(buf);
        }
    } else {
        s.values = split(values, ',');
        if (std::find(s.values.begin(), s.values.end(), "") != s.values.end())
            return "--sweep has an empty value: " + given;
        if (s.values.size() > kMaxSweepValues)
            return "--sweep takes at most " + std::to_string(kMaxSweepValues) + " values";
    }
    if (s.row >= kRowEigyo)
        for (std::string& v : s.values)
            v = code_text(s.row, v);
    sweep = std::move(s);
    return {};
}

// Options without a value.
struct Flag {
    const char* name;
    bool Options::*set;
};
constexpr Flag kFlags[] = {{"--help", &Options::help},
                           {"-h", &Options::help},
                           {"--json", &Options::json},
                           {"--border", &Options::border},
                           {"--exact", &Options::exact}};

bool is_flag(const std::string& name) {
    return std::any_of(std::begin(kFlags), std::end(kFlags),
                       [&](const Flag& f) { return name == f.name; });
}

// "I/N" with 1 <= I <= N.
bool read_shard(const std::string& text, std::int64_t& shard, std::int64_t& shards) {
    const std::size_t slash = text.find('/');
    if (slash == std::string::npos) return false;
    const auto i = whole_number<std::int64_t>(text.substr(0, slash), 1);
    const auto n = i ? whole_number<std::int64_t>(text.substr(slash + 1), *i) : std::nullopt;
    if (!n) return false;
    shard = *i, shards = *n;
    return true;
}

// "merge FILE…": only the files, --json and --help.
Parsed parse_merge(const std::vector<std::string>& args) {
    Parsed p;
    p.options.merge = true;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--json")
            p.options.json = true;
        else if (args[i] == "--help" || args[i] == "-h")
            p.options.help = true;
        else if (args[i].rfind("--", 0) == 0)
            p.usage_errors.push_back("merge takes only --json and files: " + args[i]);
        else
            p.options.files.push_back(args[i]);
    }
    if (p.options.files.empty() && !p.options.help)
        p.usage_errors.emplace_back("merge needs the JSON summaries of the shards");
    return p;
}

// Pairs of options of which the second could not be honoured beside the first.
struct Clash {
    const char *first, *second, *why;
};
constexpr Clash kClashes[] = {
    {"--exact", "--days", "--exact plays no days"},
    {"--exact", "--seed", "--exact plays no days"},
    {"--exact", "--threads", "--exact plays no days"},
    {"--exact", "--per-day", "--exact plays no days"},
    {"--exact", "--spins", "--exact plays no days"},
    {"--exact", "--plot", "--exact plays no days"},
    {"--exact", "--csv", "--exact plays no days"},
    {"--exact", "--shard", "--exact plays no days"},
    {"--exact", "--sweep", "--exact plays no days"},
    {"--exact", "--border", "--exact plays no days"},
    {"--sweep", "--border", "the border is a sweep of the spin rate of its own"},
    {"--border", "--spin-rate", "the border tries spin rates of its own"},
    {"--sweep", "--shard", "--shard splits a run, not a sweep"},
    {"--border", "--shard", "--shard splits a run, not the border's runs"},
    {"--sweep", "--per-day", "--per-day writes the days of a run, not of a sweep"},
    {"--sweep", "--spins", "--spins writes the spins of a run, not of a sweep"},
    {"--border", "--per-day", "--per-day writes the days of a run, not of the border's runs"},
    {"--border", "--spins", "--spins writes the spins of a run, not of the border's runs"},
    {"--border", "--plot", "--plot draws a run or a sweep"},
    {"--border", "--csv", "--csv writes the rows of a sweep"},
};

// Options that do not go together; `given` names each option given, as often
// as it was given.
void check_combinations(Parsed& p, const std::vector<std::string>& given) {
    const Options& o = p.options;
    const auto times = [&](const std::string& name) {
        return std::count(given.begin(), given.end(), name);
    };
    for (const Clash& c : kClashes)
        if (times(c.first) && times(c.second))
            p.usage_errors.push_back(std::string(c.first) + " and " + c.second +
                                     " do not go together: " + c.why);
    if (times("--sweep") > 1)
        p.usage_errors.emplace_back("--sweep and --sweep do not go together: a sweep plays one "
                                    "premise at several values");
    // Any other option with a value: the second would silently replace the first.
    for (auto name = given.begin(); name != given.end(); ++name)
        if (*name != "--sweep" && !is_flag(*name) &&
            std::find(given.begin(), name, *name) == name && times(*name) > 1)
            p.usage_errors.push_back(*name + " and " + *name + " do not go together: " + *name +
                                     " takes one value");
    if (o.sweep && times("--" + o.sweep->name))
        p.usage_errors.push_back("--sweep and --" + o.sweep->name +
                                 " do not go together: the sweep gives " + o.sweep->name +
                                 " its values");
    if (times("--csv") && !times("--sweep"))
        p.usage_errors.emplace_back("--csv writes the rows of a --sweep");
    if (o.shards > o.days)
        p.usage_errors.emplace_back("--shard needs at least one day for each shard");
}

// The limiter and the give-up as a run plays them: a number above the
// unlimited value is cut to it, and that value shows as 無制限, as the main
// window shows it.
void as_played(PremiseTexts& texts) {
    const Premises z = convert_and_check(texts).record;
    if (z.zentei_limiter == kLimiterUnlimited) texts[kRowLimiter] = kUnlimited;
    if (z.zentei_giveup == kGiveupUnlimited) texts[kRowGiveup] = kUnlimited;
}

// The numbers that play as 無制限, which a terminal without Japanese can
// type too: " (999 and above play as 無制限)".
std::string unlimited_from(PremiseRow row) {
    const Single from = row == kRowLimiter  ? kLimiterUnlimited
                        : row == kRowGiveup ? kGiveupUnlimited
                                            : 0;
    return from > 0 ? " (" + std::to_string(int(from)) + " and above play as " +
                          std::string(kUnlimited) + ")"
                    : "";
}

} // namespace

std::string usage() {
    const PremiseTexts defaults = start_texts();
    std::string out =
        "usage: popchan-batch [options]\n"
        "Plays many days of ＣＲぽぷちゃん at a parlour and summarises them.\n\n"
        "Premises (the premises dialog's numbers and texts; codes for the last three):\n";
    for (const PremiseOption& o : kPremiseOptions) {
        std::string d = defaults[o.row];
        d.erase(0, d.find_first_not_of(' '));
        out += "  " + std::string(o.name) + " VALUE\n      " + o.help + unlimited_from(o.row) +
               "; default " + d + "; e.g. " + o.example + "\n";
    }
    out += "\nRun:\n"
           "  --days N          days to play, at most " +
           format_counter(double(kMaxDays)) +
           "; default 1000;\n"
           "                    e.g. --days 100000\n"
           "  --seed S          seed of the run; default from the clock (printed); e.g. --seed 42\n"
           "  --threads T       worker threads, from 1 to 1024; default every core; at most\n"
           "                    " +
           std::to_string(kMaxThreads) +
           " start, and only as many as the days keep busy;\n"
           "                    e.g. --threads 2\n"
           "\nOutput:\n"
           "  --json            the summary as JSON instead of a table\n"
           "  --exact           only the exact figures from the premises (理論値: jackpot\n"
           "                    chances, chain lengths, cost and worth of a spin, borders,\n"
           "                    seconds per spin), no days played; the summary shows them\n"
           "                    too, beside the run's estimates; with --json as JSON;\n"
           "                    e.g. --exact --limiter 5\n"
           "  --per-day FILE    one CSV row per day; e.g. --per-day days.csv\n"
           "  --spins FILE      one CSV row per spin; e.g. --spins spins.csv\n"
           "  --plot FILE.svg   histogram of day balances and the mean balance by hour;\n"
           "                    with --sweep, the mean balance and its 95 % band by value\n"
           "  --csv FILE        the rows of a --sweep as CSV; e.g. --csv sweep.csv\n"
           "  --help            this text\n"
           "\nSweeps and the border:\n"
           "  --sweep NAME=FROM:TO:STEP or NAME=V1,V2,...\n"
           "                    plays the same days (the same seed for each day) at each\n"
           "                    value of one premise, named by its option without --, so\n"
           "                    the rows differ only by the premise; a row per value with\n"
           "                    the mean balance and its 95 % interval, the share of days\n"
           "                    won, the balance per hour and the jackpots per day;\n"
           "                    e.g. --sweep spin-rate=20:40:1, --sweep form=1,3,5\n"
           "  --border          the border by simulation: the spin rate (spins per 1,000\n"
           "                    yen) at which the mean balance of a day is 0 under all the\n"
           "                    other premises (business form, time service, box limit and\n"
           "                    give-up included), to 0.01, with the rates at which 0 is\n"
           "                    inside the mean's 95 % interval; beside it the exact\n"
           "                    borders: cash (every spin paid in cash and every payout\n"
           "                    exchanged) and held balls (every spin paid with balls won);\n"
           "                    e.g. --border --days 10000 --form 1 --time-service 1\n"
           "\nSplitting a run between machines:\n"
           "  --shard I/N       plays only part I of N of the days (consecutive blocks),\n"
           "                    for merging; e.g. --shard 2/4 --json > part2.json\n"
           "  merge FILE...     popchan-batch merge part*.json [--json]: the summary of the\n"
           "                    whole run from the --json summaries of all its shards,\n"
           "                    each of at most " +
           std::to_string(kMaxShardBytes >> 20) + " MiB, of format " +
           std::to_string(kShardFormat) +
           " (this version's), its\n"
           "                    figures possible and its digest (SHA-256 of its sums)\n"
           "                    matching; the digest catches damage and edits, and is no\n"
           "                    signature\n"
           "\nWhat is counted:\n"
           "A first hit (初当り) is a jackpot in the normal state. Every first hit booked\n"
           "in a day counts, the one on the spin that crosses the end of the hours too,\n"
           "alike in the exact figures, the run's estimates, --per-day and --json. A\n"
           "day's chains (連荘) count the jackpots booked before it ended, and its pace\n"
           "is its jackpots over its hours.\n"
           "\nThe same seed gives the same results with any number of threads.\n";
    return out;
}

const char* premise_option(PremiseRow row) {
    for (const PremiseOption& o : kPremiseOptions)
        if (o.row == row) return o.name;
    return "";
}

Parsed parse(const std::vector<std::string>& args) {
    if (!args.empty() && args.front() == "merge") return parse_merge(args);
    Parsed p;
    Options& o = p.options;
    std::vector<std::string> given;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i], value;
        bool has_value = false;
        if (const auto eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name.resize(eq);
            has_value = true;
        }
        if (const auto flag = std::find_if(std::begin(kFlags), std::end(kFlags),
                                           [&](const Flag& f) { return name == f.name; });
            flag != std::end(kFlags)) {
            o.*flag->set = true;
            given.push_back(name);
            continue;
        }
        const PremiseOption* premise = nullptr;
        for (const PremiseOption& candidate : kPremiseOptions)
            if (name == candidate.name) premise = &candidate;
        const bool known = premise || name == "--days" || name == "--seed" || name == "--threads" ||
                           name == "--per-day" || name == "--spins" || name == "--plot" ||
                           name == "--sweep" || name == "--csv" || name == "--shard";
        if (!known) {
            p.usage_errors.push_back("unknown option: " + args[i]);
            continue;
        }
        given.push_back(name);
        if (!has_value) {
            if (i + 1 >= args.size()) {
                p.usage_errors.push_back("missing value for " + name);
                continue;
            }
            value = args[++i];
        }
        if (premise) {
            const bool coded = premise->row >= kRowEigyo;
            o.premises[premise->row] = coded ? code_text(premise->row, value) : value;
        } else if (name == "--days") {
            if (const auto days = whole_number<std::int64_t>(value, 1, kMaxDays))
                o.days = *days;
            else
                p.usage_errors.push_back("--days needs a whole number from 1 to " +
                                         format_counter(double(kMaxDays)) + ": " + value);
        } else if (name == "--seed") {
            if (const auto seed = whole_number<std::uint64_t>(value, 0))
                o.seed = seed;
            else
                p.usage_errors.push_back("--seed needs a whole number: " + value);
        } else if (name == "--threads") {
            if (const auto threads = whole_number<int>(value, 1, 1024))
                o.threads = *threads;
            else
                p.usage_errors.push_back("--threads needs a whole number from 1 to 1024: " + value);
        } else if (name == "--sweep") {
            if (const std::string e = read_sweep(value, o.sweep.emplace()); !e.empty()) {
                o.sweep.reset();
                p.usage_errors.push_back(e);
            }
        } else if (name == "--shard") {
            if (!read_shard(value, o.shard, o.shards))
                p.usage_errors.push_back("--shard needs I/N with 1 <= I <= N: " + value);
        } else if (value.empty()) {
            p.usage_errors.push_back(name + " needs a file name");
        } else {
            (name == "--per-day" ? o.per_day
             : name == "--spins" ? o.spins
             : name == "--csv"   ? o.csv
                                 : o.plot) = value;
        }
    }
    check_combinations(p, given);
    for (int n : convert_and_check(o.premises).failed)
        p.premise_errors.emplace_back(check_message(n));
    if (!p.premise_errors.empty()) return p;
    if (o.sweep)
        for (std::string& value : o.sweep->values) {
            PremiseTexts texts = o.premises;
            texts[o.sweep->row] = value;
            for (int n : convert_and_check(texts).failed)
                p.premise_errors.push_back(std::string(check_message(n)) + " (--sweep " +
                                           o.sweep->name + "=" + value + ")");
            as_played(texts);
            value = texts[o.sweep->row];
        }
    as_played(o.premises);
    return p;
}

} // namespace popchan::batch
