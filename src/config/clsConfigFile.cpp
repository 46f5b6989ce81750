#include "config/clsConfigFile.h"

#include <algorithm>
#include <optional>

#include "config/CaseFold.h"
#include "config/ConfigText.h"
#include "config/Utf8.h"

namespace {

constexpr std::string_view kFileExtension = ".config";
constexpr char kSeparator = '/';

enum class LoadOutcome {
    Empty,     // Nothing left once blank lines are folded away.
    Loaded,    // The header was found; the lines after it were read.
    NoHeader,  // Not a file of ours: nothing was read.
};

using Skipped = clsConfigFile::SkippedLine;

// Why a line without "=" of its own is no further line of the value above
// it, or nullopt when it is one. A value line rarely begins like a comment,
// holds a full-width "＝" or a namespaced key; an organiser's slip often does,
// and joined to the caption above it would put the slip on the projector.
std::optional<Skipped::Why> Suspect(std::string_view line) {
    if (line.find("＝") != std::string_view::npos) return Skipped::Why::FullWidthEquals;
    const std::size_t first = line.find_first_not_of(" \t");
    const std::string_view start = first == std::string_view::npos ? std::string_view() : line.substr(first);
    if (start.starts_with(';') || start.starts_with('#') || start.starts_with("//")) return Skipped::Why::Comment;
    const std::size_t open = line.find('<');
    if (open != std::string_view::npos && line.find(">\\", open + 1) != std::string_view::npos) {
        return Skipped::Why::KeyWithoutEquals;
    }
    return std::nullopt;
}

// Reads the settings from the file's lines one at a time, as they are decoded.
class EntryReader final {
public:
    EntryReader(clsConfigItems& items, std::vector<Skipped>& skipped) : items_(items), skipped_(skipped) {}

    // False once the first line shows the file is not one of ours.
    bool Line(std::string_view line) {
        if (outcome_ == LoadOutcome::Empty) return First(line);
        // A line with "=" names the key; the lines without one that follow add
        // further lines to its value, unless they look like a slip of the hand.
        // An empty key swallows lines until the next key.
        const std::size_t equals = line.find('=');
        std::string_view value;
        if (equals != std::string_view::npos) {
            currentKey_ = config::TrimSpaces(line.substr(0, equals));
            current_ = 0;
            value = config::TrimSpaces(line.substr(equals + 1));
        } else {
            value = config::TrimSpaces(line);
            if (const std::optional<Skipped::Why> why = Suspect(line)) {
                skipped_.push_back({currentKey_, std::string(value), *why});
                return true;
            }
        }
        if (currentKey_.empty()) {
            if (equals != std::string_view::npos || !value.empty()) {
                skipped_.push_back({"", std::string(value), Skipped::Why::NoKey});
            }
            return true;
        }
        if (current_ == 0) {
            bool added = false;
            current_ = items_.FindOrAddText(currentKey_, value, added);
            if (added) return true;
        }
        items_.AppendToValue(current_, config::kLineEnd, value);
        return true;
    }

    LoadOutcome Outcome() const { return outcome_; }
    // The first line, cut short: a binary file's first "line" may be any length.
    const std::string& FirstLineShown() const { return firstShown_; }

private:
    bool First(std::string_view line) {
        constexpr std::size_t kShownCharacters = 40;
        std::size_t end = 0;
        for (std::size_t shown = 0; end < line.size() && shown < kShownCharacters; ++shown) {
            char32_t ignored = 0;
            end += std::max<std::size_t>(config::DecodeUtf8At(line, end, ignored), 1);
        }
        firstShown_ = std::string(line.substr(0, end)) + (end < line.size() ? "……" : "");
        // No character folds to ASCII from more than four bytes.
        const std::string_view header = config::TrimSpaces(line);
        const bool ours = header.size() <= 4 * config::kHeaderFolded.size() &&
                          config::FoldCase(header) == config::kHeaderFolded;
        outcome_ = ours ? LoadOutcome::Loaded : LoadOutcome::NoHeader;
        return ours;
    }

