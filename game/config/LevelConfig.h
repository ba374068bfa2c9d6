#pragma once
// The record of one level, read from the level folder's "LevelConfiguration.xml".
#include "engine/core/NameId.h"
#include "engine/core/RefCounted.h"
#include "engine/core/Types.h"
#include "engine/core/XmlReader.h"
#include "game/config/LevelModifiers.h"
#include "game/config/LevelObjectives.h"
#include "game/config/RandomEvents.h"
#include <vector>

namespace engine {
class PropertySet;
}

namespace game {

// One delivery offer of the level's order commands.
class OrderOption : public virtual engine::RefCounted {
public:
    OrderOption(float amount, float price, float timeMs) : amount(amount), price(price), timeMs(timeMs) {}
    float amount;
    float price;
    float timeMs;
};

class GLevelConfig : public virtual engine::RefCounted {
public:
    GLevelConfig();
    ~GLevelConfig() override;
    GLevelConfig(const GLevelConfig&) = delete;
    GLevelConfig& operator=(const GLevelConfig&) = delete;

    // Reads the "Level" element: its "Properties", "Objectives" and
    // "RandomEvents" children. False, with an error logged, when the input
    // holds no "Level" element or ends before its end tag.
    bool readLevelConfiguration(engine::XmlReader& reader);
    // Takes the keys present in the set; see the .cpp for the rules.
    void applyProperties(const engine::PropertySet& properties);

    // The threshold at the index, or the last one past the end.
    int32_t ratingThreshold(int32_t index) const;

    engine::stringw name;
    engine::stringw description;
    int32_t levelNumber = -1;
    int32_t settingIndex = 1;
    std::vector<engine::stringc> unlockLevels;
    engine::array<engine::NameId> availableBuildingsForBuild;
    engine::CountedRef<GObjectiveList> objectives;
    engine::CountedRef<GRandomEventList> randomEvents;
    int32_t levelTime = -1;
    int32_t score = 0;
    int32_t expertScore = 0;
    int32_t dayLength = 60;
    float initMoney = 0.0f;
    float initRating = 0.0f;
    float initMaterialsCount = 0.0f;
    int32_t initWorkersCount = 0;
    float incomeBonus1 = 0.0f;
    float incomeBonus2 = 0.0f;
    engine::array<engine::NameId> pyramidIncomeBonusPlaces;
    float stationIncomeBonus1 = 0.0f;
    float stationIncomeBonus2 = 0.0f;
    engine::array<engine::NameId> stationIncomeBonus1BuildingTypes;
    engine::array<engine::NameId> stationIncomeBonus2BuildingTypes;
    engine::vector2df buildingsSellTime{10000.0f, 60000.0f};
    engine::vector2df buildingsBuyRequestTime{10000.0f, 60000.0f};
    engine::vector2df buildingsBuyRequestTimeWaiting{10000.0f, 20000.0f};
    engine::vector2df buildingsBuyRequestPriceMultiplier{0.8f, 1.0f};
    std::vector<engine::CountedRef<OrderOption>> materialOrderOptions;
    std::vector<engine::CountedRef<OrderOption>> workerOrderOptions;
    bool isRatingOn = true;
    bool isClockOn = true;
    bool isBuildingLevelOn = true;
    bool isBuildingPlaceLuckinessOn = true;
    bool isSellOn = true;
    bool isNotOwnedDecorationsDirty = false;
    LevelModifierValues modifierValues;
    std::vector<int32_t> ratingThresholds{0, 50};

private:
    void fillOrderOptions();
};

// The decimal number at the very start of the text (optional sign, digits, no
// blanks skipped), or 0 when it does not start with one.
int32_t parseLeadingNumber(const engine::stringw& text);

}  // namespace game
