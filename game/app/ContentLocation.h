#pragma once
// Where the game's content is: the folder that holds "assets" or
// "assets.oca", which the program makes its working directory before it
// starts, so that the content resolves as a relative path.
#include <string>

namespace game {

// True when the folder holds "assets" or "assets.oca".
bool holdsContent(const std::string& folder);
// The folder of the running executable, or empty when it cannot be found.
std::string executableFolder();
// The first of the executable's folder and the installed data folder that
// holds content; empty when neither does.
std::string findContentFolder(const std::string& executableFolder, const std::string& installedFolder);
// Finds the content folder and makes it the working directory. False, with
// one error naming both places, when there is no content.
bool enterContentFolder(const std::string& installedFolder);

}  // namespace game
