// Reads the audience view's settings from the configuration: the screen, the
// background picture and the faces it shares with the main window.
#pragma once

#include <string>
#include <vector>

#include "config/clsConfigFile.h"
#include "platform/AudienceSettings.h"

struct AudienceConfig {
    platform::AudienceSettings settings;
    std::string path;  // the configuration file, named in every message about these settings
    // A sentence for each setting that could not be used, naming the file,
    // the setting and its value; the automatic choice stands in for it.
    std::vector<std::string> problems;
};

AudienceConfig ReadAudienceConfig(const clsConfigFile& config);

// The sentences about the audience view's settings, named in the time-keeper's words.
namespace AudienceMessages {

// "配置文件“…”中的设置“Key”的值“…”" and what is wrong with it, and what the view does instead.
std::string BadValue(const std::string& path, const std::string& key, const std::string& value,
                     const std::string& fault, const std::string& instead);

// The configured screen number names no screen among the `screens` connected.
std::string NoSuchScreen(const AudienceConfig& config, int screens);

// The picture the setting `key` names (`written`) is not shown, for `fault`;
// `instead` says what the window shows in its place. Empty for None.
std::string BadPicture(const std::string& path, const std::string& key, const std::string& written,
                       platform::PictureFault fault, const std::string& instead);

// The configured background picture is not shown, for `fault`.
std::string BadBackground(const AudienceConfig& config, platform::PictureFault fault);

}  // namespace AudienceMessages
