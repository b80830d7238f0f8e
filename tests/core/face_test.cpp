#include <gtest/gtest.h>

#include "menu_bar.h"

#include <set>
#include <string>
#include <vector>

#include "parlour/face.h"
#include "parlour/formdigi_model.h"
#include "parlour/help_windows.h"

using namespace popchan;

namespace {

const Part* find_part(const std::string& name) {
    for (const Part& p : main_window_parts())
        if (p.name == name) return &p;
    return nullptr;
}

struct Expected {
    const char* name;
    Part::Kind kind;
    const char* parent;
    const char* text;
    int font, width, height, left, top;
    bool align_right, wrap;
};

} // namespace

TEST(Face, PartsAsTheWindowShowsThem) {
    using K = Part::Kind;
    const Expected expected[] = {
        {"PictureDigi", K::Panel, "", "", 0, 137, 177, 8, 8, false, false},
        {"PictureWaku", K::Surface, "PictureDigi", "", 0, 115, 96, 10, 6, false, false},
        {"LabelReach", K::Label, "PictureDigi", "種類 … 当り / ﾘｰﾁ", 8, 115, 17, 10, 108, false,
         false},
        {"picrireki", K::Panel, "", "", 0, 163, 177, 152, 8, false, false},
        {"picjikan_0", K::Panel, "picrireki", "", 0, 147, 17, 8, 8, false, false},
        {"jikanmei_0", K::Label, "picjikan_0", "日目", 8, 25, 17, 48, 0, false, false},
        {"jikanmei_2", K::Label, "picjikan_0", "：", 8, 25, 17, 96, 0, false, false},
        {"jikan_1", K::Label, "picjikan_0", "", 8, 17, 15, 80, 0, true, false},
        {"rirekimei", K::Label, "picrireki", "  NO.  時間   回転   絵柄", 8, 143, 17, 8, 32, false,
         false},
        {"pictennai", K::Panel, "", "", 0, 137, 177, 320, 8, false, false},
        {"Label2", K::Label, "pictennai", "（持ち玉状況等）", 8, 89, 17, 0, 8, false, false},
        {"PicTimeService", K::Panel, "pictennai", "", 0, 125, 17, 5, 27, false, false},
        {"Pichakokisei", K::Panel, "pictennai", "", 0, 89, 73, 40, 48, false, false},
        {"fuda_0", K::Picture, "pictennai", "fuda0", 0, 32, 32, 88, 0, false, false},
        {"piczentei", K::Panel, "", "", 0, 160, 178, 463, 8, false, false},
        {"Picture3", K::Panel, "piczentei", "", 0, 142, 161, 8, 8, false, false},
        {"zenteimei_9", K::Label, "Picture3", "（前　　提）", 8, 140, 16, 0, 0, false, false},
        {"zenteimei_0", K::Label, "Picture3", "大当り確率(1/?)", 8, 81, 16, 0, 16, false, false},
        {"zenteimei_8", K::Label, "Picture3", "営業", 8, 81, 16, 0, 144, false, false},
        {"zentei_0", K::Label, "Picture3", "", 8, 53, 16, 80, 16, true, false},
        {"pichyouji", K::Panel, "", "", 0, 161, 225, 464, 192, false, false},
        {"Picture4", K::Panel, "pichyouji", "", 0, 142, 201, 8, 8, false, false},
        {"hyoujimei_13", K::Label, "Picture4", "（当日成績）", 8, 142, 15, 0, 0, false, false},
        {"hyoujimei_0", K::Label, "Picture4", "回転数(通常)", 8, 65, 17, 0, 16, false, false},
        {"hyouji_10", K::Label, "Picture4", "", 8, 70, 17, 64, 176, true, false},
        {"picgraph_0", K::Panel, "", "", 0, 448, 226, 8, 193, false, false},
        {"graphmei_1", K::Label, "picgraph_0", "+10万円", 10, 49, 17, 8, 8, false, false},
        {"graphmei_0", K::Label, "picgraph_0", "収支", 10, 49, 17, 8, 104, false, false},
        {"ListReach", K::List, "PictureDigi", "", 8, 115, 48, 10, 120, false, false},
        {"jikan_0", K::Label, "picjikan_0", "", 8, 41, 15, 0, 0, true, false},
        {"jikan_2", K::Label, "picjikan_0", "", 8, 17, 15, 104, 0, true, false},
        {"rireki", K::List, "picrireki", "", 8, 143, 125, 8, 45, false, false},
        {"picdorubako_2", K::Panel, "pictennai", "", 0, 33, 153, 64, 24, false, false},
        {"imgdorubako_21", K::Picture, "picdorubako_2", "dorubako", 0, 32, 32, 0, 120, false,
         false},
        {"imgdorubako_40", K::Picture, "picdorubako_3", "dorubako", 0, 32, 32, 0, 12, false, false},
        {"Label4", K::Label, "PicTimeService", "ﾗｯｷｰﾀｲﾑｻｰﾋﾞｽ中", 9, 97, 25, 8, 0, false, false},
        {"Label3", K::Label, "Pichakokisei",
         "組合の申し合せによりドル箱積上げは、　　までとなっています。", 10, 81, 73, 0, 0, false,
         true},
        {"Labelhakokiseisu", K::Label, "Pichakokisei", "５箱", 10, 25, 17, 59, 26, false, false},
        {"fuda_1", K::Picture, "pictennai", "fuda1", 0, 32, 32, 88, 0, false, false},
        {"zenteimei_5", K::Label, "Picture3", "換金率(¥/個)", 8, 81, 16, 0, 96, false, false},
        {"zentei_3", K::Label, "Picture3", "", 8, 53, 16, 80, 64, true, false},
        {"zentei_8", K::Label, "Picture3", "", 8, 101, 16, 32, 144, true, false},
        {"hyoujimei_10", K::Label, "Picture4", "収支", 8, 65, 17, 0, 176, false, false},
        {"hyouji_7", K::Label, "Picture4", "", 8, 70, 17, 64, 128, true, false},
        {"picgraph_1", K::Surface, "picgraph_0", "", 0, 353, 209, 80, 8, false, false},
        {"graphmei_2", K::Label, "picgraph_0", "-10万円", 10, 49, 17, 8, 200, false, false},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.name);
        const Part* p = find_part(e.name);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->kind, e.kind);
        EXPECT_EQ(p->parent, e.parent);
        EXPECT_EQ(p->text, e.text);
        EXPECT_EQ(p->font, e.font);
        EXPECT_EQ(p->width, e.width);
        EXPECT_EQ(p->height, e.height);
        EXPECT_EQ(p->left, e.left);
        EXPECT_EQ(p->top, e.top);
        EXPECT_EQ(p->align_right, e.align_right);
        EXPECT_EQ(p->wrap, e.wrap);
    }
    // Six framed panels on the client area, every panel inside them unframed;
    // 117 parts in all.
    int framed = 0;
    for (const Part& p : main_window_parts())
        if (p.kind == K::Panel) {
            EXPECT_EQ(p.border, p.parent.empty()) << p.name;
            framed += p.border;
        }
    EXPECT_EQ(framed, 6);
    EXPECT_EQ(main_window_parts().size(), 117u);
    // Only the machine's frame has the face grey behind the display.
    EXPECT_TRUE(find_part("PictureDigi")->grey_back);
    EXPECT_TRUE(find_part("PictureDigi")->border);
    EXPECT_FALSE(find_part("picrireki")->grey_back);
    EXPECT_FALSE(find_part("Picture3")->border);
}

