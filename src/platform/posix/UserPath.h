// Finds the file a path from the configuration means. The path is taken as
// written first (relative to the current directory, as the time-keeper's
// editor shows it); when that names no file, it is tried relative to the
// executable's folder, and with "\" read as "/", so a configuration brought
// from a Windows installation keeps working.
#pragma once

#include <string>

namespace platform {

// Whether `path` names an existing regular file (not a folder, pipe or device).
bool IsRegularFile(const std::string& path);

// Returns the first candidate that names an existing regular file, else the
// first that names anything else there (which the caller refuses), or
// `written` unchanged when none does (the caller then reports it as missing).
std::string ResolveUserPath(const std::string& written, const std::string& executableFolder);

// The first candidate that names anything at all (a folder, a pipe, a
// device...), found without opening it; empty when none does.
std::string FindAnythingAtUserPath(const std::string& written, const std::string& executableFolder);

// Where `written` would be beside the program: what a message about a missing
// file names, since that is where the time-keeper puts the file.
std::string UserPathBesideProgram(const std::string& written, const std::string& executableFolder);

}  // namespace platform
