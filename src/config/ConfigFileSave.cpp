// Writing the configuration file: the text of the store, its encoding, and the
// steps that keep the old file whole until the new one is complete.
#include "config/ConfigText.h"
#include "config/clsConfigFile.h"

namespace {
constexpr std::string_view kSetAsideSuffix = ".bak";
}  // namespace

std::string clsConfigFile::Compose() const {
    std::string text(config::kHeader);
    for (const clsConfigItem& item : mItems) {
        for (const std::string& line : config::ValueLines(item.Value)) {
            text += config::kLineEnd;
            text += item.Key;
            text += config::kEntrySeparator;
            text += line;
        }
    }
    text += config::kLineEnd;
    return text;
}

std::string clsConfigFile::Encode(const std::string& text) {
    if (auto bytes = config::EncodeFile(text, mEncoding, mCodec)) return std::move(*bytes);
    // A character GBK cannot hold would be lost or turned into "?", and GBK
    // that reads as UTF-8 would come back as other characters; UTF-8 with a
    // byte-order mark holds any text and reads back as it was.
    mEncoding = config::FileEncoding::Utf8WithBom;
    return *config::EncodeFile(text, mEncoding, mCodec);
}

void clsConfigFile::Save() {
    const std::string path = Path();
    if (!mPendingSetAside && ChangedByOthers(path)) {
        // An organiser edited the file while the timer ran. With nothing of
        // the store's own to add, the edit stands as written; otherwise it is
        // kept beside the file before the store's content replaces it.
        if (!mChanged) return;
        mPendingSetAside = PendingSetAside{mFiles.ReadFile(path)};
    }
    if (mPendingSetAside) SetAside();
    const std::string bytes = Encode(Compose());
    WriteReplacing(path, bytes);
    mOnDisk = bytes;
    mChanged = false;
}

bool clsConfigFile::ChangedByOthers(const std::string& path) {
    if (!mOnDisk) return false;
    const std::optional<std::string> now = mFiles.ReadFile(path);
    return now && *now != *mOnDisk;
}

void clsConfigFile::WriteReplacing(const std::string& path, const std::string& bytes) {
    std::string temporary;
    try {
        temporary = mFiles.CreateTemporary(path);
        mFiles.WriteAll(temporary, bytes);
        mFiles.CopyPermissions(path, temporary);
        mFiles.Rename(temporary, path);
    } catch (const platform::FileError& error) {
        if (!temporary.empty()) mFiles.Remove(temporary);
        throw platform::FileError("无法保存配置文件“" + path + "”：" + error.what());
    }
}

void clsConfigFile::PlanSetAside(std::optional<std::string> bytes) {
    mPendingSetAside = PendingSetAside{std::move(bytes)};
    TrySetAside();
}

void clsConfigFile::TrySetAside() noexcept {
    try {
        SetAside();
    } catch (...) {
        // Stays pending: the next save tries again and fails rather than write
        // over the file.
    }
}

void clsConfigFile::SetAside() {
    const std::string path = Path();
    std::string target = path + std::string(kSetAsideSuffix);
    for (int n = 1; mFiles.Exists(target); ++n) {
        target = path + std::string(kSetAsideSuffix) + "." + std::to_string(n);
    }
    std::string temporary;
    try {
        if (mPendingSetAside->bytes) {
            temporary = mFiles.CreateTemporary(path);
            mFiles.WriteAll(temporary, *mPendingSetAside->bytes);
            mFiles.CopyPermissions(path, temporary);
            mFiles.Rename(temporary, target);
        } else {
            mFiles.Rename(path, target);
        }
    } catch (const platform::FileError& error) {
        if (!temporary.empty()) mFiles.Remove(temporary);
        throw platform::FileError("写入配置文件“" + path + "”之前须先把其原有内容另存为“" + target +
                                  "”，但另存失败：" + error.what());
    }
    mSetAsidePath = target;
    mPendingSetAside.reset();
}
