#include "game/config/LevelConfig.h"
#include "engine/core/PropertySet.h"
#include "engine/core/TextConvert.h"
#include "engine/core/TextRoutines.h"
#include "game/config/ConfigReading.h"
#include <algorithm>
#include <climits>

namespace game {


namespace {

const char* const kWhat = "LevelConfiguration";

struct OrderRow {
    float amount;
    float price;
    float timeMs;
};
const OrderRow kMaterialOrders[] = {{125, 12500, 5000},   {250, 22500, 6000},    {500, 40000, 7000},
                                    {1000, 75000, 9000},  {2500, 150000, 10000}, {5000, 250000, 12000}};
const OrderRow kWorkerOrders[] = {{1, 50000, 5000}, {2, 90000, 7000}, {3, 125000, 10000}, {4, 150000, 12000}};

std::vector<engine::stringc> splitKeepingEmpty(const engine::stringc& text) {
    std::vector<engine::stringc> pieces;
    if (text.empty()) return pieces;
    engine::stringc piece;
    for (uint32_t i = 0; i < text.size(); ++i) {
        if (text[i] == ';') {
            pieces.push_back(piece);
            piece = "";
        } else {
            piece.append(text[i]);
        }
    }
    pieces.push_back(piece);
    return pieces;
}

}  // namespace

int32_t parseLeadingNumber(const engine::stringw& text) {
    const wchar_t* p = text.c_str();
    bool negative = false;
    if (*p == L'-' || *p == L'+') {
        negative = *p == L'-';
        ++p;
    }
    int64_t value = 0;
    for (; *p >= L'0' && *p <= L'9'; ++p) {
        value = value * 10 + (*p - L'0');
        if (value > INT_MAX) value = INT_MAX;
    }
    return static_cast<int32_t>(negative ? -value : value);
}

GLevelConfig::GLevelConfig() : objectives(new GObjectiveList()), randomEvents(new GRandomEventList()) {}

GLevelConfig::~GLevelConfig() = default;

int32_t GLevelConfig::ratingThreshold(int32_t index) const {
    if (ratingThresholds.empty()) return 0;
    if (index < 0) index = 0;
    if (static_cast<size_t>(index) >= ratingThresholds.size()) return ratingThresholds.back();
    return ratingThresholds[static_cast<size_t>(index)];
}

void GLevelConfig::fillOrderOptions() {
    // The offers are fixed; a second "Properties" element must not add them again.
    if (!materialOrderOptions.empty() || !workerOrderOptions.empty()) return;
    for (const OrderRow& row : kMaterialOrders) {
        materialOrderOptions.push_back(engine::makeRef<OrderOption>(row.amount, row.price, row.timeMs));
    }
    for (const OrderRow& row : kWorkerOrders) {
        workerOrderOptions.push_back(engine::makeRef<OrderOption>(row.amount, row.price, row.timeMs));
    }
}

// Keys are taken in this order; a missing key keeps the field, a key of the
// wrong type gives 0, false or (0, 0), and a text key takes any value's text.
void GLevelConfig::applyProperties(const engine::PropertySet& properties) {
    const PropertyTaker p(properties);
    auto takeRange = [&](const char* key, engine::vector2df& field, float high) {
        if (!p.has(key)) return;
        p.take(key, field);
        keepWithin(field, 0.0f, high, kWhat, key);
        orderRange(field, (engine::stringc(kWhat) + " " + key).c_str());
    };
    using namespace bounds;
    const float time = static_cast<float>(kTimeMs);

    p.take("Name", name);
    levelNumber = parseLeadingNumber(name);
    p.take("Description", description);
    p.take("SettingIndex", settingIndex);
    keepWithin(settingIndex, 0, kSmall, kWhat, "SettingIndex");
    if (p.has("UnlockLevels")) {
        engine::stringc text;
        p.take("UnlockLevels", text);
        unlockLevels = splitKeepingEmpty(text);
    }
    p.takeNames("AvailableBuildingsForBuild", availableBuildingsForBuild);
    p.take("LevelTime", levelTime);
    keepWithin(levelTime, -1, kTimeMs / 1000, kWhat, "LevelTime");  // seconds
    p.take("Score", score);
    keepWithin(score, 0, kCount, kWhat, "Score");
    p.take("ExpertScore", expertScore);
    keepWithin(expertScore, 0, kCount, kWhat, "ExpertScore");
    if (p.has("DayLength")) {
        p.take("DayLength", dayLength);
        // A day of 0 seconds would pay a day's income on every tick.
        if (dayLength < 1) {
            logConfigError(kWhat, engine::stringc("DayLength ") + numberText(dayLength) +
                                      " is invalid (it must be 1 or more, as an int); 60 is used");
            dayLength = 60;
        }
        keepWithin(dayLength, 1, kTimeMs / 1000, kWhat, "DayLength");
    }
    p.take("InitMoney", initMoney);
    keepWithin(initMoney, 0.0f, kMoney, kWhat, "InitMoney");
    p.take("InitRating", initRating);
    keepWithin(initRating, -kPercent, kPercent, kWhat, "InitRating");
    p.take("InitMaterialsCount", initMaterialsCount);
    keepWithin(initMaterialsCount, 0.0f, static_cast<float>(kCount), kWhat, "InitMaterialsCount");
    p.take("InitWorkersCount", initWorkersCount);
    keepWithin(initWorkersCount, 0, kCount, kWhat, "InitWorkersCount");
    p.take("IncomeBonus1", incomeBonus1);
    keepWithin(incomeBonus1, -kPercent, kPercent, kWhat, "IncomeBonus1");
    p.take("IncomeBonus2", incomeBonus2);
    keepWithin(incomeBonus2, -kPercent, kPercent, kWhat, "IncomeBonus2");
    p.takeNames("PyramidIncomeBonusPlaces", pyramidIncomeBonusPlaces);
    p.take("StationIncomeBonus1", stationIncomeBonus1);
    keepWithin(stationIncomeBonus1, -kPercent, kPercent, kWhat, "StationIncomeBonus1");
    p.take("StationIncomeBonus2", stationIncomeBonus2);
    keepWithin(stationIncomeBonus2, -kPercent, kPercent, kWhat, "StationIncomeBonus2");
    p.takeNames("StationIncomeBonus1BuildingTypes", stationIncomeBonus1BuildingTypes);
    p.takeNames("StationIncomeBonus2BuildingTypes", stationIncomeBonus2BuildingTypes);
    takeRange("BuildingsSellTime", buildingsSellTime, time);
    takeRange("BuildingsBuyRequestTime", buildingsBuyRequestTime, time);
    takeRange("BuildingsBuyRequestTimeWaiting", buildingsBuyRequestTimeWaiting, time);
    takeRange("BuildingsBuyRequestPriceMultiplier", buildingsBuyRequestPriceMultiplier, kFactor);
    fillOrderOptions();
    p.take("IsRatingOn", isRatingOn);
    p.take("IsClockOn", isClockOn);
    p.take("IsBuildingLevelOn", isBuildingLevelOn);
    p.take("IsBuildingPlaceLuckinessOn", isBuildingPlaceLuckinessOn);
    p.take("IsSellOn", isSellOn);
    p.take("IsNotOwnedDecorationsDirty", isNotOwnedDecorationsDirty);
}

bool GLevelConfig::readLevelConfiguration(engine::XmlReader& reader) {
    bool complete = false;
    const bool found = readRootElement(
        reader, L"Level", kWhat,
        [this](engine::XmlReader& r) {
            const engine::stringw& node = r.getNodeName();
            if (node == L"Properties") {
                return readPropertiesElement(r, [this](const engine::PropertySet& set) { applyProperties(set); });
            }
            if (node == L"Objectives") return objectives->read(r);
            if (node == L"RandomEvents") return randomEvents->read(r);
            return true;
        },
        &complete);
    return found && complete;
}

}  // namespace game
