// A configuration file as the program writes it: the header, "<Tolvanexa>\\key = value" lines (a key that
// names its own program, "<Other>\\Width", as it is), CR LF, in GBK.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "support/Codec.h"

namespace testsupport {

using Setting = std::pair<std::string, std::string>;

inline std::string NormalisedConfig(const std::vector<Setting>& settings) {
    std::string file = "#TarvelMonic Config File#\r\n";
    for (const auto& [key, value] : settings)
        file += (key[0] == '<' ? key : "<Tolvanexa>\\" + key) + " = " + value + "\r\n";
    return GbkCodec().Utf8ToGbk(file).value();
}

}  // namespace testsupport
