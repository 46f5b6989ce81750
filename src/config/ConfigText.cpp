#include "config/ConfigText.h"

#include <algorithm>

namespace config {
namespace {

constexpr char kCr = '\r';
constexpr char kLf = '\n';

std::string_view StripCrEnds(std::string_view text) {
    while (!text.empty() && (text.front() == kCr || text.back() == kCr)) {
        if (text.front() == kCr) {
            text.remove_prefix(1);
        } else {
            text.remove_suffix(1);
        }
    }
    return text;
}

// Folds, trims and strips a text in which CR alone ends each line.
std::string_view Normalise(std::string_view crText, std::string& storage) {
    storage = FoldCrPairs(crText);
    return StripCrEnds(TrimSpaces(storage));
}

std::vector<std::string_view> SplitAtCr(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t cr = text.find(kCr); cr != std::string_view::npos; cr = text.find(kCr, start)) {
        lines.push_back(text.substr(start, cr - start));
        start = cr + 1;
    }
    lines.push_back(text.substr(start));
    return lines;
}

}  // namespace

std::string_view TrimSpaces(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

std::string FoldCrPairs(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t cr = text.find(kCr, at);
        if (cr == std::string_view::npos) {
            out.append(text.substr(at));
            break;
        }
        out.append(text.substr(at, cr - at));
        std::size_t run = cr;
        while (run < text.size() && text[run] == kCr) ++run;
        out.append((run - cr + 1) / 2, kCr);
        at = run;
    }
    return out;
}

namespace {

enum class LastLine {
    Ended,   // A file read line by line: the last line gets its CR too.
    AsGiven  // A value: nothing is added after its last line.
};

// The text with each line end read as one CR. In a value a line ends at CR LF
// or CR. In a file a lone LF ends a line too: a file written by a Linux editor
// from scratch has nothing else, and would otherwise read as a single line
// that is not the header, so none of its settings would be used.
std::string LinesEndedByCr(std::string_view content, LastLine last) {
    const bool lfEnds = last == LastLine::Ended;
    const auto isEnd = [lfEnds](char c) { return c == kCr || (lfEnds && c == kLf); };
    std::string out;
    out.reserve(content.size() + 1);
    std::size_t at = 0;
    while (at < content.size()) {
        const auto found = std::find_if(content.begin() + static_cast<std::ptrdiff_t>(at), content.end(), isEnd);
        const std::size_t end = found == content.end() ? std::string_view::npos
                                                       : static_cast<std::size_t>(found - content.begin());
        if (end == std::string_view::npos) {
            out.append(content.substr(at));
            if (last == LastLine::Ended) out += kCr;
            break;
        }
        out.append(content.substr(at, end - at));
        out += kCr;
        at = end + 1;
        if (content[end] == kCr && at < content.size() && content[at] == kLf) ++at;
    }
    return out;
}

}  // namespace

std::vector<std::string_view> NormalisedLines(std::string_view content, std::string& storage) {
    std::string folded;
    const std::string_view work = Normalise(LinesEndedByCr(content, LastLine::Ended), folded);
    if (work.empty()) {
        storage.clear();
        return {};
    }
    // Usually the whole text: move rather than copy when nothing was cut off.
    if (work.size() == folded.size()) {
        storage = std::move(folded);
    } else {
        storage.assign(work);
    }
    return SplitAtCr(storage);
}

std::vector<std::string> ValueLines(std::string_view value) {
    // Most values are one line: nothing to fold or strip.
    if (value.find(kCr) == std::string_view::npos) return {std::string(TrimSpaces(value))};
    std::string folded;
    std::vector<std::string> lines;
    for (std::string_view line : SplitAtCr(Normalise(LinesEndedByCr(value, LastLine::AsGiven), folded))) {
        lines.emplace_back(line);
    }
    return lines;
}

}  // namespace config
