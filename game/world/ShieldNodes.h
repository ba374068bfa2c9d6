#pragma once
// The pieces of the hidden-object games' "found" effect.
//
// GShieldEffectNode starts at a random point of a rectangular ring round its
// parent's origin, glides along an easing curve to a random point of an inner
// rectangle while its children play "Run", waits there, fades out and goes.
//
// GShieldStarNode is a spark that flies from where it was placed in a random
// direction, speeds up or slows down in two random time windows, spins, fades
// out in its last second and goes. The mini-games set the first window's
// ranges on their star template before they make stars.
#include "game/world/SelfDrivenEffectNode.h"

namespace game {

class GShieldEffectNode : public GSelfDrivenEffectNode {
    ENGINE_NODE_TYPE(GShieldEffectNode, GSelfDrivenEffectNode, 1146)
    GAME_EFFECT_FIELDS_DECL(GShieldEffectNode)

public:
    static constexpr uint32_t kInterval = 30;
    enum Phase : int32_t { Done = 0, Moving = 1, Waiting = 2, Disappearing = 3 };

    GShieldEffectNode(const engine::CreationContext* context, engine::BaseNode* parent, engine::BaseNode* manager,
                      bool mostDerived = true);

    bool onTimer(uint32_t elapsedMs) override;

    Phase getPhase() const { return phase_; }
    int32_t getPhaseTime() const { return phaseTime_; }
    const engine::vector3df& getStart() const { return start_; }
    const engine::vector3df& getTarget() const { return target_; }

    engine::vector2df area1Rect1Size{0.0f, 0.0f};
    engine::vector2df area1Rect2Size{0.0f, 0.0f};
    engine::vector2df area2RectSize{0.0f, 0.0f};
    float velocityPower = 1.0f;
    int32_t movingTime = 0;
    int32_t disappearWaitTime = 0;
    int32_t disappearTime = 0;

protected:
    bool canSetUp() const override { return !finished_; }
    void setUpOnFirstDraw() override;

private:
    engine::vector3df start_{0.0f, 0.0f, 0.0f};
    engine::vector3df target_{0.0f, 0.0f, 0.0f};
    Phase phase_ = Done;
    int32_t phaseTime_ = 0;
    bool finished_ = false;
};

class GShieldStarNode : public GSelfDrivenEffectNode {
    ENGINE_NODE_TYPE(GShieldStarNode, GSelfDrivenEffectNode, 1145)
    GAME_EFFECT_FIELDS_DECL(GShieldStarNode)

public:
    static constexpr uint32_t kInterval = 30;

    GShieldStarNode(const engine::CreationContext* context, engine::BaseNode* parent, engine::BaseNode* manager,
                    bool mostDerived = true);

    bool onTimer(uint32_t elapsedMs) override;

    float getSpeed() const { return speed_; }
    const engine::vector3df& getDirection() const { return direction_; }
    float getSpinAngle() const { return spinAngle_; }
    int32_t getTimeLeft() const { return timeLeft_; }
    // The window bounds as ms of time left: window 1 start, end, window 2 start, end.
    const int32_t* getWindows() const { return windows_; }

    engine::vector2df accel1StartTimeRange{0.0f, 0.0f};
    engine::vector2df accel1EndTimeRange{0.0f, 0.0f};
    engine::vector2df accel2StartTimeRange{0.0f, 0.0f};
    engine::vector2df accel2EndTimeRange{0.0f, 0.0f};
    engine::vector2df velocityAngleRange{0.0f, 0.0f};
    engine::vector2df velocityRange{0.0f, 0.0f};
    engine::vector2df accel1Range{0.0f, 0.0f};
    engine::vector2df accel2Range{0.0f, 0.0f};
    engine::vector2df angleRange{0.0f, 0.0f};
    engine::vector2df angularVelocityRange{0.0f, 0.0f};
    int32_t lifeTime = 0;

protected:
    void setUpOnFirstDraw() override;

private:
    engine::vector3df direction_{0.0f, 0.0f, 0.0f};
    float speed_ = 0.0f;
    float acceleration1_ = 0.0f;
    float acceleration2_ = 0.0f;
    int32_t windows_[4] = {0, 0, 0, 0};
    float spinAngle_ = 0.0f;
    float spinVelocity_ = 0.0f;
    int32_t timeLeft_ = 0;
};

}  // namespace game
