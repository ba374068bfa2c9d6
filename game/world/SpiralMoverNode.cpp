#include "game/world/SpiralMoverNode.h"
#include "engine/core/MathRoutines.h"
#include "engine/core/RandomGenerator.h"

#include <cmath>

using namespace engine;

namespace game {

namespace {
float rangeOf(const vector2df& range) { return getRandomGenerator().rangeFloat(range.X, range.Y); }
}  // namespace

const std::vector<EffectField<GSpiralMovableNode>>& GSpiralMovableNode::fields() {
    static const std::vector<EffectField<GSpiralMovableNode>> list = {
        GAME_EFFECT_FIELD(GSpiralMovableNode, rRange, "RRange", vector2df(0.0f, 0.0f)),
        GAME_EFFECT_FIELD(GSpiralMovableNode, rVelocityRange, "RVelocityRange", vector2df(0.0f, 0.0f)),
        GAME_EFFECT_FIELD(GSpiralMovableNode, rotVelocityRange, "RotVelocityRange", vector2df(0.0f, 0.0f)),
        GAME_EFFECT_FIELD(GSpiralMovableNode, angleRange, "AngleRange", vector2df(0.0f, 0.0f)),
        GAME_EFFECT_FIELD(GSpiralMovableNode, angleVelocityRange, "AngleVelocityRange", vector2df(0.0f, 0.0f)),
        GAME_EFFECT_FIELD(GSpiralMovableNode, lifeTime, "LifeTime", int32_t(0)),
    };
    return list;
}

GAME_EFFECT_FIELDS_IMPL(GSpiralMovableNode)

GSpiralMovableNode::GSpiralMovableNode(const CreationContext* context, BaseNode* parent, BaseNode* manager,
                                       bool mostDerived)
    : GSelfDrivenEffectNode(context, parent, manager, kInterval) {
    linkToParent(parent, mostDerived);
}

void GSpiralMovableNode::place() {
    setPosition(centre_ + vector3df(radius_ * std::cos(angle_), radius_ * std::sin(angle_), 0.0f));
}

void GSpiralMovableNode::setUpOnFirstDraw() {
    radius_ = rangeOf(rRange);
    radiusVelocity_ = rangeOf(rVelocityRange);
    spinVelocity_ = rangeOf(rotVelocityRange);
    angle_ = rangeOf(angleRange);
    angleVelocity_ = rangeOf(angleVelocityRange);
    timeLeft_ = lifeTime;
    centre_ = getPosition();
    place();
}

bool GSpiralMovableNode::onTimer(uint32_t elapsedMs) {
    timeLeft_ = saturatingAdd(timeLeft_, -saturatingInt(elapsedMs));
    if (timeLeft_ <= 0) return removeSelf();
    if (timeLeft_ < 1000) setAlpha(lastSecondAlpha(timeLeft_));
    const float dt = static_cast<float>(elapsedMs) * 0.001f;
    radius_ += radiusVelocity_ * dt;
    angle_ += angleVelocity_ * dt;
    place();
    vector3df rotation = getRotation();
    rotation.Z += spinVelocity_ * dt;
    setRotation(rotation);
    return true;
}

}  // namespace game
