// The text rules of the configuration file: how line ends are folded, what
// trimming removes, how a stored value is laid out as entry lines.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace config {

// Line 1 as the store writes it; any letter case and surrounding spaces are accepted.
inline constexpr std::string_view kHeader = "#TarvelMonic Config File#";
inline constexpr std::string_view kHeaderFolded = "#tarvelmonic config file#";
inline constexpr std::string_view kEntrySeparator = " = ";
inline constexpr std::string_view kLineEnd = "\r\n";

// Removes spaces (U+0020 only; tabs stay) at both ends.
std::string_view TrimSpaces(std::string_view text);

// One left-to-right pass replacing CR CR by CR without looking again at what
// it produced: a run of n CRs becomes ceil(n/2).
std::string FoldCrPairs(std::string_view text);

// The file's lines once blank lines are folded, the whole is trimmed and CRs
// at both ends are gone. A line ends at CR LF, CR or LF. Empty when nothing
// is left.
std::vector<std::string_view> NormalisedLines(std::string_view content, std::string& storage);

// A stored value's lines as Save writes them: CR LF read as CR, CR pairs
// folded, trimmed, CRs at the ends removed, then split at each CR. Always at
// least one (possibly empty) line.
std::vector<std::string> ValueLines(std::string_view value);

}  // namespace config
