#include "game/level/tasks/GCloudsTask.h"

#include "engine/core/Event.h"
#include "engine/core/Logger.h"
#include "engine/core/MathRoutines.h"
#include "engine/core/RandomGenerator.h"
#include "engine/core/TemplateCollectionNode.h"
#include "game/world/PathMovers.h"
#include <algorithm>

using namespace engine;

namespace game {

namespace {

constexpr int32_t kInitialClouds = 3;
constexpr int32_t kSpawnIntervalMs = 10000;
// Clouds drift 1500 units towards the bottom left.
constexpr float kDriftLength = 1500.0f;
constexpr int32_t kDriftAngle = -210;
const char* const kCloudTemplates[3] = {"Cloud1", "Cloud2", "Cloud3"};

}  // namespace

const EventMap<GCloudsTask>& GCloudsTask::getEventMap() { return tagReachedEventMap<GCloudsTask>(); }

GCloudsTask::GCloudsTask(BaseNode* cargosNode, TemplateCollectionNode* templates)
    : GBuildingTask(nullptr, nullptr, cargosNode, templates, nullptr, 0.0f, 0) {
    listen();
    for (int32_t i = 0; i < kInitialClouds; ++i) spawn();
}

GCloudsTask::~GCloudsTask() {
    stopListening();
    std::vector<CountedRef<GPathMovableNode>> clouds;
    clouds.swap(clouds_);
    for (const auto& cloud : clouds) removeFromParent(cloud.get());
}

void GCloudsTask::spawn() {
    if (!templates_ || !cargosNode_) return;
    RandomGenerator& random = getRandomGenerator();
    const char* name = kCloudTemplates[random.nextMWC() % 3u];
    BaseNode* found = templates_->getTemplate(makeNameId(name));
    if (!nodeCast<GPathMovableNode>(found)) {
        // Once per task: the countdown would otherwise repeat it every 10 s.
        if (!missingLogged_) {
            logError(stringc("The cloud template \"") + name + "\" is missing or not a path mover");
            missingLogged_ = true;
        }
        return;
    }
    vector2df start;
    if (random.nextMWC() & 1u) {
        start = vector2df(random.nextUnitFloat() * 1024.0f, -50.0f);
    } else {
        start = vector2df(1074.0f, random.nextUnitFloat() * 550.0f);
    }
    vector2df drift(kDriftLength, 0.0f);
    rotateVector2dDegrees(drift, kDriftAngle);
    const float speed = 30.0f + static_cast<float>(random.nextMWC() % 10u);

    GPathMovableNode* cloud = nodeCast<GPathMovableNode>(found->clone(cargosNode_.get(), cargosNode_->getManager()));
    if (!cloud) return;
    cloud->setVisible(true);
    cloud->setSpeed(speed);
    clouds_.push_back(CountedRef<GPathMovableNode>::share(cloud));
    ++spawned_;
    cloud->start({start, start + drift}, TaskNames::movingTo(), false, false);
}

bool GCloudsTask::run(uint32_t ms) {
    if (!templates_) return false;
    // A cloud that arrives leaves the list from inside its own update; the
    // copy keeps every cloud alive until its update has returned.
    const std::vector<CountedRef<GPathMovableNode>> clouds = clouds_;
    for (const auto& cloud : clouds) cloud->update(ms);
    if (static_cast<int32_t>(ms) < countdown_) {
        countdown_ -= static_cast<int32_t>(ms);
    } else {
        countdown_ += kSpawnIntervalMs;
        spawn();
    }
    return true;
}

bool GCloudsTask::onEvent70(NodeTagReachedEvent* event) {
    if (!event || event->getName() != TaskNames::movingTo()) return false;
    auto found = std::find_if(clouds_.begin(), clouds_.end(),
                              [event](const CountedRef<GPathMovableNode>& c) { return c.get() == event->getNode(); });
    if (found == clouds_.end()) return false;
    CountedRef<GPathMovableNode> cloud = *found;
    clouds_.erase(found);
    removeFromParent(cloud.get());
    ++arrived_;
    return false;
}

}  // namespace game
