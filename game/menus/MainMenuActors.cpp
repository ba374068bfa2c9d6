#include "game/menus/MainMenuActors.h"
#include "engine/core/MathRoutines.h"
#include "engine/core/PropertyData.h"
#include "engine/core/PropertySet.h"
#include "engine/core/RandomGenerator.h"
#include "game/common/GBaseSceneNode.h"
#include "game/config/LevelPaths.h"
#include "game/menus/GMainMenuScene.h"

#include <algorithm>
#include <cmath>
#include <string>

using namespace engine;

namespace game {

namespace {

constexpr int32_t kMainMenuSceneType = 1103;

NameId nameOf(const char* text) { return makeNameId(text); }

NameId upName() {
    static const NameId id = nameOf("Up");
    return id;
}
NameId downName() {
    static const NameId id = nameOf("Down");
    return id;
}

float clampTo(float value, float low, float high) { return std::min(high, std::max(low, value)); }

// Degrees counter-clockwise on the screen from straight right, in [0, 360);
// the zero vector has 0.
double screenAngle(const vector2df& v) {
    if (v.X == 0.0f && v.Y == 0.0f) return 0.0;
    double a = std::atan2(-static_cast<double>(v.Y), static_cast<double>(v.X)) * 180.0 / 3.14159265358979323846;
    if (a < 0.0) a += 360.0;
    return a;
}

GMainMenuActorNode& actorOf(PropertyTableOwner& o) { return static_cast<GMainMenuActorNode&>(o); }

void setRangeEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    actorOf(o).setVelocityRange(vector2dFromProperty(v));
}
CountedRef<IPropertyData> getRangeEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeVector2dProperty(actorOf(o).getVelocityRange()));
}

const char* const kVelocityRange = "InitialVelocityRange";

}  // namespace

MainMenuActorCounters& mainMenuActorCounters() {
    static MainMenuActorCounters counters;
    return counters;
}

// ---- 24 directions ------------------------------------------------------------------------

const NameId* twentyFourDirectionNames() {
    static const NameId names[24] = {
        nameOf("Right"),          nameOf("RightRightRightUp"), nameOf("RightRightUp"),     nameOf("RightUp"),
        nameOf("RightUpUp"),      nameOf("RightUpUpUp"),       nameOf("Up"),               nameOf("LeftUpUpUp"),
        nameOf("LeftUpUp"),       nameOf("LeftUp"),            nameOf("LeftLeftUp"),       nameOf("LeftLeftLeftUp"),
        nameOf("Left"),           nameOf("LeftLeftDown"),      nameOf("LeftLeftLeftDown"), nameOf("LeftDown"),
        nameOf("LeftDownDown"),   nameOf("LeftDownDownDown"),  nameOf("Down"),             nameOf("RightDownDownDown"),
        nameOf("RightDownDown"),  nameOf("RightDown"),         nameOf("RightRightDown"),   nameOf("RightRightRightDown"),
    };
    return names;
}

NameId twentyFourWayDirectionState(const vector2df& v) {
    float a = std::atan2(-v.Y, v.X);
    if (a < 0.0f) a += 6.2831855f;
    const float d = std::min(360.0f, std::max(0.0f, a * 57.29578f));
    const NameId* names = twentyFourDirectionNames();
    for (int i = 0; i < 24; ++i) {
        if (d < 7.5f + 15.0f * static_cast<float>(i)) return names[i];
    }
    return d < 360.0f ? names[0] : kNoName;
}

// ---- Common part ---------------------------------------------------------------------------

GMainMenuActorNode::GMainMenuActorNode(const CreationContext* context, BaseNode* parent, BaseNode* manager,
                                       const vector2df& defaultRange, int32_t linksToMenu, bool hasBody)
    : GSelfDrivenMoverNode(context, parent, manager, kInterval),
      velocityRange_(defaultRange),
      defaultRange_(defaultRange),
      linksToMenu_(linksToMenu),
      hasBody_(hasBody) {}

