#pragma once
// The first hidden-object game: a busy picture with objects hidden in it,
// found in any order. Each click in the picture finds at most one object,
// which bursts into stars and leaves; when none is left the play ends with
// the expert score. The play time counts up beside the target time. The hint
// button points at one of the objects left with a glow and a trail along its
// hint path, once every four seconds.
#include "engine/core/RefCounted.h"
#include "game/minigames/GMiniGameScene.h"

class GHOHintParticlesNode;

namespace engine {
class SpawnerNode;
class TextNode;
}  // namespace engine

namespace game {

class GLevelPaths;
class GPathMovableNode;

class GMiniGameHiddenScene : public GMiniGameScene {
    ENGINE_NODE_TYPE(GMiniGameHiddenScene, GMiniGameScene, 1129)

public:
    static constexpr uint32_t kTimerMs = 10;
    static constexpr int32_t kHintCooldownMs = 4000;
    static constexpr float kHintTrailSpeed = 275.0f;

    GMiniGameHiddenScene(const engine::CreationContext* context, engine::BaseNode* parent,
                         engine::BaseNode* manager, bool mostDerived = true);
    ~GMiniGameHiddenScene() override;

    // Binds Scene/Game/HitObjects, Scene/Game/BgObjects/HintTrailNode,
    // FoundNode and HintEffect, and Scene/UI/TimeTarg, TimeCurr, ObjCount.
    void onLoaded() override;
    // A left click goes to pickObject first, then on to the controls.
    bool routeToChildren(int32_t mode, engine::Event* event) override;
    // Becoming the top scene starts a play.
    bool onSceneActivated(engine::SceneActivatedEvent* event) override;
    bool onNodePressed(engine::NodePressedEvent* event) override;
    bool onTimer(uint32_t periodMs) override;
    void readExtraElement(engine::XmlReader& reader) override;

    // The click at (x, y): the first click of the caption starts the play;
    // during the play it finds the first object under the point, if any.
    void pickObject(int32_t x, int32_t y);
    // The hint button: a random object left is hinted (the same one until it
    // is found) when the cooldown is over.
    void giveHint();

    engine::BaseNode* getHitObjects() const { return hitObjects_; }
    engine::BaseNode* getHintedObject() const { return hintedObject_; }
    int32_t getHintCooldownMs() const { return hintCooldownMs_; }
    GPathMovableNode* getHintTrail() const { return hintTrail_; }
    engine::SpawnerNode* getFoundNode() const { return foundNode_; }
    GHOHintParticlesNode* getHintEffect() const { return hintEffect_; }
    GLevelPaths& getHintPaths() const { return *hintPaths_; }
    engine::TextNode* getObjCountText() const { return objCountText_; }
    engine::TextNode* getPlayTimeText() const { return playTimeText_; }
    engine::TextNode* getTargetTimeText() const { return targetTimeText_; }

private:
    void showObjectsLeft();
    void completePlay();

    engine::BaseNode* hitObjects_ = nullptr;
    engine::TextNode* objCountText_ = nullptr;
    engine::TextNode* playTimeText_ = nullptr;
    engine::TextNode* targetTimeText_ = nullptr;
    engine::SpawnerNode* foundNode_ = nullptr;
    GHOHintParticlesNode* hintEffect_ = nullptr;
    engine::BaseNode* hintedObject_ = nullptr;
    int32_t hintCooldownMs_ = 0;
    GPathMovableNode* hintTrail_ = nullptr;
    engine::CountedRef<GLevelPaths> hintPaths_;
};

}  // namespace game
