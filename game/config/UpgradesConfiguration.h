#pragma once
// The shop's permanent upgrades ("levels/common/UpgradesConfiguration.xml")
// and, per level, what the bought upgrades make available.
#include "engine/core/NameId.h"
#include "engine/core/RefCounted.h"
#include "engine/core/Types.h"
#include "engine/core/XmlReader.h"
#include "game/config/ConfigReading.h"
#include "game/config/LevelModifiers.h"
#include <map>
#include <utility>
#include <vector>

namespace game {

class GLevelConfig;

class Upgrade : public virtual engine::RefCounted {
public:
    Upgrade();
    ~Upgrade() override;
    Upgrade(const Upgrade&) = delete;
    Upgrade& operator=(const Upgrade&) = delete;

    // Reads the "Upgrade" element the reader stands on; ends on its end tag.
    // False when the input ends first.
    bool read(engine::XmlReader& reader);

    engine::NameId Name = engine::kNoName;
    engine::stringw Info;
    int32_t Price = 0;
    // The upgrade is sold once regular level number Level is finished and
    // applies from level Level + 1 on (0: from the first level).
    int32_t Level = 0;
    int32_t ObligatoryLevel = -1;
    engine::array<engine::NameId> AllowsBuilding;
    // (building type, 0-based feature index)
    std::vector<std::pair<engine::NameId, int32_t>> AllowsBuildingFeature;
    engine::CountedRef<LevelModifierList> LevelModifiers;
};

class UpgradesConfiguration : public virtual engine::RefCounted {
public:
    UpgradesConfiguration() = default;
    ~UpgradesConfiguration() override = default;
    UpgradesConfiguration(const UpgradesConfiguration&) = delete;
    UpgradesConfiguration& operator=(const UpgradesConfiguration&) = delete;

    // Reads the "UpgradesConfiguration" document anew. Input without that root
    // leaves the records as they were (an error is logged). An upgrade that a
    // level requires before the shop can sell it is logged as an error.
    bool readUpgradesConfiguration(engine::XmlReader& reader);
    Upgrade* find(engine::NameId name) const;
    void clear() { upgrades_.clear(); }

    // In catalogue (name-id) order.
    const std::map<engine::NameId, Upgrade*>& upgrades() const { return upgrades_.map(); }

private:
    RecordMap<engine::NameId, Upgrade> upgrades_;
};

class LevelAvailability : public virtual engine::RefCounted {
public:
    LevelAvailability() = default;

    // Fills the availability of the location `levelIndex` from the player's
    // "BoughtUpgrades" text (empty without a player) and the free upgrades.
    // An upgrade applies when its Level is below the location's regular level
    // number; with a level record, allowed types are also limited to the
    // level's AvailableBuildingsForBuild.
    void fill(const UpgradesConfiguration& configuration, const GLevelConfig* level, int32_t levelIndex,
              const engine::stringc& boughtUpgrades);

    bool isBuildingAvailable(engine::NameId type) const;
    bool isFeatureAvailable(engine::NameId type, int32_t featureIndex) const;

    // Counted, so a reload of the upgrades during a level leaves them valid.
    std::vector<engine::CountedRef<LevelModifierList>> upgradeModifierLists;
    engine::array<engine::NameId> availableBuildingTypes;
    std::vector<std::pair<engine::NameId, int32_t>> availableFeatures;
};

}  // namespace game
