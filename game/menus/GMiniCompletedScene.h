#pragma once
// The results screen of a mini-game: a fanfare, the play's time and the score
// gained over the best one counting up from zero, a greeting by name. OK (or
// Esc or Enter) closes it together with the mini-game and the loading scene
// below it.
#include "game/common/GBaseSceneNode.h"

namespace engine {
class TextNode;
}

namespace game {

class GMiniCompletedScene : public GBaseSceneNode {
    ENGINE_NODE_TYPE(GMiniCompletedScene, GBaseSceneNode, 1124)

public:
    enum CountPhase { Finished = 0, Waiting = 1, Counting = 2 };
    static constexpr int32_t kWaitMs = 100;

    GMiniCompletedScene(const engine::CreationContext* context, engine::BaseNode* parent,
                        engine::BaseNode* manager, bool mostDerived = true);
    ~GMiniCompletedScene() override;

    // The mini-game's time limit, the time the play took (both ms) and the
    // score gained over the previous best; set before the scene is shown.
    void setResults(int32_t maxTime, int32_t elapsedTime, int32_t scoreGain);

    // Binds "Scene" > "TimeNode" > "Text", "ScoreNode" > "Text", "DoneText".
    void onLoaded() override;
    bool onSceneActivated(engine::SceneActivatedEvent* event) override;
    bool onTimer(uint32_t periodMs) override;
    bool onNodePressed(engine::NodePressedEvent* event) override;
    bool onEvent32(engine::KeyUpEvent* event) override;

    // Empties the level manager and closes this scene, the mini-game and the
    // loading scene; once.
    void leave();

    int32_t getCountPhase() const { return phase_; }
    float getShownTime() const { return shownTime_; }
    float getShownScore() const { return shownScore_; }
    int32_t getMaxTime() const { return maxTime_; }
    int32_t getElapsedTime() const { return elapsedTime_; }
    int32_t getScoreGain() const { return scoreGain_; }
    engine::TextNode* getTimeText() const { return timeText_; }
    engine::TextNode* getScoreText() const { return scoreText_; }
    engine::TextNode* getDoneText() const { return doneText_; }

private:
    void showLines();

    int32_t phase_ = Finished;
    int32_t phaseTime_ = 0;
    engine::BaseNode* timeNode_ = nullptr;
    engine::TextNode* timeText_ = nullptr;
    float shownTime_ = 0.0f;
    int32_t targetTime_ = 0;
    engine::BaseNode* scoreNode_ = nullptr;
    engine::TextNode* scoreText_ = nullptr;
    float shownScore_ = 0.0f;
    int32_t targetScore_ = 0;
    engine::TextNode* doneText_ = nullptr;
    int32_t maxTime_ = 0;
    int32_t elapsedTime_ = 0;
    int32_t scoreGain_ = 0;
    bool left_ = false;
};

}  // namespace game
