// Which key does what in the main window and the audience view, the same on both editions.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/KeyPolicy.h"

namespace {

using platform::AudienceKeyEffect;
using platform::Key;
using platform::KeyName;
using platform::KeyStroke;

constexpr KeyStroke Press(KeyName name) { return {name, true, false, false}; }
constexpr KeyStroke Repeat(KeyName name) { return {name, true, true, false}; }
constexpr KeyStroke Release(KeyName name) { return {name, false, false, false}; }

class MainKeys : public testing::Test {
protected:
    // Routes each stroke; answers which were taken ("T") or passed on ("-"), and records what was done.
    std::string Route(std::initializer_list<KeyStroke> strokes, platform::KeySituation situation = {}) {
        std::string taken;
        for (const KeyStroke& stroke : strokes) taken += keys.Route(stroke, situation, hooks) ? "T" : "-";
        return taken;
    }
    platform::MainWindowKeys keys;
    std::vector<std::string> done;
    bool pressesAButton = true;  // what the logic answers
    platform::KeyHooks hooks{
        [this](Key key) { return done.push_back("logic " + std::to_string(static_cast<int>(key))), pressesAButton; },
        [this] { done.push_back("summary"); }, [this] { done.push_back("full screen"); },
        [this] { done.push_back("leave full screen"); }, [this] { done.push_back("audience"); },
        [this] { done.push_back("close audience"); }, [this] { return done.push_back("focused"), true; }};
};

// A held F2 opened a summary for every repeat; F5 toggled the view on and off several times a second.
TEST_F(MainKeys, ViewKeysActOncePerPressAndTakeTheirRepeatsAndRelease) {
    for (KeyName name : {KeyName::F2, KeyName::F5, KeyName::F11}) {
        EXPECT_EQ(Route({Press(name), Repeat(name), Repeat(name), Release(name)}), "TTTT");
    }
    EXPECT_EQ(done, (std::vector<std::string>{"summary", "audience", "full screen"}));
}

// Esc ends the show first, then full screen; otherwise it is the focused control's.
TEST_F(MainKeys, EscapeClosesTheAudienceViewBeforeLeavingFullScreen) {
    EXPECT_EQ(Route({Press(KeyName::Escape)}, {true, true}), "T");
    EXPECT_EQ(Route({Press(KeyName::Escape)}, {true, false}), "T");
    EXPECT_EQ(Route({Press(KeyName::Escape)}, {false, false}), "-");
    EXPECT_EQ(done, (std::vector<std::string>{"close audience", "leave full screen"}));
}

// A button that saw only the release of a taken Space counted it as a click; a held Space toggled pause.
TEST_F(MainKeys, ALogicKeyThatPressedAButtonIsTakenUntilItsRelease) {
    EXPECT_EQ(Route({Press(KeyName::Space), Repeat(KeyName::Space), Release(KeyName::Space)}), "TTT");
    // Qt repeats a held key as release-and-press pairs, both marked repeated: the key stays taken.
    EXPECT_EQ(Route({Press(KeyName::R), KeyStroke{KeyName::R, false, true, false}, Repeat(KeyName::R),
                     Release(KeyName::R), Release(KeyName::R)}),
              "TTTT-");
    EXPECT_EQ(done.size(), 2u);  // one press each
    pressesAButton = false;  // nothing to press on this page: the focused button gets the key, and its release
    EXPECT_EQ(Route({Press(KeyName::Space), Repeat(KeyName::Space), Release(KeyName::Space)}), "---");
}

// Tab, then Enter, presses a bar button on both editions; Enter the logic takes is not pressed twice.
TEST_F(MainKeys, EnterThatPressesNothingOfTheLogicsPressesTheFocusedButton) {
    EXPECT_EQ(Route({Press(KeyName::Enter), Release(KeyName::Enter)}), "TT");
    pressesAButton = false;
    EXPECT_EQ(Route({Press(KeyName::Enter), Release(KeyName::Enter)}), "TT");
    EXPECT_EQ(done, (std::vector<std::string>{"logic 1", "logic 1", "focused"}));
}

TEST_F(MainKeys, KeysWithCtrlOrAltAndOtherKeysAreNotTheLogics) {
    EXPECT_EQ(Route({KeyStroke{KeyName::R, true, false, true}, Press(KeyName::Other), Release(KeyName::Other)}), "---");
    EXPECT_TRUE(done.empty());
}

TEST(AudienceViewKeys, F5AndEscCloseItF11IsIgnoredTheRestGoToTheMainWindow) {
    EXPECT_EQ(platform::AudienceViewKey(Press(KeyName::F5)), AudienceKeyEffect::Close);
    EXPECT_EQ(platform::AudienceViewKey(Press(KeyName::Escape)), AudienceKeyEffect::Close);
    EXPECT_EQ(platform::AudienceViewKey(Repeat(KeyName::Escape)), AudienceKeyEffect::Ignore);
    EXPECT_EQ(platform::AudienceViewKey(Release(KeyName::F5)), AudienceKeyEffect::Ignore);
    EXPECT_EQ(platform::AudienceViewKey(Press(KeyName::F11)), AudienceKeyEffect::Ignore);
    EXPECT_EQ(platform::AudienceViewKey(Press(KeyName::Space)), AudienceKeyEffect::Forward);
}

}  // namespace
