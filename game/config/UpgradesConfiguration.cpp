#include "game/config/UpgradesConfiguration.h"
#include "engine/core/TextConvert.h"
#include "engine/core/TextRoutines.h"
#include "game/config/ConfigReading.h"
#include "game/config/LevelConfig.h"
#include <algorithm>

namespace game {

using engine::XmlReader;

namespace {
const char* const kWhat = "UpgradesConfiguration";
}

Upgrade::Upgrade() : LevelModifiers(new LevelModifierList()) {}

Upgrade::~Upgrade() = default;

bool Upgrade::read(XmlReader& reader) {
    AllowsBuilding.clear();
    AllowsBuildingFeature.clear();
    return forEachChild(reader, [this](XmlReader& r) {
        const engine::stringw& node = r.getNodeName();
        if (node == L"Name") {
            Name = engine::makeNameId(r.getAttributeValue(L"Value"));
        } else if (node == L"Info") {
            Info = r.getAttributeValue(L"Value");
        } else if (node == L"Price") {
            Price = r.getAttributeValueAsInt(L"Value", 0);
            keepWithin(Price, 0, static_cast<int32_t>(bounds::kMoney), kWhat, "Price");
        } else if (node == L"Level") {
            Level = r.getAttributeValueAsInt(L"Value", 0);
            keepWithin(Level, 0, bounds::kSmall, kWhat, "Level");
        } else if (node == L"ObligatoryLevel") {
            ObligatoryLevel = r.getAttributeValueAsInt(L"Value", 0);
            keepWithin(ObligatoryLevel, 0, bounds::kSmall, kWhat, "ObligatoryLevel");
        } else if (node == L"AllowsBuilding") {
            AllowsBuilding.push_back(engine::makeNameId(r.getAttributeValue(L"Value")));
        } else if (node == L"AllowsBuildingFeature") {
            // Counted from 1 in the file; 0 names no feature.
            int32_t featureIndex = r.getAttributeValueAsInt(L"FeatureIndex", 0);
            keepWithin(featureIndex, 0, bounds::kSmall, kWhat, "FeatureIndex");
            AllowsBuildingFeature.emplace_back(engine::makeNameId(r.getAttributeValue(L"Building")), featureIndex - 1);
        } else if (node == L"LevelModifiers") {
            return LevelModifiers->readAppend(r);
        }
        return true;
    });
}

Upgrade* UpgradesConfiguration::find(engine::NameId name) const { return upgrades_.find(name); }

bool UpgradesConfiguration::readUpgradesConfiguration(XmlReader& reader) {
    return readRecordDocument<engine::NameId, Upgrade>(
        reader, L"UpgradesConfiguration", kWhat, upgrades_, [](XmlReader& r, RecordMap<engine::NameId, Upgrade>& read) {
            if (r.getNodeName() != L"Upgrade") return true;
            engine::CountedRef<Upgrade> upgrade(new Upgrade());
            if (!upgrade->read(r)) return false;
            // The shop sells an upgrade only after level Level is finished, so
            // a level from 1 to Level that requires it can never be entered.
            if (upgrade->ObligatoryLevel >= 1 && upgrade->ObligatoryLevel <= upgrade->Level) {
                logConfigError(kWhat, engine::stringc("upgrade \"") + engine::nameOfId(upgrade->Name) +
                                          "\" is required by level " + numberText(upgrade->ObligatoryLevel) +
                                          " but sold only after level " + numberText(upgrade->Level) +
                                          "; that level could never be played");
            }
            const engine::NameId name = upgrade->Name;
            read.insertFirst(name, upgrade);
            return true;
        });
}

void LevelAvailability::fill(const UpgradesConfiguration& configuration, const GLevelConfig* level,
                             int32_t levelIndex, const engine::stringc& boughtUpgrades) {
    engine::array<engine::NameId> names = engine::splitBySemicolon(boughtUpgrades);
    // Free upgrades always count as bought.
    for (const auto& entry : configuration.upgrades()) {
        if (entry.second->Price == 0) names.push_back(entry.first);
    }
    // The regular level number of the location: every eighth one is a mini-game.
    const int32_t levelNumber = levelIndex - (levelIndex + 1) / 8;
    for (uint32_t i = 0; i < names.size(); ++i) {
        const Upgrade* upgrade = configuration.find(names[i]);
        if (!upgrade || upgrade->Level > levelNumber) continue;
        for (uint32_t t = 0; t < upgrade->AllowsBuilding.size(); ++t) {
            const engine::NameId type = upgrade->AllowsBuilding[t];
            if (level && !containsName(level->availableBuildingsForBuild, type)) continue;
            if (!containsName(availableBuildingTypes, type)) availableBuildingTypes.push_back(type);
        }
        availableFeatures.insert(availableFeatures.end(), upgrade->AllowsBuildingFeature.begin(),
                                 upgrade->AllowsBuildingFeature.end());
        const engine::CountedRef<LevelModifierList>& list = upgrade->LevelModifiers;
        if (std::find(upgradeModifierLists.begin(), upgradeModifierLists.end(), list) == upgradeModifierLists.end()) {
            upgradeModifierLists.push_back(list);
        }
    }
}

bool LevelAvailability::isBuildingAvailable(engine::NameId type) const {
    return containsName(availableBuildingTypes, type);
}

bool LevelAvailability::isFeatureAvailable(engine::NameId type, int32_t featureIndex) const {
    if (featureIndex == 0) return true;
    return std::find(availableFeatures.begin(), availableFeatures.end(), std::make_pair(type, featureIndex)) !=
           availableFeatures.end();
}

}  // namespace game
