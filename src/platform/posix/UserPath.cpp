#include "platform/posix/UserPath.h"

#include <sys/stat.h>

#include <algorithm>
#include <vector>

namespace platform {
bool IsRegularFile(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

namespace {

std::string InFolder(const std::string& folder, const std::string& path) {
    if (path.empty() || path.front() == '/' || folder.empty()) return path;
    return folder.back() == '/' ? folder + path : folder + "/" + path;
}

}  // namespace

std::string ResolveUserPath(const std::string& written, const std::string& executableFolder) {
    std::string slashed = written;
    std::replace(slashed.begin(), slashed.end(), '\\', '/');
    const std::vector<std::string> candidates = {
        written,
        InFolder(executableFolder, written),
        slashed,
        InFolder(executableFolder, slashed),
    };
    for (const std::string& candidate : candidates) {
        if (IsRegularFile(candidate)) return candidate;
    }
    return written;
}

}  // namespace platform
