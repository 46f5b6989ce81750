#include "window/SettingError.h"

#include <optional>

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

// A setting's value as a number, or what is wrong with it. Sizes are asked at
// every clock tick, so a bad value is judged without an exception each second.
std::optional<SettingFault> Number(const std::string& value, double& number) {
    if (value.find_first_not_of(" \t") == std::string::npos) return SettingFault::Missing;
    const auto parsed = basConvert::ParseNumber(value);
    if (!parsed) return SettingFault::NotANumber;
    number = *parsed;
    return std::nullopt;
}

std::optional<SettingFault> Pixels(const std::string& value, double& twips) {
    if (const auto fault = Number(value, twips)) return fault;
    twips *= kTwipsPerPixel;
    // A negative size would shrink the bar's buttons to slivers.
    if (twips < 0) return SettingFault::Negative;
    if (twips > basConvert::kInt16Max) return SettingFault::OutOfRange;
    return std::nullopt;
}

double PixelsOrBuiltIn(const clsConfigFile& config, const std::string& key, double builtInPixels) {
    double twips = 0;
    return Pixels(config.Item(key), twips) ? builtInPixels * kTwipsPerPixel : twips;
}

}  // namespace

double PixelsAsTwips(const clsConfigFile& config, const std::string& key) {
    const std::string value = config.Item(key);
    double twips = 0;
    if (const auto fault = Pixels(value, twips)) throw SettingError(config.Path(), key, value, *fault);
    return twips;
}

std::int16_t Seconds(const clsConfigFile& config, const std::string& key) {
    const std::string value = config.Item(key);
    double number = 0;
    if (const auto fault = Number(value, number)) throw SettingError(config.Path(), key, value, *fault);
    const auto seconds = basConvert::TryRoundInt16(number);
    if (!seconds) throw SettingError(config.Path(), key, value, SettingFault::OutOfRange);
    // A countdown loaded below zero would count on in overtime and never ring.
    if (*seconds < 0) throw SettingError(config.Path(), key, value, SettingFault::Negative);
    return *seconds;
}

double ButtonPaddingTwips(const clsConfigFile& config) {
    return PixelsOrBuiltIn(config, "ButtonPadding", kBuiltInButtonPadding);
}

double SeparatorWidthTwips(const clsConfigFile& config) {
    return PixelsOrBuiltIn(config, "SeparatorWidth", kBuiltInSeparatorWidth);
}

std::int16_t StageSeconds(const clsConfigFile& config, const CountdownEntry& countdown) {
    if (countdown.seconds) return *countdown.seconds;
    try {
        return Seconds(config, countdown.key);
    } catch (const SettingError&) {
        return countdown.builtInSeconds;
    }
}

}  // namespace WindowSettings
