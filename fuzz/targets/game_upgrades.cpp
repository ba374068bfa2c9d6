// The upgrades configuration through its reader; then the availability of a
// level filled from it for every location, with every upgrade bought.
#include "fuzz/support/GameFuzzSupport.h"
#include "fuzz/support/NumberMutator.h"
#include "game/config/LevelConfig.h"
#include "game/config/UpgradesConfiguration.h"

using namespace engine;

FUZZ_NUMBER_MUTATOR

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CountedRef<game::UpgradesConfiguration> upgrades(new game::UpgradesConfiguration());
    fuzz::readGameXml(data, size, [&](XmlReader& r) { upgrades->readUpgradesConfiguration(r); });
    stringc bought;
    for (const auto& entry : upgrades->upgrades()) bought += nameOfId(entry.first) + ";";
    CountedRef<game::GLevelConfig> level(new game::GLevelConfig());
    for (int32_t location : {0, 7, 23}) {
        CountedRef<game::LevelAvailability> availability(new game::LevelAvailability());
        availability->fill(*upgrades, nullptr, location, bought);
        for (const auto& feature : availability->availableFeatures) {
            availability->isFeatureAvailable(feature.first, feature.second);
        }
        for (const CountedRef<game::LevelModifierList>& list : availability->upgradeModifierLists) {
            if (list) list->apply(*level);
        }
    }
    return 0;
}
