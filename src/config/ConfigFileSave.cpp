// Writing the configuration file: the text of the store, its encoding, and the
// steps that keep the old file whole until the new one is complete and never
// write over what someone else wrote.
#include "config/ConfigText.h"
#include "config/clsConfigFile.h"

namespace {
constexpr std::string_view kSetAsideSuffix = ".bak";
// An editor saving again and again while the store saves makes it look again;
// past this many looks the edit stands and the store gives up.
constexpr int kSaveAttempts = 3;
}  // namespace

std::string clsConfigFile::Compose() const {
    const auto count = static_cast<std::size_t>(mItems.Count());
    std::string text;
    // Room for the usual one line per setting, so a large file is not copied as it grows.
    std::size_t size = config::kHeader.size() + config::kLineEnd.size();
    for (std::size_t i = 0; i < count; ++i) {
        size += config::kLineEnd.size() + mItems.KeyAt(i).size() + config::kEntrySeparator.size() + mItems.ValueAt(i).size();
    }
    text.reserve(size);
    text += config::kHeader;
    for (std::size_t i = 0; i < count; ++i) {
        const std::string_view key = mItems.KeyAt(i);
        for (const std::string& line : config::ValueLines(mItems.ValueAt(i))) {
            text += config::kLineEnd;
            text += key;
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

platform::FileError clsConfigFile::SaveError(const std::string& cause) const {
    return platform::FileError("无法保存配置文件“" + Path() + "”：" + cause);
}

void clsConfigFile::Save() {
    for (int attempt = 1; !SaveOnce(); ++attempt) {
        if (attempt == kSaveAttempts) {
            throw SaveError("保存期间该文件一再被其他程序改动，因此没有写入；文件保留其他程序写入的内容。");
        }
    }
}

// False when someone changed the file while it was being saved: nothing was
// written, and the caller looks at the file afresh.
bool clsConfigFile::SaveOnce() {
    const std::string path = Path();
    // A link stays a link: the file it leads to is the one replaced.
    const std::string target = mFiles.ResolveLinks(path);
    const std::optional<platform::FileStatus> status = mFiles.Status(target);
    if (mHeld) {
        // Not set aside, so never written over; mended since, it stands as the user wrote it.
        if (status != mHeld->status) return true;
        throw platform::FileError(mHeld->why + "。为免丢失其原有内容，本次运行中程序没有改写该文件。");
    }
    std::optional<std::string> current;
    try {
        current = mFiles.ReadFile(target);
    } catch (const platform::FileError& error) {
        throw SaveError(std::string("写入前须先读取它，以免覆盖别人的修改，但读取失败：") + error.what());
    }
    // An organiser edited the file while the timer ran. With nothing of the
    // store's own to add, the edit stands as written; otherwise it is kept
    // beside the file before the store's content replaces it. A file deleted
    // meanwhile is written anew.
    const bool editedOutside = current && mOnDisk && *current != *mOnDisk;
    if (editedOutside && !mChanged) return true;
    // Lines the tidy form would drop (a comment, a slip of the hand) stay,
    // and so does a file without its header, of which nothing was read: only
    // a change of the store's own is worth writing over them, and a file
    // without its header is not written over even then.
    if (!mChanged && (mNoHeader || mHoldsSkippedLines)) return true;
    if (mNoHeader) {
        throw SaveError("该文件的第一行不是文件头“" + std::string(config::kHeader) + "”，其中的设置都没有读取，程序不改写它。");
    }
    const std::string bytes = Encode(Compose());
    if (current == bytes) {
        mOnDisk = std::move(current);
        mChanged = false;
        return true;
    }
    if (status && status->readOnly) {
        throw SaveError("该文件是只读的（没有任何写入权限），程序没有改写它。要让程序保存，请先去掉其只读属性。");
    }
    // Written over for a change of the store's own: kept beside it first.
    if (editedOutside || (current && mHoldsSkippedLines)) mSetAsidePath = SetAside(current);
    if (!Replace(target, bytes, status, current)) return false;
    mHoldsSkippedLines = false;
    mOnDisk = bytes;
    mChanged = false;
    return true;
}

// Whether the file is still as it was seen at the start of the save. The
// content is compared first and the status last, to be as close as possible
// to the step that replaces the file.
bool clsConfigFile::Unchanged(const std::string& target, const std::optional<platform::FileStatus>& status,
                              const std::optional<std::string>& current) {
    return mFiles.ReadFile(target) == current && mFiles.Status(target) == status;
}

bool clsConfigFile::Replace(const std::string& target, const std::string& bytes,
                            const std::optional<platform::FileStatus>& status,
                            const std::optional<std::string>& current) {
    std::string temporary;
    std::optional<std::string> replaced;
    try {
        temporary = mFiles.CreateTemporary(target);
    } catch (const platform::FileError& error) {
        // A folder only the file in it may be written to (a shared
        // installation). Rewriting the file in place would leave it empty or
        // half written if the program were killed meanwhile, so it is not
        // done: a file that would only be tidied stays as the organiser wrote
        // it, and a change of the store's own is refused with the file intact.
        if (current && !mChanged) return true;
        throw SaveError(std::string(error.what()) + (current ? "；为免改写到一半被中断而损坏该文件，程序不直接改写它，文件未被改动。" : "。"));
    }
    try {
        mFiles.WriteAll(temporary, bytes);
        mFiles.CopyPermissions(target, temporary);
        if (!Unchanged(target, status, current)) {
            mFiles.Remove(temporary);
            return false;
        }
        if (!current) {
            mFiles.Rename(temporary, target);
            return true;
        }
        replaced = mFiles.ReplaceKeepingOld(temporary, target);
        if (!replaced) {
            mFiles.Rename(temporary, target);
            return true;
        }
    } catch (const platform::FileError& error) {
        mFiles.Remove(temporary);
        throw SaveError(error.what());
    }
    // From here the temporary name may hold the file that was replaced: it is
    // never removed on a failure.
    try {
        return KeepLastInstantEdit(target, *replaced, bytes, current);
    } catch (const platform::FileError& error) {
        throw SaveError(error.what());
    }
}

// The file the save replaced is at `replaced`. An edit that landed between the
// last look and the replacement is in it: that file goes back in place, and
// the save looks afresh. Whatever comes out then is removed only when it is
// the store's own content; anything else (a second edit) is kept beside.
bool clsConfigFile::KeepLastInstantEdit(const std::string& target, const std::string& replaced,
                                        const std::string& bytes, const std::optional<std::string>& current) {
    // By content alone: the name it now has may come with another status
    // (Windows' backup), and an edit that wrote the same bytes loses nothing.
    bool same = false;
    try {
        same = mFiles.ReadFile(replaced) == current;
    } catch (const platform::FileError&) {
    }
    if (same) {
        mFiles.Remove(replaced);
        return true;
    }
    const std::optional<std::string> ours = mFiles.ReplaceKeepingOld(replaced, target);
    if (!ours) {
        mFiles.Rename(replaced, target);
        return false;
    }
    bool mine = false;
    try {
        mine = mFiles.ReadFile(*ours) == bytes;
    } catch (const platform::FileError&) {
    }
    if (mine) {
        mFiles.Remove(*ours);
    } else {
        mFiles.Rename(*ours, FreeSetAsideName());
    }
    return false;
}

std::string clsConfigFile::FreeSetAsideName() {
    const std::string path = Path();
    std::string target = path + std::string(kSetAsideSuffix);
    for (int n = 1; mFiles.Exists(target); ++n) {
        target = path + std::string(kSetAsideSuffix) + "." + std::to_string(n);
    }
    return target;
}

std::string clsConfigFile::SetAside(const std::optional<std::string>& bytes) {
    const std::string path = Path();
    const std::string target = FreeSetAsideName();
    std::string temporary;
    try {
        if (bytes) {
            temporary = mFiles.CreateTemporary(path);
            mFiles.WriteAll(temporary, *bytes);
            mFiles.CopyPermissions(path, temporary);
            mFiles.Rename(temporary, target);
        } else {
            // Unreadable: the file itself is moved, untouched.
            mFiles.Rename(path, target);
        }
    } catch (const platform::FileError& error) {
        if (!temporary.empty()) mFiles.Remove(temporary);
        throw platform::FileError("写入配置文件“" + path + "”之前须先把其原有内容另存为“" + target +
                                  "”，但另存失败：" + error.what());
    }
    return target;
}
