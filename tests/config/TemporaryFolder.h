// A fresh folder under the system's temporary folder, removed with everything
// in it when the test ends.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace testsupport {

class TemporaryFolder final {
public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::string& Path() const { return path_; }
    // Path of a file in the folder.
    std::string File(const std::string& name) const { return path_ + "/" + name; }

    // Whole content of a file in the folder ("" when missing).
    std::string Read(const std::string& name) const;
    void Write(const std::string& name, const std::string& bytes) const;
    // Names of the files in the folder, sorted.
    std::vector<std::string> Names() const;

private:
    std::string path_;
};

}  // namespace testsupport
