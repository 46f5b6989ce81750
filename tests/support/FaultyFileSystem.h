// The real POSIX files, failing on purpose at one chosen step of a save, as a
// full disk, a read-only folder or a rename refused by the system would.
#pragma once

#include <string>

#include "platform/posix/PosixFileSystem.h"

namespace testsupport {

enum class FaultStep {
    None,
    CreateTemporary,  // The folder is not writable: no temporary file can be made.
    WritePartly,      // The disk fills up after part of the content is written.
    CopyPermissions,  // The new file's permission bits cannot be set.
    Rename,           // The new file cannot replace the old one.
};

class FaultyFileSystem final : public platform::FileSystem {
public:
    explicit FaultyFileSystem(const std::string& folder, const std::string& baseName = "Tolvanexa");

    // Fails `step` from now on, `times` times (then behaves again).
    void FailAt(FaultStep step, int times = 1);
    // How many steps of the chosen kind have failed so far.
    int Failures() const { return failures_; }

    std::string ExecutableFolder() const override;
    std::string ExecutableBaseName() const override;
    std::optional<std::string> ReadFile(const std::string& path) override;
    bool Exists(const std::string& path) override;
    std::string CreateTemporary(const std::string& near) override;
    void WriteAll(const std::string& path, const std::string& bytes) override;
    void CopyPermissions(const std::string& model, const std::string& path) override;
    void Rename(const std::string& from, const std::string& to) override;
    void Remove(const std::string& path) noexcept override;

private:
    bool Fails(FaultStep step);

    platform::PosixFileSystem real_;
    FaultStep step_ = FaultStep::None;
    int remaining_ = 0;
    int failures_ = 0;
};

}  // namespace testsupport