TEST(Face, NamesUniqueAndParentsFirst) {
    std::set<std::string> seen;
    int boxes = 0;
    for (const Part& p : main_window_parts()) {
        SCOPED_TRACE(p.name);
        EXPECT_TRUE(seen.insert(p.name).second);
        if (!p.parent.empty()) {
            EXPECT_EQ(seen.count(p.parent), 1u);
        }
        if (p.text == "dorubako") ++boxes;
    }
    EXPECT_EQ(boxes, 40);
}

TEST(Face, HigherDollarBoxesAreDrawnLater) {
    // A box higher in its column comes later, so it is drawn over the lower.
    const auto& parts = main_window_parts();
    auto index = [&](const std::string& name) {
        for (std::size_t i = 0; i < parts.size(); ++i)
            if (parts[i].name == name) return int(i);
        return -1;
    };
    EXPECT_LT(index("imgdorubako_1"), index("imgdorubako_2"));
    EXPECT_LT(index("imgdorubako_9"), index("imgdorubako_10"));
    EXPECT_LT(index("imgdorubako_31"), index("imgdorubako_40"));
}

TEST(Face, TheWholeMenuBarInOrder) {
    // The one table of the menu bar: M a menu, A an item, - a separator, ] the
    // end of a menu.
    const std::vector<std::string> expected = popchan::testing::menu_bar_lines();
    std::vector<std::string> shown;
    for (const MenuItem& m : main_window_menus()) {
        switch (m.kind) {
        case MenuItem::Kind::Menu:
            shown.push_back("M " + m.name + " " + m.caption);
            break;
        case MenuItem::Kind::Action:
            shown.push_back("A " + m.name + " " + m.caption);
            break;
        case MenuItem::Kind::Separator:
            shown.push_back("-");
            break;
        case MenuItem::Kind::End:
            shown.push_back("]");
            break;
        }
    }
    EXPECT_EQ(shown, expected);
}