const PropertyTable& GMainMenuActorNode::actorPropertyTable() {
    static const PropertyTable table = [] {
        PropertyTable t;
        appendPropertyTable(t, BaseNode::classPropertyTable());
        t.add(kVelocityRange, &setRangeEntry, &getRangeEntry);
        return t;
    }();
    return table;
}

const PropertyTable& GMainMenuActorNode::getPropertyTable() const { return actorPropertyTable(); }

void GMainMenuActorNode::copyFrom(BaseNode* source, BaseNode* manager) {
    GSelfDrivenMoverNode::copyFrom(source, manager);
    if (!source || source == this || source->getTypeId() != getTypeId()) return;
    velocityRange_ = static_cast<GMainMenuActorNode*>(source)->velocityRange_;
}

void GMainMenuActorNode::onLoaded() {
    if (hasBody_) body_ = CountedRef<BaseNode>::share(findChild(makeNameId("Body"), 1));
}

void GMainMenuActorNode::writeProperties(PropertySet* set) {
    if (!set) return;
    GSelfDrivenMoverNode::writeProperties(set);
    if (velocityRange_ != defaultRange_) set->addVector2d(kVelocityRange, velocityRange_);
}

void GMainMenuActorNode::readProperties(PropertySet* set) {
    if (!set) return;
    GSelfDrivenMoverNode::readProperties(set);
    // A value of another type reads as (0, 0).
    if (set->indexOf(kVelocityRange) >= 0) velocityRange_ = vector2dFromProperty(set->find(kVelocityRange));
}

GLevelPaths* GMainMenuActorNode::menuPaths() const {
    BaseNode* node = getParent();
    for (int32_t i = 1; i < linksToMenu_ && node; ++i) node = node->getParent();
    if (!node || !node->isOfType(kMainMenuSceneType)) return nullptr;
    return static_cast<GMainMenuScene*>(node)->getPaths();
}

std::vector<vector2df> GMainMenuActorNode::walkOf(const std::vector<PathPoint>& points, bool twoWay,
                                                  RandomGenerator& random) {
    const int32_t n = static_cast<int32_t>(points.size());
    std::vector<vector2df> walk;
    walk.reserve(points.size());
    if (twoWay && random.nextMWC() % 2u == 0u) {
        for (int32_t i = n - 1; i >= 0; --i) walk.push_back(randomizedPathPoint(i, points, random));
    } else {
        for (int32_t i = 0; i < n; ++i) walk.push_back(randomizedPathPoint(i, points, random));
    }
    return walk;
}

void GMainMenuActorNode::collectRenderItems(RenderList& list) {
    setUpAndRegister();
    GPathMovableNode::collectRenderItems(list);
}

bool GMainMenuActorNode::onTimer(uint32_t elapsedMs) {
    update(elapsedMs);
    if (!isWalking()) {
        if (body_) body_->stopAllStates(false);
        leaveParent();
        return false;
    }
    perTick();
    return true;
}

// ---- Pedestrian ----------------------------------------------------------------------------

GMainMenuPedestrianNode::GMainMenuPedestrianNode(const CreationContext* context, BaseNode* parent,
                                                 BaseNode* manager, bool mostDerived)
    : GMainMenuActorNode(context, parent, manager, vector2df(2.0f, 3.0f), 5, true) {
    linkToParent(parent, mostDerived);
}

void GMainMenuPedestrianNode::setUpOnFirstDraw() {
    if (isWalking()) return;
    GLevelPaths* paths = menuPaths();
    GLevelPath* path = paths ? paths->randomPedestrianPath() : nullptr;
    if (!path || path->points.size() < 2) return;
    RandomGenerator& random = getRandomGenerator();
    baseSpeed_ = random.rangeFloat(getVelocityRange().X, getVelocityRange().Y);
    start(walkOf(path->points, path->twoWay, random), kNoName, false, false);
    setSpeed(3.0f);
    int32_t& count = mainMenuActorCounters().pedestrians;
    if (count < kPreAdvanced) {
        update(static_cast<uint32_t>(random.rangeInt(20000, 50000)));
        ++count;
    }
    perTick();
}

