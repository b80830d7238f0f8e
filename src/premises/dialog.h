// The premises dialog 前提入力 as every front end shows it: its title and
// size, the eleven rows with their labels and editable lists, the picture and
// the OK button, in pixels; and what OK does.
#pragma once

#include <array>
#include <functional>

#include "common/dialogs.h"
#include "premises/validation.h"

namespace popchan {

struct Place {
    int width, height, left, top;
};

inline constexpr const char* kZenteiTitle = "前提入力";
inline constexpr Place kZenteiClient = {433, 416, 0, 0};
// The framed panel that holds everything else.
inline constexpr Place kZenteiPanel = {385, 377, 24, 16};
// Font sizes in points: the window's, the rows' (labels and lists) and OK's.
inline constexpr int kZenteiFont = 9, kZenteiRowFont = 10, kZenteiOkFont = 14;

struct PremiseRowFace {
    const char* label;
    const char* name; // the list's name
    Place label_place;
    Place list_place; // a list keeps its own height: `height` is 0
};
// Row by row, inside the panel.
const std::array<PremiseRowFace, kPremiseRows>& premise_rows();

inline constexpr Place kZenteiPicture = {32, 32, 312, 24};
inline constexpr const char* kZenteiPictureName = "zentei"; // its picture file, without ".png"
inline constexpr const char* kZenteiOk = "ＯＫ！";
inline constexpr Place kZenteiOkPlace = {73, 33, 288, 320};

// OK: converts and checks `texts` and puts the corrected texts back into it,
// which `show` puts on the lists before any box; then shows a box for each
// failed check, and writes `record` only when every check passes. True when
// it did, and the dialog closes.
bool premises_ok(PremiseTexts& texts, Premises& record, Dialogs& dialogs,
                 const std::function<void()>& show);

} // namespace popchan
