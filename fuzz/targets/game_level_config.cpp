// A level's configuration through its reader: its properties, objectives and
// random events. Then every objective's texts and tests against levels far
// beyond any goal, the rating thresholds, and every event armed and run for
// a few simulated minutes, its requests answered by a receiver that takes
// them.
#include "engine/core/EventReceiver.h"
#include "engine/core/RandomGenerator.h"
#include "fuzz/support/GameFuzzSupport.h"
#include "fuzz/support/NumberMutator.h"
#include "game/config/LevelConfig.h"

using namespace engine;

FUZZ_NUMBER_MUTATOR

namespace {

class TakingReceiver : public EventReceiver {
public:
    bool handleEvent(Event*) override { return true; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CountedRef<game::GLevelConfig> level(new game::GLevelConfig());
    fuzz::readGameXml(data, size, [&](XmlReader& r) { level->readLevelConfiguration(r); });
    fuzz::exerciseObjectives(*level->objectives);
    for (int32_t i = -1; i < 4; ++i) level->ratingThreshold(i);
    CountedRef<TakingReceiver> receiver(new TakingReceiver());
    RandomGenerator random;
    random.seed(7);
    for (uint32_t i = 0; i < level->randomEvents->size(); ++i) {
        game::GRandomEvent* event = level->randomEvents->at(i);
        event->setRandomGenerator(&random);
        event->arm(receiver.get(), nullptr);
        // Three minutes of the event's own clock, a whole minute at a time too.
        for (int step = 0; step < 360 && event->canFire(); ++step) {
            if (!event->onTimer(game::GRandomEvent::kPeriodMs)) break;
        }
        for (int step = 0; step < 4; ++step) event->onTimer(60000);
        event->detach();
        event->setRandomGenerator(nullptr);
    }
    return 0;
}
