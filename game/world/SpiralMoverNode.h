#pragma once
// A node that moves on a spiral round the point where it was placed: its
// distance from that point and its angle round it change at random constant
// rates while it spins about its own axis; it fades out in its last second
// and goes.
#include "game/world/SelfDrivenEffectNode.h"

namespace game {

class GSpiralMovableNode : public GSelfDrivenEffectNode {
    ENGINE_NODE_TYPE(GSpiralMovableNode, GSelfDrivenEffectNode, 1142)
    GAME_EFFECT_FIELDS_DECL(GSpiralMovableNode)

public:
    static constexpr uint32_t kInterval = 30;

    GSpiralMovableNode(const engine::CreationContext* context, engine::BaseNode* parent, engine::BaseNode* manager,
                       bool mostDerived = true);

    bool onTimer(uint32_t elapsedMs) override;

    const engine::vector3df& getCentre() const { return centre_; }
    float getRadius() const { return radius_; }
    float getAngle() const { return angle_; }
    int32_t getTimeLeft() const { return timeLeft_; }

    engine::vector2df rRange{0.0f, 0.0f};
    engine::vector2df rVelocityRange{0.0f, 0.0f};
    engine::vector2df rotVelocityRange{0.0f, 0.0f};
    engine::vector2df angleRange{0.0f, 0.0f};
    engine::vector2df angleVelocityRange{0.0f, 0.0f};
    int32_t lifeTime = 0;

protected:
    void setUpOnFirstDraw() override;

private:
    void place();

    engine::vector3df centre_{0.0f, 0.0f, 0.0f};
    float radius_ = 0.0f;
    float radiusVelocity_ = 0.0f;
    float spinVelocity_ = 0.0f;
    float angle_ = 0.0f;
    float angleVelocity_ = 0.0f;
    int32_t timeLeft_ = 0;
};

}  // namespace game
