// A private folder on the real disk for a test's files, removed afterwards even when a check fails.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

namespace testsupport {

struct TestFolder final {
    TestFolder() : path((std::filesystem::temp_directory_path() / "tolvanexa-XXXXXX").string()) {
        if (!::mkdtemp(path.data())) throw std::runtime_error("no temporary folder in " + path);
    }
    ~TestFolder() { std::error_code ignored; std::filesystem::remove_all(path, ignored); }
    TestFolder(const TestFolder&) = delete;
    const std::string& Path() const { return path; }
    std::string File(const std::string& name) const { return path + "/" + name; }
    std::string Read(const std::string& name) const {
        std::ifstream in(File(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    void Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(File(name), std::ios::binary | std::ios::trunc) << bytes;
    }
    std::string path;
};

}  // namespace testsupport
