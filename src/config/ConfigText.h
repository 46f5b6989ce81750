// The text rules of the configuration file: how line ends are folded, what
// trimming removes, how a stored value is laid out as entry lines.
#pragma once

#include <functional>
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

// The file's lines as the store reads them, found in the decoded text a piece
// at a time: a line ends at CR LF, CR or LF; of n blank lines between two
// lines n/2 are kept (rounded down), none before the first or after the last;
// the first line's leading spaces go.
class NormalisedLineReader final {
public:
    // `line` takes each line in turn, without its end; false stops the reading.
    explicit NormalisedLineReader(std::function<bool(std::string_view)> line) : mLine(std::move(line)) {}
    // A piece ends at a line end, except the text's last; a CR LF may be cut
    // between two pieces. False once the reading has stopped.
    bool Feed(std::string_view piece);

private:
    bool Take(std::string_view line);

    std::function<bool(std::string_view)> mLine;
    bool mFirst = true;        // No line seen yet.
    bool mStarted = false;     // A line with text has been given.
    std::size_t mBlanks = 0;   // Blank lines since the last line given.
    bool mAfterCr = false;     // The last piece ended with a CR: an LF now ends that line.
    bool mStopped = false;
};

// A stored value's lines as Save writes them: CR LF read as CR, CR pairs
// folded, trimmed, CRs at the ends removed, then split at each CR. Always at
// least one (possibly empty) line.
std::vector<std::string> ValueLines(std::string_view value);

}  // namespace config
