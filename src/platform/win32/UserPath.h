// Finds the file a path from the configuration means, on Windows. The path
// is taken as written first (relative to the current folder); when that names
// no file, it is tried relative to the executable's folder. "\" and "/" both
// separate folders, so a configuration brought from either edition works.
#pragma once

#include <string>

namespace platform {

// A name that opens a device rather than a file: "\\.\" and "\\?\" paths
// and the reserved names (CON, NUL, PRN, AUX, COM1-9, LPT1-9, with or
// without an extension) as the last part of a path.
bool IsDeviceName(const std::string& path);

// Whether `path` names an existing regular file (not a folder, pipe or
// device), found without opening it.
bool IsRegularFile(const std::string& path);

// Returns the first candidate that names an existing regular file, or
// `written` unchanged when none does (the caller then reports it as missing).
std::string ResolveUserPath(const std::string& written, const std::string& executableFolder);

}  // namespace platform
