#include "platform/UserPath.h"

#include <algorithm>
#include <cctype>

namespace platform {
namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

bool IsAbsolute(const std::string& path) {
    if (!path.empty() && IsSeparator(path[0])) return true;
    return path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
}

std::string InFolder(const std::string& folder, const std::string& path) {
    if (path.empty() || IsAbsolute(path) || folder.empty()) return path;
    return IsSeparator(folder.back()) ? folder + path : folder + "/" + path;
}

std::string Slashed(std::string written) {
    std::replace(written.begin(), written.end(), '\\', '/');
    return written;
}

}  // namespace

std::vector<std::string> UserPathCandidates(const std::string& written, const std::string& executableFolder) {
    return {written, InFolder(executableFolder, written), Slashed(written), InFolder(executableFolder, Slashed(written))};
}

std::string ResolveUserPath(const std::string& written, const std::string& executableFolder, const PathKindAt& kindAt) {
    if (written.empty()) return written;
    for (const std::string& candidate : UserPathCandidates(written, executableFolder)) {
        if (kindAt(candidate) == PathKind::RegularFile) return candidate;
    }
    const std::string anything = FindAnythingAtUserPath(written, executableFolder, kindAt);
    return anything.empty() ? written : anything;
}

std::string FindAnythingAtUserPath(const std::string& written, const std::string& executableFolder,
                                   const PathKindAt& kindAt) {
    if (written.empty()) return {};
    for (const std::string& candidate : UserPathCandidates(written, executableFolder)) {
        if (kindAt(candidate) != PathKind::Nothing) return candidate;
    }
    return {};
}

std::string UserPathBesideProgram(const std::string& written, const std::string& executableFolder) {
    return InFolder(executableFolder, Slashed(written));
}

}  // namespace platform
