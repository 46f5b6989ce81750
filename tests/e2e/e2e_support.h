// The real window with its real Qt controls and the real window logic, on a
// configuration file in a private folder that stands for the program's own.
// Sound, browser and screen saver are recorded instead of played or opened.
#pragma once

#include <QPushButton>

#include <chrono>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/posix/IconvCodec.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/qt/QtForm.h"
#include "platform/qt_test_folder.h"
#include "support/FakeControls.h"
#include "window/frmMain.h"

namespace e2e {

using Setting = std::pair<std::string, std::string>;

// The file as the program writes it: the header, then "key = value" lines
// under the Tolvanexa namespace, each ended by CR LF, in GBK.
std::string NormalisedConfig(const std::vector<Setting>& settings);

// Every key a working installation needs, with the durations given.
std::vector<Setting> StandardSettings(const std::vector<Setting>& durations);

class RealWindow final {
public:
    // Loads the window on `Tolvanexa.config` in `folder` and shows it.
    explicit RealWindow(const qttest::TestFolder& folder);
    ~RealWindow();

    // The visible bar button with this caption; fails the test if there is none or several.
    QPushButton* Button(const std::string& caption);
    void Click(const std::string& caption);
    // The button left of the one named `neighbour`: the home page's "正" and "反".
    void ClickLeftOf(const std::string& neighbour, const std::string& expected);
    std::vector<std::string> Captions();

    platform::PosixFileSystem files;
    platform::IconvCodec codec;
    platform::QtForm form;
    testsupport::FakeSound sound;
    testsupport::FakeBrowser browser;
    testsupport::FakeDisplaySleep displaySleep;
    frmMain window;
};

// Runs the event loop until `done` holds; false when `limit` passes first.
bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(10));

}  // namespace e2e
