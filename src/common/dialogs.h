// Message boxes leave the core through this one interface: the program shows
// real boxes, tests answer them.
#pragma once

#include <string>

namespace popchan {

enum class MessageIcon { None, Information, Warning, Question };

class Dialogs {
  public:
    virtual ~Dialogs() = default;
    // A box with an OK button; returns when it is closed.
    virtual void message(const std::string& text, const std::string& title, MessageIcon icon) = 0;
    // A box with Yes and No, No the default; true for Yes.
    virtual bool ask_yes_no(const std::string& text, const std::string& title,
                            MessageIcon icon) = 0;
};

// The buttons of the boxes, with their access keys.
inline constexpr const char* kBoxOk = "OK";
inline constexpr const char* kBoxYes = "はい(&Y)";
inline constexpr const char* kBoxNo = "いいえ(&N)";

// The title a box gets when its caller names none: the program's own name.
inline constexpr const char* kAppTitle = "popchan";
// The main window's caption, also the title of the exit question, and the
// program's short name where there is little room (an installed page's icon).
inline constexpr const char* kCaption = "ＣＲぽぷちゃんシミュレーション";
inline constexpr const char* kShortCaption = "ぽぷちゃん";

} // namespace popchan
