// The settings store: text values under namespaced text keys, loaded once from
// the configuration file beside the executable and written back whole.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "config/FileEncoding.h"
#include "config/clsConfigItems.h"
#include "platform/FileSystem.h"

// The folder with the platform's separator ("/") at its end; an empty (or
// all-space) folder means the executable's folder.
std::string NormalizeFolder(const std::string& folder, const platform::FileSystem& files);

class clsConfigFile final {
public:
    // A line without "=" that loading added to the value of the key above it.
    struct JoinedLine {
        std::string key;   // as the file writes it, namespace prefix included
        std::string line;  // spaces trimmed, as it went into the value
    };

    // Finds and loads the file; writes a header-only file where there is none.
    // Throws platform::FileError when that file cannot be written or read.
    clsConfigFile(platform::FileSystem& files, const platform::TextCodec& codec);
    // Saves unless Close() already did; a failure here is swallowed, so callers
    // that want to report it call Close() first.
    ~clsConfigFile();

    clsConfigFile(const clsConfigFile&) = delete;
    clsConfigFile& operator=(const clsConfigFile&) = delete;

    // The value under the namespace's prefix and `Key`, ignoring letter case;
    // empty text when there is none.
    std::string Item(const std::string& Key) const;
    // Sets that value, or appends a new item. Memory only.
    void Item(const std::string& Key, const std::string& vNewValue);
    // Deletes that item if there is one. Memory only.
    void Remove(const std::string& Key);
    // Replaces the file's whole content with the store, through a temporary file
    // renamed over it, so the old file stays whole when anything fails. Throws
    // platform::FileError, with the file named, on failure. A file someone
    // changed since the store last read or wrote it is left as it is when the
    // store holds no change of its own, and set aside first when it does.
    void Save();
    // Saves one last time; throws on failure. The destructor then does nothing.
    void Close();
    std::string NameSpace() const;
    void NameSpace(const std::string& vNewValue);

    // Full path of the configuration file.
    std::string Path() const;
    // Where the file was put before the store wrote over it: a file it could
    // not take over (no header, undecodable bytes, unreadable) or one edited
    // while the store held changes of its own. Empty if never.
    std::string SetAsidePath() const;
    // The encoding the file was read in and will be written in. A GBK file that
    // is given text GBK cannot hold is written as UTF-8 with a byte-order mark.
    config::FileEncoding Encoding() const;
    // Every item, in file order, namespace prefixes included.
    const clsConfigItems& Items() const;
    // Every line loading joined to a value, in file order, so the window can
    // point out one that looks like a slip of the hand; loading takes no notice.
    const std::vector<JoinedLine>& JoinedLines() const;

private:
    void Load();
    void LoadLines(const std::string& content);
    void PlanSetAside(std::optional<std::string> bytes);
    void TrySetAside() noexcept;
    void SetAside();
    std::string Compose() const;
    std::string Encode(const std::string& text);
    bool ChangedByOthers(const std::string& path);
    void WriteReplacing(const std::string& path, const std::string& bytes);

    platform::FileSystem& mFiles;
    const platform::TextCodec& mCodec;
    clsConfigItems mItems;
    std::vector<JoinedLine> mJoinedLines;
    std::string mPrefix;
    std::string mNameSpace;
    config::FileEncoding mEncoding = config::FileEncoding::Gbk;

    // A file that must not be lost (see SetAsidePath) waits here to be set
    // aside before the next save writes over it. Without bytes, the file could
    // not be read and is set aside by moving it.
    struct PendingSetAside {
        std::optional<std::string> bytes;
    };
    std::optional<PendingSetAside> mPendingSetAside;
    std::string mSetAsidePath;
    // The file's bytes as the store last read or wrote them, to tell whether
    // someone edited the file while the store held it.
    std::optional<std::string> mOnDisk;
    // Whether the items were assigned or removed since loading.
    bool mChanged = false;
    bool mClosed = false;
};