void GMainMenuPedestrianNode::onDirectionChanged(const vector2df& direction) {
    setDirectionState(direction.Y < 0.0f ? upName() : downName());
    enterStateInChildren(getDirectionState());
}

void GMainMenuPedestrianNode::perTick() {
    const float s = clampTo((getPosition().Y - 668.0f) / 100.0f, 0.0f, 1.0f);
    setScale(vector3df(s, s, 1.0f));
    setSpeed(std::max(1.0f, baseSpeed_ * s));
    updateAbsoluteTransform();
}

// ---- Car ------------------------------------------------------------------------------------

GMainMenuCarNode::GMainMenuCarNode(const CreationContext* context, BaseNode* parent, BaseNode* manager,
                                   bool mostDerived)
    : GMainMenuActorNode(context, parent, manager, vector2df(80.0f, 82.0f), 5, true) {
    linkToParent(parent, mostDerived);
}

void GMainMenuCarNode::setUpOnFirstDraw() {
    if (isWalking()) return;
    GLevelPaths* paths = menuPaths();
    GLevelPath* path = paths ? paths->randomCarPath(makeNameId("Path")) : nullptr;
    if (!path || path->points.size() < 2) return;
    RandomGenerator& random = getRandomGenerator();
    baseSpeed_ = random.rangeFloat(getVelocityRange().X, getVelocityRange().Y);
    // The speed stays the mover's own until the first step sets it by height.
    start(walkOf(path->points, path->twoWay, random), kNoName, false, false);
    int32_t& count = mainMenuActorCounters().cars;
    if (count < kPreAdvanced) {
        update(static_cast<uint32_t>(random.rangeInt(1000, 8000)));
        ++count;
        if (getDirectionState() == downName()) soundPlayed_ = true;
    }
    perTick();
}

void GMainMenuCarNode::onDirectionChanged(const vector2df& direction) {
    setDirectionState(direction.Y < 0.0f ? upName() : downName());
}

void GMainMenuCarNode::perTick() {
    const float y = getPosition().Y;
    const float s = clampTo((y - 668.0f) / 100.0f, 0.01f, 1.0f);
    setScale(vector3df(s, s, 1.0f));
    setSpeed(std::max(1.0f, baseSpeed_ * std::pow(s, 1.6f)));

    static const NameId downStates[6] = {nameOf("Down1"), nameOf("Down2"), nameOf("Down3"),
                                         nameOf("Down4"), nameOf("Down5"), nameOf("Down6")};
    static const NameId upStates[6] = {nameOf("Up1"), nameOf("Up2"), nameOf("Up3"),
                                       nameOf("Up4"), nameOf("Up5"), nameOf("Up6")};
    const bool goingUp = getDirectionState() == upName();
    const int32_t n = std::max(1, 6 - static_cast<int32_t>(6.0f * s));
    enterStateInChildren((goingUp ? upStates : downStates)[n - 1]);

    if (soundPlayed_) return;
    if (goingUp) {
        if (y < 800.0f) {
            playCue("MainMenuCarOut");
            soundPlayed_ = true;
        }
    } else if (s > 0.6f) {
        playCue("MainMenuCarTo");
        soundPlayed_ = true;
    }
}

// ---- Cloud ----------------------------------------------------------------------------------

GMainMenuCloudNode::GMainMenuCloudNode(const CreationContext* context, BaseNode* parent, BaseNode* manager,
                                       bool mostDerived)
    : GMainMenuActorNode(context, parent, manager, vector2df(5.0f, 5.0f), 5, false) {
    linkToParent(parent, mostDerived);
}

const PropertyTable& GMainMenuCloudNode::getPropertyTable() const { return BaseNode::classPropertyTable(); }

