#include "game/level/tasks/GBuildingTask.h"

#include "engine/audio/SoundManager.h"
#include "engine/controls/BaseProgressBarNode.h"
#include "engine/core/BaseNode.h"
#include "engine/core/Event.h"
#include "engine/core/EventIds.h"
#include "engine/core/Logger.h"
#include "engine/core/TemplateCollectionNode.h"
#include "game/config/BuildingsConfiguration.h"
#include "game/config/LevelConfig.h"
#include "game/config/LevelPaths.h"
#include "game/level/GBuildingNode.h"
#include "game/level/GGameLevelScene.h"
#include "game/world/LevelTraffic.h"
#include "game/world/PathMovers.h"

using namespace engine;

namespace game {

namespace TaskNames {
NameId movingTo() {
    static const NameId id = makeNameId("MovingTo");
    return id;
}
NameId movingFrom() {
    static const NameId id = makeNameId("MovingFrom");
    return id;
}
}  // namespace TaskNames

GBuildingTask::GBuildingTask() { setMask(EventCategory::Game | EventCategory::Node); }

GBuildingTask::GBuildingTask(GGameLevelScene* scene, GBuildingNode* building, BaseNode* cargosNode,
                             TemplateCollectionNode* templates, GLevelPath* path, float materials,
                             int32_t workers)
    : GBuildingTask() {
    scene_ = scene;
    building_ = CountedRef<GBuildingNode>::share(building);
    if (building && building->getRecord()) record_ = CountedRef<GBuildingConfig>::share(building->getRecord());
    cargosNode_ = CountedRef<BaseNode>::share(cargosNode);
    templates_ = CountedRef<TemplateCollectionNode>::share(templates);
    if (path) {
        pathPoints_.reserve(path->points.size());
        for (const PathPoint& point : path->points) pathPoints_.push_back(vector2df(point.x, point.y));
    }
    materials_ = materials;
    workers_ = workers;
}

GBuildingTask::~GBuildingTask() {
    stopListening();
    removeBus();
    removeProgressBar();
}

bool GBuildingTask::handleEvent(Event*) { return false; }
bool GBuildingTask::routeToParent(int32_t, Event*) { return false; }
bool GBuildingTask::routeToChildren(int32_t, Event*) { return false; }

void GBuildingTask::listen() {
    if (listening_) return;
    listening_ = true;
    if (cargosNode_) cargosNode_->addPostListener(this);
    if (building_) building_->addPostListener(this);
}

void GBuildingTask::stopListening() {
    if (!listening_) return;
    listening_ = false;
    if (cargosNode_) cargosNode_->removePostListener(this);
    if (building_) building_->removePostListener(this);
}

void GBuildingTask::post(Event* adopted) {
    CountedRef<Event> event(adopted);
    if (!event || !scene_) return;
    // The scene may release this task while handling the event.
    CountedRef<GBuildingTask> keep = CountedRef<GBuildingTask>::share(this);
    EventReceiver* receiver = scene_;
    if (!receiver->handleEvent(event.get())) receiver->routeToParent(DeliveryMode::HandleThenParent, event.get());
}

GLevelConfig* GBuildingTask::levelConfig() const {
    if (scene_ && scene_->levelConfig) return scene_->levelConfig;
    return building_ ? building_->getLevelConfig() : nullptr;
}

float GBuildingTask::buildTimeM() const {
    const GLevelConfig* level = levelConfig();
    return level ? level->modifierValues.BuildTimeM : 1.0f;
}

BaseNode* GBuildingTask::instantiate(const char* templateName, BaseNode* parent, bool logMissing) {
    if (!parent) return nullptr;
    BaseNode* found = templates_ ? templates_->getTemplate(makeNameId(templateName)) : nullptr;
    if (!found) {
        if (logMissing) {
            logError(stringc("The level template \"") + templateName + "\" is missing");
        }
        return nullptr;
    }
    BaseNode* node = found->clone(parent, parent->getManager());
    if (node) node->setVisible(true);
    return node;
}

void GBuildingTask::enterState(BaseNode* node, const char* state) {
    if (node) node->enterStateInChildren(makeNameId(state));
}

void GBuildingTask::removeFromParent(BaseNode* node) {
    if (!node) return;
    CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(node);
    if (BaseNode* parent = node->getParent()) parent->removeChild(node);
}

void GBuildingTask::clearOwnJob() {
    if (building_) building_->clearJob(this);
}

bool GBuildingTask::startBus(float speed, bool joinTraffic, bool playCue) {
    if (!hasDeliveryPath() || !cargosNode_) return false;
    BaseNode* node = instantiate("Bus", cargosNode_.get());
    GPathMovableNode* mover = nodeCast<GPathMovableNode>(node);
    if (!mover) {
        if (node) {
            logError("The level template \"Bus\" is not a path mover");
            removeFromParent(node);
        }
        return false;
    }
    bus_ = CountedRef<GPathMovableNode>::share(mover);
    if (joinTraffic && scene_ && scene_->traffic) mover->setTraffic(scene_->traffic, true);
    mover->setSpeed(speed);
    mover->start(pathPoints_, TaskNames::movingTo(), false, false);
    if (playCue) {
        if (SoundManager* sounds = getCurrentSoundManager()) sounds->playCue(makeNameId("Bus"), false, 0);
    }
    return true;
}

void GBuildingTask::driveBusBack() {
    if (bus_ && hasDeliveryPath()) bus_->start(pathPoints_, TaskNames::movingFrom(), true, false);
}

void GBuildingTask::removeBus() {
    if (!bus_) return;
    CountedRef<GPathMovableNode> bus = bus_;
    bus_.reset();
    bus->setTraffic(nullptr, false);
    removeFromParent(bus.get());
}

void GBuildingTask::createProgressBar() {
    if (!building_) return;
    BaseNode* node = instantiate("ProgressBarOverBuilding", building_.get(), false);
    BaseProgressBarNode* bar = nodeCast<BaseProgressBarNode>(node);
    if (!bar) {
        removeFromParent(node);
        return;
    }
    progressBar_ = CountedRef<BaseProgressBarNode>::share(bar);
    bar->applyTemplate();
    bar->setVisible(true);
    bar->setMinValue(0.0f);
    bar->setMaxValue(1.0f);
    bar->setValue(0.0f);
}

void GBuildingTask::showProgress(float value) {
    if (progressBar_) progressBar_->setValue(value);
}

void GBuildingTask::removeProgressBar() {
    if (!progressBar_) return;
    CountedRef<BaseProgressBarNode> bar = progressBar_;
    progressBar_.reset();
    removeFromParent(bar.get());
}

float GBuildingTask::countdownShare(float total, float remaining) {
    if (total <= 0.0f) return 1.0f;
    const float share = (total - remaining) / total;
    return share < 0.0f ? 0.0f : (share > 1.0f ? 1.0f : share);
}

bool GBuildingTask::buildingFocused() const { return building_ && building_->isFocused(); }

}  // namespace game
