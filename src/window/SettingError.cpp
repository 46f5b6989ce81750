#include "window/SettingError.h"

#include "window/basConvert.h"

namespace {

std::string Compose(const std::string& path, const std::string& key, const std::string& value, SettingFault fault) {
    const std::string file = "配置文件“" + path + "”中";
    if (fault == SettingFault::Missing) return file + "缺少设置“" + key + "”或其值为空。";
    return file + "的设置“" + key + "”" + DescribeSettingFault(fault, value) + "。";
}

// Bytes in a UTF-8 sequence that starts with `lead`.
std::size_t SequenceLength(unsigned char lead) {
    if (lead >= 0xF0) return 4;
    if (lead >= 0xE0) return 3;
    if (lead >= 0xC0) return 2;
    return 1;
}

}  // namespace

SettingError::SettingError(const std::string& path, std::string key, std::string value, SettingFault fault)
    : std::runtime_error(Compose(path, key, value, fault)),
      mKey(std::move(key)),
      mValue(std::move(value)),
      mFault(fault) {}

std::string DescribeSettingFault(SettingFault fault, const std::string& value) {
    switch (fault) {
        case SettingFault::Missing: return "缺少设置或值为空";
        case SettingFault::NotANumber: return "的值“" + QuoteValue(value) + "”不是有效的数字";
        case SettingFault::OutOfRange: return "的值“" + QuoteValue(value) + "”超出范围";
        case SettingFault::Negative: return "的值“" + QuoteValue(value) + "”是负数";
    }
    return {};
}

std::string QuoteValue(const std::string& value) {
    constexpr std::size_t kMostCharacters = 40;
    std::size_t at = 0;
    for (std::size_t count = 0; at < value.size(); ++count) {
        if (count == kMostCharacters) return value.substr(0, at) + "…";
        at += SequenceLength(static_cast<unsigned char>(value[at]));
    }
    return value;
}

namespace WindowSettings {
namespace {

constexpr double kTwipsPerPixel = 15;

double Number(const clsConfigFile& config, const std::string& key, const std::string& value) {
    if (value.find_first_not_of(" \t") == std::string::npos)
        throw SettingError(config.Path(), key, value, SettingFault::Missing);
    const auto number = basConvert::ParseNumber(value);
    if (!number) throw SettingError(config.Path(), key, value, SettingFault::NotANumber);
    return *number;
}

}  // namespace

double PixelsAsTwips(const clsConfigFile& config, const std::string& key) {
    const std::string value = config.Item(key);
    const double twips = Number(config, key, value) * kTwipsPerPixel;
    // A negative size would shrink the bar's buttons to slivers.
    if (twips < 0) throw SettingError(config.Path(), key, value, SettingFault::Negative);
    if (twips > basConvert::kInt16Max)
        throw SettingError(config.Path(), key, value, SettingFault::OutOfRange);
    return twips;
}

std::int16_t Seconds(const clsConfigFile& config, const std::string& key) {
    const std::string value = config.Item(key);
    const auto seconds = basConvert::TryRoundInt16(Number(config, key, value));
    if (!seconds) throw SettingError(config.Path(), key, value, SettingFault::OutOfRange);
    // A countdown loaded below zero would count on in overtime and never ring.
    if (*seconds < 0) throw SettingError(config.Path(), key, value, SettingFault::Negative);
    return *seconds;
}

double ButtonPaddingTwips(const clsConfigFile& config) {
    try {
        return PixelsAsTwips(config, "ButtonPadding");
    } catch (const SettingError&) {
        return kBuiltInButtonPadding * kTwipsPerPixel;
    }
}

double SeparatorWidthTwips(const clsConfigFile& config) {
    try {
        return PixelsAsTwips(config, "SeparatorWidth");
    } catch (const SettingError&) {
        return kBuiltInSeparatorWidth * kTwipsPerPixel;
    }
}

std::int16_t StageSeconds(const clsConfigFile& config, const CountdownEntry& countdown) {
    try {
        return Seconds(config, countdown.key);
    } catch (const SettingError&) {
        return countdown.builtInSeconds;
    }
}

}  // namespace WindowSettings