TEST(Face, SpeedMenu) {
    const auto& menus = main_window_menus();
    std::size_t i = 0;
    while (i < menus.size() && menus[i].name != "h1")
        ++i;
    ASSERT_LT(i + 5, menus.size());
    EXPECT_EQ(menus[i].kind, MenuItem::Kind::Menu);
    EXPECT_EQ(menus[i].caption, "速度(&P&ｿ)");
    const char* const names[4] = {"h2_0", "h2_1", "h2_2", "h2_3"};
    const char* const captions[4] = {"等速(&1&ﾄ)", "２倍速(&2&ﾆ)", "５倍速(&5&ｺ)",
                                     "１０倍速(&0&ｼ)"};
    const char* const shortcuts[4] = {"Ctrl+1", "Ctrl+2", "Ctrl+3", "Ctrl+4"};
    for (int k = 0; k < 4; ++k) {
        const MenuItem& m = menus[i + 1 + k];
        EXPECT_EQ(m.kind, MenuItem::Kind::Action);
        EXPECT_EQ(m.name, names[k]);
        EXPECT_EQ(m.caption, captions[k]);
        EXPECT_TRUE(m.checkable);
        EXPECT_EQ(m.shortcut, shortcuts[k]);
    }
    EXPECT_EQ(menus[i + 5].kind, MenuItem::Kind::End);
}

TEST(Face, MenusCloseAndOnlyG3AndSpeedsCheck) {
    int depth = 0;
    for (const MenuItem& m : main_window_menus()) {
        if (m.kind == MenuItem::Kind::Menu) ++depth;
        if (m.kind == MenuItem::Kind::End) --depth;
        EXPECT_GE(depth, 0);
        const bool check = m.name == "g3" || m.name.rfind("h2_", 0) == 0;
        EXPECT_EQ(m.checkable, check) << m.name;
    }
    EXPECT_EQ(depth, 0);
}

TEST(Face, LayoutSizes) {
    EXPECT_EQ(kLayouts[0].width, 632);
    EXPECT_EQ(kLayouts[0].height, 430);
    EXPECT_EQ(kLayouts[1].width, 152);
    EXPECT_EQ(kLayouts[1].height, 192);
    EXPECT_EQ(kLayouts[2].width, 320);
    EXPECT_EQ(kLayouts[3].width, 462);
    EXPECT_EQ(kLayouts[4].height, 430);
}

// What the front ends show or hide, enable and check, by name.
TEST(Face, StatesByName) {
    FormDigiScreen s;
    s.menus.h2_checked = 2;
    s.menus.a4 = true;
    s.fuda[1] = true;
    s.dorubako[39] = true;
    s.pictimeservice = false;
    const auto shown = shown_parts(s);
    ASSERT_EQ(shown.size(), 44u);
    EXPECT_EQ(shown[0], (std::pair<std::string, bool>{"PicTimeService", false}));
    EXPECT_EQ(shown[1], (std::pair<std::string, bool>{"Pichakokisei", true}));
    EXPECT_EQ(shown[3], (std::pair<std::string, bool>{"fuda_1", true}));
    EXPECT_EQ(shown[4], (std::pair<std::string, bool>{"imgdorubako_1", false}));
    EXPECT_EQ(shown[43], (std::pair<std::string, bool>{"imgdorubako_40", true}));
    const std::vector<std::pair<std::string, bool>> checked = {
        {"g3", false}, {"h2_0", false}, {"h2_1", false}, {"h2_2", true}, {"h2_3", false}};
    EXPECT_EQ(checked_menus(s), checked);
    const std::vector<std::pair<std::string, bool>> enabled = {
        {"a2", true},   {"a3", true},   {"a4", true},  {"b2", false}, {"b3", true},
        {"b4_1", true}, {"b4_2", true}, {"f2", false}, {"f3", true}};
    EXPECT_EQ(enabled_menus(s), enabled);
}

// The about window's OK button: 73 × 33 at 376, 248 in its frame.
TEST(Face, AboutWindowButton) {
    EXPECT_EQ((std::array{kSetumei.button[0], kSetumei.button[1], kSetumei.button[2],
                          kSetumei.button[3]}),
              (std::array{376, 248, 73, 33}));
    EXPECT_EQ((std::array{kSiyou.button[0], kSiyou.button[1], kSiyou.button[2], kSiyou.button[3]}),
              (std::array{430, 296, 65, 33}));
}
