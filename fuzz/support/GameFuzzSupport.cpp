#include "fuzz/support/GameFuzzSupport.h"
#include "fuzz/support/FuzzSupport.h"
#include <cstdlib>

namespace fuzz {

void readGameXml(const uint8_t* data, size_t size, const std::function<void(engine::XmlReader&)>& read) {
    quietLogger();
    engine::CountedRef<engine::XmlReader> reader(new engine::XmlReader(data, size, "fuzz.xml"));
    if (reader->isValid()) read(*reader);
}

const game::LevelBuildingView& ExtremeLevelState::building(uint32_t) const {
    // buildingCount() is 0: no caller may ask.
    std::abort();
}

void exerciseObjectives(game::GObjectiveList& objectives) {
    const float moneys[] = {0.0f, -1.0f, 1e20f, -1e20f, 3e9f};
    const int32_t counts[] = {0, -1, 2147483647, -2147483647 - 1};
    for (uint32_t i = 0; i < objectives.size(); ++i) {
        game::GObjective* objective = objectives.at(i);
        objective->getText(true);
        objective->getText(false);
        objective->getHint();
        for (size_t k = 0; k < 5; ++k) {
            ExtremeLevelState level;
            level.moneyValue = level.incomeValue = moneys[k];
            level.workersValue = level.guestsValue = counts[k % 4];
            objective->isMet(level);
            objective->getProgressText(level);
        }
        objective->reset();
    }
}

}  // namespace fuzz
