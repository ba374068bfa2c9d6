#pragma once
// Every building kind of the game, read from
// "levels/common/BuildingsConfiguration.xml" and looked up by building name.
#include "engine/core/NameId.h"
#include "engine/core/RefCounted.h"
#include "engine/core/Types.h"
#include "engine/core/XmlReader.h"
#include "game/config/ConfigReading.h"
#include "game/config/LevelModifiers.h"
#include <map>
#include <vector>

namespace engine {
class PropertySet;
}

namespace game {

class GLevelConfig;
class LevelBuildingView;

// One feature the player can run on a building.
// The feature types an active feature can carry: the level acts on these.
constexpr const char* kBoostIncomeFeature = "BoostIncome";
constexpr const char* kBoostServeAreaFeature = "BoostServeArea";
inline std::vector<const char*> featureTypeNames() { return {kBoostIncomeFeature, kBoostServeAreaFeature}; }

class GActiveFeatureConfig {
public:
    GActiveFeatureConfig() = default;
    GActiveFeatureConfig(const GActiveFeatureConfig& other);
    GActiveFeatureConfig& operator=(const GActiveFeatureConfig& other);
    ~GActiveFeatureConfig();

    // Reads the "ActiveFeature" element the reader stands on: its attributes,
    // "Feature" children and an optional "LevelModifiers" child. Ends on its
    // end tag; false when the input ends first.
    bool read(engine::XmlReader& reader);

    engine::NameId buttonName = engine::kNoName;
    int32_t durationTime = 10000;
    int32_t rechargeTime = 10000;
    float moneyCost = 0.0f;
    engine::stringw name;
    engine::stringw infoText;
    engine::stringw buttonInfoText;
    engine::array<engine::NameId> features;
    // Shared between copies; null when the feature brings none.
    LevelModifierList* levelModifiers = nullptr;
};

class GBuildingConfig : public virtual engine::RefCounted {
public:
    GBuildingConfig() = default;
    ~GBuildingConfig() override;
    GBuildingConfig& operator=(const GBuildingConfig&) = delete;

    // Fills the record from the "Building" element the reader stands on; ends
    // on its end tag. False when the input ends first (the record is then
    // incomplete and must not be used).
    bool read(engine::XmlReader& reader);
    // A new record (count 1) with every field copied; the modifier lists are
    // shared with one more reference.
    GBuildingConfig* copy() const;

    // Values through the level's modifiers; a null level gives the plain value.
    float serveAreaIncomeBonus(const LevelBuildingView& building) const;
    float buildMaterialsCost(const GLevelConfig* level) const;
    int32_t buildWorkersCost(const GLevelConfig* level) const;
    float repairMaterialsCost(const GLevelConfig* level) const;
    int32_t repairWorkersCost(const GLevelConfig* level) const;
    int32_t destroyWorkersCost(const GLevelConfig* level) const;
    int32_t guestsCount(const GLevelConfig* level) const;

    engine::stringc DisplayName;
    engine::stringw Description;
    engine::stringw FullDescription;
    float PreviewScale = 0.75f;
    engine::NameId BuiltSoundCueName = engine::kNoName;
    engine::NameId SelectedSoundCueName = engine::kNoName;
    engine::NameId Name = engine::kNoName;
    engine::NameId NextLevelName = engine::kNoName;
    int32_t Level = 0;
    int32_t Type = 0;
    engine::NameId ButtonTemplate = engine::kNoName;
    float BuildTime = 5000.0f;
    float RepairTime = 2000.0f;
    float DestroyTime = 1500.0f;
    int32_t ProvidedService = 0;
    engine::vector2df ServeArea{0.0f, 0.0f};
    engine::vector2df BoostedServeArea{0.0f, 0.0f};
    float ServeAreaIncomeBonus = 0.0f;
    float ServeTime = 2000.0f;
    // No key sets it: every provider serves in periods of 2000 ms.
    float ServicePeriod = 2000.0f;
    float ServeIncome = 0.0f;
    float ServeBoostedIncome = 0.0f;
    float Income = 0.0f;
    float SellPrice = 0.0f;
    float Cost = 0.0f;
    LevelModifierList* LevelModifiers = nullptr;  // one count; null when none
    std::vector<GActiveFeatureConfig> ActiveFeatures;
    float BrokenServeAreaIncomeBonus = 0.0f;
    float BuildMaterialsCost = 10.0f;
    int32_t BuildWorkersCost = 1;
    float RepairMaterialsCost = 10.0f;
    int32_t RepairWorkersCost = 1;
    int32_t DestroyWorkersCost = 1;
    int32_t GuestsCount = 0;

private:
    GBuildingConfig(const GBuildingConfig& other);
    void applyProperties(const engine::PropertySet& properties);
    // Keeps every number field within its sensible range (see bounds).
    void keepNumbersWithin();
};

class BuildingsConfiguration : public virtual engine::RefCounted {
public:
    BuildingsConfiguration() = default;
    ~BuildingsConfiguration() override = default;
    BuildingsConfiguration(const BuildingsConfiguration&) = delete;
    BuildingsConfiguration& operator=(const BuildingsConfiguration&) = delete;

    // Reads the "BuildingsConfiguration" document anew. Input without that
    // root leaves the records as they were (an error is logged); a file cut
    // off keeps the buildings read whole before the cut.
    bool readBuildingsConfiguration(engine::XmlReader& reader);
    GBuildingConfig* find(engine::NameId name) const;
    void clear() { records_.clear(); }

    const std::map<engine::NameId, GBuildingConfig*>& records() const { return records_.map(); }

private:
    RecordMap<engine::NameId, GBuildingConfig> records_;
};

}  // namespace game
