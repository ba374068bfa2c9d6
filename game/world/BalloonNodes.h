#pragma once
// Balloons and fireworks.
//
// GBaloonNode rises from where it was placed with a sideways sway, speeds up
// for a while, fades out in its last second and goes.
//
// GFireworkNode climbs in its children's "Up" state under a constant
// acceleration; when its flight time is over its children burst ("Boost") and
// the rocket goes once they have all ended the burst.
#include "game/world/SelfDrivenEffectNode.h"

namespace game {

class GBaloonNode : public GSelfDrivenEffectNode {
    ENGINE_NODE_TYPE(GBaloonNode, GSelfDrivenEffectNode, 1143)
    GAME_EFFECT_FIELDS_DECL(GBaloonNode)

public:
    static constexpr uint32_t kInterval = 30;

    GBaloonNode(const engine::CreationContext* context, engine::BaseNode* parent, engine::BaseNode* manager,
                bool mostDerived = true);

    bool onTimer(uint32_t elapsedMs) override;

    float getXVelocity() const { return xVelocity_; }
    float getYVelocity() const { return yVelocity_; }
    float getWidth() const { return width_; }
    int32_t getTimeLeft() const { return timeLeft_; }
    int32_t getAccelerationEnd() const { return accelerationEnd_; }
    const engine::vector3df& getStartPosition() const { return startPosition_; }

    engine::vector2df widthRange{0.0f, 0.0f};
    engine::vector2df xVelocityRange{0.0f, 0.0f};
    engine::vector2df yVelocityRange{0.0f, 0.0f};
    engine::vector2df yAccelRange{0.0f, 0.0f};
    engine::vector2df yAccelTimeRange{0.0f, 0.0f};
    int32_t lifeTime = 0;

protected:
    void setUpOnFirstDraw() override;

private:
    engine::vector3df startPosition_{0.0f, 0.0f, 0.0f};
    float xVelocity_ = 0.0f;
    float yVelocity_ = 0.0f;
    float yAcceleration_ = 0.0f;
    float width_ = 0.0f;
    int32_t accelerationEnd_ = 0;
    int32_t timeLeft_ = 0;
};

class GFireworkNode : public GSelfDrivenEffectNode {
    ENGINE_NODE_TYPE(GFireworkNode, GSelfDrivenEffectNode, 1157)
    GAME_EFFECT_FIELDS_DECL(GFireworkNode)

public:
    static constexpr uint32_t kInterval = 30;
    // Fireworks draw over the scene.
    static constexpr float kDepth = 2000.0f;

    GFireworkNode(const engine::CreationContext* context, engine::BaseNode* parent, engine::BaseNode* manager,
                  bool mostDerived = true);

    bool onTimer(uint32_t elapsedMs) override;
    // The children have all ended "Boost": the firework goes.
    bool onEvent74(engine::NodeStateFinishedEvent* event) override;

    const engine::vector3df& getVelocity() const { return velocity_; }
    int32_t getMoveTimeLeft() const { return moveTimeLeft_; }
    bool hasBurst() const { return moveTimeLeft_ < 0; }

    engine::vector2df velocityXRange{0.0f, 0.0f};
    engine::vector2df velocityYRange{0.0f, 0.0f};
    engine::vector2df acceleration{0.0f, 0.0f};
    engine::vector2df moveTimeRange{0.0f, 0.0f};

protected:
    // A firework that has burst never starts again.
    bool canSetUp() const override { return moveTimeLeft_ >= 0; }
    void setUpOnFirstDraw() override;

private:
    engine::vector3df velocity_{0.0f, 0.0f, 0.0f};
    int32_t moveTimeLeft_ = 0;
};

}  // namespace game
