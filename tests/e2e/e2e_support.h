// The real window with its real Qt controls and the real window logic, on a configuration file in
// a private folder that stands for the program's own; sound, browser and screen saver recorded.
#pragma once

#include <QCoreApplication>
#include <QPushButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <set>
#include <thread>

#include "app/FormWiring.h"
#include "platform/posix/IconvCodec.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/qt_test_folder.h"
#include "support/FakeControls.h"

namespace e2e {

using Setting = std::pair<std::string, std::string>;

// The home page's bar: 13 buttons and 7 gaps.
inline const std::vector<std::string> kHomeBar = {
    "正", "反方一辩发言", "", "正", "反二选择反二、三", "", "正", "反三选择反二、三", "",
    "正", "反一辩攻辩小结", "", "自由辩论", "", "反", "正方四辩总结陈词", "",
    "关于", "", "退出"};
inline const std::vector<std::string> kDurationKeys = {
    "Stage1Timer1", "Stage2Timer1", "Stage3Timer1", "Stage3Timer2", "Stage4Timer1", "Stage4Timer2",
    "Stage5Timer1", "Stage5Timer2", "Stage6Timer1", "Stage6Timer2", "Stage7Timer1", "Stage8Timer1",
    "Stage9Timer1", "Stage9Timer2", "Stage10Timer1", "Stage11Timer1"};

// What the window needs, the durations in `oneSecond` one second and the others none, then `more`.
inline std::vector<Setting> StandardSettings(const std::set<std::string>& oneSecond = {},
                                             const std::vector<Setting>& more = {}) {
    std::vector<Setting> settings = {{"ApplicationTitle", "华语辩论赛"}, {"Sound30Seconds", "sounds/cue30.wav"},
                                     {"Sound0Seconds", "sounds/cue0.wav"}, {"ButtonPadding", "18"},
                                     {"SeparatorWidth", "12"}};
    for (const std::string& key : kDurationKeys) settings.emplace_back(key, oneSecond.count(key) != 0 ? "1" : "0");
    settings.insert(settings.end(), more.begin(), more.end());
    return settings;
}

// The file as the program writes it: the header, then "key = value" lines (under the Tolvanexa
// namespace unless the key names its own), CR LF, GBK.
inline std::string NormalisedConfig(const std::vector<Setting>& settings) {
    std::string file = "#TarvelMonic Config File#\r\n";
    for (const auto& [key, value] : settings)
        file += (key[0] == '<' ? key : "<Tolvanexa>\\" + key) + " = " + value + "\r\n";
    return platform::IconvCodec().Utf8ToGbk(file).value();
}

// The home page names some stages by the button right of theirs ("正", "反").
constexpr int kLeftOf = -1;

struct RealWindow final {
    // Loads the window on `Tolvanexa.config` in `folder` and shows it.
    explicit RealWindow(const std::string& folder)
        : files(platform::ExecutableLocation{folder, "Tolvanexa"}), form(folder) {
        window.Form_Load();
        form.window.show();
        QCoreApplication::processEvents();
    }

    std::vector<std::string> Captions() {
        std::vector<std::string> captions;
        for (int i = 0; i <= form.cmdCommand.UBound(); ++i) captions.push_back(form.cmdCommand[i].Caption());
        return captions;
    }
    void Click(const std::string& caption, int offset = 0) {
        const std::vector<std::string> captions = Captions();
        const auto found = std::find(captions.begin(), captions.end(), caption);
        ASSERT_NE(found, captions.end()) << "no bar button captioned " << caption;
        QPushButton* button = form.cmdCommand.Member(static_cast<int>(found - captions.begin()) + offset).Widget();
        button->click();
    }

    platform::PosixFileSystem files;
    platform::IconvCodec codec;
    platform::QtForm form;
    testsupport::FakeSound sound;
    testsupport::FakeBrowser browser;
    testsupport::FakeDisplaySleep displaySleep;
    frmMain window{WireForm(form, sound, browser, displaySleep, files, codec)};
};

// Runs the event loop until `done` holds; false when ten seconds pass first.
inline bool RunUntil(const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done() && std::chrono::steady_clock::now() < end) {
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return done();
}

}  // namespace e2e
