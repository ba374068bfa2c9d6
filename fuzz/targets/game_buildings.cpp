// The game's buildings configuration through its reader; then what the level
// computes of every record (costs through the level's modifiers, guests,
// copies), with the modifiers at their ordinary values and at their ends.
#include "fuzz/support/GameFuzzSupport.h"
#include "fuzz/support/NumberMutator.h"
#include "game/config/BuildingsConfiguration.h"
#include "game/config/ConfigReading.h"
#include "game/config/LevelConfig.h"

using namespace engine;

FUZZ_NUMBER_MUTATOR

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CountedRef<game::BuildingsConfiguration> configuration(new game::BuildingsConfiguration());
    fuzz::readGameXml(data, size, [&](XmlReader& r) { configuration->readBuildingsConfiguration(r); });
    CountedRef<game::GLevelConfig> level(new game::GLevelConfig());
    const float workersAdded[] = {0.0f, static_cast<float>(game::bounds::kCount), -static_cast<float>(game::bounds::kCount)};
    const float guestFactors[] = {1.0f, game::bounds::kFactor, 1.0f / game::bounds::kFactor};
    for (int pass = 0; pass < 3; ++pass) {
        level->modifierValues.reset();
        level->modifierValues.WorkersCostA = workersAdded[pass];
        level->modifierValues.GuestsCountM = guestFactors[pass];
        for (const auto& entry : configuration->records()) {
            const game::GBuildingConfig* record = entry.second;
            if (record->LevelModifiers) record->LevelModifiers->apply(*level);
            for (const game::GActiveFeatureConfig& feature : record->ActiveFeatures) {
                if (feature.levelModifiers) feature.levelModifiers->apply(*level);
            }
            for (const game::GLevelConfig* through : {static_cast<const game::GLevelConfig*>(nullptr),
                                                      static_cast<const game::GLevelConfig*>(level.get())}) {
                record->buildWorkersCost(through);
                record->repairWorkersCost(through);
                record->destroyWorkersCost(through);
                record->buildMaterialsCost(through);
                record->repairMaterialsCost(through);
                record->guestsCount(through);
            }
            CountedRef<game::GBuildingConfig> copy(record->copy());
        }
    }
    return 0;
}