void GMainMenuCloudNode::setUpOnFirstDraw() {
    if (isWalking()) return;
    GLevelPaths* paths = menuPaths();
    GLevelPath* path = paths ? paths->randomCarPath(makeNameId("Clouds")) : nullptr;
    if (!path || path->points.size() < 2) return;
    RandomGenerator& random = getRandomGenerator();
    std::vector<vector2df> walk;
    walk.reserve(path->points.size());
    for (int32_t i = 0; i < static_cast<int32_t>(path->points.size()); ++i)
        walk.push_back(randomizedPathPoint(i, path->points, random));
    start(walk, kNoName, false, false);
    // High clouds seem to drift faster than low ones.
    const float y = getPosition().Y;
    baseSpeed_ = clampTo(random.rangeFloat(getVelocityRange().X, getVelocityRange().Y) * ((450.0f - y) / 120.0f + 1.0f),
                         1.0f, 10.0f);
    setSpeed(baseSpeed_);
    int32_t& count = mainMenuActorCounters().clouds;
    if (count < kPreAdvanced) {
        update(static_cast<uint32_t>(random.rangeInt(10000, 120000)));
        ++count;
    }
}

// ---- Bike -----------------------------------------------------------------------------------

GMainMenuBikeNode::GMainMenuBikeNode(const CreationContext* context, BaseNode* parent, BaseNode* manager,
                                     bool mostDerived)
    : GMainMenuActorNode(context, parent, manager, vector2df(50.0f, 50.0f), 4, true) {
    linkToParent(parent, mostDerived);
}

void GMainMenuBikeNode::setUpOnFirstDraw() {
    if (isWalking()) return;
    GLevelPaths* paths = menuPaths();
    GLevelPath* path = paths ? paths->randomCarPath(makeNameId("Bike")) : nullptr;
    if (!path || path->points.size() < 2) return;
    RandomGenerator& random = getRandomGenerator();
    baseSpeed_ = random.rangeFloat(getVelocityRange().X, getVelocityRange().Y);
    std::vector<vector2df> walk;
    walk.reserve(path->points.size());
    for (int32_t i = 0; i < static_cast<int32_t>(path->points.size()); ++i)
        walk.push_back(randomizedPathPoint(i, path->points, random));
    // A loop whose points all coincide ends at once (the walk cannot use up
    // any distance going round it) and the bike leaves on its first step.
    start(walk, kNoName, false, true);
    setSpeed(baseSpeed_);
    update(static_cast<uint32_t>(random.rangeInt(1000, 5000)));
}

void GMainMenuBikeNode::onDirectionChanged(const vector2df& direction) {
    shownDirection_ = currentDirection_;
    currentDirection_ = direction;
    if (shownDirection_.X == 0.0f && shownDirection_.Y == 0.0f) {
        setDirectionState(twentyFourWayDirectionState(currentDirection_));
        if (getDirectionState() != kNoName) enterStateInChildren(getDirectionState());
    }
    const float dy = direction.Y;
    if (dy >= -0.000001f && dy <= 0.000001f) {
        directionFactor_ = 1.0f;
    } else {
        const float ratio = direction.X / dy;
        // Riding steeply up or down the picture covers little ground.
        directionFactor_ = ratio < 0.0f ? 1.0f : clampTo(std::sqrt(ratio), 0.5f, 1.0f);
    }
}

void GMainMenuBikeNode::perTick() {
    const float s = clampTo((getPosition().Y - 700.0f) / 35.0f, 0.65f, 1.0f);
    setScale(vector3df(s, s, 1.0f));
    setSpeed(std::max(1.0f, directionFactor_ * s * s * s * baseSpeed_));

    if (currentDirection_ == shownDirection_) return;
    if (shownDirection_.X == 0.0f && shownDirection_.Y == 0.0f) {
        // The first segment has nothing to turn from: it shows its own
        // direction, chosen as it began.
        shownDirection_ = currentDirection_;
        return;
    }
    double d = screenAngle(currentDirection_) - screenAngle(shownDirection_);
    if (d < -180.0) d += 360.0;
    if (d > 180.0) d -= 360.0;
    if (std::fabs(d) < 7.0) {
        shownDirection_ = currentDirection_;
    } else {
        rotateVector2dDegrees(shownDirection_, d > 0.0 ? -10 : 10);
    }
    vector2df seen = shownDirection_;
    rotateVector2dDegrees(seen, 10);
    setDirectionState(twentyFourWayDirectionState(seen));
    if (getDirectionState() != kNoName) enterStateInChildren(getDirectionState());
}

}  // namespace game
