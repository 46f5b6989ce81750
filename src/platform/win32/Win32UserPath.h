// The user path rule (platform/UserPath.h) on Windows: what is at a path,
// seen from its attributes and never opened, a device's name counting as
// something there that is no file.
#pragma once

#include <string>

#include "platform/UserPath.h"

namespace platform {

// A name that opens a device rather than a file: "\\.\" and "\\?\" paths
// and the reserved names (CON, NUL, PRN, AUX, COM1-9, LPT1-9, with or
// without an extension) as the last part of a path.
bool IsDeviceName(const std::string& path);

// Whether `path` names an existing regular file (not a folder, pipe or
// device), found without opening it.
bool IsRegularFile(const std::string& path);

PathKind Win32PathKind(const std::string& path);

inline std::string ResolveUserPath(const std::string& written, const std::string& executableFolder) {
    return ResolveUserPath(written, executableFolder, Win32PathKind);
}

}  // namespace platform
