#include "support/TempDir.h"
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

namespace testing_support {

TempDir::TempDir() {
    // The dot in the name puts every test's files below a dotted folder, as a
    // checkout under "~/src/game.git" or "/tmp/ci.Ab12" has them: code that
    // takes a parent folder's dot for a file's extension fails here.
    std::string pattern = (std::filesystem::temp_directory_path() / "engine-test.XXXXXX").string();
    if (!::mkdtemp(&pattern[0])) throw std::runtime_error("cannot make a folder from " + pattern);
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string TempDir::write(const std::string& relative, const std::string& bytes) const {
    auto full = path_ / relative;
    std::filesystem::create_directories(full.parent_path());
    std::ofstream out(full, std::ios::binary);
    if (!out) throw std::runtime_error("cannot write " + full.string());
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return full.string();
}

std::string TempDir::read(const std::string& fullPath) {
    std::ifstream in(fullPath, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

}  // namespace testing_support
