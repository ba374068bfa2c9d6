#include "game/world/PathMovers.h"
#include "engine/core/MathRoutines.h"
#include "engine/core/Event.h"
#include "engine/core/Logger.h"
#include "engine/core/RandomGenerator.h"
#include "engine/core/TimerScheduler.h"
#include "engine/visual/TextNode.h"
#include "game/config/LevelPaths.h"
#include "game/world/LevelTraffic.h"

#include <algorithm>
#include <cmath>

using namespace engine;

namespace game {

namespace {

NameId startName() {
    static const NameId id = makeNameId("Start");
    return id;
}
NameId stopName() {
    static const NameId id = makeNameId("Stop");
    return id;
}

vector2df unit(const vector2df& v) {
    const float length = v.getLength();
    return length > 0.0f ? v / length : vector2df(0.0f, 0.0f);
}

// The length of a walk through the points and back from the last to the first.
float loopLength(const std::vector<vector2df>& points) {
    float length = 0.0f;
    for (size_t i = 1; i < points.size(); ++i) length += (points[i] - points[i - 1]).getLength();
    if (points.size() >= 2) length += (points.front() - points.back()).getLength();
    return length;
}

}  // namespace

// ---- Direction states --------------------------------------------------------------------

const NameId* directionStateNames() {
    static const NameId names[8] = {makeNameId("Right"), makeNameId("RightUp"),  makeNameId("Up"),
                                    makeNameId("LeftUp"), makeNameId("Left"),    makeNameId("LeftDown"),
                                    makeNameId("Down"),  makeNameId("RightDown")};
    return names;
}

NameId eightWayDirectionState(const vector2df& v) {
    float a = std::atan2(-v.Y, v.X);
    if (a < 0.0f) a += 6.2831855f;
    const float d = std::min(360.0f, std::max(0.0f, a * 57.29578f));
    static const float bounds[9] = {15.0f, 75.0f, 105.0f, 165.0f, 195.0f, 255.0f, 285.0f, 345.0f, 360.0f};
    const NameId* names = directionStateNames();
    for (int i = 0; i < 9; ++i)
        if (d < bounds[i]) return names[i % 8];
    return kNoName;
}

// ---- Configured paths --------------------------------------------------------------------

vector2df randomizedPathPoint(int32_t index, const std::vector<PathPoint>& points) {
    return randomizedPathPoint(index, points, getRandomGenerator());
}

vector2df randomizedPathPoint(int32_t index, const std::vector<PathPoint>& points, RandomGenerator& random) {
    const int32_t n = static_cast<int32_t>(points.size());
    if (index < 0 || index >= n) return vector2df(0.0f, 0.0f);
    const PathPoint& point = points[static_cast<size_t>(index)];
    const vector2df p(point.x, point.y);
    if (point.d1 == 0.0f && point.d2 == 0.0f) return p;
    if (n < 2) return p;
    auto at = [&points](int32_t i) {
        const PathPoint& q = points[static_cast<size_t>(i)];
        return vector2df(q.x, q.y);
    };
    vector2df direction;
    if (index == 0) direction = at(1) - at(0);
    else if (index == n - 1) direction = at(n - 1) - at(n - 2);
    else direction = at(index + 1) - at(index - 1);
    const vector2df side = unit(vector2df(-direction.Y, direction.X));
    const float r = random.rangeFloat(-point.d1, point.d2);
    return p + side * r;
}

namespace {
LevelPathsLookup levelPathsLookup = nullptr;
}  // namespace

void setLevelPathsLookup(LevelPathsLookup lookup) { levelPathsLookup = lookup; }

GLevelPaths* levelPathsOfScene(BaseNode* scene) { return levelPathsLookup ? levelPathsLookup(scene) : nullptr; }

// ---- GPathMovableNode --------------------------------------------------------------------

GPathMovableNode::GPathMovableNode(const CreationContext* context, BaseNode* parent, BaseNode* manager,
                                   bool mostDerived)
    : BaseNode(context, parent, manager, false) {
    linkToParent(parent, mostDerived);
}

GPathMovableNode::~GPathMovableNode() {
    if (traffic_) traffic_->removeMover(this);
}

void GPathMovableNode::copyFrom(BaseNode* source, BaseNode* manager) { BaseNode::copyFrom(source, manager); }

void GPathMovableNode::placeAt(const vector2df& point) { setPosition(vector3df(point.X, point.Y, point.Y)); }

void GPathMovableNode::start(const std::vector<vector2df>& points, NameId endTag, bool reverse, bool loop) {
    if (points.size() < 2) {
        // A walk reads its first two points; with fewer there is nothing to walk.
        logWarning("A mover was given a walk of fewer than two points; it stays where it is");
        path_.clear();
        if (!points.empty()) {
            placeAt(points.front());
            updateAbsoluteTransform();
        }
        return;
    }
    endTag_ = endTag;
    loop_ = loop;
    storedPath_ = points;
    if (!reverse) std::reverse(storedPath_.begin(), storedPath_.end());
    travelled_ = 0.0f;
    path_ = storedPath_;
    placeAt(path_.back());
    updateAbsoluteTransform();
    enterStateInChildren(startName());
    onDirectionChanged(path_[path_.size() - 2] - path_.back());
}

void GPathMovableNode::update(uint32_t elapsedMs) {
    if (path_.size() < 2) return;
    travelled_ += static_cast<float>(elapsedMs) * 0.001f * speed_;
    vector2df from = path_.back();
    vector2df delta = path_[path_.size() - 2] - from;
    float length = delta.getLength();
    while (length <= travelled_) {
        travelled_ -= length;
        path_.pop_back();
        if (loop_ && path_.size() <= 1) {
            if (loopLength(storedPath_) <= 0.0f) {
                // Every point of the loop is the same: going round would never
                // use up the distance. The walk ends where it stands.
                logWarning("A looping mover's walk has no length; it stops");
                travelled_ = 0.0f;
                path_.clear();
                path_.shrink_to_fit();
                enterStateInChildren(stopName());
                return;
            }
            // Standing on the walk's last point: straight back to its first
            // point, then along the walk again.
            path_ = storedPath_;
            path_.push_back(storedPath_.front());
        }
        if (path_.size() <= 1) {
            placeAt(path_.back());
            enterStateInChildren(stopName());
            // The parent may drop this node on hearing of the end.
            const CountedRef<BaseNode> keepAlive = CountedRef<BaseNode>::share(this);
            const CountedRef<NodeTagReachedEvent> event(new NodeTagReachedEvent(this, endTag_));
            routeToParent(0, event.get());
            return;
        }
        from = path_.back();
        delta = path_[path_.size() - 2] - from;
        length = delta.getLength();
        onDirectionChanged(delta);
    }
    placeAt(from + unit(delta) * travelled_);
}

void GPathMovableNode::stop() {
    if (path_.size() < 2) return;
    path_.clear();
    path_.shrink_to_fit();
    enterStateInChildren(stopName());
}

void GPathMovableNode::setTraffic(LevelTraffic* traffic, bool priority) {
    const CountedRef<LevelTraffic> next = CountedRef<LevelTraffic>::share(traffic);
    if (traffic_) traffic_->removeMover(this);
    traffic_ = next;
    if (traffic_) traffic_->addMover(this, priority);
}

void GPathMovableNode::onDirectionChanged(const vector2df& direction) {
    directionState_ = eightWayDirectionState(direction);
    if (directionState_ != kNoName) enterStateInChildren(directionState_);
}

// ---- Self-driven movers -----------------------------------------------------------------

GSelfDrivenMoverNode::GSelfDrivenMoverNode(const CreationContext* context, BaseNode* parent, BaseNode* manager,
                                           uint32_t intervalMs)
    : GPathMovableNode(context, parent, manager, false),
      timer_(new UpdateTimer(this, &GSelfDrivenMoverNode::runTimer, intervalMs)) {}

GSelfDrivenMoverNode::~GSelfDrivenMoverNode() {
    timer_->forget();
    timer_->setTimerScheduler(nullptr);
}

TimerScheduler* GSelfDrivenMoverNode::getUpdateScheduler() const { return timer_->getTimerScheduler(); }

uint32_t GSelfDrivenMoverNode::getTimerInterval() const { return timer_->getPeriod(); }

bool GSelfDrivenMoverNode::runTimer(uint32_t elapsedMs) {
    // The mover may take itself out of the parent that holds its only
    // reference; it must outlive the whole call.
    const CountedRef<BaseNode> keepAlive = CountedRef<BaseNode>::share(this);
    return onTimer(elapsedMs);
}

void GSelfDrivenMoverNode::collectRenderItems(RenderList& list) {
    GPathMovableNode::collectRenderItems(list);
    setUpAndRegister();
}

void GSelfDrivenMoverNode::setUpAndRegister() {
    if (timer_->getTimerScheduler()) return;
    BaseNode* scene = getOwnerScene();
    TimerScheduler* scheduler = scene ? scene->getTimerScheduler() : nullptr;
    if (!scheduler) return;
    setUpOnFirstDraw();
    timer_->setTimerScheduler(scheduler);
}

void GSelfDrivenMoverNode::leaveParent() {
    // The parent may hold the only reference; the node must outlive the
    // removal so that setParent finishes on a living object.
    addRef();
    setParent(nullptr);
    release();
}

// ---- GBirdNode ---------------------------------------------------------------------------

GBirdNode::GBirdNode(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived)
    : GSelfDrivenMoverNode(context, parent, manager, kInterval) {
    linkToParent(parent, mostDerived);
}

void GBirdNode::onLoaded() { body_ = CountedRef<BaseNode>::share(findChild(makeNameId("Body"), 1)); }

vector2df GBirdNode::randomEdgePoint(int32_t edge) { return randomEdgePoint(edge, getRandomGenerator()); }

vector2df GBirdNode::randomEdgePoint(int32_t edge, RandomGenerator& random) {
    switch (edge) {
    case 0:
        return vector2df(random.rangeFloat(0.0f, 1024.0f), 0.0f);
    case 1:
        return vector2df(1024.0f, random.rangeFloat(0.0f, 660.0f));
    case 2:
        return vector2df(random.rangeFloat(0.0f, 1024.0f), 680.0f);
    default:
        return vector2df(-20.0f, random.rangeFloat(0.0f, 660.0f));
    }
}

void GBirdNode::setUpOnFirstDraw() {
    RandomGenerator& random = getRandomGenerator();
    const int32_t e1 = static_cast<int32_t>(random.nextMWC() % 4u);
    int32_t e2 = static_cast<int32_t>(random.nextMWC() % 4u);
    if (e2 == e1) e2 = (e2 + 1) % 4;
    const vector2df p1 = randomEdgePoint(e1, random);
    const vector2df p2 = randomEdgePoint(e2, random);
    setSpeed(25.0f + 10.0f * random.nextUnitFloat());
    start({p1, p2}, kNoName, false, false);
}

bool GBirdNode::onTimer(uint32_t elapsedMs) {
    update(elapsedMs);
    if (!isWalking()) {
        if (body_) body_->stopAllStates(false);
        leaveParent();
        return false;
    }
    if (!body_) return true;
    if (flapCountdown_ > elapsedMs) {
        flapCountdown_ -= elapsedMs;
    } else if (getDirectionState() != kNoName) {
        stringc flap = nameOfId(getDirectionState());
        flap += "_Flap";
        body_->setState(makeNameId(flap), nullptr, kNoName);
        flapCountdown_ = static_cast<uint32_t>(static_cast<float>(flapCountdown_) +
                                               getRandomGenerator().rangeFloat(4000.0f, 6000.0f));
    }
    return true;
}

// ---- GCarNode ----------------------------------------------------------------------------

GCarNode::GCarNode(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived)
    : GSelfDrivenMoverNode(context, parent, manager, kInterval) {
    linkToParent(parent, mostDerived);
}

bool GCarNode::onTimer(uint32_t elapsedMs) {
    update(elapsedMs);
    if (!isWalking() && leaveAtEnd) {
        leaveParent();
        return false;
    }
    return true;
}

// ---- GPedestrianNode ---------------------------------------------------------------------

GPedestrianNode::GPedestrianNode(const CreationContext* context, BaseNode* parent, BaseNode* manager,
                                 bool mostDerived)
    : GSelfDrivenMoverNode(context, parent, manager, kInterval) {
    linkToParent(parent, mostDerived);
}

void GPedestrianNode::copyFrom(BaseNode* source, BaseNode* manager) {
    GSelfDrivenMoverNode::copyFrom(source, manager);
    GPedestrianNode* other = nodeCast<GPedestrianNode>(source);
    if (!other || other == this) return;
    walkTimeRange = other->walkTimeRange;
    pauseTimeRange = other->pauseTimeRange;
    lookIntervalRange = other->lookIntervalRange;
}

void GPedestrianNode::onLoaded() { body_ = CountedRef<BaseNode>::share(findChild(makeNameId("Body"), 1)); }

bool GPedestrianNode::startOnPath(const std::vector<PathPoint>& points, bool twoWay) {
    if (points.size() < 2) {
        logWarning("A pedestrian path of fewer than two points is skipped");
        return false;
    }
    RandomGenerator& random = getRandomGenerator();
    setSpeed(random.rangeFloat(10.0f, 20.0f));
    const int32_t n = static_cast<int32_t>(points.size());
    std::vector<vector2df> walk;
    walk.reserve(points.size());
    if (twoWay && random.nextMWC() % 2u == 0u) {
        for (int32_t i = n - 1; i >= 0; --i) walk.push_back(randomizedPathPoint(i, points, random));
    } else {
        for (int32_t i = 0; i < n; ++i) walk.push_back(randomizedPathPoint(i, points, random));
    }
    start(walk, kNoName, false, false);
    mode_ = Walking;
    modeTimeLeft_ = saturatingInt(random.rangeFloat(walkTimeRange.X, walkTimeRange.Y));
    return true;
}

void GPedestrianNode::setUpOnFirstDraw() {
    BaseNode* parent = getParent();
    BaseNode* grandParent = parent ? parent->getParent() : nullptr;
    BaseNode* scene = grandParent ? grandParent->getParent() : nullptr;
    GLevelPaths* paths = levelPathsOfScene(scene);
    if (!paths) return;
    GLevelPath* path = paths->randomPedestrianPath();
    if (path) startOnPath(path->points, path->twoWay);
}

bool GPedestrianNode::onTimer(uint32_t elapsedMs) {
    RandomGenerator& random = getRandomGenerator();
    modeTimeLeft_ = saturatingAdd(modeTimeLeft_, -saturatingInt(elapsedMs));
    switch (mode_) {
    case Walking:
        if (modeTimeLeft_ > 0) {
            update(elapsedMs);
            if (!isWalking()) {
                if (body_) body_->stopAllStates(false);
                leaveParent();
                return false;
            }
        } else {
            mode_ = Standing;
            modeTimeLeft_ = saturatingInt(random.rangeFloat(pauseTimeRange.X, pauseTimeRange.Y));
            lookTimeLeft_ = 0;
        }
        break;
    case Standing:
        if (modeTimeLeft_ > 0) {
            lookTimeLeft_ = saturatingAdd(lookTimeLeft_, -saturatingInt(elapsedMs));
            if (lookTimeLeft_ < 0) {
                lookTimeLeft_ = saturatingInt(random.rangeFloat(lookIntervalRange.X, lookIntervalRange.Y));
                if (body_) {
                    body_->setState(directionStateNames()[random.nextMWC() % 8u], nullptr, kNoName);
                    body_->stopAllStates(false);
                }
            }
        } else {
            mode_ = Walking;
            modeTimeLeft_ = saturatingInt(random.rangeFloat(walkTimeRange.X, walkTimeRange.Y));
            const std::vector<vector2df>& path = getPath();
            if (path.size() >= 2) onDirectionChanged(path[path.size() - 2] - path.back());
        }
        break;
    case Idle:
        break;
    }
    return true;
}

// ---- GTextTrailNode ----------------------------------------------------------------------

GTextTrailNode::GTextTrailNode(const CreationContext* context, BaseNode* parent, BaseNode* manager,
                               bool mostDerived)
    : GSelfDrivenMoverNode(context, parent, manager, kInterval) {
    linkToParent(parent, mostDerived);
}

void GTextTrailNode::setUpOnFirstDraw() {
    enterStateInChildren(startName());
    setState(startName(), nullptr, kNoName);
}

void GTextTrailNode::setText(const stringw& text) {
    if (TextNode* node = nodeCast<TextNode>(findChild(makeNameId("Text"), 1))) node->setText(text);
}

bool GTextTrailNode::onTimer(uint32_t elapsedMs) {
    if (dieTimeLeft_ == -1) {
        update(elapsedMs);
        const vector3df& p = getPosition();
        setPosition(vector3df(p.X, p.Y, kDepth));
        if (!isWalking()) {
            enterStateInChildren(makeNameId("Die"));
            dieTimeLeft_ = kDieTimeMs;
        }
    } else if (dieTimeLeft_ > 0) {
        dieTimeLeft_ -= static_cast<int32_t>(elapsedMs);
        if (dieTimeLeft_ <= 0) {
            leaveParent();
            return false;
        }
    }
    return true;
}

}  // namespace game
