// The user path rule (platform/UserPath.h) on POSIX: what is at a path, seen
// with stat() and never opened.
#pragma once

#include <string>

#include "platform/UserPath.h"

namespace platform {

// Whether `path` names an existing regular file (not a folder, pipe or device).
bool IsRegularFile(const std::string& path);

PathKind PosixPathKind(const std::string& path);

inline std::string ResolveUserPath(const std::string& written, const std::string& executableFolder) {
    return ResolveUserPath(written, executableFolder, PosixPathKind);
}

inline std::string FindAnythingAtUserPath(const std::string& written, const std::string& executableFolder) {
    return FindAnythingAtUserPath(written, executableFolder, PosixPathKind);
}

}  // namespace platform
