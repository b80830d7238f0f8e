#include "batch/options.h"

#include <charconv>

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
     "--give-up 無制限"},
    {"--form", kRowEigyo, "business form (営業形態), code 1-8 or its text", "--form 3"},
    {"--time-service", kRowTimeService, "lucky time service, code 1-4 or its text",
     "--time-service 9:00-12:00"},
    {"--box-limit", kRowHakokisei, "dollar-box limit, code 1-6 or its text", "--box-limit 3"},
};

// A code given as its number stands for the list's text of that code.
std::string code_text(PremiseRow row, const std::string& value) {
    const std::vector<std::string> items = list_items(row);
    int code = 0;
    const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), code);
    if (ec == std::errc() && end == value.data() + value.size() && code >= 1 &&
        code <= int(items.size()))
        return items[code - 1];
    return value;
}

// A whole number of at least `min`; `out` changes only when the text is one.
template <class T> bool whole_number(const std::string& text, T& out, T min) {
    T value{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < min) return false;
    out = value;
    return true;
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
        out += "  " + std::string(o.name) + " VALUE\n      " + o.help + "; default " + d +
               "; e.g. " + o.example + "\n";
    }
    out += "\nRun:\n"
           "  --days N          days to play; default 1000; e.g. --days 100000\n"
           "  --seed S          seed of the run; default from the clock (printed); e.g. --seed 42\n"
           "  --threads T       worker threads; default every core; e.g. --threads 2\n"
           "\nOutput:\n"
           "  --json            the summary as JSON instead of a table\n"
           "  --per-day FILE    one CSV row per day; e.g. --per-day days.csv\n"
           "  --spins FILE      one CSV row per spin; e.g. --spins spins.csv\n"
           "  --plot FILE.svg   histogram of day balances and the mean balance by hour\n"
           "  --help            this text\n"
           "\nThe same seed gives the same results with any number of threads.\n";
    return out;
}

Parsed parse(const std::vector<std::string>& args) {
    Parsed p;
    Options& o = p.options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i], value;
        bool has_value = false;
        if (const auto eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name.resize(eq);
            has_value = true;
        }
        if (name == "--help" || name == "-h") {
            o.help = true;
            continue;
        }
        if (name == "--json") {
            o.json = true;
            continue;
        }
        const PremiseOption* premise = nullptr;
        for (const PremiseOption& candidate : kPremiseOptions)
            if (name == candidate.name) premise = &candidate;
        const bool known = premise || name == "--days" || name == "--seed" || name == "--threads" ||
                           name == "--per-day" || name == "--spins" || name == "--plot";
        if (!known) {
            p.usage_errors.push_back("unknown option: " + args[i]);
            continue;
        }
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
            if (!whole_number<std::int64_t>(value, o.days, 1))
                p.usage_errors.push_back("--days needs a whole number of at least 1: " + value);
        } else if (name == "--seed") {
            std::uint64_t seed = 0;
            if (whole_number<std::uint64_t>(value, seed, 0))
                o.seed = seed;
            else
                p.usage_errors.push_back("--seed needs a whole number: " + value);
        } else if (name == "--threads") {
            int threads = 0;
            if (whole_number<int>(value, threads, 1) && threads <= 1024)
                o.threads = threads;
            else
                p.usage_errors.push_back("--threads needs a whole number from 1 to 1024: " + value);
        } else {
            (name == "--per-day" ? o.per_day : name == "--spins" ? o.spins : o.plot) = value;
        }
    }
    for (int n : convert_and_check(o.premises).failed)
        p.premise_errors.emplace_back(check_message(n));
    return p;
}

} // namespace popchan::batch
