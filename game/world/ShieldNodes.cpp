#include "game/world/ShieldNodes.h"
#include "engine/core/MathRoutines.h"
#include "engine/core/RandomGenerator.h"

#include <climits>
#include <cmath>

using namespace engine;

namespace game {

namespace {

NameId runName() {
    static const NameId id = makeNameId("Run");
    return id;
}

float rangeOf(const vector2df& range) { return getRandomGenerator().rangeFloat(range.X, range.Y); }

}  // namespace

// ---- GShieldEffectNode -------------------------------------------------------------------

const std::vector<EffectField<GShieldEffectNode>>& GShieldEffectNode::fields() {
    static const std::vector<EffectField<GShieldEffectNode>> list = {
        GAME_EFFECT_FIELD(GShieldEffectNode, area1Rect1Size, "Area1Rect1Size", vector2df(0.0f, 0.0f)),
        GAME_EFFECT_FIELD(GShieldEffectNode, area1Rect2Size, "Area1Rect2Size", vector2df(0.0f, 0.0f)),
        GAME_EFFECT_FIELD(GShieldEffectNode, area2RectSize, "Area2RectSize", vector2df(0.0f, 0.0f)),
        GAME_EFFECT_FIELD(GShieldEffectNode, velocityPower, "VelocityPower", 1.0f),
        GAME_EFFECT_FIELD(GShieldEffectNode, movingTime, "MovingTime", int32_t(0)),
        GAME_EFFECT_FIELD(GShieldEffectNode, disappearWaitTime, "DisappearWaitTime", int32_t(0)),
        GAME_EFFECT_FIELD(GShieldEffectNode, disappearTime, "DisappearTime", int32_t(0)),
    };
    return list;
}

GAME_EFFECT_FIELDS_IMPL(GShieldEffectNode)

GShieldEffectNode::GShieldEffectNode(const CreationContext* context, BaseNode* parent, BaseNode* manager,
                                     bool mostDerived)
    : GSelfDrivenEffectNode(context, parent, manager, kInterval) {
    linkToParent(parent, mostDerived);
}

void GShieldEffectNode::setUpOnFirstDraw() {
    RandomGenerator& random = getRandomGenerator();
    const vector2df h1 = area1Rect1Size * 0.5f;
    const vector2df h2 = area1Rect2Size * 0.5f;
    float x = 0.0f;
    float y = 0.0f;
    switch (random.nextMWC() % 4u) {
    case 0:  // left
        x = random.rangeFloat(-h1.X, -h2.X);
        y = random.rangeFloat(-h1.Y, h1.Y);
        break;
    case 1:  // top
        x = random.rangeFloat(-h2.X, h2.X);
        y = random.rangeFloat(-h1.Y, -h2.Y);
        break;
    case 2:  // right
        x = random.rangeFloat(h2.X, h1.X);
        y = random.rangeFloat(-h1.Y, h1.Y);
        break;
    default:  // bottom
        x = random.rangeFloat(-h2.X, h2.X);
        y = random.rangeFloat(h2.Y, h1.Y);
        break;
    }
    start_ = vector3df(x, y, 0.0f);
    const float tx = random.rangeFloat(-area2RectSize.X * 0.5f, area2RectSize.X * 0.5f);
    const float ty = random.rangeFloat(-area2RectSize.Y * 0.5f, area2RectSize.Y * 0.5f);
    target_ = vector3df(tx, ty, tx + ty + 100.0f);
    phase_ = Moving;
    phaseTime_ = 0;
    setPosition(start_);
    enterStateInChildren(runName());
    updateAbsoluteTransform();
    updateAbsoluteColor();
}

bool GShieldEffectNode::onTimer(uint32_t elapsedMs) {
    phaseTime_ = saturatingAdd(phaseTime_, saturatingInt(elapsedMs));
    switch (phase_) {
    case Moving:
        if (phaseTime_ >= movingTime) {
            setPosition(target_);
            phase_ = Waiting;
            phaseTime_ = 0;
        } else {
            float f = std::pow(static_cast<float>(phaseTime_) / static_cast<float>(movingTime), velocityPower);
            // A negative power at the very start would put the piece at infinity.
            if (!std::isfinite(f)) f = 0.0f;
            const float x = start_.X + (target_.X - start_.X) * f;
            const float y = start_.Y + (target_.Y - start_.Y) * f;
            setPosition(vector3df(x, y, x + y + 100.0f));
        }
        break;
    case Waiting:
        if (phaseTime_ >= disappearWaitTime) {
            phase_ = Disappearing;
            phaseTime_ = 0;
        }
        break;
    case Disappearing:
        if (phaseTime_ >= disappearTime) {
            phase_ = Done;
            phaseTime_ = 0;
            finished_ = true;
            return removeSelf();
        } else {
            const float faded = std::floor(static_cast<float>(phaseTime_) * 255.0f / static_cast<float>(disappearTime) + 0.5f);
            setAlpha(static_cast<uint32_t>(255.0f - faded));
        }
        break;
    case Done:
        break;
    }
    return true;
}

// ---- GShieldStarNode ---------------------------------------------------------------------

const std::vector<EffectField<GShieldStarNode>>& GShieldStarNode::fields() {
    static const std::vector<EffectField<GShieldStarNode>> list = {
        GAME_EFFECT_FIELD(GShieldStarNode, accel1StartTimeRange, "Accel1StartTimeRange", vector2df(0.0f, 0.0f)),
        GAME_EFFECT_FIELD(GShieldStarNode, accel1EndTimeRange, "Accel1EndTimeRange", vector2df(0.0f, 0.0f)),
        GAME_EFFECT_FIELD(GShieldStarNode, accel2StartTimeRange, "Accel2StartTimeRange", vector2df(0.0f, 0.0f)),
        GAME_EFFECT_FIELD(GShieldStarNode, accel2EndTimeRange, "Accel2EndTimeRange", vector2df(0.0f, 0.0f)),
        GAME_EFFECT_FIELD(GShieldStarNode, velocityAngleRange, "VelocityAngleRange", vector2df(0.0f, 0.0f)),
        GAME_EFFECT_FIELD(GShieldStarNode, velocityRange, "VelocityRange", vector2df(0.0f, 0.0f)),
        GAME_EFFECT_FIELD(GShieldStarNode, accel1Range, "Accel1Range", vector2df(0.0f, 0.0f)),
        GAME_EFFECT_FIELD(GShieldStarNode, accel2Range, "Accel2Range", vector2df(0.0f, 0.0f)),
        GAME_EFFECT_FIELD(GShieldStarNode, angleRange, "AngleRange", vector2df(0.0f, 0.0f)),
        GAME_EFFECT_FIELD(GShieldStarNode, angularVelocityRange, "AngularVelocityRange", vector2df(0.0f, 0.0f)),
        GAME_EFFECT_FIELD(GShieldStarNode, lifeTime, "LifeTime", int32_t(0)),
    };
    return list;
}

GAME_EFFECT_FIELDS_IMPL(GShieldStarNode)

GShieldStarNode::GShieldStarNode(const CreationContext* context, BaseNode* parent, BaseNode* manager,
                                 bool mostDerived)
    : GSelfDrivenEffectNode(context, parent, manager, kInterval) {
    linkToParent(parent, mostDerived);
}

void GShieldStarNode::setUpOnFirstDraw() {
    const float a = rangeOf(velocityAngleRange) * 3.14159265f / 180.0f;
    direction_ = vector3df(std::cos(a), std::sin(a), 0.0f);
    speed_ = rangeOf(velocityRange);
    acceleration1_ = rangeOf(accel1Range);
    acceleration2_ = rangeOf(accel2Range);
    spinAngle_ = rangeOf(angleRange);
    spinVelocity_ = rangeOf(angularVelocityRange);
    timeLeft_ = lifeTime;
    const vector2df* ranges[4] = {&accel1StartTimeRange, &accel1EndTimeRange, &accel2StartTimeRange,
                                  &accel2EndTimeRange};
    for (int i = 0; i < 4; ++i) {
        const int32_t r = getRandomGenerator().rangeInt(saturatingInt(ranges[i]->X), saturatingInt(ranges[i]->Y));
        windows_[i] = saturatingAdd(timeLeft_, r == INT32_MIN ? INT32_MAX : -r);
    }
}

bool GShieldStarNode::onTimer(uint32_t elapsedMs) {
    timeLeft_ = saturatingAdd(timeLeft_, -saturatingInt(elapsedMs));
    if (timeLeft_ <= 0) return removeSelf();
    if (timeLeft_ < 1000) setAlpha(lastSecondAlpha(timeLeft_));
    const float dt = static_cast<float>(elapsedMs) * 0.001f;
    if (windows_[1] < timeLeft_ && timeLeft_ < windows_[0]) speed_ += acceleration1_ * dt;
    if (windows_[3] < timeLeft_ && timeLeft_ < windows_[2]) speed_ += acceleration2_ * dt;
    setPosition(getPosition() + direction_ * (speed_ * dt));
    spinAngle_ += spinVelocity_ * dt;
    setRotation(vector3df(0.0f, 0.0f, spinAngle_));
    return true;
}

}  // namespace game
