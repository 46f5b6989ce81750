// Lines of the configuration file that look like a slip of the hand. They are
// pointed out at start-up and never changed: the file is the organiser's.
#pragma once

#include <string>
#include <vector>

#include "config/clsConfigFile.h"

// Every setting the window reads, without the namespace prefix.
std::vector<std::string> WindowKeys();

// One line of start-up's message for each likely typo under the store's
// namespace, at most a handful and then how many more:
// - a line without "=" that loading skipped under a key of ours (or naming a
//   key of ours), for holding a full-width "＝" or our prefix, or beginning
//   like a comment (";", "#", "//"), with the key it was not joined to;
// - a key of ours the window does not know that becomes one it knows once
//   spaces and tabs are taken out ("Stage2Timer1<tab>").
std::vector<std::string> LikelyTypos(const clsConfigFile& config);
