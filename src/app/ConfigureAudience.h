// Hands the audience view its settings as the window loads the file,
// whichever front end paints the view. The program does it at start-up;
// tests and measurements do the same.
#pragma once

#include <string>
#include <vector>

#include "platform/Window.h"
#include "window/AudienceConfig.h"
#include "window/frmMain.h"

// Call before Form_Load. Whatever of the view's settings cannot be used joins
// the window's one start-up message; a configured screen that is not there
// when the view opens is told once more, then.
template <class View>
void ConfigureAudience(frmMain& window, View& audience, platform::ErrorSink& errors) {
    window.readFrontEndSettings = [&audience, &errors](const clsConfigFile& file) {
        const AudienceConfig config = ReadAudienceConfig(file);
        std::vector<std::string> problems = config.problems;
        const platform::PictureFault fault = audience.Configure(config.settings);
        if (fault != platform::PictureFault::None) problems.push_back(AudienceMessages::BadBackground(config, fault));
        audience.onScreenNumberUnknown = [config, &errors](int screens) {
            errors.Show(AudienceMessages::NoSuchScreen(config, screens));
        };
        return problems;
    };
}
