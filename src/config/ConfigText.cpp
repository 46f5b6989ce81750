#include "config/ConfigText.h"

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
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != kCr) continue;
        lines.push_back(text.substr(start, i - start));
        start = i + 1;
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
    for (std::size_t i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] == kCr && i + 1 < text.size() && text[i + 1] == kCr) ++i;
    }
    return out;
}

std::vector<std::string_view> NormalisedLines(std::string_view content, std::string& storage) {
    // Each line read, followed by one CR: CR LF and CR both end a line, and the
    // last line gets its CR even when the file does not end in one.
    std::string crText;
    crText.reserve(content.size() + 1);
    for (std::size_t i = 0; i < content.size(); ++i) {
        crText += content[i];
        if (content[i] == kCr && i + 1 < content.size() && content[i + 1] == kLf) ++i;
    }
    if (!crText.empty() && crText.back() != kCr) crText += kCr;

    std::string folded;
    const std::string_view work = Normalise(crText, folded);
    if (work.empty()) {
        storage.clear();
        return {};
    }
    storage.assign(work);
    return SplitAtCr(storage);
}

std::vector<std::string> ValueLines(std::string_view value) {
    std::string crText;
    crText.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        crText += value[i];
        if (value[i] == kCr && i + 1 < value.size() && value[i + 1] == kLf) ++i;
    }
    std::string folded;
    std::vector<std::string> lines;
    for (std::string_view line : SplitAtCr(Normalise(crText, folded))) lines.emplace_back(line);
    return lines;
}

}  // namespace config
