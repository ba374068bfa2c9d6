#pragma once
// Cross-checks of the configuration files: every building type, place name,
// upgrade, cue and text key that they name must exist. The content check tool
// calls it with the names the other content files provide.
#include <map>
#include <set>
#include <string>
#include <vector>

namespace game {

class BuildingsConfiguration;
class GLevelConfig;
class GLevelPaths;
class UpgradesConfiguration;

// Names provided by other content. An empty set is not checked.
struct ConfigurationNames {
    std::set<std::string> levelTemplates;  // template names of the level template collection
    std::set<std::string> soundCues;       // cue names of the sound pack
    std::set<std::string> dictionaryKeys;  // keys of the dictionary
};

// One level to check.
struct LevelReferences {
    std::string folder;                    // for messages, e.g. "levels/level1"
    const GLevelConfig* level = nullptr;   // required
    const GLevelPaths* paths = nullptr;    // may be null
    std::set<std::string> placeNames;      // building places of the level; empty: not checked
};

// Appends one line per missing name to `problems`; true when none was found.
bool checkConfigurationReferences(const BuildingsConfiguration& buildings, const UpgradesConfiguration& upgrades,
                                  const std::vector<LevelReferences>& levels, const ConfigurationNames& names,
                                  std::vector<std::string>& problems);

// Reads "levels/common/BuildingsConfiguration.xml", "UpgradesConfiguration.xml"
// and every "levels/level<N>/LevelConfiguration.xml" with its "LevelPaths.xml"
// below the content folder `assetsRoot`, and checks them as above.
// `placeNames` gives each level folder's places ("levels/level1" -> names);
// a level without an entry has its places unchecked. A file that is missing
// or does not read whole is a problem too.
bool checkConfigurationFiles(const std::string& assetsRoot, const ConfigurationNames& names,
                             const std::map<std::string, std::set<std::string>>& placeNames,
                             std::vector<std::string>& problems);

}  // namespace game
