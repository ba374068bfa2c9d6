#include "game/level/tasks/GConstructionTask.h"

#include "engine/audio/SoundCue.h"
#include "engine/audio/SoundManager.h"
#include "engine/controls/BaseProgressBarNode.h"
#include "engine/core/ControlNode.h"
#include "engine/core/Event.h"
#include "engine/core/Logger.h"
#include "engine/core/MathRoutines.h"
#include "engine/core/RandomGenerator.h"
#include "engine/core/TemplateCollectionNode.h"
#include "engine/visual/SpriteNode.h"
#include "game/config/BuildingsConfiguration.h"
#include "game/level/GBuildingNode.h"
#include "game/level/GGameLevelScene.h"
#include "game/common/GameEvents.h"
#include "game/level/tasks/TaskAnimators.h"
#include "game/world/PathMovers.h"
#include <cstring>

using namespace engine;

namespace game {

namespace {

// The helicopter hovers this far from the building's origin, above the
// building in the draw order.
const vector2df kHoverOffset(104.0f, -57.0f);
constexpr float kHoverDepth = 2000.0f;
constexpr float kFlightLeg = 1000.0f;
constexpr float kHelicopterSpeed = 300.0f;
constexpr float kBusSpeed = 140.0f;
// The post-build animations run this long after the work.
constexpr float kPostBuildMs = 1500.0f;
constexpr float kStarEffectDepth = 3000.0f;
// A faint additive lift of the body (body sprites blend additively) that
// marks the place as being worked on until the new look replaces the body.
constexpr uint32_t kConstructionBodyTint = 0xFF202020u;

struct Direction {
    int32_t angle;
    const char* state;
};
const Direction kDirections[4] = {{-30, "RightUp"}, {30, "RightDown"}, {210, "LeftUp"}, {150, "LeftDown"}};

NameId nameOf(const char* text) { return makeNameId(text); }

bool nameContains(NameId name, const char* part) {
    const stringc& text = nameOfId(name);
    return std::strstr(text.c_str(), part) != nullptr;
}

}  // namespace

const EventMap<GConstructionTask>& GConstructionTask::getEventMap() {
    static const EventMap<GConstructionTask> map({
        {EventId::NodeTagReachedEvent,
         [](GConstructionTask& task, Event* e) { return task.onEvent70(dynamic_cast<NodeTagReachedEvent*>(e)); }},
        {EventId::NodeStateFinishedEvent,
         [](GConstructionTask& task, Event* e) {
             return task.onEvent74(dynamic_cast<NodeStateFinishedEvent*>(e));
         }},
    });
    return map;
}

GConstructionTask::GConstructionTask(GGameLevelScene* scene, GBuildingNode* building, GBuildingConfig* newRecord,
                                     BaseNode* cargosNode, TemplateCollectionNode* templates, GLevelPath* path,
                                     float materials, int32_t workers)
    : GBuildingTask(scene, building, cargosNode, templates, path, materials, workers),
      newRecord_(CountedRef<GBuildingConfig>::share(newRecord)) {
    listen();

    // The helicopter brings the cargo. Without one the cargo counts as
    // delivered, so that the construction still ends after its time.
    BaseNode* heliNode = instantiate("Helicopter", cargosNode_.get());
    if (GPathMovableNode* heli = nodeCast<GPathMovableNode>(heliNode)) {
        helicopter_ = CountedRef<GPathMovableNode>::share(heli);
        heliState_ = HeliFlyingIn;
        setupHelicopterFlight();
        heli->setState(TaskNames::movingTo(), nullptr);
        if (SoundManager* sounds = getCurrentSoundManager()) {
            heliCue_ = CountedRef<SoundCue>::share(sounds->playCue(nameOf("Helicopter"), false, 0));
        }
    } else {
        if (heliNode) {
            logError("The level template \"Helicopter\" is not a path mover");
            removeFromParent(heliNode);
        }
        heliState_ = HeliRemoved;
    }

    // The bus brings the workers; without a path (or a bus) they are there.
    if (startBus(kBusSpeed, true, true)) {
        busState_ = BusDriving;
    } else {
        busState_ = BusLeftOrAbsent;
        if (building_) building_->showWorkers(workers_);
    }

    if (building_) {
        ControlNode* root = building_->getTemplateRoot();
        if (root && templates_ && templates_->getTemplate(nameOf("ConstructionSelector"))) {
            const NameId selectorName = nameOf("Selector");
            if (BaseNode* old = root->findChild(selectorName, 1)) {
                oldSelector_ = CountedRef<BaseNode>::share(old);
                removeFromParent(old);
            }
            BaseNode* selector = instantiate("ConstructionSelector", root);
            if (SpriteNode* sprite = nodeCast<SpriteNode>(selector)) sprite->setBlendType(1);
            if (selector) {
                selector->setState(nameOf("Focus"), nullptr);
                selector->setName(selectorName);
            }
        }
        building_->tintBody(SColor(kConstructionBodyTint));

        site_ = CountedRef<BaseNode>::share(instantiate("Construction", building_.get()));
    }
    if (site_) {
        site_->setPosition(vector3df(0.0f, 0.0f, building_->getPosition().X / 1000.0f));
        siteState_ = SitePreBuild1;
        enterState(site_.get(), "PreBuild1");
        cargo_ = CountedRef<BaseNode>::share(instantiate("Cargo", site_.get(), false));
        if (cargo_) {
            cargo_->setVisible(false);
            siteBar_ = CountedRef<BaseProgressBarNode>::share(
                nodeCast<BaseProgressBarNode>(cargo_->findChild(nameOf("ProgressBar"), 1)));
            if (siteBar_ && templates_) {
                CountedRef<NodeEvent34> changed(new NodeEvent34(templates_.get()));
                siteBar_->handleEvent(changed.get());
                siteBar_->setMaxValue(1.0f);
                siteBar_->setValue(0.0f);
            }
        }
    } else {
        // No site to animate: the work alone is timed, once delivered.
        siteState_ = SiteBuild;
    }

    starEffect_ = CountedRef<BaseNode>::share(instantiate("LevelStarEffect", cargosNode_.get(), false));
    if (starEffect_) starEffect_->setVisible(false);

    total_ = (newRecord_ ? newRecord_->BuildTime : 0.0f) + kPostBuildMs;
    elapsed_ = 0.0f;
    if (building_) enterState(building_.get(), "Done");
}

GConstructionTask::~GConstructionTask() {
    stopListening();
    removeHelicopter();
    removeSite();
    removeStarEffect();
}

float GConstructionTask::getProgress() {
    if (!newRecord_ || total_ <= 0.0f) return 1.0f;
    const float progress = elapsed_ / total_;
    return progress < 1.0f ? progress : 1.0f;
}

int32_t GConstructionTask::chooseDirection(const vector2df& p) {
    RandomGenerator& random = getRandomGenerator();
    const int32_t column = p.X <= 341.0f ? 0 : (p.X <= 682.0f ? 1 : 2);
    const int32_t row = p.Y <= 210.0f ? 0 : (p.Y <= 420.0f ? 1 : 2);
    if (row == 0) {
        if (column == 0) return 2;
        if (column == 1) return 2 * static_cast<int32_t>(random.nextMWC() & 1u);
        return 0;
    }
    if (row == 1) {
        if (column == 0) return (random.nextMWC() & 1u) ? 3 : 2;
        if (column == 1) return static_cast<int32_t>(random.nextMWC() & 3u);
        return static_cast<int32_t>(random.nextMWC() & 1u);
    }
    if (column == 0) return 3;
    if (column == 1) return (random.nextMWC() & 1u) ? 3 : 1;
    return 1;
}

void GConstructionTask::setupHelicopterFlight() {
    if (!helicopter_ || !building_) return;
    const vector3df& at = building_->getPosition();
    const vector3df hover(at.X + kHoverOffset.X, at.Y + kHoverOffset.Y, at.Z + kHoverDepth);
    const Direction& direction = kDirections[chooseDirection(vector2df(hover.X, hover.Y))];
    vector2df leg(kFlightLeg, 0.0f);
    rotateVector2dDegrees(leg, direction.angle);
    const vector3df from(hover.X - leg.X, hover.Y - leg.Y, hover.Z);
    const vector3df to(hover.X + leg.X, hover.Y + leg.Y, hover.Z);

    direction_ = nameOf(direction.state);
    helicopter_->enterStateInChildren(direction_);
    helicopter_->setPosition(from);

    const uint32_t legMs = static_cast<uint32_t>(kFlightLeg / kHelicopterSpeed * 1000.0f);
    const NameId mover = nameOf("Mover");
    const struct {
        NameId state;
        vector3df start, end;
    } legs[2] = {{TaskNames::movingTo(), from, hover}, {TaskNames::movingFrom(), hover, to}};
    for (const auto& flight : legs) {
        KeyFrame* animator = stateKeyFrame(helicopter_.get(), flight.state, mover);
        if (!animator || animator->getKeys().size() < 2) continue;
        setKeyVector(animator, 0, "Position", flight.start);
        setKeyVector(animator, 1, "Position", flight.end);
        animatorKey(animator, 1)->time = legMs;
    }
}

void GConstructionTask::enterDirectionState(const char* suffix) {
    if (!helicopter_) return;
    stringc name = nameOfId(direction_);
    name += suffix;
    helicopter_->enterStateInChildren(makeNameId(name));
}

void GConstructionTask::setBodyVisible(bool visible) {
    ControlNode* root = building_ ? building_->getTemplateRoot() : nullptr;
    if (!root) return;
    static const NameId kept[3] = {nameOf("Selector"), nameOf("WorkersText"), nameOf("SmileIcon")};
    const array<BaseNode*>& children = root->getChildren();
    for (uint32_t i = 0; i < children.size(); ++i) {
        BaseNode* child = children[i];
        const NameId name = child->getName();
        if (name == kept[0] || name == kept[1] || name == kept[2]) continue;
        child->setVisible(visible);
    }
}

bool GConstructionTask::run(uint32_t ms) {
    CountedRef<GConstructionTask> keep = CountedRef<GConstructionTask>::share(this);
    advanceHelicopter();
    advanceBus(ms);
    advanceSite(ms);
    if (siteBar_ && cargo_) siteBar_->setValue(getProgress());

    const bool heliDone = !helicopter_;
    const bool busDone = !bus_;
    return !(heliDone && busDone && siteState_ == SiteFinished && overallState_ == 2);
}

void GConstructionTask::advanceHelicopter() {
    if (!helicopter_) return;
    switch (heliState_) {
    case HeliArrived:
        heliState_ = HeliUnloadBegins;
        enterDirectionState("_BeforeUnloading");
        break;
    case HeliFirstStageEnded:
        heliState_ = HeliUnloading;
        enterDirectionState("_Unloading");
        break;
    case HeliUnloadingEnded: {
        heliState_ = HeliAfterUnloading;
        enterDirectionState("_AfterUnloading");
        if (BaseNode* load = helicopter_->findChild(nameOf("Cargo"), 1)) load->setVisible(false);
        if (BaseNode* shadow = helicopter_->findChild(nameOf("CargoShadow"), 1)) shadow->setVisible(false);
        if (cargo_) {
            cargo_->setVisible(true);
            cargo_->setState(direction_, nullptr);
        }
        break;
    }
    case HeliEnded:
        heliState_ = HeliFlyingAway;
        helicopter_->setState(TaskNames::movingFrom(), nullptr);
        break;
    case HeliGone:
        heliState_ = HeliRemoved;
        removeHelicopter();
        break;
    default:
        break;
    }
}

void GConstructionTask::advanceBus(uint32_t ms) {
    if (!bus_) return;
    CountedRef<GPathMovableNode> bus = bus_;
    bus->update(ms);
    switch (busState_) {
    case BusDriving:
        if (bus->getPath().size() <= 2) {
            busState_ = BusTwoPointsLeft;
            bus->setState(TaskNames::movingFrom(), nullptr);
        }
        break;
    case BusArrived:
        if (building_) building_->showWorkers(workers_);
        busState_ = BusWorkersShown;
        break;
    case BusLeftOrAbsent:
        busState_ = BusRemoved;
        if (SoundManager* sounds = getCurrentSoundManager()) sounds->stopCue(nameOf("Bus"), 0);
        removeBus();
        break;
    default:
        break;
    }
}

void GConstructionTask::advanceSite(uint32_t ms) {
    if (!building_) return;
    const float speed = buildTimeM();
    switch (siteState_) {
    case SitePreBuild1Ended:
        siteState_ = SitePreBuild2;
        enterState(site_.get(), "PreBuild2");
        setBodyVisible(false);
        break;
    case SitePreBuild2Ended:
        siteState_ = SiteBuild;
        enterState(site_.get(), "Build");
        break;
    case SiteBuild:
        if (delivered()) {
            siteState_ = SiteWorking;
            building_->showWorkers(workers_);
            enterState(site_.get(), "Working");
            if (buildingFocused()) building_->playStateSound();
        }
        break;
    case SiteWorking:
        if (delivered()) elapsed_ += static_cast<float>(ms) * speed;
        if (!newRecord_ || elapsed_ >= newRecord_->BuildTime) siteState_ = SiteWorkDone;
        break;
    case SiteWorkDone:
        if (!site_) {
            // Nothing to animate: take the new look and finish at once.
            setBodyVisible(true);
            takeLook(newRecord_.get());
            if (buildingFocused()) building_->setState(nameOf("Focus"), nullptr);
            building_->showWorkers(workers_);
            finish();
            break;
        }
        siteState_ = SiteWaitingPostBuild;
        enterState(site_.get(), "PostBuild1");
        removeFromParent(cargo_.get());
        cargo_.reset();
        siteBar_.reset();
        break;
    case SiteWaitingPostBuild:
        elapsed_ += static_cast<float>(ms) * speed;
        break;
    case SitePostBuild1Ended:
        siteState_ = SiteWaitingPostBuild;
        enterState(site_.get(), "PostBuild2");
        setBodyVisible(true);
        takeLook(newRecord_.get());
        if (buildingFocused()) building_->setState(nameOf("Focus"), nullptr);
        building_->showWorkers(workers_);
        if (starEffect_ && newRecord_ && newRecord_->Type == 0 && newRecord_->Level > 1) {
            building_->updateStars(0, -1);
        }
        break;
    case SitePostBuild2Ended:
        finish();
        break;
    default:
        break;
    }
}

void GConstructionTask::takeLook(const GBuildingConfig* record) {
    if (record) building_->setTemplateName(record->Name);
    // The body sprites placed with the building keep their tint across a
    // new template: take the construction's lift off them too.
    building_->tintBody(SColor(GBuildingNode::kNeutralBodyTint));
}

void GConstructionTask::finish() {
    siteState_ = SiteFinished;
    building_->stopStateSound();
    removeSite();
    enterState(building_.get(), "AfterBuild");
    // The level frees the place with the completion; only this task's own
    // job is cleared, never one that replaced it.
    clearOwnJob();
    post(new GBuildingCompletedEvent(building_.get(), newRecord_.get()));
    post(new GTaskStepEvent(building_.get(), 0.0f, workers_));
    building_->showWorkers(0);

    const int32_t level = newRecord_ ? newRecord_->Level : 0;
    if (!starEffect_ || !newRecord_ || newRecord_->Type != 0 || level < 2) {
        building_->updateStars(-1, -1);
        overallState_ = 2;
        return;
    }
    building_->updateStars(level - 1, level - 1);
    overallState_ = 1;
    const vector3df at = building_->levelStarPosition();
    starEffect_->setPosition(vector3df(at.X, at.Y, kStarEffectDepth));
    starEffect_->setVisible(true);
    enterState(starEffect_.get(), "Activate");
}

void GConstructionTask::cancel() {
    if (!building_ || !building_->getPreviousRecord() || siteState_ == SiteFinished) return;
    CountedRef<GConstructionTask> keep = CountedRef<GConstructionTask>::share(this);
    if (helicopter_) heliState_ = HeliGone;
    if (bus_) busState_ = BusLeftOrAbsent;
    siteState_ = SiteFinished;
    building_->stopStateSound();
    removeSite();
    removeStarEffect();
    CountedRef<GBuildingConfig> previous = CountedRef<GBuildingConfig>::share(building_->getPreviousRecord());
    building_->setRecord(previous.get(), true);
    takeLook(previous.get());
    building_->showWorkers(0);
    clearOwnJob();
    post(new GTaskStepEvent(building_.get(), materials_, workers_));
    overallState_ = 2;
}

bool GConstructionTask::onEvent70(NodeTagReachedEvent* event) {
    if (!event) return false;
    BaseNode* node = event->getNode();
    const NameId tag = event->getName();
    if (helicopter_ && node == helicopter_.get()) {
        if (tag == TaskNames::movingTo()) heliState_ = HeliArrived;
        else if (tag == TaskNames::movingFrom()) heliState_ = HeliGone;
    } else if (bus_ && node == bus_.get()) {
        if (tag == TaskNames::movingTo()) busState_ = BusArrived;
        else if (tag == TaskNames::movingFrom()) busState_ = BusLeftOrAbsent;
    }
    return false;
}

bool GConstructionTask::onEvent74(NodeStateFinishedEvent* event) {
    if (!event) return false;
    BaseNode* node = event->getNode();
    const NameId state = event->getName();
    auto unloadStep = [state](int32_t& counter) {
        if (nameContains(state, "_BeforeUnloading")) counter = HeliFirstStageEnded;
        else if (nameContains(state, "_Unloading")) counter = HeliUnloadingEnded;
        else if (nameContains(state, "_AfterUnloading")) counter = HeliEnded;
    };
    if (helicopter_ && node == helicopter_.get()) {
        unloadStep(heliState_);
    } else if (bus_ && node == bus_.get()) {
        unloadStep(busState_);
    } else if (site_ && node == site_.get()) {
        if (state == nameOf("PreBuild1")) siteState_ = SitePreBuild1Ended;
        else if (state == nameOf("PreBuild2")) siteState_ = SitePreBuild2Ended;
        else if (state == nameOf("PostBuild1")) siteState_ = SitePostBuild1Ended;
        else if (state == nameOf("PostBuild2")) siteState_ = SitePostBuild2Ended;
    } else if (building_ && node == building_.get()) {
        // The site's work may also be ended by the building's own "Build".
        if (state == nameOf("Build") && siteState_ == SiteWorking) siteState_ = SiteWorkDone;
    } else if (starEffect_ && node == starEffect_.get()) {
        if (state == nameOf("Activate") && overallState_ == 1) {
            if (building_) building_->updateStars(-1, -1);
            overallState_ = 2;
            removeStarEffect();
        }
    }
    return false;
}

void GConstructionTask::removeHelicopter() {
    if (heliCue_) {
        heliCue_->stop(1000);
        heliCue_.reset();
    }
    if (!helicopter_) return;
    CountedRef<GPathMovableNode> heli = helicopter_;
    helicopter_.reset();
    removeFromParent(heli.get());
}

void GConstructionTask::removeSite() {
    cargo_.reset();
    siteBar_.reset();
    if (!site_) return;
    CountedRef<BaseNode> site = site_;
    site_.reset();
    removeFromParent(site.get());
}

void GConstructionTask::removeStarEffect() {
    if (!starEffect_) return;
    CountedRef<BaseNode> effect = starEffect_;
    starEffect_.reset();
    removeFromParent(effect.get());
}

}  // namespace game
