#include "game/world/BalloonNodes.h"
#include "engine/core/Event.h"
#include "engine/core/MathRoutines.h"
#include "engine/core/RandomGenerator.h"

#include <climits>
#include <cmath>

using namespace engine;

namespace game {

namespace {

float rangeOf(const vector2df& range) { return getRandomGenerator().rangeFloat(range.X, range.Y); }

NameId upName() {
    static const NameId id = makeNameId("Up");
    return id;
}
NameId boostName() {
    static const NameId id = makeNameId("Boost");
    return id;
}

}  // namespace

// ---- GBaloonNode -------------------------------------------------------------------------

const std::vector<EffectField<GBaloonNode>>& GBaloonNode::fields() {
    static const std::vector<EffectField<GBaloonNode>> list = {
        GAME_EFFECT_FIELD(GBaloonNode, widthRange, "WidthRange", vector2df(0.0f, 0.0f)),
        GAME_EFFECT_FIELD(GBaloonNode, xVelocityRange, "XVelocityRange", vector2df(0.0f, 0.0f)),
        GAME_EFFECT_FIELD(GBaloonNode, yVelocityRange, "YVelocityRange", vector2df(0.0f, 0.0f)),
        GAME_EFFECT_FIELD(GBaloonNode, yAccelRange, "YAccelRange", vector2df(0.0f, 0.0f)),
        GAME_EFFECT_FIELD(GBaloonNode, yAccelTimeRange, "YAccelTimeRange", vector2df(0.0f, 0.0f)),
        GAME_EFFECT_FIELD(GBaloonNode, lifeTime, "LifeTime", int32_t(0)),
    };
    return list;
}

GAME_EFFECT_FIELDS_IMPL(GBaloonNode)

GBaloonNode::GBaloonNode(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived)
    : GSelfDrivenEffectNode(context, parent, manager, kInterval) {
    linkToParent(parent, mostDerived);
}

void GBaloonNode::setUpOnFirstDraw() {
    RandomGenerator& random = getRandomGenerator();
    xVelocity_ = rangeOf(xVelocityRange);
    yVelocity_ = rangeOf(yVelocityRange);
    yAcceleration_ = rangeOf(yAccelRange);
    width_ = rangeOf(widthRange);
    timeLeft_ = lifeTime;
    const int32_t accelerationTime = random.rangeInt(saturatingInt(yAccelTimeRange.X), saturatingInt(yAccelTimeRange.Y));
    accelerationEnd_ = saturatingAdd(timeLeft_, accelerationTime == INT32_MIN ? INT32_MAX : -accelerationTime);
    startPosition_ = getPosition();
    if (random.nextMWC() % 2u == 0u) xVelocity_ = -xVelocity_;
}

bool GBaloonNode::onTimer(uint32_t elapsedMs) {
    timeLeft_ = saturatingAdd(timeLeft_, -saturatingInt(elapsedMs));
    if (timeLeft_ <= 0) return removeSelf();
    if (timeLeft_ < 1000) setAlpha(lastSecondAlpha(timeLeft_));
    const float dt = static_cast<float>(elapsedMs) * 0.001f;
    vector3df p = getPosition();
    if (std::fabs(p.X - startPosition_.X) >= width_) xVelocity_ = -xVelocity_;
    if (timeLeft_ > accelerationEnd_) yVelocity_ += yAcceleration_ * dt;
    p.X += xVelocity_ * dt;
    p.Y += yVelocity_ * dt;
    p.Z = (p.X + p.Y) * 0.0001f + static_cast<float>(timeLeft_) * 0.01f + yVelocity_ * 0.1f;
    setPosition(p);
    return true;
}

// ---- GFireworkNode -----------------------------------------------------------------------

const std::vector<EffectField<GFireworkNode>>& GFireworkNode::fields() {
    static const std::vector<EffectField<GFireworkNode>> list = {
        GAME_EFFECT_FIELD(GFireworkNode, velocityXRange, "VelocityXRange", vector2df(0.0f, 0.0f)),
        GAME_EFFECT_FIELD(GFireworkNode, velocityYRange, "VelocityYRange", vector2df(0.0f, 0.0f)),
        GAME_EFFECT_FIELD(GFireworkNode, acceleration, "Acceleration", vector2df(0.0f, 0.0f)),
        GAME_EFFECT_FIELD(GFireworkNode, moveTimeRange, "MoveTimeRange", vector2df(0.0f, 0.0f)),
    };
    return list;
}

GAME_EFFECT_FIELDS_IMPL(GFireworkNode)

GFireworkNode::GFireworkNode(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived)
    : GSelfDrivenEffectNode(context, parent, manager, kInterval) {
    linkToParent(parent, mostDerived);
}

void GFireworkNode::setUpOnFirstDraw() {
    RandomGenerator& random = getRandomGenerator();
    const float jx = 20.0f * random.nextUnitFloat() - 10.0f;
    const float jy = 10.0f * random.nextUnitFloat() - 5.0f;
    setPosition(getPosition() + vector3df(jx, jy, kDepth));
    enterStateInChildren(upName());
    velocity_ = vector3df(rangeOf(velocityXRange), rangeOf(velocityYRange), 0.0f);
    moveTimeLeft_ = saturatingInt(rangeOf(moveTimeRange));
    // A negative flight time would read as "burst already" and never fly.
    if (moveTimeLeft_ < 0) moveTimeLeft_ = 0;
}

bool GFireworkNode::onTimer(uint32_t elapsedMs) {
    moveTimeLeft_ = saturatingAdd(moveTimeLeft_, -saturatingInt(elapsedMs));
    if (moveTimeLeft_ < 0) {
        // Children that end the burst at once take the firework away inside
        // this call.
        const CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(this);
        unregisterTimer();
        enterStateInChildren(boostName());
        return false;
    }
    const float dt = static_cast<float>(elapsedMs) * 0.001f;
    velocity_.X += acceleration.X * dt;
    velocity_.Y += acceleration.Y * dt;
    setPosition(getPosition() + velocity_ * dt);
    return true;
}

bool GFireworkNode::onEvent74(NodeStateFinishedEvent* event) {
    if (!event || event->getName() != boostName()) return false;
    // The burst may end while the firework is still drawn from the scene;
    // removeSelf keeps it alive through the removal.
    if (getParent()) removeSelf();
    return true;
}

}  // namespace game
