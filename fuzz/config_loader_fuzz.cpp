// Feeds arbitrary bytes to the settings store as its configuration file, on an
// in-memory file system so nothing is written to disk. Beyond crashes, leaks
// and hangs it checks what must always hold: a file the store did not take
// over whole is kept byte for byte beside it, and what the store saves (or
// leaves as it was) reads back as the same items.
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "config/ConfigText.h"
#include "config/clsConfigFile.h"
#include "platform/posix/PosixIconvCodec.h"
#include "support/MemoryFileSystem.h"

namespace {

using Items = std::vector<std::pair<std::string, std::string>>;

Items ItemsOf(const clsConfigFile& config) {
    Items items;
    for (const clsConfigItem& item : config.Items()) items.emplace_back(item.Key, item.Value);
    return items;
}

Items AsWritten(Items items) {
    for (auto& [key, value] : items) {
        const std::vector<std::string> lines = config::ValueLines(value);
        value = lines.front();
        for (std::size_t i = 1; i < lines.size(); ++i) value += "\r\n" + lines[i];
    }
    return items;
}

void Require(bool holds) {
    if (!holds) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const platform::IconvCodec codec;
    const std::string original(reinterpret_cast<const char*>(data), size);
    testsupport::MemoryFileSystem files;
    const std::string path = files.ConfigPath();
    files.files[path] = original;

    Items loaded;
    {
        clsConfigFile config(files, codec);
        config.NameSpace("Tolvanexa");
        (void)config.Item("ApplicationTitle");
        (void)config.Item("Stage1Timer1");
        loaded = ItemsOf(config);
        config.Close();
        if (!config.SetAsidePath().empty()) Require(files.files.at(config.SetAsidePath()) == original);
    }
    // A file the close did not rewrite (no header, or lines no setting reads) reads back as it loaded.
    const bool rewritten = files.files.at(path) != original;
    const clsConfigFile again(files, codec);
    Require(again.SetAsidePath().empty());
    Require(ItemsOf(again) == (rewritten ? AsWritten(loaded) : loaded));
    return 0;
}
