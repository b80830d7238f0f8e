// The help menu's windows as every front end shows them: the texts and places
// of the two information windows, the batch tool's introduction, the help
// document's name, and the version box.
#pragma once

#include <string>

namespace popchan {

class Dialogs;

// The texts of the two information windows.
extern const char* const kSetumeiText;
extern const char* const kSiyouText;

// An information window's layout: client size, frame, text, picture and button.
struct InfoLayout {
    const char* name;
    const char* caption;
    int width, height;
    int frame[4], text[4], image[2], button[4];
    int button_font;
    const char* button_caption;
};
extern const InfoLayout kSetumei, kSiyou;
inline constexpr int kInfoTextFont = 10; // in ＭＳ 明朝
// The picture at `image`: its file without ".png", and its side in pixels.
inline constexpr const char* kInfoPictureName = "icon";
inline constexpr int kInfoPictureSize = 32;

// 作者ｿﾌﾄ紹介: the batch tool's introduction, as rich text, in a window of this size.
inline constexpr const char* kSalesTitle = "作者ｿﾌﾄ紹介";
extern const char* const kSalesHtml;
inline constexpr int kSalesWidth = 420, kSalesHeight = 300;
inline constexpr const char* kSalesOk = "ＯＫ！"; // its button

inline constexpr const char* kVersionTitle = "ＣＲぽぷちゃんシミュレーション Ver2.10";
inline constexpr const char* kHelpFile = "korinu.html";
inline constexpr const char* kHelpTitle = "ＣＲぽぷちゃんシミュレーション ヘルプ";
inline constexpr int kHelpWidth = 640, kHelpHeight = 560; // its first size
// What the help window says when its document cannot be read.
std::string help_missing(const std::string& file);

// The version box.
void Show_Version(Dialogs& dialogs);

} // namespace popchan
