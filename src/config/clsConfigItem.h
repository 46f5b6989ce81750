// One setting: its whole key (namespace prefix included) and its text value.
#pragma once

#include <string>

struct clsConfigItem final {
    // In the letter case in which the key was first added.
    std::string Key;
    // Several lines are separated by CR LF.
    std::string Value;
};
