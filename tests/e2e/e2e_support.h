// The real window on real Qt controls and a configuration file in a private folder; sound and the rest recorded.
#pragma once

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "app/FormWiring.h"
#include "platform/posix/PosixIconvCodec.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/qt/QtForm.h"
#include "support/ConfigText.h"
#include "support/FakeControls.h"
#include "support/TestFolder.h"

namespace e2e {

using testsupport::NormalisedConfig;
using testsupport::Setting;

// Runs the event loop until `done` holds; false when ten seconds pass first.
template <class Done>
bool RunUntil(const Done& done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done() && std::chrono::steady_clock::now() < end) {
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return done();
}

struct RealWindow final {
    // Loads the window on `Tolvanexa.config` in `folder` and shows it.
    explicit RealWindow(const std::string& folder)
        : files(platform::ExecutableLocation{folder, "Tolvanexa"}), form(folder) {
        window.Form_Load();
        form.window.show();
        QCoreApplication::processEvents();
    }

    platform::PosixFileSystem files;
    platform::IconvCodec codec;
    platform::QtForm form;
    testsupport::FakeSound sound;
    testsupport::FakeBrowser browser;
    testsupport::FakeDisplaySleep displaySleep;
    testsupport::FakeAudienceView audience;
    testsupport::FakeRecorder recorder;
    frmMain window{WireForm(form, sound, browser, displaySleep, files, codec, audience, recorder)};
};

}  // namespace e2e
