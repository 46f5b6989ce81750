#include "window/CueReport.h"

#include <cmath>
#include <cstdio>

#include "window/SettingError.h"

namespace {

using platform::CueFault;

constexpr const char* kInstead = "，届时将改为播放内置的短提示音。";

// What the cue is for, as the time-keeper knows it.
std::string Purpose(const std::string& key) {
    if (key == "Sound30Seconds") return "（剩余 30 秒的提示音）";
    if (key == "Sound0Seconds") return "（时间到的提示音）";
    return {};
}

std::string Length(double seconds) {
    char text[64];
    if (seconds < 60) {
        std::snprintf(text, sizeof text, "%.1f 秒", seconds);
    } else {
        const long whole = std::lround(seconds);
        std::snprintf(text, sizeof text, "%ld 分 %ld 秒", whole / 60, whole % 60);
    }
    return text;
}

std::string Consequence(const platform::CueCheck& check) {
    const std::string file = "“" + check.path + "”";
    switch (check.fault) {
        case CueFault::None: return {};
        case CueFault::Missing: return "找不到文件" + file + kInstead;
        case CueFault::NotAFile: return file + "不是普通文件（是文件夹、管道或设备），不会打开它" + kInstead;
        case CueFault::Unplayable: return "文件" + file + "无法作为声音播放" + kInstead;
        case CueFault::UnsupportedFormat: return "文件" + file + "的声音格式本程序不支持" + kInstead;
        case CueFault::TooLong: {
            char longest[32];
            std::snprintf(longest, sizeof longest, "%g", platform::CueQueue::kLongestCueSeconds);
            return "文件" + file + "长 " + Length(check.seconds) + "，提示音最多播放 " + longest +
                   " 秒，之后的部分将被截去。";
        }
    }
    return {};
}

}  // namespace

std::string DescribeCueFault(const std::string& key, const std::string& value, const platform::CueCheck& check) {
    const std::string consequence = Consequence(check);
    if (consequence.empty()) return {};
    return "“" + key + "”" + Purpose(key) + "的值“" + QuoteValue(value) + "”：" + consequence;
}

std::string ReportCueSettings(platform::CueQueue& cues, const std::string& configPath,
                              const std::vector<std::pair<std::string, std::string>>& settings) {
    std::string lines;
    for (const auto& [key, value] : settings) {
        if (value.empty()) continue;
        const std::string line = DescribeCueFault(key, value, cues.Check(value));
        if (!line.empty()) lines += "  " + line + "\n";
    }
    if (lines.empty()) return {};
    return "配置文件“" + configPath + "”中的提示音设置有以下问题：\n" + lines +
           "如需更换提示音，请修改配置文件后重新启动程序。";
}
