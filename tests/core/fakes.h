// Test doubles for the core's interfaces.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "common/bgm.h"
#include "common/dialogs.h"

namespace popchan::testing {

// Records every message box and answers questions from a script (No when the
// script is empty).
class ScriptedDialogs : public Dialogs {
  public:
    struct Box {
        std::string text, title;
        MessageIcon icon;
        bool question;
    };
    void message(const std::string& text, const std::string& title, MessageIcon icon) override {
        boxes.push_back({text, title, icon, false});
    }
    bool ask_yes_no(const std::string& text, const std::string& title, MessageIcon icon) override {
        boxes.push_back({text, title, icon, true});
        if (answers.empty()) return false;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
    std::vector<Box> boxes;
    std::deque<bool> answers;
};

// A player that logs the commands it gets.
class RecordingMedia : public MediaDevice {
  public:
    bool open(const std::string& path) override {
        log.push_back("open " + path);
        is_open = open_ok;
        return open_ok;
    }
    bool play() override {
        log.push_back("play");
        return play_ok;
    }
    void stop() override { log.push_back("stop"); }
    void close() override {
        log.push_back("close");
        is_open = false;
    }
    std::optional<std::string> mode() override {
        log.push_back("mode");
        if (!is_open) return std::nullopt;
        return current_mode;
    }
    void seek_to_start() override { log.push_back("seek"); }

    std::vector<std::string> log;
    bool open_ok = true, play_ok = true, is_open = false;
    std::string current_mode = "playing";
};

} // namespace popchan::testing
