// The debate record's files on Windows: appends flushed to the disk with
// FlushFileBuffers and cut back to the old length when they fail part-way (a
// full disk). Every path goes to Windows as UTF-16.
#pragma once

#include "platform/RecordFile.h"

namespace platform {

class Win32RecordFiles final : public RecordFiles {
public:
    void CreateFolder(const std::string& folder) override;
    std::unique_ptr<AppendFile> CreateNew(const std::string& path) override;
    std::string ReadRegular(const std::string& path) override;
};

}  // namespace platform
