// A configuration file read for its settings alone, each with the line it was
// written on, so a message can send the reader to that line. Used for files
// the program reads and never writes (a debate format); the store itself
// keeps no line numbers.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace config {

struct SettingLine {
    std::string value;  // as the store reads it: spaces trimmed, further lines after CR LF
    int line = 0;       // 1-based line of the key, as an editor counts lines
};

class SettingLines final {
public:
    // The text's settings, or nullopt when its first line is not the header
    // (nothing of it is then read, as with the store).
    static std::optional<SettingLines> Read(std::string_view text);

    // The setting under `key` (the namespace prefix included), letter case ignored.
    const SettingLine* Find(const std::string& key) const;

private:
    std::unordered_map<std::string, SettingLine> mByFoldedKey;
};

}  // namespace config
