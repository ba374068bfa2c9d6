#pragma once
// The pop-up over the level at its start (and from the Goals button): the
// level's title, a welcome line for a new player, the description and the
// targets. Two seconds after it shows it starts the level's music on the HUD
// below. OK, Esc or Enter close it.
#include "engine/core/RefCounted.h"
#include "game/common/GBaseSceneNode.h"

namespace engine {
class TextNode;
}

namespace game {

class GGameLevelScene;

class GLevelObjectivesScene : public GBaseSceneNode {
    ENGINE_NODE_TYPE(GLevelObjectivesScene, GBaseSceneNode, 1121)

public:
    GLevelObjectivesScene(const engine::CreationContext* context, engine::BaseNode* parent,
                          engine::BaseNode* manager, bool mostDerived = true);
    ~GLevelObjectivesScene() override;

    void setLevelScene(GGameLevelScene* levelScene);
    GGameLevelScene* getLevelScene() const { return levelScene_.get(); }

    // Binds the texts and pictures under "Scene".
    void onLoaded() override;
    // Shown: plays the window cue and fills the texts.
    bool onSceneActivated(engine::SceneActivatedEvent* event) override;
    bool onNodePressed(engine::NodePressedEvent* event) override;
    // From 2 s on, the level music of the HUD below.
    bool onTimer(uint32_t periodMs) override;

    // The texts from the level's record and the player's profile.
    void fillTexts();

    engine::TextNode* getLevelText() const { return levelText_; }
    engine::TextNode* getWelcomeText() const { return welcomeText_; }
    engine::TextNode* getInfoText() const { return infoText_; }
    engine::TextNode* getExpertTimeText() const { return expertTimeText_; }
    engine::TextNode* getExpertScoreText() const { return expertScoreText_; }
    engine::TextNode* getScoreText() const { return scoreText_; }
    engine::BaseNode* getClock() const { return clock_; }
    engine::BaseNode* getGoldStar() const { return goldStar_; }
    engine::BaseNode* getSilverStar() const { return silverStar_; }

private:
    engine::TextNode* levelText_ = nullptr;
    engine::TextNode* welcomeText_ = nullptr;
    engine::TextNode* infoText_ = nullptr;
    engine::BaseNode* clock_ = nullptr;
    engine::TextNode* expertTimeText_ = nullptr;
    engine::BaseNode* goldStar_ = nullptr;
    engine::TextNode* expertScoreText_ = nullptr;
    engine::BaseNode* silverStar_ = nullptr;
    engine::TextNode* scoreText_ = nullptr;
    engine::CountedRef<GGameLevelScene> levelScene_;
};

}  // namespace game
