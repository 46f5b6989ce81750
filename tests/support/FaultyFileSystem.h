// In-memory files failing at one chosen step of a save, as a read-only folder, a disk full
// part-way or a refused rename would. The message names no file: that is the store's job.
#pragma once

#include <optional>
#include <string>

#include "support/MemoryFileSystem.h"

namespace testsupport {

class FaultyFileSystem final : public MemoryFileSystem {
public:
    std::optional<SaveStep> failing;  // the step that fails,
    int timesLeft = 1;                // the next this many times it is taken

private:
    void Step(SaveStep step, const std::string& path) override {
        MemoryFileSystem::Step(step, path);
        if (step == failing && timesLeft-- > 0) throw platform::FileError("磁盘已满或没有权限（故障注入）");
    }
};

}  // namespace testsupport
