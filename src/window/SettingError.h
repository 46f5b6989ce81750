// A setting of the configuration file that the window cannot use, with the
// words the time-keeper needs to mend it: which file, which setting, what value.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "config/clsConfigFile.h"
#include "window/StageTable.h"

enum class SettingFault { Missing, NotANumber, OutOfRange, Negative };

class SettingError final : public std::runtime_error {
public:
    SettingError(const std::string& path, std::string key, std::string value, SettingFault fault);

    const std::string& Key() const { return mKey; }
    const std::string& Value() const { return mValue; }
    SettingFault Fault() const { return mFault; }

private:
    std::string mKey;
    std::string mValue;
    SettingFault mFault;
};

// One line naming what is wrong with a value, without the file: "缺少设置或值为空" and so on.
std::string DescribeSettingFault(SettingFault fault, const std::string& value);

// A value as it may be quoted in a message: at most a few dozen characters,
// cut on a character boundary, so a runaway value cannot flood the dialog.
std::string QuoteValue(const std::string& value);

// Readings of the window's numeric settings through the store.
namespace WindowSettings {

// A number of pixels ("ButtonPadding", "SeparatorWidth") as twips (15 to a pixel),
// not negative and within the window's 16-bit range. Throws SettingError.
double PixelsAsTwips(const clsConfigFile& config, const std::string& key);
// A stage duration in whole seconds, rounded half to even, from 0 to 32767.
// Throws SettingError.
std::int16_t Seconds(const clsConfigFile& config, const std::string& key);

// What the window uses: the configured value, read afresh, or the built-in
// one when the configured value cannot be used (start-up has said so). The
// file is left as it is.
double ButtonPaddingTwips(const clsConfigFile& config);
double SeparatorWidthTwips(const clsConfigFile& config);
std::int16_t StageSeconds(const clsConfigFile& config, const CountdownEntry& countdown);

}  // namespace WindowSettings
