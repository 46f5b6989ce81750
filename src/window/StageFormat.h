// A debate format: the stages of a tournament, as settings in the
// configuration's own syntax. Each stage N has a button caption on the home
// page (StageNButton), a name (StageNCaption), a kind (StageNKind: Speech,
// Questioning or Alternating), its durations (StageNTimer1, StageNTimer2), the
// sides its countdowns belong to (StageNSide1, StageNSide2) and whether its
// button joins the one before it without a gap (StageNJoin); StageCount says
// how many there are.
//
// The stages are written in the configuration itself, or in a file its
// "Format" setting names: a folder of such files lets an organiser switch
// formats by one line, and each file is also a whole configuration that runs
// its format when copied over Tolvanexa.config. A format file is read, never
// written. What cannot be used is told in one start-up message naming the
// file, the line and the setting; a stage whose kind is unknown is left out,
// a value that cannot be used gives way to its kind's built-in one, and a
// format without a usable stage gives way to the classic stages.
#pragma once

#include <optional>
#include <string>

#include "config/SettingLines.h"
#include "config/clsConfigFile.h"
#include "platform/FileSystem.h"
#include "window/StageTable.h"

struct FormatLoad {
    std::optional<StageTable> stages;  // nullopt: the classic stages
    std::string notice;                // what start-up tells, in Chinese; empty when all is well
};

// The format the configuration asks for. Without a "Format" or "StageCount"
// setting nothing is read and the classic stages stand.
FormatLoad LoadFormat(const clsConfigFile& config, platform::FileSystem& files, const platform::TextCodec& codec);

// The stages written in `settings` under `prefix` ("<Tolvanexa>\\"); `path`
// names the file in the notice.
FormatLoad ReadFormat(const config::SettingLines& settings, const std::string& prefix, const std::string& path);
