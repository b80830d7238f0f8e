#include "parlour/face.h"

#include "common/numbers.h"
#include "parlour/accounting.h"
#include "parlour/formdigi_model.h"

namespace popchan {

namespace {

const char* const kZenteimei[kZenteiCount] = {"大当り確率(1/?)", "大当り出玉",      "確変率(1/?)",
                                              "最高継続回数",    "回転率(回/千円)", "換金率(¥/個)",
                                              "プレイ時間(h)",   "ｷﾞﾌﾞｱｯﾌﾟ金額(¥)", "営業"};
const char* const kHyoujimei[kHyoujiCount] = {"回転数(通常)", "当り数", "初当り数",   "はまり数",
                                              "最大はまり",   "連荘数", "最大連荘数", "持ち玉数",
                                              "換金額",       "支出額", "収支"};

std::vector<Part> build_parts() {
    using K = Part::Kind;
    std::vector<Part> p;
    auto panel = [&](const char* name, const char* parent, bool border, int w, int h, int x,
                     int y) {
        p.push_back({K::Panel, name, parent, "", 0, w, h, x, y, border});
    };
    auto label = [&](const std::string& name, const char* parent, const std::string& text, int font,
                     int w, int h, int x, int y, bool right = false) {
        Part l{K::Label, name, parent, text, font, w, h, x, y};
        l.align_right = right;
        p.push_back(l);
    };

    // The machine: its display and the reach statistics.
    panel("PictureDigi", "", true, 137, 177, 8, 8);
    p.back().grey_back = true;
    p.push_back({K::Surface, "PictureWaku", "PictureDigi", "", 0, 115, 96, 10, 6});
    label("LabelReach", "PictureDigi", "種類 … 当り / ﾘｰﾁ", 8, 115, 17, 10, 108);
    p.push_back({K::List, "ListReach", "PictureDigi", "", 8, 115, 48, 10, 120});

    // The hit history under the clock.
    panel("picrireki", "", true, 163, 177, 152, 8);
    panel("picjikan_0", "picrireki", false, 147, 17, 8, 8);
    label("jikanmei_0", "picjikan_0", "日目", 8, 25, 17, 48, 0);
    label("jikanmei_2", "picjikan_0", "：", 8, 25, 17, 96, 0);
    const int jikan_x[kJikanCount] = {0, 80, 104}, jikan_w[kJikanCount] = {41, 17, 17};
    for (int i = 0; i < kJikanCount; ++i)
        label("jikan_" + std::to_string(i), "picjikan_0", "", 8, jikan_w[i], 15, jikan_x[i], 0,
              true);
    label("rirekimei", "picrireki", "  NO.  時間   回転   絵柄", 8, 143, 17, 8, 32);
    p.push_back({K::List, "rireki", "picrireki", "", 8, 143, 125, 8, 45});

    // The parlour: dollar boxes in four columns of ten, signs and plates.
    panel("pictennai", "", true, 137, 177, 320, 8);
    for (int i = 0; i < 4; ++i) {
        const std::string column = "picdorubako_" + std::to_string(i);
        p.push_back({K::Panel, column, "pictennai", "", 0, 33, 153, 32 * i, 24});
        for (int k = 1; k <= 10; ++k)
            p.push_back({K::Picture, "imgdorubako_" + std::to_string(10 * i + k), column,
                         "dorubako", 0, 32, 32, 0, 120 - 12 * (k - 1)});
    }
    label("Label2", "pictennai", "（持ち玉状況等）", 8, 89, 17, 0, 8);
    panel("PicTimeService", "pictennai", false, 125, 17, 5, 27);
    label("Label4", "PicTimeService", "ﾗｯｷｰﾀｲﾑｻｰﾋﾞｽ中", 9, 97, 25, 8, 0);
    panel("Pichakokisei", "pictennai", false, 89, 73, 40, 48);
    label("Label3", "Pichakokisei", "組合の申し合せによりドル箱積上げは、　　までとなっています。",
          10, 81, 73, 0, 0);
    p.back().wrap = true;
    // 組合の申し合 / せによりドル箱 / 積上げは、　　 / までとなってい / ます。: the
    // box count stands in the blanks of the third line.
    p.back().line_lengths = {6, 7, 7, 7};
    label("Labelhakokiseisu", "Pichakokisei", "５箱", 10, 25, 17, 59, 26);
    for (int i = 0; i < 2; ++i)
        p.push_back({K::Picture, "fuda_" + std::to_string(i), "pictennai",
                     "fuda" + std::to_string(i), 0, 32, 32, 88, 0});

    // The premises.
    panel("piczentei", "", true, 160, 178, 463, 8);
    panel("Picture3", "piczentei", false, 142, 161, 8, 8);
    label("zenteimei_9", "Picture3", "（前　　提）", 8, 140, 16, 0, 0);
    for (int i = 0; i < kZenteiCount; ++i)
        label("zenteimei_" + std::to_string(i), "Picture3", kZenteimei[i], 8, 81, 16, 0,
              16 * i + 16);
    for (int i = 0; i < kZenteiCount; ++i) {
        const bool form = i == 8; // the business form, on a line of its own
        label("zentei_" + std::to_string(i), "Picture3", "", 8, form ? 101 : 53, 16, form ? 32 : 80,
              form ? 144 : 16 * i + 16, true);
    }

    // The day's figures.
    panel("pichyouji", "", true, 161, 225, 464, 192);
    panel("Picture4", "pichyouji", false, 142, 201, 8, 8);
    label("hyoujimei_13", "Picture4", "（当日成績）", 8, 142, 15, 0, 0);
    for (int i = 0; i < kHyoujiCount; ++i) {
        label("hyoujimei_" + std::to_string(i), "Picture4", kHyoujimei[i], 8, 65, 17, 0,
              16 * i + 16);
        label("hyouji_" + std::to_string(i), "Picture4", "", 8, 70, 17, 64, 16 * i + 16, true);
    }

    // The balance graph.
    panel("picgraph_0", "", true, 448, 226, 8, 193);
    p.push_back({K::Surface, "picgraph_1", "picgraph_0", "", 0, 353, 209, 80, 8});
    label("graphmei_1", "picgraph_0", "+10万円", 10, 49, 17, 8, 8);
    label("graphmei_0", "picgraph_0", "収支", 10, 49, 17, 8, 104);
    label("graphmei_2", "picgraph_0", "-10万円", 10, 49, 17, 8, 200);
    return p;
}

std::vector<MenuItem> build_menus() {
    using K = MenuItem::Kind;
    std::vector<MenuItem> m;
    auto add = [&](K kind, const std::string& name = "", const std::string& caption = "",
                   bool check = false, const std::string& shortcut = "") {
        m.push_back({kind, name, caption, check, shortcut});
    };
    auto menu = [&](const char* name, const char* caption) { add(K::Menu, name, caption); };
    auto item = [&](const std::string& name, const std::string& caption, bool check = false,
                    const std::string& shortcut = "") {
        add(K::Action, name, caption, check, shortcut);
    };
    auto end = [&] { add(K::End); };
    auto separator = [&] { add(K::Separator); };

    menu("a1", "実行(&G&ｷ)");
    item("a2", "前提(&Z&ﾂ)");
    item("a3", "ｽﾀｰﾄ(&S&ﾄ)");
    item("a4", "ﾘｾｯﾄ(&R&ｽ)");
    separator();
    item("a5", "終了(&Q&ﾀ)");
    end();

    menu("b", "ｵﾌﾟｼｮﾝ(&O&ﾗ)");
    menu("b1", "ﾃﾞｼﾞﾀﾙ(&D&ｼ)");
    item("b2", "表示(&O&ﾗ)");
    menu("b3", "非表示(&C&ｿ)");
    item("b4_1", "ﾘｰﾁ以外(&R&ｽ)");
    item("b4_2", "当り以外(&H&ｸ)");
    end();
    end();
    menu("g1", "表示画面(&M&ﾓ)");
    const char* const layouts[kLayouts.size()] = {"標準(&S&ﾄ)", "ﾃﾞｼﾞﾀﾙのみ(&D&ｼ)",
                                                  " 〃 + 履歴(&R&ｽ)", " 〃 + 状況(&J&ﾏ)",
                                                  " 〃 + ｸﾞﾗﾌ(&G&ｷ)"};
    for (std::size_t i = 0; i < kLayouts.size(); ++i)
        item("g2_" + std::to_string(i), layouts[i]);
    end();
    item("g3", "常に前面表示(&A&ﾁ)", true);
    menu("f1", "ｻｳﾝﾄﾞ(&S&ﾄ)");
    item("f2", "あり(&O&ﾗ)");
    item("f3", "なし(&C&ｿ)");
    end();
    menu("h1", "速度(&P&ｿ)");
    const char* const paces[4] = {"等速(&1&ﾄ)", "２倍速(&2&ﾆ)", "５倍速(&5&ｺ)", "１０倍速(&0&ｼ)"};
    for (int i = 0; i < 4; ++i) {
        item("h2_" + std::to_string(i), paces[i], true, "Ctrl+" + std::to_string(i + 1));
        m.back().radio = true;
    }
    end();
    end();

    menu("d1", "ﾍﾙﾌﾟ(&H&ｸ)");
    item("d2", "ﾍﾙﾌﾟ(&H&ｸ)");
    item("d3", "使い方(&T&ｶ)");
    item("d4", "ＣＲぽぷちゃんについて(&P&ｾ)");
    separator();
    item("d7", "作者ｿﾌﾄ紹介(&E&ｲ)");
    separator();
    item("d6", "ﾊﾞｰｼﾞｮﾝ情報(&A&ﾁ)");
    end();
    return m;
}

} // namespace

const std::vector<Part>& main_window_parts() {
    static const std::vector<Part> parts = build_parts();
    return parts;
}

const std::vector<MenuItem>& main_window_menus() {
    static const std::vector<MenuItem> menus = build_menus();
    return menus;
}

std::vector<std::pair<std::string, std::string>> filled_labels(const FormDigiModel& model) {
    const FormDigiScreen& s = model.screen;
    std::vector<std::pair<std::string, std::string>> labels;
    for (int i = 0; i < kZenteiCount; ++i)
        labels.emplace_back("zentei_" + std::to_string(i), s.zentei[i]);
    for (int i = 0; i < kHyoujiCount; ++i)
        labels.emplace_back("hyouji_" + std::to_string(i), hyouji_text(model.day, i));
    for (int i = 0; i < kJikanCount; ++i)
        labels.emplace_back("jikan_" + std::to_string(i), cstr(s.jikan[i]));
    labels.emplace_back("Labelhakokiseisu", s.labelhakokiseisu);
    return labels;
}

std::vector<std::pair<std::string, bool>> shown_parts(const FormDigiScreen& s) {
    std::vector<std::pair<std::string, bool>> parts = {{"PicTimeService", s.pictimeservice},
                                                       {"Pichakokisei", s.pichakokisei}};
    for (std::size_t i = 0; i < s.fuda.size(); ++i)
        parts.emplace_back("fuda_" + std::to_string(i), s.fuda[i]);
    for (std::size_t i = 0; i < s.dorubako.size(); ++i)
        parts.emplace_back("imgdorubako_" + std::to_string(i + 1), s.dorubako[i]);
    return parts;
}

std::vector<std::pair<std::string, bool>> enabled_menus(const FormDigiScreen& s) {
    const Menus& m = s.menus;
    return {{"a2", m.a2},     {"a3", m.a3},     {"a4", m.a4}, {"b2", m.b2}, {"b3", m.b3},
            {"b4_1", m.b4_1}, {"b4_2", m.b4_2}, {"f2", m.f2}, {"f3", m.f3}};
}

std::vector<std::pair<std::string, bool>> checked_menus(const FormDigiScreen& s) {
    std::vector<std::pair<std::string, bool>> checked = {{"g3", s.menus.g3_checked}};
    for (int i = 0; i < int(FormDigiModel::kSpeeds.size()); ++i)
        checked.emplace_back("h2_" + std::to_string(i), s.menus.h2_checked == i);
    return checked;
}

} // namespace popchan
