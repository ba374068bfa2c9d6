#pragma once
// The auction mini-game: three sums of money lie in three zones and the
// player picks the largest before the clock runs out. A right pick scores,
// sends a flying number to the score and deals new sums; a wrong pick only
// costs the turn. When the time limit has passed the play is saved and the
// results scene opens.
#include "game/minigames/GMiniGameScene.h"

#include <utility>
#include <vector>

namespace engine {
class ControlNode;
class TextNode;
}  // namespace engine

class GEllipseSectorNode;

namespace game {

class GMiniGameAuctionScene : public GMiniGameScene {
    ENGINE_NODE_TYPE(GMiniGameAuctionScene, GMiniGameScene, 1132)

public:
    static constexpr uint32_t kTimerMs = 10;
    static constexpr int32_t kReward = 15;
    static constexpr int32_t kZoneCount = 3;
    // Used when the configuration gives no time limit.
    static constexpr int32_t kDefaultMaxLevelTime = 60000;
    // Where the flying numbers land: on the score display.
    static constexpr float kScoreX = 860.0f;
    static constexpr float kScoreY = 737.0f;
    static constexpr float kTrailSpeed = 300.0f;

    GMiniGameAuctionScene(const engine::CreationContext* context, engine::BaseNode* parent,
                          engine::BaseNode* manager, bool mostDerived = true);
    ~GMiniGameAuctionScene() override;

    // The base binding, then "Scene" > "Game" > "Zone1".."Zone3" and
    // "Scene" > "UI" > "TimeLeft", "LongArrow", "Ellipse", "ScoreText".
    void onLoaded() override;
    // Becoming the top scene starts a new play.
    bool onSceneActivated(engine::SceneActivatedEvent* event) override;
    // The menu button leaves; a zone is a pick (the first click only
    // dismisses the caption).
    bool onNodePressed(engine::NodePressedEvent* event) override;
    // Runs the clock while playing and ends the play once the limit has passed.
    bool onTimer(uint32_t periodMs) override;
    // "Sequence" > "S" (M, D) pairs.
    void readExtraElement(engine::XmlReader& reader) override;

    // Deals the sums of the next turn.
    void newTurn();
    // Shows the money of the value in the zone (0 to 2), following its hover
    // and press states.
    void setZoneMoney(int32_t zone, int32_t value);

    const int32_t* getZoneValues() const { return zoneValues_; }
    int32_t getCorrectValue() const { return correctValue_; }
    int32_t getTurnCount() const { return turnCount_; }
    int32_t getReward() const { return reward_; }
    const std::vector<std::pair<int32_t, int32_t>>& getSequence() const { return sequence_; }
    engine::ControlNode* getZone(int32_t zone) const { return zone >= 0 && zone < kZoneCount ? zones_[zone] : nullptr; }
    engine::TextNode* getTimeLeftText() const { return timeLeftText_; }
    engine::TextNode* getScoreText() const { return scoreText_; }
    engine::BaseNode* getLongArrow() const { return longArrow_; }
    ::GEllipseSectorNode* getClockSector() const { return clockSector_; }

    // The image paths of a value: normal and hovered.
    static engine::stringc moneyImagePath(int32_t value, bool over);

private:
    void showClock();
    void leaveToMenu();
    void launchFlyingNumber();

    engine::TextNode* timeLeftText_ = nullptr;
    engine::BaseNode* longArrow_ = nullptr;
    ::GEllipseSectorNode* clockSector_ = nullptr;
    engine::TextNode* scoreText_ = nullptr;
    engine::ControlNode* zones_[kZoneCount] = {nullptr, nullptr, nullptr};
    int32_t zoneValues_[kZoneCount] = {0, 0, 0};
    int32_t correctValue_ = 0;
    int32_t turnCount_ = 0;
    int32_t reward_ = 0;
    std::vector<std::pair<int32_t, int32_t>> sequence_;
};

}  // namespace game
