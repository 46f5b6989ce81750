#include "platform/posix/PosixUserPath.h"

#include <sys/stat.h>

namespace platform {

bool IsRegularFile(const std::string& path) { return PosixPathKind(path) == PathKind::RegularFile; }

PathKind PosixPathKind(const std::string& path) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0) return PathKind::Nothing;
    return S_ISREG(st.st_mode) ? PathKind::RegularFile : PathKind::Other;
}

}  // namespace platform
