#pragma once
// The base of the mini-game scenes. It reads the mini-game's configuration
// (time limit, expert score and the elements each game adds), runs the
// opening shared by all of them (a short pause, a caption that waits for the
// first click, then the play) and ends a play: the result goes into the
// current player's progress once, and the results scene opens above the
// mini-game.
#include "engine/core/XmlReader.h"
#include "game/common/GBaseSceneNode.h"
#include "game/flow/MiniGameStage.h"

namespace game {

class GMiniGameScene : public GBaseSceneNode, public MiniGameStage {
public:
    static constexpr int32_t kTypeId = MiniGameStage::kMiniGameSceneType;
    static constexpr uint32_t kTimerMs = 20;
    static constexpr int32_t kIntroDelayMs = 300;

    enum Phase { Idle = 0, Intro = 1, Caption = 2, Playing = 3 };

    GMiniGameScene(const engine::CreationContext* context, engine::BaseNode* parent, engine::BaseNode* manager,
                   bool mostDerived = true);
    ~GMiniGameScene() override;

    const wchar_t* getClassName() const override { return L"GMiniGameScene"; }
    const wchar_t* getTypeName() const override { return L"GMiniGameScene"; }
    int32_t getTypeId() const override { return kTypeId; }
    bool isOfType(int32_t typeId) const override { return typeId == kTypeId || GBaseSceneNode::isOfType(typeId); }
    // Only the concrete mini-games are copied (each by its own clone).
    using GBaseSceneNode::clone;
    engine::BaseNode* clone(engine::BaseNode*, engine::BaseNode*) override { return nullptr; }

    // Binds "Scene"/"UI"/"Linet" and "Scene"/"UI"/"LinetText". The derived
    // scenes call it first in their own onLoaded.
    void onLoaded() override;
    bool onNodePressed(engine::NodePressedEvent* event) override;
    // Counts the phase's time and ends the intro pause; keeps the timer.
    bool onTimer(uint32_t periodMs) override;

    // Opens folder + "MiniGameConfiguration.xml" and reads it; a missing file
    // is logged and leaves the values as they are.
    bool loadConfiguration(const engine::stringc& folder) override;
    // Reads the configuration up to the end of its root: "MaxLevelTime" and
    // "ExpertScore" here, every other element through readExtraElement. The
    // result is the reader's last read; input that ends before the root's end
    // is logged.
    bool readConfiguration(engine::XmlReader& reader);
    // One element the base does not know; the reader stands on its start. A
    // game that reads it consumes it up to its end.
    virtual void readExtraElement(engine::XmlReader& reader);

    // Enters a phase: the intro hides the caption text, the caption shows it,
    // the play lets caption and panel disappear. The intro starts a new play.
    void setPhase(int32_t newPhase);
    // Ends the play: saves the result in the current player's progress and
    // opens the results scene. Only the first call of a play does anything.
    void complete();

    // Whether complete has run since the play began.
    bool isPlayCompleted() const { return playCompleted_; }
    // Whether the configuration gave a time limit.
    bool hasMaxLevelTime() const { return maxLevelTimeRead_; }
    // What the last completed play gained over the best score before it.
    int32_t getLastScoreGain() const { return lastScoreGain_; }

    // The play's state, read and written by the games.
    int32_t phase = Idle;
    int32_t phaseClockMs = 0;
    int32_t introDelayMs = kIntroDelayMs;
    engine::BaseNode* linet = nullptr;
    engine::BaseNode* linetText = nullptr;
    uint32_t playTimeMs = 0;
    int32_t score = 0;
    // Milliseconds.
    int32_t maxLevelTime = 0;
    int32_t expertScore = 0;

protected:
    // Starts the mini-games' music (cue "MiniGamesMusic", looping).
    static void playMusic();
    // Closes this scene and at most extraLevels scenes below it, as many as
    // leave a scene to show that is not a loading scene (revealed, it would
    // load the mini-game again). False (logged) when nothing can close.
    bool closeWithScenesBelow(int32_t extraLevels);

private:
    // Writes the play into the profile's lists; the score gained over the
    // best one before.
    int32_t saveProgress();
    // Without a results scene the play leaves the way the menu button does.
    void leaveWithoutResults();

    bool playCompleted_ = false;
    bool maxLevelTimeRead_ = false;
    int32_t lastScoreGain_ = 0;
};

}  // namespace game
