// Test doubles for the core's interfaces.
#pragma once

#include <deque>
#include <functional>
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
        if (while_open) while_open(boxes.back());
    }
    bool ask_yes_no(const std::string& text, const std::string& title, MessageIcon icon) override {
        boxes.push_back({text, title, icon, true});
        if (while_open) while_open(boxes.back());
        if (answers.empty()) return false;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
    std::vector<Box> boxes;
    std::deque<bool> answers;
    // Runs while each box is open, before it is answered.
    std::function<void(const Box&)> while_open;
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

#include <gtest/gtest.h>

#include "common/random.h"

namespace popchan::testing {

// Returns the draws it was given, in order; running out is a test failure.
class ScriptedRandom : public Random {
  public:
    ScriptedRandom(std::initializer_list<double> draws) : draws_(draws) {}
    explicit ScriptedRandom(const std::vector<double>& draws)
        : draws_(draws.begin(), draws.end()) {}
    double Rnd() override {
        if (draws_.empty()) {
            ADD_FAILURE() << "the script ran out of draws";
            return 0;
        }
        const double d = draws_.front();
        draws_.pop_front();
        return d;
    }
    void Randomize() override { ++randomized; }
    std::size_t left() const { return draws_.size(); }
    int randomized = 0;

  private:
    std::deque<double> draws_;
};

// The draw that makes Int(Rnd × n) come out as k.
constexpr double pick(int k, int n) {
    return (k + 0.5) / n;
}

} // namespace popchan::testing
