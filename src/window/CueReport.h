// What start-up tells the time-keeper about the configured cues: a line for
// each that will not sound as configured, so a missing bell is found before
// the debate rather than by a hall that hears only a short beep.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/CueQueue.h"

// One line about a cue setting ("“Sound0Seconds”（…）的值“…”：…"), naming the
// value, the file and what will sound instead; empty when it plays as configured.
std::string DescribeCueFault(const std::string& key, const std::string& value, const platform::CueCheck& check);

// Asks the queue about each (key, value) cue setting and returns the paragraph
// for the start-up message, or nothing when every cue plays as configured. An
// empty value is not asked about: it means the built-in tone.
std::string ReportCueSettings(platform::CueQueue& cues, const std::string& configPath,
                              const std::vector<std::pair<std::string, std::string>>& settings);
