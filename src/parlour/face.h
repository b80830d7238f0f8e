// What the main window is made of, for every front end that shows it: its
// parts (framed panels, labels, lists, the two pixel surfaces and the small
// pictures) with their names, texts, fonts and places in pixels, its menus
// with their captions, and the client sizes of its five layouts. A front end
// builds its window from these tables and fills it from FormDigiScreen.
#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

namespace popchan {

struct Part {
    enum class Kind {
        Panel,   // a container, with a sunken border when `border`
        Label,   // one line of text (wrapped when `wrap`)
        List,    // a list box
        Surface, // pixels the core draws: "PictureWaku" the display, "picgraph_1" the graph
        Picture, // a picture file of whole pixels: `text` names it ("dorubako")
    };
    Kind kind;
    std::string name;   // unique: "hyouji_3", "imgdorubako_12", …
    std::string parent; // the containing panel's name; empty for the client area
    std::string text;   // a label's text, or a picture's file name without ".png"
    int font = 0;       // nominal font size in points (labels and lists)
    int width = 0, height = 0, left = 0, top = 0; // inside the parent's border
    bool border = false;                          // panels: a sunken border
    bool grey_back = false;   // panels: the face grey (#C0C0C0) behind the display
    bool align_right = false; // labels: numbers stand at the right
    bool wrap = false;        // labels: wrapped onto its lines
};

// The face grey behind the display (RGB).
inline constexpr unsigned kFaceGreyRgb = 0xC0C0C0;

// Every part, parents before their children, each sibling drawn over the ones
// before it.
const std::vector<Part>& main_window_parts();

// The labels the window fills: premises (zentei_0..8), the day's figures
// (hyouji_0..10) and the clock (jikan_0..2).
inline constexpr int kZenteiCount = 9, kHyoujiCount = 11, kJikanCount = 3;

class FormDigiModel;
// The texts of every label the window fills, by name, as it shows them now:
// the premises, the day's figures, the clock and the box-regulation count.
std::vector<std::pair<std::string, std::string>> filled_labels(const FormDigiModel& model);
struct FormDigiScreen;
// The parts shown or hidden as the day goes (signs, plates, dollar boxes), by name.
std::vector<std::pair<std::string, bool>> shown_parts(const FormDigiScreen& screen);
// The menu items that may be disabled, and those that may be checked, by name.
std::vector<std::pair<std::string, bool>> enabled_menus(const FormDigiScreen& screen);
std::vector<std::pair<std::string, bool>> checked_menus(const FormDigiScreen& screen);

struct MenuItem {
    enum class Kind { Menu, Action, Separator, End }; // End closes the Menu above
    Kind kind;
    std::string name;    // "a2", "b3", "h2_0" …; menus a1, b, b1, g1, f1, h1, d1
    std::string caption; // with its access keys: "前提(&Z&ﾂ)"
    bool checkable = false;
    std::string shortcut; // "Ctrl+1" …, empty for none
};

// The menu bar, in order, as a flat list: a Menu opens a submenu of the items
// up to its End.
const std::vector<MenuItem>& main_window_menus();

// Client sizes of the display-screen layouts g2_0..g2_4: 標準, the display
// alone, with the history, with the parlour panel, with the graph.
struct Size {
    int width, height;
};
inline constexpr std::array<Size, 5> kLayouts = {Size{632, 430}, Size{152, 192}, Size{320, 192},
                                                 Size{462, 192}, Size{462, 430}};

} // namespace popchan
