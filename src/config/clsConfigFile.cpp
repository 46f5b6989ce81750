#include "config/clsConfigFile.h"

#include <algorithm>

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

LoadOutcome ReadEntries(const std::string& content, clsConfigItems& items,
                        std::vector<clsConfigFile::JoinedLine>& joined) {
    std::string storage;
    const std::vector<std::string_view> lines = config::NormalisedLines(content, storage);
    if (lines.empty()) return LoadOutcome::Empty;
    if (config::FoldCase(config::TrimSpaces(lines[0])) != config::kHeaderFolded) {
        return LoadOutcome::NoHeader;
    }
    // A line with "=" names the key; the lines without one that follow add
    // further lines to its value. An empty key swallows lines until the next key.
    items.Reserve(lines.size());
    std::string currentKey;
    clsConfigItem* current = nullptr;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        const std::size_t equals = line.find('=');
        std::string_view value;
        if (equals != std::string_view::npos) {
            currentKey = config::TrimSpaces(line.substr(0, equals));
            current = nullptr;
            value = config::TrimSpaces(line.substr(equals + 1));
        } else {
            value = config::TrimSpaces(line);
        }
        if (currentKey.empty()) {
            // Read by no setting; kept only so a likely typo can be pointed out.
            if (equals == std::string_view::npos && !value.empty()) joined.push_back({"", std::string(value)});
            continue;
        }
        if (current == nullptr) {
            bool added = false;
            current = &items.FindOrAdd(currentKey, std::string(value), added);
            if (added) continue;
        }
        current->Value += config::kLineEnd;
        current->Value += value;
        if (equals == std::string_view::npos) joined.push_back({currentKey, std::string(value)});
    }
    return LoadOutcome::Loaded;
}

// What the first line is and what it must be, the line cut short: a binary
// file's first "line" may be any length.
std::string NoHeaderCause(const std::string& path, const std::string& text) {
    constexpr std::size_t kShownCharacters = 40;
    std::string storage;
    const std::string_view first = config::NormalisedLines(text, storage).front();
    std::size_t end = 0;
    for (std::size_t shown = 0; end < first.size() && shown < kShownCharacters; ++shown) {
        char32_t ignored = 0;
        end += std::max<std::size_t>(config::DecodeUtf8At(first, end, ignored), 1);
    }
    return "配置文件“" + path + "”的第一行应是文件头“" + std::string(config::kHeader) + "”，实际却是“" +
           std::string(first.substr(0, end)) + (end < first.size() ? "……" : "") + "”，因此其中的设置都没有读取。";
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
    mOnDisk = *bytes;
    config::DecodedFile decoded = config::DecodeFile(*bytes, mCodec);
    mEncoding = decoded.encoding;
    if (ReadEntries(decoded.text, mItems, mJoinedLines) == LoadOutcome::NoHeader) {
        mSetAsideCause = NoHeaderCause(path, decoded.text);
    } else if (decoded.fidelity == config::Fidelity::Lossy) {
        mSetAsideCause = "配置文件“" + path + "”中有既不是 GBK 也不是 UTF-8 编码的字节，这些字节已按“?”读取。";
    } else if (decoded.fidelity == config::Fidelity::Mixed) {
        mSetAsideCause = "配置文件“" + path + "”中既有 UTF-8 编码的行，也有 GBK 编码的行。";
    }
    if (!mSetAsideCause.empty()) SetAsideUnusable(*bytes, status);
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
    if (mHeld) return mSetAsideCause + mHeld->why + "。为免丢失其原有内容，本次运行中程序不会改写该文件。";
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
    const clsConfigItem* item = mItems.Find(mPrefix + Key);
    return item ? item->Value : std::string();
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

const std::vector<clsConfigFile::JoinedLine>& clsConfigFile::JoinedLines() const { return mJoinedLines; }
