// A private folder on the real disk for a test's files, removed afterwards even when a check fails.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string>

namespace testsupport {

struct TestFolder final {
    // `name` may hold spaces and Chinese: the folder is then created under that name, inside a private one.
    explicit TestFolder(const std::string& name = "") : root(Unique()), path(Within(root, name)) {}
    ~TestFolder() { std::error_code ignored; std::filesystem::remove_all(Native(root), ignored); }
    TestFolder(const TestFolder&) = delete;
    const std::string& Path() const { return path; }
    std::string File(const std::string& name) const { return path + "/" + name; }
    std::string Read(const std::string& name) const {
        std::ifstream in(Native(File(name)), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    void Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(Native(File(name)), std::ios::binary | std::ios::trunc) << bytes;
    }
    std::string root, path;

    // A path from UTF-8 text, on Windows as on Linux.
    static std::filesystem::path Native(const std::string& text) { return std::u8string(text.begin(), text.end()); }

private:
    // Portable in place of mkdtemp: a random name that no one else has created.
    static std::string Unique() {
        std::random_device random;
        for (int attempt = 0; attempt < 100; ++attempt) {
            const auto candidate = std::filesystem::temp_directory_path() / ("tolvanexa-" + std::to_string(random()));
            if (std::filesystem::create_directory(candidate)) return Generic(candidate);
        }
        throw std::runtime_error("no temporary folder");
    }
    static std::string Within(const std::string& root, const std::string& name) {
        if (name.empty()) return root;
        std::filesystem::create_directory(Native(root + "/" + name));
        return root + "/" + name;
    }
    static std::string Generic(const std::filesystem::path& folder) {
        const std::u8string text = folder.generic_u8string();
        return {text.begin(), text.end()};
    }
};

}  // namespace testsupport
