#include "game/app/ContentLocation.h"
#include "engine/core/Logger.h"

#include <filesystem>
#include <system_error>

namespace game {

namespace fs = std::filesystem;

bool holdsContent(const std::string& folder) {
    if (folder.empty()) return false;
    std::error_code error;
    return fs::exists(fs::path(folder) / "assets", error) || fs::exists(fs::path(folder) / "assets.oca", error);
}

std::string executableFolder() {
    std::error_code error;
    const fs::path executable = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string() : executable.parent_path().string();
}

std::string findContentFolder(const std::string& executable, const std::string& installed) {
    if (holdsContent(executable)) return executable;
    if (holdsContent(installed)) return installed;
    return std::string();
}

bool enterContentFolder(const std::string& installedFolder) {
    const std::string executable = executableFolder();
    const std::string folder = findContentFolder(executable, installedFolder);
    std::error_code error;
    if (!folder.empty()) fs::current_path(folder, error);
    if (folder.empty() || error) {
        const std::string message = "No game content: neither " + executable + " nor " + installedFolder +
                                    " holds \"assets\" or \"assets.oca\"";
        engine::logError(message.c_str());
        return false;
    }
    return true;
}

}  // namespace game
