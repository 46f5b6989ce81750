// Hands the audience view its settings once the window has loaded the file,
// whichever front end paints the view. The program does it at start-up;
// tests and measurements do the same.
#pragma once

#include <string>
#include <vector>

#include "platform/Window.h"
#include "window/AudienceConfig.h"
#include "window/frmMain.h"

// Whatever of the view's settings cannot be used is told in one message; a
// configured screen that is not there when the view opens, once more.
template <class View>
void ConfigureAudience(frmMain& window, View& audience, platform::ErrorSink& errors) {
    const AudienceConfig config = ReadAudienceConfig(window.Config());
    std::vector<std::string> problems = config.problems;
    const platform::PictureFault fault = audience.Configure(config.settings);
    if (fault != platform::PictureFault::None) problems.push_back(AudienceMessages::BadBackground(config, fault));
    std::string message;
    for (const std::string& problem : problems) message += (message.empty() ? "" : "\n") + problem;
    if (!message.empty()) errors.Show(message);
    audience.onScreenNumberUnknown = [config, &errors](int screens) {
        errors.Show(AudienceMessages::NoSuchScreen(config, screens));
    };
}
