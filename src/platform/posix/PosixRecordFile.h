// The debate record's files on a POSIX system: appends synced with fsync and
// undone with ftruncate when they fail part-way (a full disk).
#pragma once

#include "platform/RecordFile.h"

namespace platform {

class PosixRecordFiles final : public RecordFiles {
public:
    void CreateFolder(const std::string& folder) override;
    std::unique_ptr<AppendFile> CreateNew(const std::string& path) override;
    std::string ReadRegular(const std::string& path) override;
};

}  // namespace platform
