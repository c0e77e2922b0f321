// Helpers shared by the unit tests.
#pragma once
#include <filesystem>
#include <optional>
#include <string>

// Makes a fresh, empty directory the current one for the life of the object,
// so the settings files of a test never meet those of another.
class ScratchDirectory {
public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};

std::optional<std::string> readBytes(const std::filesystem::path& path);
void writeBytes(const std::filesystem::path& path, const std::string& bytes);
