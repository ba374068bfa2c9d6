#pragma once
// Nodes that walk a polyline at a constant speed: the level's background cars,
// its pedestrians, the birds crossing the screen and the flying score texts,
// and the plain movers the level tasks and mini-games drive themselves.
//
// A mover turns its visual children to the direction of every segment it
// starts by entering one of eight direction states in them ("Right",
// "RightUp", "Up", ...), keeps its depth equal to its y so that lower movers
// draw over higher ones, and tells its parent that its walk ended with a
// NodeTagReachedEvent carrying the end tag.
//
// The four kinds below drive themselves: from their first draw inside a scene
// they run on a timer of that scene's scheduler and take themselves out of
// their parent when their walk is over. Plain GPathMovableNode instances are
// advanced by their owners through update.
#include "engine/core/BaseNode.h"
#include "engine/core/MemberTimer.h"
#include "engine/core/NameId.h"
#include "engine/core/RefCounted.h"
#include "engine/core/Types.h"

#include <cstdint>
#include <vector>

namespace engine {
class RandomGenerator;
class TimerScheduler;
}  // namespace engine

namespace game {

class LevelTraffic;
class GLevelPaths;
struct PathPoint;

class GPathMovableNode : public engine::BaseNode {
    ENGINE_NODE_TYPE(GPathMovableNode, engine::BaseNode, 1140)

public:
    static constexpr float kDefaultSpeed = 100.0f;

    GPathMovableNode(const engine::CreationContext* context, engine::BaseNode* parent, engine::BaseNode* manager,
                     bool mostDerived = true);
    // Leaves its traffic.
    ~GPathMovableNode() override;

    // The base copy only: speed, tag, paths and flags stay as constructed.
    void copyFrom(engine::BaseNode* source, engine::BaseNode* manager) override;
    void onLoaded() override {}

    // Begins a walk through the points (in the given order, or from the last
    // to the first with reverse): the node stands on the first point at depth
    // y, enters "Start" in its children and turns to the first segment. With
    // loop the walk starts again from its first point whenever it ends. A
    // list of fewer than two points puts the node on the one point (if any)
    // and starts nothing, with a logged warning.
    void start(const std::vector<engine::vector2df>& points, engine::NameId endTag = engine::kNoName,
               bool reverse = false, bool loop = false);
    // Advances the walk by the elapsed milliseconds at the current speed;
    // nothing while fewer than two points remain. At the end of the walk the
    // node stands on the last point, enters "Stop" in its children and offers
    // NodeTagReachedEvent (this node, end tag) to its parent before returning.
    void update(uint32_t elapsedMs);
    // Abandons the walk where the node stands and enters "Stop" in its
    // children; no event. Nothing when no walk is under way.
    void stop();
    // Leaves the traffic held (if any) and joins the given one (null: none)
    // as a priority mover or as a neutral car.
    void setTraffic(LevelTraffic* traffic, bool priority);
    LevelTraffic* getTraffic() const { return traffic_.get(); }

    // Called for every segment the walk starts with its vector (target minus
    // start, not normalised). The base enters the direction state of that
    // vector in every child.
    virtual void onDirectionChanged(const engine::vector2df& direction);