    clsConfigItems& items_;
    std::vector<Skipped>& skipped_;
    LoadOutcome outcome_ = LoadOutcome::Empty;
    std::string firstShown_;
    std::string currentKey_;
    std::int32_t current_ = 0;  // Position of the setting the lines add to; 0: none yet.
};

// Room to set by for the settings of a file: each one's line holds an "=",
// which no GBK or UTF-8 character holds as a part. Room set by and never
// used is address space only; still, a file of lines shorter than 8 bytes
// (a key of a few letters, "=", a digit and the line end) gets no more room
// than such lines would take, so hostile bytes cannot ask for much; its list
// grows as it is read.
std::size_t SettingsRoom(std::string_view bytes) {
    constexpr std::size_t kShortestUsualLine = 8;
    const auto equals = static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '='));
    const auto lineEnds = static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) +
                          static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\r'));
    return std::min({equals, lineEnds + 1, bytes.size() / kShortestUsualLine + 1});
}

// What the first line is and what it must be.
std::string NoHeaderCause(const std::string& path, const std::string& firstShown) {
    return "配置文件“" + path + "”的第一行应是文件头“" + std::string(config::kHeader) + "”，实际却是“" + firstShown +
           "”，因此其中的设置都没有读取，";
}

}  // namespace

std::string NormalizeFolder(const std::string& folder, const platform::FileSystem& files) {
    std::string result = config::TrimSpaces(folder).empty() ? files.ExecutableFolder() : folder;
    if (result.empty() || result.back() != kSeparator) result += kSeparator;
    return result;
}

clsConfigFile::clsConfigFile(platform::FileSystem& files, const platform::TextCodec& codec)
    : mFiles(files), mCodec(codec) {
    Load();
}

clsConfigFile::~clsConfigFile() {
    if (mClosed) return;
    try {
        Save();
    } catch (...) {
        // The store is going away and has no one left to tell; Close() is the
        // way to learn of a failure.
    }
}

void clsConfigFile::Load() {
    const std::string path = Path();
    const std::optional<platform::FileStatus> status = mFiles.Status(path);
    std::optional<std::string> bytes;
    try {
        bytes = mFiles.ReadFile(path);
    } catch (const platform::FileError& error) {
        mSetAsideCause = std::string(error.what()) + "。";
    }
    if (!bytes) {
        // A file that is there but cannot be read (no permission, a pipe, a
        // link to nothing) is moved aside, not written over.
        if (mFiles.Exists(path)) {
            if (mSetAsideCause.empty()) mSetAsideCause = "配置文件“" + path + "”是一个链接，但它指向的文件不存在。";
            SetAsideUnusable(std::nullopt, status);
            if (mHeld) return;
        }
        Save();
        mWrittenAtLoad = true;
        return;
    }
    // The bytes are the one whole copy of the file held: the text is decoded
    // and read from them a run of lines at a time.
    mOnDisk = std::move(bytes);
    const std::string_view onDisk = *mOnDisk;
    mItems.Reserve(SettingsRoom(onDisk));
    EntryReader entries(mItems, mSkippedLines);
    config::NormalisedLineReader lines([&entries](std::string_view line) { return entries.Line(line); });
    const config::DecodedAs decoded =
        config::DecodeFile(onDisk, mCodec, [&lines](std::string_view piece) { return lines.Feed(piece); });
    mEncoding = decoded.encoding;
    if (entries.Outcome() == LoadOutcome::NoHeader) {
        // Nothing of it was read, so nothing of it needs setting aside: it is
        // simply never written over. Its decoding stopped at the first line.
        mNoHeader = true;
        mSetAsideCause = NoHeaderCause(path, entries.FirstLineShown());
        return;
    }
    if (decoded.fidelity == config::Fidelity::Lossy) {
        mSetAsideCause = "配置文件“" + path + "”中有既不是 GBK 也不是 UTF-8 编码的字节，这些字节已按“?”读取。";
    } else if (decoded.fidelity == config::Fidelity::Mixed) {
        mSetAsideCause = "配置文件“" + path + "”中既有 UTF-8 编码的行，也有 GBK 编码的行。";
    }
    mHoldsSkippedLines = !mSkippedLines.empty();
    // A file holding lines no setting reads is not rewritten at the close, so
    // it needs no copy now (a copy at every start would pile up); a change of
    // the store's own sets it aside before writing over it.
    if (!mSetAsideCause.empty() && !mHoldsSkippedLines) SetAsideUnusable(mOnDisk, status);
}

