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
    // A line with text that loading read into no setting. The tidy form the
    // store writes would drop it, so a file holding one is not rewritten
    // unless the store has a change of its own.
    struct SkippedLine {
        enum class Why {
            NoKey,             // before any key, or after an empty one
            FullWidthEquals,   // a "＝" where "=" was meant
            Comment,           // begins with ";", "#" or "//"
            KeyWithoutEquals,  // names a key ("<...>\\...") but has no "="
        };
        std::string key;   // the key whose value it would have continued, namespace prefix included; empty: none
        std::string line;  // spaces trimmed
        Why why = Why::NoKey;
    };

    // Finds and loads the file; writes a header-only file where there is none.
    // Throws platform::FileError when that file cannot be written.
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
    // Makes the file hold the store's content. Nothing is written when it
    // already does. Otherwise a temporary file beside the file (or beside the
    // file a symbolic link leads to) is renamed over it, so the old file stays
    // whole when anything fails. The file is never rewritten in place: where no
    // temporary file can be made, a file that would only be tidied is left as
    // it is, and a change of the store's own is refused.
    // Throws platform::FileError, with the file named, when the save fails or
    // is refused: the file has no write permission at all, or it is a file the
    // store could not set aside (see FileNotice). A file someone changed since
    // the store last read or wrote it is left as it is when the store holds no
    // change of its own, and set aside first when it does; the comparison is
    // made again just before the rename, so an edit made during a save stands.
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
    // What start-up must tell about the file itself, in Chinese, naming it: why
    // the file was set aside and where, and whether a new one has been written
    // already or will be at the end; or why it could not be set aside, in which
    // case the store never writes over it while it runs. Empty when all is well.
    std::string FileNotice() const;
    // The encoding the file was read in and will be written in. A GBK file that
    // is given text GBK cannot hold is written as UTF-8 with a byte-order mark.
    config::FileEncoding Encoding() const;
    // Every item, in file order, namespace prefixes included.
    const clsConfigItems& Items() const;
    // Every line with text that loading read into no setting, in file order,
    // so the window can point out one that looks like a slip of the hand.
    const std::vector<SkippedLine>& SkippedLines() const;
    // The file's first line is not the header: nothing was read, and the file
    // is never written over (FileNotice says so and how to mend it).
    bool HeaderMissing() const;

    // Removes the temporary files that saves ended by a kill left beside the
    // configuration file. Only for a copy of the program that knows it is the
    // only one running from its folder: another's save may be under way.
    static void RemoveLeftovers(platform::FileSystem& files);

private:
    void Load();
    void SetAsideUnusable(const std::optional<std::string>& bytes, const std::optional<platform::FileStatus>& status);
    std::string SetAside(const std::optional<std::string>& bytes);
    std::string Compose() const;
    std::string Encode(const std::string& text);
    bool SaveOnce();
    bool Replace(const std::string& target, const std::string& bytes, const std::optional<platform::FileStatus>& status,
                 const std::optional<std::string>& current);
    bool KeepLastInstantEdit(const std::string& target, const std::string& replaced, const std::string& bytes,
                             const std::optional<std::string>& current);
    std::string FreeSetAsideName();
    bool Unchanged(const std::string& target, const std::optional<platform::FileStatus>& status,
                   const std::optional<std::string>& current);
    platform::FileError SaveError(const std::string& cause) const;

    platform::FileSystem& mFiles;
    const platform::TextCodec& mCodec;
    clsConfigItems mItems;
    std::vector<SkippedLine> mSkippedLines;
    std::string mPrefix;
    std::string mNameSpace;
    config::FileEncoding mEncoding = config::FileEncoding::Gbk;

    // Why the file could not be taken over as it was (a sentence naming it),
    // and where it was set aside. Empty when it could.
    std::string mSetAsideCause;
    std::string mSetAsidePath;
    bool mNoHeader = false;
    // The file on the disk still holds lines loading skipped.
    bool mHoldsSkippedLines = false;
    // A new file was written at start-up, in place of one moved aside.
    bool mWrittenAtLoad = false;
    // A file that had to be set aside and could not be is held: never written
    // over while the store runs. Its status at loading tells whether someone
    // mended it since.
    struct Held {
        std::string why;  // The failed set-aside, a sentence naming the file.
        std::optional<platform::FileStatus> status;
    };
    std::optional<Held> mHeld;
    // The file's bytes as the store last read or wrote them, to tell whether
    // someone edited the file while the store held it.
    std::optional<std::string> mOnDisk;
    // Whether the items were assigned or removed since loading.
    bool mChanged = false;
    bool mClosed = false;
};
