#include "config/SettingLines.h"

#include <vector>

#include "config/CaseFold.h"
#include "config/ConfigText.h"

namespace config {
namespace {

struct NumberedLine {
    std::string_view text;
    int number;
};

// Lines end at CR LF, CR or LF; blank lines are left out but counted.
std::vector<NumberedLine> Lines(std::string_view text) {
    std::vector<NumberedLine> lines;
    int number = 1;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = text.find_first_of("\r\n", start);
        const std::string_view line = text.substr(start, end == std::string_view::npos ? end : end - start);
        if (!TrimSpaces(line).empty()) lines.push_back({line, number});
        if (end == std::string_view::npos) break;
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
        ++number;
    }
    return lines;
}

}  // namespace

std::optional<SettingLines> SettingLines::Read(std::string_view text) {
    const std::vector<NumberedLine> lines = Lines(text);
    if (lines.empty() || FoldCase(TrimSpaces(lines.front().text)) != kHeaderFolded) return std::nullopt;
    // As the store reads them: a line with "=" names the key, a line without
    // one adds a further line to its value, and a key written twice gathers
    // both values.
    SettingLines settings;
    SettingLine* current = nullptr;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string_view line = lines[i].text;
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            if (current) current->value += std::string(kLineEnd) + std::string(TrimSpaces(line));
            continue;
        }
        const std::string key = FoldCase(TrimSpaces(line.substr(0, equals)));
        const std::string value(TrimSpaces(line.substr(equals + 1)));
        if (key.empty()) {
            current = nullptr;
            continue;
        }
        const auto [at, added] = settings.mByFoldedKey.try_emplace(key, SettingLine{value, lines[i].number});
        if (!added) at->second.value += std::string(kLineEnd) + value;
        current = &at->second;
    }
    return settings;
}

const SettingLine* SettingLines::Find(const std::string& key) const {
    const auto at = mByFoldedKey.find(FoldCase(key));
    return at == mByFoldedKey.end() ? nullptr : &at->second;
}

}  // namespace config