    float getSpeed() const { return speed_; }
    void setSpeed(float speed) { speed_ = speed; }
    engine::NameId getEndTag() const { return endTag_; }
    bool isLooping() const { return loop_; }
    // True while a walk is under way (two or more points remain).
    bool isWalking() const { return path_.size() >= 2; }
    // The points still to walk, last element first: back() is the point the
    // node comes from, the element before it the point it walks to.
    const std::vector<engine::vector2df>& getPath() const { return path_; }
    const std::vector<engine::vector2df>& getStoredPath() const { return storedPath_; }
    float getTravelled() const { return travelled_; }
    engine::NameId getDirectionState() const { return directionState_; }

protected:
    void setDirectionState(engine::NameId state) { directionState_ = state; }
    // Puts the node at (x, y) with depth y.
    void placeAt(const engine::vector2df& point);

private:
    engine::CountedRef<LevelTraffic> traffic_;
    float speed_ = kDefaultSpeed;
    engine::NameId endTag_ = engine::kNoName;
    std::vector<engine::vector2df> path_;
    std::vector<engine::vector2df> storedPath_;
    bool loop_ = false;
    float travelled_ = 0.0f;
    engine::NameId directionState_ = engine::kNoName;
};

// The direction state of a vector on the screen (y grows downwards): "Right",
// "RightUp", "Up", "LeftUp", "Left", "LeftDown", "Down" or "RightDown"; the
// axes take 30-degree sectors and the diagonals 60. The zero vector is
// "Right". -1 only for an angle of exactly 360 degrees.
engine::NameId eightWayDirectionState(const engine::vector2df& direction);
// The eight direction names in the order above, as name ids.
const engine::NameId* directionStateNames();

// Point `index` of a configured path scattered sideways by a random offset in
// [-d1, d2] across the path's local direction; the point as stored (and no
// random draw) when both deviations are 0. The path holds two or more points.
engine::vector2df randomizedPathPoint(int32_t index, const std::vector<PathPoint>& points);
engine::vector2df randomizedPathPoint(int32_t index, const std::vector<PathPoint>& points,
                                      engine::RandomGenerator& random);

// The paths of the level scene a node is drawn in, when `scene` is a level
// scene holding paths; null otherwise.
GLevelPaths* levelPathsOfScene(engine::BaseNode* scene);
// The level scene lives on a floor above the movers: it installs how its
// paths are found when it is made. Until then no scene has paths.
using LevelPathsLookup = GLevelPaths* (*)(engine::BaseNode* scene);
void setLevelPathsLookup(LevelPathsLookup lookup);

// The common part of the movers that drive themselves: the timer on the
// owning scene's scheduler and the safe way out of the parent.
class GSelfDrivenMoverNode : public GPathMovableNode {
public:
    ~GSelfDrivenMoverNode() override;

    // Draws the mover, then, on its first draw in a scene, sets it up and
    // registers the timer.
    void collectRenderItems(engine::RenderList& list) override;

    // One step of the mover; true keeps the timer. A mover that has left its
    // parent answers false: nothing is left for it to do. The node is kept
    // alive until the call returns.
    virtual bool onTimer(uint32_t elapsedMs) = 0;
    // The scheduler the timer runs on, or null before the first draw in a scene.
    engine::TimerScheduler* getUpdateScheduler() const;
    uint32_t getTimerInterval() const;

protected:
    GSelfDrivenMoverNode(const engine::CreationContext* context, engine::BaseNode* parent,
                         engine::BaseNode* manager, uint32_t intervalMs);

    // The set-up of the first draw, called while the timer is not registered
    // and the node belongs to a scene with a scheduler.
    virtual void setUpOnFirstDraw() {}
    // The first-draw step on its own (set-up and timer registration), for
    // movers that must stand in place before they are first drawn.
    void setUpAndRegister();
    // Takes the node out of its parent; the node stays alive until the call
    // returns, so the caller may still read its members afterwards only while
    // someone else holds it.
    void leaveParent();

private:
    using UpdateTimer = engine::MemberTimer<GSelfDrivenMoverNode>;
    bool runTimer(uint32_t elapsedMs);

    engine::CountedRef<UpdateTimer> timer_;
};

// A bird crossing the screen from one edge to another at 25 to 35 units a
// second, flapping ("<direction>_Flap" in its "Body") every 4 to 6 seconds.
class GBirdNode : public GSelfDrivenMoverNode {
    ENGINE_NODE_TYPE(GBirdNode, GSelfDrivenMoverNode, 1152)

public:
    static constexpr uint32_t kInterval = 30;

    GBirdNode(const engine::CreationContext* context, engine::BaseNode* parent, engine::BaseNode* manager,
              bool mostDerived = true);

