#include "support/FaultyFileSystem.h"

namespace testsupport {

FaultyFileSystem::FaultyFileSystem(const std::string& folder, const std::string& baseName)
    : real_(platform::ExecutableLocation{folder, baseName}) {}

void FaultyFileSystem::FailAt(FaultStep step, int times) {
    step_ = step;
    remaining_ = times;
}

bool FaultyFileSystem::Fails(FaultStep step) {
    if (step != step_ || remaining_ <= 0) return false;
    --remaining_;
    ++failures_;
    return true;
}

std::string FaultyFileSystem::ExecutableFolder() const { return real_.ExecutableFolder(); }

std::string FaultyFileSystem::ExecutableBaseName() const { return real_.ExecutableBaseName(); }

std::optional<std::string> FaultyFileSystem::ReadFile(const std::string& path) {
    return real_.ReadFile(path);
}

bool FaultyFileSystem::Exists(const std::string& path) { return real_.Exists(path); }

std::string FaultyFileSystem::CreateTemporary(const std::string& near) {
    if (Fails(FaultStep::CreateTemporary)) {
        throw platform::FileError("无法在文件夹中创建临时文件：没有权限（注入的故障）");
    }
    return real_.CreateTemporary(near);
}

void FaultyFileSystem::WriteAll(const std::string& path, const std::string& bytes) {
    if (Fails(FaultStep::WritePartly)) {
        real_.WriteAll(path, bytes.substr(0, bytes.size() / 2));
        throw platform::FileError("写入文件“" + path + "”时出错：磁盘空间不足（注入的故障）");
    }
    real_.WriteAll(path, bytes);
}

void FaultyFileSystem::CopyPermissions(const std::string& model, const std::string& path) {
    if (Fails(FaultStep::CopyPermissions)) {
        throw platform::FileError("无法设置文件“" + path + "”的权限（注入的故障）");
    }
    real_.CopyPermissions(model, path);
}

void FaultyFileSystem::Rename(const std::string& from, const std::string& to) {
    if (Fails(FaultStep::Rename)) {
        throw platform::FileError("无法把“" + from + "”改名为“" + to + "”（注入的故障）");
    }
    real_.Rename(from, to);
}

void FaultyFileSystem::Remove(const std::string& path) noexcept { real_.Remove(path); }

}  // namespace testsupport
