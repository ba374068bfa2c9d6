#pragma once
// Small fixtures for the configuration reader tests: readers over XML text,
// and stand-in views of a running level for the objectives.
#include "engine/core/NameId.h"
#include "engine/core/XmlReader.h"
#include "game/config/BuildingsConfiguration.h"
#include "game/config/LevelObjectives.h"
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace config_test {

inline std::unique_ptr<engine::XmlReader> xml(const std::string& text) {
    return std::make_unique<engine::XmlReader>(text.data(), text.size(), "fixture");
}

// Moves the reader onto the first element start.
inline std::unique_ptr<engine::XmlReader> xmlAtRoot(const std::string& text) {
    auto reader = xml(text);
    while (reader->read() && reader->getNodeType() != irr::io::EXN_ELEMENT) {
    }
    return reader;
}

inline engine::NameId id(const char* name) { return engine::makeNameId(name); }

struct StubBuilding : game::LevelBuildingView {
    bool owned = true;
    bool forSale = false;
    int32_t job = 0;
    int32_t cond = 0;
    const game::GBuildingConfig* current = nullptr;
    const game::GBuildingConfig* previous = nullptr;
    engine::NameId place = engine::kNoName;
    float incomeBonus = 0.0f;
    int32_t served = 0;
    std::map<int32_t, int32_t> features;

    bool isOwned() const override { return owned; }
    bool isForSale() const override { return forSale; }
    int32_t jobState() const override { return job; }
    int32_t condition() const override { return cond; }
    const game::GBuildingConfig* record() const override { return current; }
    const game::GBuildingConfig* previousRecord() const override { return previous; }
    engine::NameId placeName() const override { return place; }
    float incomeBonusPercent() const override { return incomeBonus; }
    int32_t servedGuests() const override { return served; }
    int32_t featureState(int32_t index) const override {
        auto it = features.find(index);
        return it == features.end() ? 0 : it->second;
    }
};

struct StubLevel : game::LevelStateView {
    float moneyValue = 0.0f;
    float income = 0.0f;
    int32_t hired = 0;
    int32_t guestCount = 0;
    std::vector<StubBuilding> buildings;
    std::vector<game::HistoryRecord> actions;

    float money() const override { return moneyValue; }
    float dailyIncome() const override { return income; }
    int32_t workersHired() const override { return hired; }
    int32_t guests() const override { return guestCount; }
    uint32_t buildingCount() const override { return static_cast<uint32_t>(buildings.size()); }
    const game::LevelBuildingView& building(uint32_t index) const override { return buildings[index]; }
    const std::vector<game::HistoryRecord>& history() const override { return actions; }
};

// A built record of the given name and type (owned by the caller).
inline engine::CountedRef<game::GBuildingConfig> record(const char* name, int32_t level = 1, int32_t type = 0) {
    engine::CountedRef<game::GBuildingConfig> r(new game::GBuildingConfig());
    r->Name = id(name);
    r->Level = level;
    r->Type = type;
    return r;
}

}  // namespace config_test
