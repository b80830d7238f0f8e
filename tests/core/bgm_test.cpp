#include <gtest/gtest.h>

#include "common/clock.h"
#include "core/fakes.h"
#include "parlour/formdigi_model.h"

using namespace popchan;
using popchan::testing::RecordingMedia;
using popchan::testing::ScriptedDialogs;

TEST(Bgm, PlayReplacesWhatPlaysAndStopEndsTheLoop) {
    Clock clock([](int) {});
    RecordingMedia media;
    Bgm bgm(clock, &media);
    bgm.set_app_path("/opt/popchan");
    bgm.Bgm_Control("kaiten.mid", 1);
    EXPECT_EQ(bgm.bgm_open, -1);
    EXPECT_EQ(clock.interval(Bgm::kTimer), 10000);
    bgm.Bgm_Control("reach.mid", 1);
    EXPECT_EQ(media.log,
              (std::vector<std::string>{"open /opt/popchan/kaiten.mid", "play", "stop", "close",
                                        "open /opt/popchan/reach.mid", "play"}));
    bgm.Bgm_Control("stop", 2);
    EXPECT_EQ(bgm.bgm_open, 0);
    EXPECT_EQ(clock.interval(Bgm::kTimer), 0);
    media.log.clear();
    bgm.Bgm_Control("stop", 2); // nothing open: only the loop stops
    EXPECT_TRUE(media.log.empty());
}

TEST(Bgm, AMissingFileLeavesTheDeviceClosedButTheLoopRunning) {
    Clock clock([](int) {});
    RecordingMedia media;
    media.open_ok = false;
    Bgm bgm(clock, &media);
    bgm.Bgm_Control("atari.mid", 1);
    EXPECT_EQ(bgm.bgm_open, 0);
    EXPECT_EQ(clock.interval(Bgm::kTimer), 10000);
    bgm.Timer4_Timer();
    EXPECT_EQ(media.log.back(), "mode"); // no device: nothing more
}

TEST(Bgm, APieceThatWillNotPlayIsClosedAgain) {
    Clock clock([](int) {});
    RecordingMedia media;
    media.play_ok = false;
    Bgm bgm(clock, &media);
    bgm.Bgm_Control("reach.mid", 1);
    EXPECT_EQ(media.log, (std::vector<std::string>{"open reach.mid", "play", "close"}));
    EXPECT_FALSE(media.is_open);
    EXPECT_EQ(bgm.bgm_open, 0);
}

TEST(Bgm, TheLoopRestartsAnEndedPiece) {
    Clock clock([](int) {});
    RecordingMedia media;
    Bgm bgm(clock, &media);
    bgm.Bgm_Control("atari.mid", 1);
    media.current_mode = "stopped";
    media.log.clear();
    bgm.Timer4_Timer();
    EXPECT_EQ(media.log, (std::vector<std::string>{"mode", "seek", "play"}));
}

TEST(Bgm, SoundOffDoesNothingAtAll) {
    Clock clock([](int) {});
    RecordingMedia media;
    Bgm bgm(clock, &media);
    bgm.sound_off = 1;
    bgm.Bgm_Control("kaiten.mid", 1);
    bgm.Bgm_Control("stop", 2);
    EXPECT_TRUE(media.log.empty());
    EXPECT_EQ(clock.interval(Bgm::kTimer), 0);
}

TEST(Bgm, HushedStopsAtOnceAndKeepsCuesSilentUntilTheNextCueAfterIt) {
    Clock clock([](int) {});
    RecordingMedia media;
    Bgm bgm(clock, &media);
    bgm.Bgm_Control("kaiten.mid", 1);
    media.log.clear();
    bgm.set_hushed(true);
    EXPECT_EQ(media.log, (std::vector<std::string>{"stop", "close"}));
    EXPECT_EQ(bgm.bgm_open, 0);
    EXPECT_EQ(clock.interval(Bgm::kTimer), 0);
    media.log.clear();
    bgm.Bgm_Control("reach.mid", 1);
    bgm.Bgm_Control("stop", 2);
    EXPECT_TRUE(media.log.empty());
    EXPECT_EQ(clock.interval(Bgm::kTimer), 0);
    bgm.set_hushed(false);
    EXPECT_TRUE(media.log.empty()); // nothing until the next cue
    EXPECT_EQ(bgm.sound_off, 0);
    bgm.Bgm_Control("atari.mid", 1);
    EXPECT_EQ(media.log, (std::vector<std::string>{"open atari.mid", "play"}));
    EXPECT_EQ(clock.interval(Bgm::kTimer), 10000);
}

namespace {
// A player whose status query fails with a run-time error.
class FailingMedia : public RecordingMedia {
  public:
    std::optional<std::string> mode() override {
        if (failing) throw RuntimeError(kInvalidCall);
        return RecordingMedia::mode();
    }
    bool failing = true;
};
} // namespace

TEST(TimerErrors, AFailingTickIsReportedOnceNotOnEveryTick) {
    ScriptedDialogs dialogs;
    FailingMedia media;
    FormDigiModel model(dialogs, &media);
    model.Form_Load(15, 15, "");
    model.bgm.Bgm_Control("kaiten.mid", 1);
    model.advance(60000); // six ticks of the music loop, all failing
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].title, "エラー");
    EXPECT_EQ(dialogs.boxes[0].text, "エラー番号 5popchan でエラーが発生しました。 \n"
                                     "プロシージャの呼び出し、または引数が不正です。");
    // A tick that goes well ends the fault: the next failure is new news.
    media.failing = false;
    model.advance(10000);
    media.failing = true;
    model.advance(10000);
    ASSERT_EQ(dialogs.boxes.size(), 2u);
    EXPECT_EQ(dialogs.boxes[1].text, dialogs.boxes[0].text);
}

TEST(Bgm, TheLoopLeavesAPieceThatStillPlaysAlone) {
    Clock clock([](int) {});
    RecordingMedia media;
    Bgm bgm(clock, &media);
    bgm.Bgm_Control("reach.mid", 1);
    for (const char* playing : {"playing", "playing at 12"}) { // only the first 7 letters count
        media.current_mode = playing;
        media.log.clear();
        bgm.Timer4_Timer();
        EXPECT_EQ(media.log, (std::vector<std::string>{"mode"})) << playing;
    }
    media.current_mode = "paused";
    media.log.clear();
    bgm.Timer4_Timer();
    EXPECT_EQ(media.log, (std::vector<std::string>{"mode", "seek", "play"}));
}