void clsConfigFile::SetAsideUnusable(const std::optional<std::string>& bytes,
                                     const std::optional<platform::FileStatus>& status) {
    try {
        mSetAsidePath = SetAside(bytes);
    } catch (const platform::FileError& error) {
        mHeld = Held{error.what(), status};
    }
}

std::string clsConfigFile::FileNotice() const {
    if (mSetAsideCause.empty()) return std::string();
    if (mNoHeader) {
        return mSetAsideCause + "本次全部使用内置的值，程序不会改动该文件。要使用其中的设置，请在该文件的最前面加上一行“" +
               std::string(config::kHeader) + "”，然后重新启动程序。";
    }
    if (mHeld) return mSetAsideCause + mHeld->why + "。为免丢失其原有内容，本次运行中程序不会改写该文件。";
    if (mSetAsidePath.empty()) return mSetAsideCause + "文件中还有程序没有读取的行，因此程序不会改写该文件。";
    std::string notice = mSetAsideCause + "原内容已另存为“" + mSetAsidePath + "”";
    if (mWrittenAtLoad) return notice + "，并已写入新的配置文件。";
    const bool utf8 = mEncoding != config::FileEncoding::Gbk;
    return notice + (utf8 ? "；程序结束时将以 UTF-8 编码写回该文件。" : "；程序结束时将以整理后的格式写回该文件。");
}

void clsConfigFile::RemoveLeftovers(platform::FileSystem& files) {
    const std::string path =
        NormalizeFolder(std::string(), files) + files.ExecutableBaseName() + std::string(kFileExtension);
    // A save through a link makes its temporary file beside the file the link leads to.
    const std::string target = files.ResolveLinks(path);
    for (const std::string& near : {path, target}) {
        for (const std::string& leftover : files.LeftoverTemporaries(near)) files.Remove(leftover);
        if (target == path) break;
    }
}

std::string clsConfigFile::Item(const std::string& Key) const {
    return std::string(mItems.ValueOf(mPrefix + Key).value_or(std::string_view()));
}

void clsConfigFile::Item(const std::string& Key, const std::string& vNewValue) {
    const std::string whole = mPrefix + Key;
    mChanged = true;
    if (clsConfigItem* item = mItems.Find(whole)) {
        item->Value = vNewValue;
    } else {
        mItems.Add(whole, vNewValue);
    }
}

void clsConfigFile::Remove(const std::string& Key) {
    const std::string whole = mPrefix + Key;
    if (mItems.Find(whole)) {
        mItems.Remove(whole);
        mChanged = true;
    }
}

void clsConfigFile::Close() {
    mClosed = true;
    Save();
}

std::string clsConfigFile::NameSpace() const { return mNameSpace; }

void clsConfigFile::NameSpace(const std::string& vNewValue) {
    mNameSpace = vNewValue;
    mPrefix = vNewValue.empty() ? std::string() : "<" + vNewValue + ">\\";
}

std::string clsConfigFile::Path() const {
    return NormalizeFolder(std::string(), mFiles) + mFiles.ExecutableBaseName() +
           std::string(kFileExtension);
}

std::string clsConfigFile::SetAsidePath() const { return mSetAsidePath; }

config::FileEncoding clsConfigFile::Encoding() const { return mEncoding; }

const clsConfigItems& clsConfigFile::Items() const { return mItems; }

const std::vector<clsConfigFile::SkippedLine>& clsConfigFile::SkippedLines() const { return mSkippedLines; }

bool clsConfigFile::HeaderMissing() const { return mNoHeader; }
