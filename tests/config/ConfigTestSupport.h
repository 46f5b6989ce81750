// What the store's tests share: a store on an in-memory file, and its items
// as plain pairs to compare with a table.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "config/clsConfigFile.h"
#include "platform/posix/IconvCodec.h"
#include "support/MemoryFileSystem.h"

namespace configtest {

using Items = std::vector<std::pair<std::string, std::string>>;

inline Items ItemsOf(const clsConfigFile& config) {
    Items items;
    for (const clsConfigItem& item : config.Items()) items.emplace_back(item.Key, item.Value);
    return items;
}

inline const platform::IconvCodec& Codec() {
    static const platform::IconvCodec codec;
    return codec;
}

// An in-memory folder holding the configuration file with `content`.
struct MemoryInstall {
    explicit MemoryInstall(const std::string& content) { files.files[files.ConfigPath()] = content; }
    MemoryInstall() = default;
    std::string File() const { return files.files.at(files.ConfigPath()); }
    testsupport::MemoryFileSystem files;
};

}  // namespace configtest
