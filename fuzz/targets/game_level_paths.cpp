// A level's car and pedestrian paths through their reader; then paths drawn
// for every ID and for the pedestrians.
#include "engine/core/RandomGenerator.h"
#include "fuzz/support/GameFuzzSupport.h"
#include "fuzz/support/NumberMutator.h"
#include "game/config/LevelPaths.h"

using namespace engine;

FUZZ_NUMBER_MUTATOR

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CountedRef<game::GLevelPaths> paths(new game::GLevelPaths());
    fuzz::readGameXml(data, size, [&](XmlReader& r) { paths->readLevelPaths(r); });
    RandomGenerator random;
    random.seed(3);
    for (NameId id : paths->carPathIds()) {
        for (int i = 0; i < 3; ++i) paths->randomCarPath(id, random);
    }
    for (int i = 0; i < 3; ++i) paths->randomPedestrianPath(random);
    return 0;
}
