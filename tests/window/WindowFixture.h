// A window on fakes: the controls in their design state, an in-memory
// configuration file in GBK, and helpers to load the window and drive it.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/posix/IconvCodec.h"
#include "support/FakeControls.h"
#include "support/MemoryFileSystem.h"
#include "window/frmMain.h"

namespace testsupport {

using Settings = std::vector<std::pair<std::string, std::string>>;

// A working installation: every numeric setting present, short cue names.
Settings StandardSettings();
// `settings` with `key` set to `value` (added when absent).
Settings With(Settings settings, const std::string& key, const std::string& value);
// `settings` without `key`.
Settings Without(Settings settings, const std::string& key);

platform::FontAttributes DesignFont(double size);

class WindowTest : public ::testing::Test {
protected:
    // Writes the configuration file the window will find, in GBK.
    void WriteConfig(const Settings& settings);
    // Writes the file, creates the window and runs its start-up.
    void Load(const Settings& settings = StandardSettings());
    FormControls Controls();

    // Shorthands for what the time-keeper sees.
    std::string Bar() const { return cmdCommand.Captions(); }
    FakeButton& Button(int index) { return cmdCommand.At(index); }
    // Clicks the bar's button with this caption (the first one).
    void Click(const std::string& caption);
    // Ticks countdown 1 (or 2) `count` times, through the platform's event.
    void Tick1(int count = 1);
    void Tick2(int count = 1);

    MemoryFileSystem files;
    platform::IconvCodec codec;
    FakeWindow window;
    FakeTimer tmrTimer2;
    FakeTimer tmrTimer1;
    FakeTimer tmrTime;
    FakeButton cmdTime{"XX:XX:XX", 8280, 4440, 1215, 495};
    FakeButtonArray cmdCommand;
    FakeLabel lblTimer1Desc{"timer1", DesignFont(72), 360, 2520, 4320, 1455};
    FakeLabel lblTimer2Desc{"timer2", DesignFont(72), 480, 3960, 4320, 1455};
    FakeLabel lblTimer2{"00:00", DesignFont(72), 4320, 3960, 3615, 1455};
    FakeLabel lblTimer1{"00:00", DesignFont(72), 4200, 2520, 3615, 1455};
    FakeLabel lblCaption{"Caption", DesignFont(60), 480, 480, 4200, 1200};
    FakeClock clock;
    FakeSound sound;
    FakeBrowser browser;
    FakeDisplaySleep displaySleep;
    FakeErrorSink errors;
    std::unique_ptr<frmMain> form;
};

}  // namespace testsupport
