// A window on fakes, its controls at their design sizes, on an in-memory GBK configuration file.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

#include "support/Codec.h"
#include "support/ConfigText.h"
#include "support/FakeControls.h"
#include "support/MemoryFileSystem.h"
#include "window/StageTable.h"
#include "window/frmMain.h"

namespace testsupport {

using platform::Key;
inline const std::string kConfigPath = "/opt/Tolvanexa/Tolvanexa.config";

// Every test starts on the home page of a working installation.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override { Load(); }
    // Starts the window (every duration three minutes) with `changes` made and `damage` appended to the file.
    void Load(const std::map<std::string, std::string>& changes = {}, const std::string& damage = "") {
        std::map<std::string, std::string> settings{{"ApplicationTitle", "校际辩论赛"}, {"ButtonPadding", "10"},
            {"SeparatorWidth", "20"}, {"Sound0Seconds", "zero.wav"}, {"Sound30Seconds", "thirty.wav"}};
        for (const char* key : DurationKeys()) settings[key] = "180";
        for (const auto& [key, value] : changes) settings[key] = value;
        form.reset();  // a window already loaded saves its file first
        files.files[kConfigPath] = NormalisedConfig({settings.begin(), settings.end()}) + damage;
        Open();
    }
    // Starts the window on whatever the file system holds.
    void Open() {
        form.reset();
        tmrTime.enabled = true;
        sound.watched = {&lblTimer1};
        form = std::make_unique<frmMain>(FormControls{window, tmrTimer2, tmrTimer1, tmrTime, cmdTime, cmdCommand,
                                                      lblTimer1Desc, lblTimer2Desc, lblTimer2, lblTimer1, lblCaption,
                                                      clock, *cues, browser, displaySleep, errors, files, codec,
                                                      audience, recorder});
        form->readFrontEndSettings = frontEndSettings;
        form->Form_Load();
    }
    std::string Bar() const { return cmdCommand.Captions(); }
    // Which countdowns tick: "1", "2", "12" or "", now or after a click.
    std::string Running() const { return std::string(tmrTimer1.enabled ? "1" : "") + (tmrTimer2.enabled ? "2" : ""); }
    std::string After(const std::string& caption) { Click(caption); return Running(); }
    FakeButton& Button(int index) { return cmdCommand.Member(index); }
    // Clicks the first bar button with this caption that the user could click.
    void Click(const std::string& caption) {
        for (const auto& [index, button] : cmdCommand.Members())
            if (button->caption == caption && button->visible && button->enabled) return cmdCommand.Click(index);
        FAIL() << "no button \"" << caption << "\" to click on the bar " << Bar();
    }

    MemoryFileSystem files;
    const platform::TextCodec& codec = GbkCodec();
    FakeWindow window;
    FakeTimer tmrTimer2, tmrTimer1, tmrTime;
    FakeButton cmdTime{"XX:XX:XX", 0, 0, 1215, 495};
    FakeButtonArray cmdCommand;
    FakeLabel lblTimer1Desc{"", 72, 360, 2520, 4320, 1455}, lblTimer2Desc{"", 72, 480, 3960, 4320, 1455};
    FakeLabel lblTimer2{"", 72, 4320, 3960, 3615, 1455}, lblTimer1{"", 72, 4200, 2520, 3615, 1455};
    FakeLabel lblCaption{"", 60, 480, 480, 4200, 1200};
    FakeClock clock;
    FakeSound sound;
    platform::CueQueue* cues = &sound;  // the queue the window is loaded with
    FakeBrowser browser;
    FakeDisplaySleep displaySleep;
    FakeErrorSink errors;
    // What a front end finds unusable among the settings it reads itself.
    std::function<std::vector<std::string>(const clsConfigFile&)> frontEndSettings;
    FakeAudienceView audience;
    FakeRecorder recorder;
    std::unique_ptr<frmMain> form;
};

}  // namespace testsupport
