#include "game/config/ConfigurationCheck.h"
#include "engine/core/TextConvert.h"
#include "game/config/BuildingsConfiguration.h"
#include "game/config/LevelConfig.h"
#include "game/config/LevelPaths.h"
#include "game/config/UpgradesConfiguration.h"
#include <filesystem>
#include <regex>

namespace game {

namespace {

class Checker {
public:
    Checker(const BuildingsConfiguration& buildings, const ConfigurationNames& names, std::vector<std::string>& problems)
        : buildings_(buildings), names_(names), problems_(problems) {}

    void problem(const std::string& where, const std::string& text) { problems_.push_back(where + ": " + text); }

    static std::string name(engine::NameId id) { return engine::nameOfId(id).c_str(); }

    void buildingType(const std::string& where, engine::NameId id) {
        if (!buildings_.find(id)) problem(where, "building type \"" + name(id) + "\" is not in the buildings configuration");
    }
    void buildingTypes(const std::string& where, const engine::array<engine::NameId>& ids) {
        for (uint32_t i = 0; i < ids.size(); ++i) buildingType(where, ids[i]);
    }
    void places(const std::string& where, const engine::array<engine::NameId>& ids, const std::set<std::string>& known) {
        if (known.empty()) return;
        for (uint32_t i = 0; i < ids.size(); ++i) {
            if (!known.count(name(ids[i]))) problem(where, "place \"" + name(ids[i]) + "\" is not in the level");
        }
    }
    void cue(const std::string& where, engine::NameId id) {
        if (id == engine::kNoName || names_.soundCues.empty()) return;
        if (!names_.soundCues.count(name(id))) problem(where, "sound cue \"" + name(id) + "\" is not in the sound pack");
    }
    void templateName(const std::string& where, const std::string& text) {
        if (names_.levelTemplates.empty() || names_.levelTemplates.count(text)) return;
        problem(where, "template \"" + text + "\" is not in the level template collection");
    }
    void key(const std::string& where, const std::string& text) {
        if (names_.dictionaryKeys.empty() || names_.dictionaryKeys.count(text)) return;
        problem(where, "dictionary key \"" + text + "\" is missing");
    }
    // Every %KEY% of a text ("%%" is a literal percent sign).
    void textKeys(const std::string& where, const engine::stringw& text) {
        const std::string narrow = engine::narrow(text).c_str();
        size_t pos = 0;
        while ((pos = narrow.find('%', pos)) != std::string::npos) {
            const size_t end = narrow.find('%', pos + 1);
            if (end == std::string::npos) break;
            if (end > pos + 1) key(where, narrow.substr(pos + 1, end - pos - 1));
            pos = end + 1;
        }
    }

private:
    const BuildingsConfiguration& buildings_;
    const ConfigurationNames& names_;
    std::vector<std::string>& problems_;
};

}  // namespace

bool checkConfigurationReferences(const BuildingsConfiguration& buildings, const UpgradesConfiguration& upgrades,
                                  const std::vector<LevelReferences>& levels, const ConfigurationNames& names,
                                  std::vector<std::string>& problems) {
    const size_t before = problems.size();
    Checker check(buildings, names, problems);

    if (!buildings.find(engine::makeNameId("BuildingPlace"))) {
        check.problem("BuildingsConfiguration", "the empty place \"BuildingPlace\" is missing");
    }
    for (const auto& entry : buildings.records()) {
        const GBuildingConfig& record = *entry.second;
        const std::string where = "building " + Checker::name(record.Name);
        if (record.NextLevelName != engine::kNoName) check.buildingType(where + " NextLevelName", record.NextLevelName);
        check.cue(where + " BuiltSoundCueName", record.BuiltSoundCueName);
        check.cue(where + " SelectedSoundCueName", record.SelectedSoundCueName);
        check.templateName(where, Checker::name(record.Name));
        if (record.Level > 0 && !record.DisplayName.empty()) check.key(where + " DisplayName", record.DisplayName.c_str());
        check.textKeys(where + " Description", record.Description);
        check.textKeys(where + " FullDescription", record.FullDescription);
        for (const GActiveFeatureConfig& feature : record.ActiveFeatures) {
            check.textKeys(where + " feature", feature.name);
            check.textKeys(where + " feature", feature.infoText);
            check.textKeys(where + " feature", feature.buttonInfoText);
        }
    }

    for (const auto& entry : upgrades.upgrades()) {
        const Upgrade& upgrade = *entry.second;
        const std::string where = "upgrade " + Checker::name(upgrade.Name);
        check.buildingTypes(where + " AllowsBuilding", upgrade.AllowsBuilding);
        for (const auto& feature : upgrade.AllowsBuildingFeature) {
            const GBuildingConfig* record = buildings.find(feature.first);
            if (!record) {
                check.buildingType(where + " AllowsBuildingFeature", feature.first);
            } else if (feature.second < 1 || static_cast<size_t>(feature.second) >= record->ActiveFeatures.size()) {
                check.problem(where, "building " + Checker::name(feature.first) + " has no feature " +
                                         std::to_string(feature.second + 1) + " to unlock");
            }
        }
        check.textKeys(where + " Info", upgrade.Info);
        // The map shows the names of required upgrades as dictionary keys.
        if (upgrade.ObligatoryLevel >= 0) check.key(where + " Name", Checker::name(upgrade.Name));
    }

    for (const LevelReferences& entry : levels) {
        if (!entry.level) continue;
        const GLevelConfig& level = *entry.level;
        const std::string& where = entry.folder;
        check.textKeys(where + " Description", level.description);
        check.buildingTypes(where + " AvailableBuildingsForBuild", level.availableBuildingsForBuild);
        check.buildingTypes(where + " StationIncomeBonus1BuildingTypes", level.stationIncomeBonus1BuildingTypes);
        check.buildingTypes(where + " StationIncomeBonus2BuildingTypes", level.stationIncomeBonus2BuildingTypes);
        check.places(where + " PyramidIncomeBonusPlaces", level.pyramidIncomeBonusPlaces, entry.placeNames);
        // A listed type is buildable only through an upgrade that applies here.
        for (uint32_t i = 0; i < level.availableBuildingsForBuild.size(); ++i) {
            const engine::NameId type = level.availableBuildingsForBuild[i];
            bool allowed = false;
            for (const auto& upgrade : upgrades.upgrades()) {
                if (upgrade.second->Level < level.levelNumber && containsName(upgrade.second->AllowsBuilding, type)) {
                    allowed = true;
                }
            }
            if (!allowed) {
                check.problem(where, "no upgrade that applies in level " + std::to_string(level.levelNumber) +
                                         " allows \"" + Checker::name(type) + "\"");
            }
        }
        for (uint32_t i = 0; i < level.objectives->size(); ++i) {
            const auto* counting = dynamic_cast<const CountingObjective*>(level.objectives->at(i));
            if (!counting) continue;
            check.buildingTypes(where + " objective", counting->buildingTypes);
            check.places(where + " objective", counting->placeNames, entry.placeNames);
            check.textKeys(where + " objective", counting->infoStr);
        }
        for (uint32_t i = 0; i < level.objectives->size(); ++i) {
            if (const auto* moneyGoal = dynamic_cast<const MoneyObjective*>(level.objectives->at(i))) {
                check.textKeys(where + " objective", moneyGoal->infoStr);
            }
        }
        for (uint32_t i = 0; i < level.randomEvents->size(); ++i) {
            const GRandomEvent* event = level.randomEvents->at(i);
            check.buildingTypes(where + " random event", event->BuildingTypes);
            check.places(where + " random event", event->PlaceNames, entry.placeNames);
        }
        if (entry.paths) {
            const engine::NameId neutral = engine::makeNameId("NeutralCar");
            for (engine::NameId id : entry.paths->carPathIds()) {
                if (id != neutral && !entry.placeNames.empty() && !entry.placeNames.count(Checker::name(id))) {
                    check.problem(where + " LevelPaths", "bus path \"" + Checker::name(id) + "\" names no place");
                }
                for (GLevelPath* path : entry.paths->carPaths(id)) {
                    for (uint32_t c = 0; c < path->cars.size(); ++c) {
                        check.templateName(where + " LevelPaths", Checker::name(path->cars[c]));
                    }
                }
            }
        }
    }
    return problems.size() == before;
}

bool checkConfigurationFiles(const std::string& assetsRoot, const ConfigurationNames& names,
                             const std::map<std::string, std::set<std::string>>& placeNames,
                             std::vector<std::string>& problems) {
    namespace fs = std::filesystem;
    const size_t before = problems.size();
    // Opens and reads one file; a missing or broken one is a problem.
    auto readFile = [&](const std::string& relative, const auto& read) {
        const fs::path path = fs::path(assetsRoot) / relative;
        if (!fs::is_regular_file(path)) {
            problems.push_back(relative + ": missing");
            return;
        }
        engine::XmlReader reader(path.string().c_str());
        if (!read(reader)) problems.push_back(relative + ": does not read whole (see the log)");
    };

    BuildingsConfiguration buildings;
    UpgradesConfiguration upgrades;
    readFile("levels/common/BuildingsConfiguration.xml",
             [&](engine::XmlReader& r) { return buildings.readBuildingsConfiguration(r); });
    readFile("levels/common/UpgradesConfiguration.xml",
             [&](engine::XmlReader& r) { return upgrades.readUpgradesConfiguration(r); });

    std::vector<engine::CountedRef<GLevelConfig>> configs;
    std::vector<engine::CountedRef<GLevelPaths>> paths;
    std::vector<LevelReferences> levels;
    const fs::path levelsFolder = fs::path(assetsRoot) / "levels";
    std::error_code error;
    const std::regex regularLevel("level[0-9]+");
    std::set<std::string> folders;
    for (const auto& entry : fs::directory_iterator(levelsFolder, error)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_directory() && std::regex_match(name, regularLevel)) folders.insert("levels/" + name);
    }
    for (const std::string& folder : folders) {
        configs.emplace_back(new GLevelConfig());
        GLevelConfig* level = configs.back().get();
        readFile(folder + "/LevelConfiguration.xml",
                 [&](engine::XmlReader& r) { return level->readLevelConfiguration(r); });
        LevelReferences entry;
        entry.folder = folder;
        entry.level = level;
        // Paths are optional: without them a level has no traffic.
        if (fs::is_regular_file(fs::path(assetsRoot) / folder / "LevelPaths.xml")) {
            paths.emplace_back(new GLevelPaths());
            GLevelPaths* levelPaths = paths.back().get();
            readFile(folder + "/LevelPaths.xml", [&](engine::XmlReader& r) { return levelPaths->readLevelPaths(r); });
            entry.paths = levelPaths;
        }
        auto places = placeNames.find(folder);
        if (places != placeNames.end()) entry.placeNames = places->second;
        levels.push_back(entry);
    }
    checkConfigurationReferences(buildings, upgrades, levels, names, problems);
    return problems.size() == before;
}

}  // namespace game
