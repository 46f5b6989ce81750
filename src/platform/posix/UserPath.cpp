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

bool Exists(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

std::string InFolder(const std::string& folder, const std::string& path) {
    if (path.empty() || path.front() == '/' || folder.empty()) return path;
    return folder.back() == '/' ? folder + path : folder + "/" + path;
}

std::string Slashed(std::string written) {
    std::replace(written.begin(), written.end(), '\\', '/');
    return written;
}

std::vector<std::string> Candidates(const std::string& written, const std::string& executableFolder) {
    return {written, InFolder(executableFolder, written), Slashed(written), InFolder(executableFolder, Slashed(written))};
}

}  // namespace

std::string ResolveUserPath(const std::string& written, const std::string& executableFolder) {
    for (const std::string& candidate : Candidates(written, executableFolder)) {
        if (IsRegularFile(candidate)) return candidate;
    }
    // Something that is there but is no regular file (a pipe, a folder) is
    // still what the path means: the caller refuses it and can say why.
    const std::string anything = FindAnythingAtUserPath(written, executableFolder);
    return anything.empty() ? written : anything;
}

std::string FindAnythingAtUserPath(const std::string& written, const std::string& executableFolder) {
    for (const std::string& candidate : Candidates(written, executableFolder)) {
        if (Exists(candidate)) return candidate;
    }
    return {};
}

std::string UserPathBesideProgram(const std::string& written, const std::string& executableFolder) {
    return InFolder(executableFolder, Slashed(written));
}

}  // namespace platform
