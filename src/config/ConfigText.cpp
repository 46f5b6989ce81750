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

// A value's text with each line end (CR LF or CR) read as one CR. A lone LF
// stays part of its line.
std::string LinesEndedByCr(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    std::size_t at = 0;
    while (at < value.size()) {
        const std::size_t end = value.find(kCr, at);
        if (end == std::string_view::npos) {
            out.append(value.substr(at));
            break;
        }
        out.append(value.substr(at, end - at));
        out += kCr;
        at = end + 1;
        if (at < value.size() && value[at] == kLf) ++at;
    }
    return out;
}

}  // namespace

bool NormalisedLineReader::Feed(std::string_view piece) {
    std::size_t at = 0;
    if (mAfterCr && piece.starts_with(kLf)) at = 1;
    mAfterCr = false;
    while (!mStopped && at < piece.size()) {
        const std::size_t end = piece.find_first_of("\r\n", at);
        if (end == std::string_view::npos) {
            Take(piece.substr(at));
            break;
        }
        Take(piece.substr(at, end - at));
        at = end + 1;
        if (piece[end] != kCr) continue;
        if (at == piece.size()) {
            mAfterCr = true;
        } else if (piece[at] == kLf) {
            ++at;
        }
    }
    return !mStopped;
}

// Blank lines fold in pairs: the file's lines, each ended by one CR, had each
// run of CRs halved (rounded up), and the CRs at both ends of the whole removed.
bool NormalisedLineReader::Take(std::string_view line) {
    if (mFirst) {
        mFirst = false;
        line = line.substr(std::min(line.find_first_not_of(' '), line.size()));
    }
    if (line.empty()) {
        if (mStarted) ++mBlanks;
        return true;
    }
    for (std::size_t kept = mStarted ? mBlanks / 2 : 0; kept > 0 && !mStopped; --kept) mStopped = !mLine({});
    mBlanks = 0;
    mStarted = true;
    if (!mStopped) mStopped = !mLine(line);
    return !mStopped;
}

std::vector<std::string> ValueLines(std::string_view value) {
    // Most values are one line: nothing to fold or strip.
    if (value.find(kCr) == std::string_view::npos) return {std::string(TrimSpaces(value))};
    std::string folded;
    std::vector<std::string> lines;
    for (std::string_view line : SplitAtCr(Normalise(LinesEndedByCr(value), folded))) {
        lines.emplace_back(line);
    }
    return lines;
}

}  // namespace config
