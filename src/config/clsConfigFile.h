// The settings store: text values under namespaced text keys, loaded once from
// the configuration file beside the executable and written back whole.
// (Skeleton of the public face; the store's author fills in the rest.)
#pragma once

#include <string>

#include "config/clsConfigItems.h"
#include "platform/FileSystem.h"

class clsConfigFile {
public:
    // Finds and loads the file; writes a header-only file where there is none.
    // Throws platform::FileError when that file cannot be written or read.
    clsConfigFile(platform::FileSystem& files, const platform::TextCodec& codec);
    // Saves unless Close() already did; a failure here is swallowed, so callers
    // that want to report it call Close() first.
    ~clsConfigFile();

    std::string Item(const std::string& Key) const;
    void Item(const std::string& Key, const std::string& vNewValue);
    void Remove(const std::string& Key);
    void Save();
    // Saves one last time; throws on failure. The destructor then does nothing.
    void Close();
    std::string NameSpace() const;
    void NameSpace(const std::string& vNewValue);

    // Full path of the configuration file.
    std::string Path() const;
    // Where an unreadable file was copied before it was written over; empty if never.
    std::string SetAsidePath() const;
};
