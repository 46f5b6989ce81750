#include "config/clsConfigFile.h"

#include "config/CaseFold.h"
#include "config/ConfigText.h"

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
        if (currentKey.empty()) continue;
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
    std::optional<std::string> bytes = mFiles.ReadFile(path);
    if (!bytes) {
        // A file that is there but cannot be read is moved aside, not written over.
        if (mFiles.Exists(path)) PlanSetAside(std::nullopt);
        Save();
        return;
    }
    mOnDisk = *bytes;
    config::DecodedFile decoded = config::DecodeFile(*bytes, mCodec);
    mEncoding = decoded.encoding;
    const LoadOutcome outcome = ReadEntries(decoded.text, mItems, mJoinedLines);
    if (outcome == LoadOutcome::NoHeader || decoded.fidelity == config::Fidelity::Lossy) {
        PlanSetAside(std::move(*bytes));
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
