// The level scores and the comics configuration through their readers (the
// same bytes through both: each skips what is not its own).
#include "fuzz/support/GameFuzzSupport.h"
#include "fuzz/support/NumberMutator.h"
#include "game/config/LevelScores.h"

using namespace engine;

FUZZ_NUMBER_MUTATOR

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CountedRef<game::LevelScores> scores(new game::LevelScores());
    fuzz::readGameXml(data, size, [&](XmlReader& r) { scores->readLevelScores(r); });
    CountedRef<game::ComicsConfiguration> comics(new game::ComicsConfiguration());
    fuzz::readGameXml(data, size, [&](XmlReader& r) { comics->readComicsConfiguration(r); });
    for (int32_t level = -1; level < 30; ++level) comics->find(level);
    return 0;
}
