// The cue queue's order: one cue at a time in the order asked, one waiting at
// most, the newest request winning, drops, the stop at closing and the longest
// cue. The player is a fake that holds each cue until the test lets it end.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "platform/CueScheduler.h"
#include "support/HeldPlayer.h"

namespace {

using namespace std::chrono_literals;
using testsupport::HeldPlayer;

using Names = std::vector<std::string>;

TEST(CueScheduler, PlaysInOrderWithTheNewestRequestWaiting) {
    HeldPlayer player;
    platform::CueScheduler queue(player.Player());
    queue.Ask("chime");
    ASSERT_TRUE(player.Started(1));
    // Asked while the chime plays: each replaces the one waiting before it.
    queue.Ask("bell");
    queue.Ask("chime again");
    EXPECT_EQ(player.StartedCues(), Names{"chime"});
    player.Finish();
    ASSERT_TRUE(player.Started(2));
    player.Finish();
    EXPECT_EQ(player.EndedCues(), (Names{"chime", "chime again"}));
    // Nothing was left waiting: the next request plays at once.
    queue.Ask("bell");
    ASSERT_TRUE(player.Started(3));
    player.Finish();
    EXPECT_EQ(player.StartedCues(), (Names{"chime", "chime again", "bell"}));
}

TEST(CueScheduler, DropForgetsTheWaitingCueAndLetsThePlayingOneFinish) {
    HeldPlayer player;
    platform::CueScheduler queue(player.Player());
    queue.Ask("chime");
    ASSERT_TRUE(player.Started(1));
    queue.Ask("bell");
    queue.DropWaiting();
    player.Finish();
    // Cues play in order: had the bell still waited, it would come before this one.
    queue.Ask("next page's chime");
    ASSERT_TRUE(player.Started(2));
    player.Finish();
    EXPECT_EQ(player.EndedCues(), (Names{"chime", "next page's chime"}));
}

TEST(CueScheduler, StopAllEndsThePlayingCueAndRefusesTheRest) {
    HeldPlayer player;
    {
        platform::CueScheduler queue(player.Player());
        queue.Ask("endless");
        ASSERT_TRUE(player.Started(1));
        queue.Ask("bell");
        queue.StopAll();
        ASSERT_TRUE(player.Ended(1));
        queue.Ask("chime");
    }  // returns only once the player has
    EXPECT_EQ(player.StartedCues(), Names{"endless"});
    EXPECT_EQ(player.EndedCues(), Names{"endless stopped"});
}

// Closing the program with a cue playing neither waits for the cue nor leaves it playing.
TEST(CueScheduler, ClosingStopsThePlayingCue) {
    HeldPlayer player;
    {
        platform::CueScheduler queue(player.Player());
        queue.Ask("endless");
        ASSERT_TRUE(player.Started(1));
    }
    EXPECT_EQ(player.EndedCues(), Names{"endless stopped"});
}

// A file that plays for hours is cut; the cue after it then plays.
TEST(CueScheduler, CutsACueAtTheLongestAndPlaysTheNext) {
    HeldPlayer player;
    platform::CueScheduler queue(player.Player(), 20ms);
    queue.Ask("endless");
    ASSERT_TRUE(player.Started(1));
    queue.Ask("bell");
    ASSERT_TRUE(player.Started(2));
    player.Finish();
    EXPECT_EQ(player.EndedCues(), (Names{"endless stopped", "bell"}));
    EXPECT_EQ(platform::CueScheduler::LongestCue(), 10s);
}

TEST(CueScheduler, ACueThatFailsLosesOnlyItself) {
    HeldPlayer player;
    platform::CueScheduler queue(player.Player());
    queue.Ask("throws");
    ASSERT_TRUE(player.Ended(1));
    queue.Ask("bell");
    ASSERT_TRUE(player.Started(2));
    player.Finish();
    EXPECT_EQ(player.EndedCues(), (Names{"throws", "bell"}));
}

}  // namespace
