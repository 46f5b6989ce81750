// Random hand-edited files, from a fixed seed: whatever a file holds, what the
// store saves reads back as the same items.
#include <gtest/gtest.h>

#include <random>

#include "config/ConfigText.h"
#include "ConfigTestSupport.h"

namespace {

// Pieces a time-keeper's file is made of, the awkward ones included.
const std::vector<std::string> kWords = {
    "a", "Key", "KEY", "<Tolvanexa>\\", "<Other>\\", "Stage1Timer1", "=", " ", "  ", "\t",
    "正方", "辩论", "€", "ＡＢ", "ａｂ", "Ω", "ω", "Ё", "ё", "Ⅹ", "ⅹ", "\n", "#", "x=y", "180",
};

std::string RandomLine(std::mt19937& random) {
    std::string line;
    const int pieces = static_cast<int>(random() % 6);
    for (int i = 0; i < pieces; ++i) line += kWords[random() % kWords.size()];
    return line;
}

std::string RandomFile(std::mt19937& random) {
    std::string file = (random() % 8 == 0) ? "\r\n" : "";
    file += "#TarvelMonic Config File#";
    const int lines = static_cast<int>(random() % 25);
    for (int i = 0; i < lines; ++i) {
        static const char* const kEnds[] = {"\r\n", "\r\n", "\r\n", "\r", "\r\n\r\n", "\r\r\r"};
        file += kEnds[random() % 6];
        file += RandomLine(random);
    }
    return file;
}

// The items as they read back after a save: each value in its written form.
configtest::Items AsWritten(configtest::Items items) {
    for (auto& [key, value] : items) {
        const std::vector<std::string> lines = config::ValueLines(value);
        value = lines.front();
        for (std::size_t i = 1; i < lines.size(); ++i) value += "\r\n" + lines[i];
    }
    return items;
}

TEST(RoundTrip, SavedFileReadsBackAsTheSameItems) {
    std::mt19937 random(20240611);
    for (int run = 0; run < 400; ++run) {
        configtest::MemoryInstall install(*configtest::Codec().Utf8ToGbk(RandomFile(random)));
        configtest::Items loaded;
        configtest::Items reread;
        {
            const clsConfigFile config(install.files, configtest::Codec());
            loaded = configtest::ItemsOf(config);
        }
        {
            const clsConfigFile config(install.files, configtest::Codec());
            reread = configtest::ItemsOf(config);
            ASSERT_EQ(config.SetAsidePath(), "") << "run " << run;
        }
        ASSERT_EQ(reread, AsWritten(loaded)) << "run " << run;
    }
}

}  // namespace
