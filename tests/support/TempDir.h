#pragma once
// A fresh folder (its name has a dot) under the system's temporary folder,
// removed with its contents.
#include <filesystem>
#include <string>

namespace testing_support {

class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& relative) const { return (path_ / relative).string(); }
    // Writes bytes to a file below the folder, making missing folders.
    std::string write(const std::string& relative, const std::string& bytes) const;
    static std::string read(const std::string& fullPath);

private:
    std::filesystem::path path_;
};

}  // namespace testing_support
