#pragma once
// The results pop-up over the HUD when a level is won: completion and bonus
// score, the total counting up, expert time and time played, a greeting, a
// fanfare and the menu music. OK (or Esc or Enter) tears the level down,
// returns to the map and opens the comic that follows the level.
#include "engine/core/RefCounted.h"
#include "game/common/GBaseSceneNode.h"

namespace engine {
class TextNode;
}

namespace game {

class GGameLevelScene;

class GLevelCompletedScene : public GBaseSceneNode {
    ENGINE_NODE_TYPE(GLevelCompletedScene, GBaseSceneNode, 1123)

public:
    enum CountPhase { Idle = 0, ShortWait = 1, Counting = 2 };

    GLevelCompletedScene(const engine::CreationContext* context, engine::BaseNode* parent,
                         engine::BaseNode* manager, bool mostDerived = true);
    ~GLevelCompletedScene() override;

    void setLevelScene(GGameLevelScene* levelScene);
    GGameLevelScene* getLevelScene() const { return levelScene_.get(); }

    void onLoaded() override;
    bool onSceneActivated(engine::SceneActivatedEvent* event) override;
    bool onTimer(uint32_t periodMs) override;
    bool onNodePressed(engine::NodePressedEvent* event) override;
    bool onEvent32(engine::KeyUpEvent* event) override;

    // Sets up the texts, the layout and the count from the level's results.
    void setUp();
    // Leaves the level: empties the level manager, closes this pop-up, the
    // HUD and the loading scene, opens the map when the scene revealed is not
    // one, and the comic for the new location.
    void continueAfterLevel();

    int32_t getLevelNumber() const;
    int32_t getCountPhase() const { return countPhase_; }
    float getShownScore() const { return shownScore_; }
    int32_t getTargetScore() const { return targetScore_; }
    float getShownTime() const { return shownTime_; }
    engine::TextNode* getText(const char* node) const;
    engine::TextNode* getDoneText() const { return doneText_; }
    engine::BaseNode* getNode(const char* node) const;

private:
    void setLine(engine::TextNode* text, const char* key, const engine::stringw& value);

    int32_t countPhase_ = Idle;
    int32_t phaseMs_ = 0;
    engine::BaseNode* expertTimeNode_ = nullptr;
    engine::TextNode* expertTimeText_ = nullptr;
    engine::BaseNode* timeNode_ = nullptr;
    engine::TextNode* timeText_ = nullptr;
    float shownTime_ = 0.0f;
    int32_t targetTime_ = 0;
    engine::BaseNode* timeScoreNode_ = nullptr;
    engine::TextNode* timeScoreText_ = nullptr;
    engine::BaseNode* expertScoreNode_ = nullptr;
    engine::TextNode* expertScoreText_ = nullptr;
    engine::BaseNode* scoreNode_ = nullptr;
    engine::TextNode* scoreText_ = nullptr;
    float shownScore_ = 0.0f;
    int32_t targetScore_ = 0;
    engine::TextNode* doneText_ = nullptr;
    bool fanfarePlayed_ = false;
    bool musicRestarted_ = false;
    engine::CountedRef<GGameLevelScene> levelScene_;
};

}  // namespace game
