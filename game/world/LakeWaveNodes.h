#pragma once
// Water and rising pictures of the city scenes.
//
// GLakeWaveNode is a patch of water: its "Wave" child plays its animation
// from a random point (so that neighbouring waves are out of step), its
// "Star" child glints now and then at a random place inside the node's
// bounds, and the node may drift and, given a life time, fade out and go.
//
// GPicEffectNode is a picture that rises, speeding up for a while, and
// circles sideways as a flat circle seen from the side (it passes behind
// what it circles round), fades out in its last second and goes.
#include "game/world/SelfDrivenEffectNode.h"

namespace game {

class GLakeWaveNode : public GSelfDrivenEffectNode {
    ENGINE_NODE_TYPE(GLakeWaveNode, GSelfDrivenEffectNode, 1151)
    GAME_EFFECT_FIELDS_DECL(GLakeWaveNode)

public:
    static constexpr uint32_t kInterval = 60;
    static constexpr int32_t kFadeMs = 1500;

    GLakeWaveNode(const engine::CreationContext* context, engine::BaseNode* parent, engine::BaseNode* manager,
                  bool mostDerived = true);

    // Binds the direct children "Wave" and "Star".
    void onLoaded() override;
    bool onTimer(uint32_t elapsedMs) override;

    engine::BaseNode* getWave() const { return wave_.get(); }
    engine::BaseNode* getStar() const { return star_.get(); }
    int32_t getBlinkCountdown() const { return blinkCountdown_; }

    engine::vector2df starBlinkRange{5000.0f, 10000.0f};
    engine::vector3df velocity{0.0f, 0.0f, 0.0f};
    // Life left; 0 or less lives as long as the scene.
    int32_t lifeTime = -1;

protected:
    void setUpOnFirstDraw() override;

private:
    engine::CountedRef<engine::BaseNode> wave_;
    engine::CountedRef<engine::BaseNode> star_;
    int32_t blinkCountdown_ = 0;
};

class GPicEffectNode : public GSelfDrivenEffectNode {
    ENGINE_NODE_TYPE(GPicEffectNode, GSelfDrivenEffectNode, 1144)
    GAME_EFFECT_FIELDS_DECL(GPicEffectNode)

public:
    static constexpr uint32_t kInterval = 30;

    GPicEffectNode(const engine::CreationContext* context, engine::BaseNode* parent, engine::BaseNode* manager,
                   bool mostDerived = true);

    bool onTimer(uint32_t elapsedMs) override;

    const engine::vector3df& getCentre() const { return centre_; }
    float getWidth() const { return width_; }
    float getYVelocity() const { return yVelocity_; }
    int32_t getTimeLeft() const { return timeLeft_; }

    int32_t animTime = 1000;
    engine::vector2df widthRange{0.0f, 0.0f};
    engine::vector2df yVelocityRange{0.0f, 0.0f};
    engine::vector2df yAccelRange{0.0f, 0.0f};
    engine::vector2df yAccelTimeRange{0.0f, 0.0f};
    int32_t lifeTime = 0;

protected:
    void setUpOnFirstDraw() override;

private:
    engine::vector3df centre_{0.0f, 0.0f, 0.0f};
    float yVelocity_ = 0.0f;
    float yAcceleration_ = 0.0f;
    float width_ = 0.0f;
    int32_t circleTime_ = 0;
    int32_t accelerationEnd_ = 0;
    int32_t timeLeft_ = 0;
};

}  // namespace game