    void onLoaded() override;
    bool onTimer(uint32_t elapsedMs) override;

    // A point on a screen edge: 0 top, 1 right, 2 bottom, 3 left.
    static engine::vector2df randomEdgePoint(int32_t edge);
    static engine::vector2df randomEdgePoint(int32_t edge, engine::RandomGenerator& random);

    engine::BaseNode* getBody() const { return body_.get(); }
    uint32_t getFlapCountdown() const { return flapCountdown_; }

protected:
    void setUpOnFirstDraw() override;

private:
    uint32_t flapCountdown_ = 0;
    engine::CountedRef<engine::BaseNode> body_;
};

// A background car: drives its walk and, unless told to stay, leaves its
// parent at the end.
class GCarNode : public GSelfDrivenMoverNode {
    ENGINE_NODE_TYPE(GCarNode, GSelfDrivenMoverNode, 1154)

public:
    static constexpr uint32_t kInterval = 10;

    GCarNode(const engine::CreationContext* context, engine::BaseNode* parent, engine::BaseNode* manager,
             bool mostDerived = true);

    bool onTimer(uint32_t elapsedMs) override;

    bool leaveAtEnd = true;
};

// A pedestrian walking a pedestrian path of its level in stretches of 10 to
// 30 seconds, standing 4 to 6 seconds between them and looking around.
class GPedestrianNode : public GSelfDrivenMoverNode {
    ENGINE_NODE_TYPE(GPedestrianNode, GSelfDrivenMoverNode, 1155)

public:
    static constexpr uint32_t kInterval = 30;
    enum Mode : int32_t { Idle = 0, Walking = 1, Standing = 2 };

    GPedestrianNode(const engine::CreationContext* context, engine::BaseNode* parent, engine::BaseNode* manager,
                    bool mostDerived = true);

    // Also copies the three time ranges of a source pedestrian.
    void copyFrom(engine::BaseNode* source, engine::BaseNode* manager) override;
    void onLoaded() override;
    bool onTimer(uint32_t elapsedMs) override;

    // Starts walking the configured path (scattered by its deviations), in
    // either direction when the path is two-way. False, and nothing starts,
    // for a path of fewer than two points.
    bool startOnPath(const std::vector<PathPoint>& points, bool twoWay);

    engine::BaseNode* getBody() const { return body_.get(); }
    Mode getMode() const { return mode_; }
    int32_t getModeTimeLeft() const { return modeTimeLeft_; }

    engine::vector2df walkTimeRange{10000.0f, 30000.0f};
    engine::vector2df pauseTimeRange{4000.0f, 6000.0f};
    engine::vector2df lookIntervalRange{1000.0f, 3000.0f};

protected:
    void setUpOnFirstDraw() override;

private:
    engine::CountedRef<engine::BaseNode> body_;
    Mode mode_ = Idle;
    int32_t modeTimeLeft_ = 0;
    int32_t lookTimeLeft_ = 0;
};

// A text that flies along its walk over the scene, then plays "Die" and goes
// 2000 ms later.
class GTextTrailNode : public GSelfDrivenMoverNode {
    ENGINE_NODE_TYPE(GTextTrailNode, GSelfDrivenMoverNode, 1156)

public:
    static constexpr uint32_t kInterval = 10;
    static constexpr int32_t kDieTimeMs = 2000;
    static constexpr float kDepth = 3000.0f;

    GTextTrailNode(const engine::CreationContext* context, engine::BaseNode* parent, engine::BaseNode* manager,
                   bool mostDerived = true);

    // The text turns with nothing.
    void onDirectionChanged(const engine::vector2df&) override {}
    bool onTimer(uint32_t elapsedMs) override;
    // Shows the text in the "Text" child when that is a text node.
    void setText(const engine::stringw& text);

    int32_t getDieTimeLeft() const { return dieTimeLeft_; }

protected:
    void setUpOnFirstDraw() override;

private:
    int32_t dieTimeLeft_ = -1;
};

}  // namespace game
