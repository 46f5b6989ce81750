// Finds the file a path from the configuration means, by one rule on every
// edition. The path is taken as written first (relative to the current
// folder, as the time-keeper's editor shows it); when that names no file, it
// is tried relative to the executable's folder, then both again with "\"
// read as "/", so a configuration brought from either edition keeps working.
// A path is absolute when it starts with "/" or "\" or a drive ("C:"): it is
// never put beside the program. The system only says what is at a path,
// without opening it (PathKindAt).
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace platform {

enum class PathKind {
    Nothing,
    RegularFile,
    Other,  // a folder, a pipe, a device...: there, but never opened as a file
};

using PathKindAt = std::function<PathKind(const std::string& path)>;

// The places tried, in order.
std::vector<std::string> UserPathCandidates(const std::string& written, const std::string& executableFolder);

// The first candidate that names a regular file, else the first that names
// anything else there (which the caller refuses, and can say why), or
// `written` unchanged when none does (the caller then reports it as missing).
std::string ResolveUserPath(const std::string& written, const std::string& executableFolder, const PathKindAt& kindAt);

// The first candidate that names anything at all; empty when none does.
std::string FindAnythingAtUserPath(const std::string& written, const std::string& executableFolder,
                                   const PathKindAt& kindAt);

// Where `written` would be beside the program: what a message about a missing
// file names, since that is where the time-keeper puts the file.
std::string UserPathBesideProgram(const std::string& written, const std::string& executableFolder);

}  // namespace platform
