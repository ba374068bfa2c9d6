#pragma once
// What the fuzz targets of the game's readers share: the input read as an
// XML document, and a level state with extreme values for the objectives to
// read.
#include "engine/core/XmlReader.h"
#include "game/config/LevelObjectives.h"
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace fuzz {

// Reads the bytes as an XML document with the reader function (nothing when
// the bytes are no document at all).
void readGameXml(const uint8_t* data, size_t size, const std::function<void(engine::XmlReader&)>& read);

// A level of no buildings whose money, income, workers and guests are set
// by the caller, far beyond what a level reaches if it likes.
class ExtremeLevelState : public game::LevelStateView {
public:
    float moneyValue = 0.0f;
    float incomeValue = 0.0f;
    int32_t workersValue = 0;
    int32_t guestsValue = 0;

    float money() const override { return moneyValue; }
    float dailyIncome() const override { return incomeValue; }
    int32_t workersHired() const override { return workersValue; }
    int32_t guests() const override { return guestsValue; }
    uint32_t buildingCount() const override { return 0; }
    const game::LevelBuildingView& building(uint32_t) const override;
    const std::vector<game::HistoryRecord>& history() const override { return history_; }

private:
    std::vector<game::HistoryRecord> history_;
};

// Every text and test of each objective of the list, read against levels
// from empty to far beyond any goal.
void exerciseObjectives(game::GObjectiveList& objectives);

}  // namespace fuzz
