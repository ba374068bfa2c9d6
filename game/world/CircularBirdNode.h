#pragma once
// One bird circling in the sky: the node clones the "Body" of a bird
// template from its scene manager's template collection and moves it along
// the sum of two elliptical rotations round the node, turning it to face its
// way and making it flap now and then.
#include "game/world/SelfDrivenEffectNode.h"
#include "engine/core/NameId.h"

namespace game {

class GCircularBirdNode : public GSelfDrivenEffectNode {
    ENGINE_NODE_TYPE(GCircularBirdNode, GSelfDrivenEffectNode, 1153)
    GAME_EFFECT_FIELDS_DECL(GCircularBirdNode)

public:
    static constexpr uint32_t kInterval = 30;

    GCircularBirdNode(const engine::CreationContext* context, engine::BaseNode* parent, engine::BaseNode* manager,
                      bool mostDerived = true);
    ~GCircularBirdNode() override;

    // The base collection, the set-up of a new bird when due, then the bird
    // (a ghost child, which the base does not draw).
    void collectRenderItems(engine::RenderList& list) override;
    // The bird follows the node into its scene.
    void attach(engine::BaseNode* manager, engine::BaseNode* scene) override;
    // The template is looked up again; the event goes on.
    bool onEvent33(engine::SceneShownEvent* event) override;
    bool onEvent34(engine::NodeEvent34* event) override;
    bool onTimer(uint32_t elapsedMs) override;

    // Looks the template up in the manager's collection and takes its "Body"
    // as the bird's visual; a running bird is replaced at the next draw.
    void setBirdTemplateId(engine::NameId id);
    engine::NameId getBirdTemplateId() const { return birdTemplateId_; }
    engine::BaseNode* getBodyTemplate() const { return bodyTemplate_.get(); }
    engine::BaseNode* getBird() const { return bird_.get(); }
    uint32_t getFlapCountdown() const { return flapCountdown_; }
    engine::NameId getDirectionState() const { return directionState_; }
    float getAngle1() const { return angle1; }
    float getAngle2() const { return angle2; }
    // The bird's place relative to the node at the two angles (degrees).
    engine::vector2df placement(float a1, float a2) const;

    engine::vector2df ellipse1Size{0.0f, 0.0f};
    engine::vector2df ellipse2Size{0.0f, 0.0f};
    float angle1 = 0.0f;
    float angle2 = 0.0f;
    float angularVelocity1 = 5.0f;
    float angularVelocity2 = 5.0f;

protected:
    bool canSetUp() const override { return bodyTemplate_.get() != nullptr; }
    void setUpOnFirstDraw() override;

private:
    void flapInto(engine::NameId direction, bool keepPhase);
    void dropBird();

    engine::NameId birdTemplateId_ = engine::kNoName;
    engine::CountedRef<engine::BaseNode> bodyTemplate_;
    engine::CountedRef<engine::BaseNode> bird_;
    uint32_t flapCountdown_ = 0;
    engine::NameId directionState_ = engine::kNoName;
    // The manager the template was last looked up in.
    engine::BaseNode* lookupManager_ = nullptr;
};

}  // namespace game
