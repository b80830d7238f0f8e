#include "parlour/accounting.h"

#include "common/text.h"
#include "machine/rules.h"

namespace popchan {

namespace {

// A fixed-length field of five characters: padded with blanks, cut after five.
std::string field5(const std::string& text) {
    std::string out;
    int chars = 0;
    for (std::size_t i = 0; i < text.size() && chars < 5; ++chars) {
        const std::size_t len = utf8_length(static_cast<unsigned char>(text[i]));
        out += text.substr(i, len);
        i += len;
    }
    return out + std::string(5 - chars, ' ');
}

// A number's text without the blank put before a number that is not negative.
std::string unpadded(Single v) {
    std::string s = str(v);
    s.erase(0, s.find_first_not_of(' '));
    return s;
}

constexpr std::array<const char*, 15> kEgaraLabels = {"　０", "　１", "　２", "　３", "　４",
                                                      "　５", "　６", "　７", "　８", "　９",
                                                      "　10", "　11", "　12", "　13", "　14"};

bool in_time_service(const AccountingContext& c) {
    return Int16((c.z.zentei_timeservice - 1) * 60 * 60) > c.day.keika_byo;
}

void show_dollar_boxes(AccountingContext& c) {
    const double n = vb_int((c.day.mochidama + 2000) / 2500);
    for (int i = 1; i <= 40; ++i) {
        if (n >= i) {
            c.screen.dorubako.at(i - 1) = true;
        } else {
            c.screen.dorubako.at(i - 1) = false;
            break;
        }
    }
}

void plot(AccountingContext& c) {
    c.graph.plot(c.z.zentei_jikan, c.day.keika_byo, c.day.shushi);
}

// The day's clock: hours since 9:00 and the minute.
void clock_time(DayState& d) {
    d.jikan_hour = Single(vb_int(d.keika_byo / 3600));
    d.jikan_minute = Single(vb_int(d.keika_byo / 60) - 60 * d.jikan_hour);
}

void book_history(AccountingContext& c) {
    SpinState& s = c.s;
    DayState& d = c.day;
    d.kaiten_kankaku[0] = d.kaiten_total - d.kaiten_kankaku[1];
    d.kaiten_kankaku[1] = d.kaiten_total;
    if (s.shoukaku_egara != 0) s.atari_egara = s.shoukaku_egara == 14 ? 0 : int(s.shoukaku_egara);
    if (!c.shown) return;
    clock_time(d);
    d.rireki_line = rireki_columns(d.atari_count, d.jikan_hour, d.jikan_minute, d.kaiten_kankaku[0],
                                   s.atari_egara);
    std::string line;
    for (const auto& column : d.rireki_line)
        line += column;
    c.screen.rireki.push_back(line);
}

void chain(AccountingContext& c) {
    SpinState& s = c.s;
    DayState& d = c.day;
    if (s.kakuhen_flag == 1) {
        d.renchan += 1;
        if (s.kakuhen_zan < 1) {
            s.kakuhen_zan = 0;
            s.kakuhen_flag = 0;
        }
    } else {
        d.hatsuatari_count += 1;
        d.renchan = 1;
        s.kakuhen_flag = KakuhenHantei(s.atari_egara) == 1 ? 1 : 0;
    }
    if (!(d.renchan_max > d.renchan)) d.renchan_max = d.renchan;
}

void box_regulation(AccountingContext& c) {
    DayState& d = c.day;
    if (c.z.zentei_hakokisei < 2) return;
    const Single limit = Single((c.z.zentei_hakokisei + 1) * 2500);
    if (d.mochidama > limit) {
        d.kankin_gaku += exchange_value(d.mochidama - limit, c.z.zentei_kankin);
        d.mochidama = limit;
    }
}

} // namespace

void accounting_detail::jackpot(AccountingContext& c) {
    DayState& d = c.day;
    d.atari_count += 1;
    book_history(c);
    chain(c);
    d.mochidama += c.z.zentei_dedama;
    d.hamari = 0;
    Eigyo(c);
    d.keika_byo += kAtariSeconds;
    box_regulation(c);
    if (!c.shown) return;
    plot(c);
    show_dollar_boxes(c);
}

void accounting_detail::show_clock(AccountingContext& c) {
    DayState& d = c.day;
    clock_time(d);
    c.screen.jikan = {d.nichime, d.jikan_hour + 9, d.jikan_minute};
    c.screen.pictimeservice = in_time_service(c);
    // Every 20th spin (spin counts are whole numbers well inside a float's range).
    if (static_cast<std::int64_t>(d.kaiten_total) % 20 == 0) {
        plot(c);
        show_dollar_boxes(c);
    }
}

std::array<std::string, 5> rireki_columns(Single n, Single hour, Single minute, Single spins,
                                          Int16 egara) {
    // Blanks before a number (appended, which keeps the compiler's string
    // checks quiet).
    auto pad = [](const char* blanks, const std::string& text) {
        return std::string(blanks).append(text);
    };
    std::array<std::string, 5> col;
    col[0] = n < 10 ? pad("  ", str(n)) : n < 100 ? pad(" ", unpadded(n)) : unpadded(n);
    col[1] = pad(hour < 1 ? "  " : " ", str(Single(hour + 9)));
    col[2] = pad(minute < 10 ? ":0" : ":", unpadded(minute));
    col[3] = pad(spins < 10 ? "   " : spins < 100 ? "  " : spins < 1000 ? " " : "", str(spins));
    col[4] = kEgaraLabels[egara >= 0 && egara <= 13 ? int(egara) : 14];
    for (auto& c : col)
        c = field5(c);
    return col;
}

std::string hyouji_text(const DayState& d, int i) {
    const std::array<Single, 11> values = {d.kaiten_tsujo,   d.atari_count, d.hatsuatari_count,
                                           d.hamari,         d.hamari_max,  d.renchan,
                                           d.renchan_max,    d.mochidama,   d.kankin_gaku,
                                           d.shishutsu_gaku, d.shushi};
    return format_counter(values.at(i));
}

void Eigyo(AccountingContext& c) {
    SpinState& s = c.s;
    DayState& d = c.day;
    const int e = s.atari_egara;
    const bool kakuhen = KakuhenHantei(s.atari_egara) == 1;
    const bool service = in_time_service(c);
    const bool three_seven = e == 3 || e == 7;
    const bool four_six = e == 4 || e == 6;
    const bool four_six_eight = four_six || e == 8;
    auto keep = [&](bool yes) { d.mochidama_ok = yes ? 1 : 0; };
    switch (c.z.zentei_eigyo) {
    case 1: // balls kept only during probability-up
        keep(kakuhen || service);
        break;
    case 2: // unlimited throughout
        d.museigen_flag = 1;
        break;
    case 3: // unlimited after a probability-up jackpot
        if (d.museigen_flag == 1) break;
        if (kakuhen)
            d.museigen_flag = 1;
        else
            keep(service);
        break;
    case 4: // unlimited after a 3 or 7 jackpot
        if (d.museigen_flag == 1) break;
        if (three_seven)
            d.museigen_flag = 1;
        else if (kakuhen)
            keep(true);
        else
            keep(service);
        break;
    case 5: // after 3 or 7, exchange on 4 or 6
        if (service || three_seven)
            keep(true);
        else if (four_six)
            keep(false);
        break;
    case 6: // after probability-up, exchange on 4 or 6
        if (service || kakuhen)
            keep(true);
        else if (four_six)
            keep(false);
        break;
    case 7: // after probability-up, exchange on 4, 6 or 8
        if (service || kakuhen)
            keep(true);
        else if (four_six_eight)
            keep(false);
        break;
    case 8: // after probability-up, exchange on 4 or 6, unlimited on 3 or 7
        if (d.museigen_flag == 1) break;
        if (three_seven)
            d.museigen_flag = 1;
        else if (service || kakuhen)
            keep(true);
        else if (four_six_eight)
            keep(false);
        break;
    default:
        break;
    }
    if (d.museigen_flag == 1) {
        c.screen.fuda = {true, false};
    } else if (d.mochidama_ok == 1) {
        c.screen.fuda = {false, true};
    } else {
        d.kankin_gaku += exchange_value(d.mochidama, c.z.zentei_kankin);
        d.mochidama = 0;
        c.screen.fuda = {false, false};
    }
    if (d.mochidama == 0) c.screen.dorubako = {};
}

} // namespace popchan
