// The analysis page 分析 as the browser shows it: its texts, the analyses it
// offers and the names of the files it hands out. Texts with {name} take the
// page's figures.
#pragma once

namespace popchan::analysis {

struct FaceText {
    const char* name;
    const char* text;
};

inline constexpr const char* kAnalysisTitle = "ＣＲぽぷちゃん 分析";
// The link beside the machine's window that leads to the page.
inline constexpr const char* kAnalysisLink = "分析";

inline constexpr FaceText kAnalysisTexts[] = {
    {"title", kAnalysisTitle},
    {"back", "台に戻る"},
    {"premises", "前提"},
    {"days", "日数"},
    {"seed", "シード"},
    {"seed_hint", "空欄なら新しく選ぶ"},
    {"kind", "分析"},
    {"sweep_premise", "振る前提"},
    {"sweep_values", "値"},
    {"sweep_hint", "20:40:1 または 20,25,30"},
    {"per_day", "日ごとの CSV も作る"},
    {"start", "開始"},
    {"stop", "中止"},
    {"progress", "{done} / {total} 日"},
    {"time_left", "残り約 {seconds} 秒"},
    {"cores", "{cores} コアで実行中"},
    {"stopped", "中止しました。"},
    {"command", "同じ結果のコマンドライン"},
    {"downloads", "ダウンロード"},
    {"too_big", "日ごとの CSV は {days} 日で約 {need} MB になり、このタブのメモリの目安 {limit} MB "
                "を超えます。日数を減らすか、コマンドラインで実行して下さい。"},
};

// The analyses, in the page's order; `option` is what the command line takes
// for it (none for a run of many days).
struct AnalysisKind {
    const char* name;
    const char* label;
    const char* option;
};
inline constexpr AnalysisKind kAnalysisKinds[] = {
    {"run", "多数の日", ""},
    {"exact", "厳密値のみ", "--exact"},
    {"sweep", "前提を振る", "--sweep"},
    {"border", "ボーダー", "--border"},
};

// The files the page hands out, by what they hold, as the command line's
// options name them.
struct AnalysisFile {
    const char* name;
    const char* option; // of popchan-batch; "" for its standard output
    const char* file;
};
inline constexpr AnalysisFile kAnalysisFiles[] = {
    {"json", "--json", "popchan.json"},
    {"per_day", "--per-day", "days.csv"},
    {"plot", "--plot", "plot.svg"},
    {"csv", "--csv", "sweep.csv"},
};

// A per-day CSV row takes at most this many bytes; the page refuses a run
// whose rows would pass a quarter of the memory the browser says it has
// (at most this many megabytes).
inline constexpr int kPerDayRowBytes = 128;
inline constexpr int kPerDayMostMegabytes = 512;

} // namespace popchan::analysis
