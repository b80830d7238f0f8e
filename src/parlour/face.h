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
    // A wrapped label's lines as the desktop breaks them: the characters
    // (code points) each line but the last takes, in order.
    std::vector<int> line_lengths = {};
};

// The face grey behind the display (RGB).
inline constexpr unsigned kFaceGreyRgb = 0xC0C0C0;

// The desktop's look, as its window draws itself: the colours (RGB) of its
// faces, frames, texts and selections, and the measures in pixels of its
// menu bar, frames, lists and wrapped lines. The desktop's palette is made of
// these colours, and a front end that draws its own window takes them all.
struct Look {
    unsigned face = 0xEFEFEF;        // the window, its menus and its panels
    unsigned machine = kFaceGreyRgb; // the machine's panel, behind the display
    unsigned text = 0x000000;
    unsigned disabled_text = 0xBEBEBE;      // a disabled menu item
    unsigned base = 0xFFFFFF;               // the inside of a list
    unsigned light = 0xFFFFFF;              // a sunken frame's lower and right edges
    unsigned dark = 0x9F9F9F;               // its upper and left edges
    unsigned list_frame = 0xB8B8B8;         // a list's frame on the face
    unsigned list_frame_machine = 0x949494; // … on the machine's panel
    unsigned highlight = 0x308CC6;          // a list's selected line, the menu item pointed at
    unsigned highlighted_text = 0xFFFFFF;
    unsigned menu_bar_line = 0xD6D6D6;    // the line under the menu bar
    unsigned scroll_bar = 0xF8F8F8;       // a scroll bar's groove
    unsigned scroll_bar_frame = 0xAAAAAA; // its handle's frame
    int menu_bar_height = 18;             // the line under it included
    int panel_frame = 2;                  // a framed panel's sunken frame
    int list_frame_width = 1;
    int scroll_bar_width = 14;
    int item_margin = 2;          // a list's text from its frame
    int list_line_height = 12;    // a list's lines, at the nominal size 8
    int wrapped_line_height = 14; // a wrapped label's lines, at the nominal size 10
    const char* check_mark = "✓"; // a checked item
    const char* radio_mark = "●"; // the chosen item of a group (the speeds)
};
inline constexpr Look kLook{};

// Where a window cannot close itself (a browser's tab that the page did not
// open), what it shows once the program has ended, and how to start afresh.
inline constexpr const char* kEndedText = "ＣＲぽぷちゃんシミュレーションを終了しました。";
inline constexpr const char* kRestartCaption = "もう一度始める(&S)";

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
    bool radio = false;   // one of a group (the speeds), one of them checked at a time
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
