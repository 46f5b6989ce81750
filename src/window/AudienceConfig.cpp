#include "window/AudienceConfig.h"

#include <cmath>

#include "window/SettingError.h"
#include "window/basConvert.h"

namespace {

// More screens than any hall connects; a number above it is a typing slip.
constexpr double kMostScreens = 64;

platform::FontAttributes Face(const clsConfigFile& config, const std::string& prefix) {
    platform::FontAttributes face;
    face.name = config.Item(prefix + "Font");
    face.bold = basConvert::ParseTruth(config.Item(prefix + "FontBold")).value_or(false);
    face.italic = basConvert::ParseTruth(config.Item(prefix + "FontItalic")).value_or(false);
    return face;
}

}  // namespace

AudienceConfig ReadAudienceConfig(const clsConfigFile& config) {
    AudienceConfig read;
    platform::AudienceSettings& settings = read.settings;
    read.path = config.Path();
    settings.timerFont = Face(config, "Timer");
    settings.captionFont = Face(config, "Caption");
    settings.background = config.Item("AudienceBackground");

    const std::string screen = config.Item("AudienceScreen");
    if (screen.find_first_not_of(" \t") != std::string::npos) {
        const auto number = basConvert::ParseNumber(screen);
        if (number && *number >= 0 && *number <= kMostScreens && std::floor(*number) == *number) {
            settings.screen = static_cast<int>(*number);
        } else {
            read.problems.push_back(AudienceMessages::BadValue(read.path, "AudienceScreen", screen,
                                                               "不是屏幕的编号（0 为自动选择，1、2……为从左到右数的第几个屏幕）",
                                                               "观众屏幕将自动选择屏幕"));
        }
    }
    return read;
}

namespace AudienceMessages {

std::string BadValue(const std::string& path, const std::string& key, const std::string& value,
                     const std::string& fault, const std::string& instead) {
    return "配置文件“" + path + "”中的设置“" + key + "”的值“" + QuoteValue(value) + "”" + fault + "；" + instead + "。";
}

std::string NoSuchScreen(const AudienceConfig& config, int screens) {
    return BadValue(config.path, "AudienceScreen", std::to_string(config.settings.screen),
                    "超出了已连接的屏幕数（" + std::to_string(screens) + " 个）", "观众屏幕已自动选择屏幕");
}

std::string BadPicture(const std::string& path, const std::string& key, const std::string& written,
                       platform::PictureFault fault, const std::string& instead) {
    std::string why;
    switch (fault) {
        case platform::PictureFault::None: return {};
        case platform::PictureFault::Missing: why = "所指的文件不存在或不是普通文件"; break;
        case platform::PictureFault::NotRegular: why = "所指的是管道或设备而不是普通文件，程序没有打开它"; break;
        case platform::PictureFault::TooLarge:
            why = "所指的图片宽或高超过 " + std::to_string(platform::kLargestPictureSide) + " 像素";
            break;
        case platform::PictureFault::OverBudget:
            why = "所指的图片太大：要按原尺寸整张解码，需要的内存超过程序为一张图片留出的 " +
                  std::to_string(platform::kPictureBudgetBytes >> 20) + " MB（约 1600 万像素），请缩小后再用";
            break;
        case platform::PictureFault::Unreadable: why = "所指的文件不是完整的图片（BMP、GIF、JPEG 或 PNG）"; break;
        case platform::PictureFault::Unopenable: why = "所指的文件无法打开（没有读取权限，或被别的程序占用）"; break;
    }
    return BadValue(path, key, written, why, instead);
}

std::string BadBackground(const AudienceConfig& config, platform::PictureFault fault) {
    return BadPicture(config.path, "AudienceBackground", config.settings.background, fault, "观众屏幕不显示背景图片");
}

}  // namespace AudienceMessages
