// The timer window's logic: start-up, layout, button bar, pages, dispatch,
// clock and the two countdowns. It owns no control; it drives the ones it is
// given through the platform interfaces.
// (Skeleton of the public face; the window's author fills in the rest.)
#pragma once

#include <memory>
#include <string>

#include "config/clsConfigFile.h"
#include "platform/Controls.h"
#include "platform/FileSystem.h"
#include "platform/Window.h"

// Everything the window works through, created by the application (real
// adapters) or by a test (fakes), in the window's control order.
struct FormControls {
    platform::Window& window;
    platform::Timer& tmrTimer2;
    platform::Timer& tmrTimer1;
    platform::Timer& tmrTime;
    platform::Button& cmdTime;
    platform::ButtonArray& cmdCommand;
    platform::Label& lblTimer1Desc;
    platform::Label& lblTimer2Desc;
    platform::Label& lblTimer2;
    platform::Label& lblTimer1;
    platform::Label& lblCaption;
    platform::Clock& clock;
    platform::Sound& sound;
    platform::Browser& browser;
    platform::DisplaySleep& displaySleep;
    platform::ErrorSink& errors;
    platform::FileSystem& files;
    const platform::TextCodec& codec;
};

class frmMain {
public:
    // Connects the controls' events to the handlers below; does not load anything.
    explicit frmMain(FormControls controls);
    ~frmMain();

    // Start-up. Throws when the configuration file cannot be created or written
    // (the caller reports it and ends the program).
    void Form_Load();
    // The window has closed: saves the configuration, reporting a failure.
    void Form_Unload();
};
