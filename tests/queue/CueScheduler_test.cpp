// The cue queue's order: one cue at a time in the order asked, one waiting at most, the newest request
// winning, drops, the stop at closing and the longest cue, on a player that holds each cue until let go.
#include <gtest/gtest.h>

#include <memory>

#include "platform/CueScheduler.h"
#include "support/HeldPlayer.h"

namespace {

using namespace std::chrono_literals;
using Names = std::vector<std::string>;

class CueScheduler : public testing::Test {
protected:
    // Asks for `name` and waits until the `count`th cue has begun.
    void Play(const std::string& name, std::size_t count) {
        queue->Ask(name);
        ASSERT_TRUE(player.Started(count));
    }
    testsupport::HeldPlayer player;
    std::unique_ptr<platform::CueScheduler> queue = std::make_unique<platform::CueScheduler>(player.Player());
};

TEST_F(CueScheduler, PlaysInOrderWithTheNewestRequestWaiting) {
    Play("chime", 1);
    queue->Ask("bell");  // asked while the chime plays: each replaces the one waiting before it
    queue->Ask("chime again");
    EXPECT_EQ(player.StartedCues(), Names{"chime"});
    player.Finish();
    ASSERT_TRUE(player.Started(2));
    player.Finish();
    Play("bell", 3);  // nothing was left waiting: it plays at once
    player.Finish();
    EXPECT_EQ(player.StartedCues(), (Names{"chime", "chime again", "bell"}));
}

TEST_F(CueScheduler, DropForgetsTheWaitingCueAndLetsThePlayingOneFinish) {
    Play("chime", 1);
    queue->Ask("bell");
    queue->DropWaiting();
    player.Finish();
    Play("next page's chime", 2);  // had the bell still waited, it would come first
    player.Finish();
    EXPECT_EQ(player.EndedCues(), (Names{"chime", "next page's chime"}));
}

TEST_F(CueScheduler, StopAllEndsThePlayingCueAndRefusesTheRest) {
    Play("endless", 1);
    queue->Ask("bell");
    queue->StopAll();
    ASSERT_TRUE(player.Ended(1));
    queue->Ask("chime");
    queue.reset();  // returns only once the player has
    EXPECT_EQ(player.StartedCues(), Names{"endless"});
    EXPECT_EQ(player.EndedCues(), Names{"endless stopped"});
}

// A file that plays for hours is cut; the cue after it then plays.
TEST_F(CueScheduler, CutsACueAtTheLongestAndPlaysTheNext) {
    queue = std::make_unique<platform::CueScheduler>(player.Player(), 20ms);
    Play("endless", 1);
    Play("bell", 2);
    player.Finish();
    EXPECT_EQ(player.EndedCues(), (Names{"endless stopped", "bell"}));
    EXPECT_EQ(platform::CueScheduler::LongestCue(), 10s);
}

TEST_F(CueScheduler, ACueThatFailsLosesOnlyItself) {
    queue->Ask("throws");
    ASSERT_TRUE(player.Ended(1));
    Play("bell", 2);
    player.Finish();
    EXPECT_EQ(player.EndedCues(), (Names{"throws", "bell"}));
}

}  // namespace
