#pragma once
// A short comic between levels. Its parts (panels) come up one after another;
// each shows its text boxes in turn, advanced by the player's clicks or by
// the end of their own appearing, and goes away when its last click-advanced
// text has gone; a darkening background lies behind the later parts, and at
// the end every part shows again with the Back button. A part holding a
// "NavToMini3Marker" opens the auction mini-game through the loading scene
// the first time it is reached; the comic goes on with that part when the
// player comes back.
#include "game/common/GBaseSceneNode.h"

#include <vector>

namespace game {

class GComicsScene : public GBaseSceneNode {
    ENGINE_NODE_TYPE(GComicsScene, GBaseSceneNode, 1127)

public:
    // How long the comic waits, with no click able to help, for a part or its
    // last text to finish going before it goes on by itself: an animation
    // that runs for ever (a mistyped length) must not hold the player on a
    // page only Esc can leave.
    static constexpr uint32_t kAnimationWaitLimitMs = 6000;

    GComicsScene(const engine::CreationContext* context, engine::BaseNode* parent, engine::BaseNode* manager,
                 bool mostDerived = true);
    ~GComicsScene() override;

    // Binds "Scene" and under it "DarkBg", "BackButton" and "Parts"; hides
    // every part, and the Back button unless there are no parts.
    void onLoaded() override;

    // Coming to the top plays the comics music.
    bool onSceneActivated(engine::SceneActivatedEvent* event) override;
    // Opened: starts at the first part; revealed (back from the mini-game):
    // goes on with the part that opened it.
    bool onSceneEvent37(engine::SceneTransitionEndEvent* event) override;
    // BackButton closes the comic; any other press advances the text.
    bool onNodePressed(engine::NodePressedEvent* event) override;
    // Esc closes the comic.
    bool onEvent32(engine::KeyUpEvent* event) override;
    // A part's appearing or disappearing has ended in all its children.
    bool onEvent74(engine::NodeStateFinishedEvent* event) override;
    // A text's appearing or disappearing has ended.
    bool onEvent70(engine::NodeTagReachedEvent* event) override;
    // Counts the time spent waiting for an animation (see kAnimationWaitLimitMs).
    bool onTimer(uint32_t periodMs) override;

    void nextPart();
    void nextText();

    engine::BaseNode* getDarkBg() const { return darkBg_; }
    engine::BaseNode* getBackButton() const { return backButton_; }
    const std::vector<engine::BaseNode*>& getParts() const { return parts_; }
    const std::vector<engine::BaseNode*>& getTextBoxes() const { return textBoxes_; }
    int32_t getPartIndex() const { return partIndex_; }
    int32_t getTextIndex() const { return textIndex_; }
    bool isPartClosing() const { return partClosing_; }
    bool isMiniGameOpened() const { return miniGameOpened_; }

private:
    bool isPartIndexValid() const;
    bool isTextIndexValid() const;
    bool isPastLastText() const;
    engine::BaseNode* currentPart() const;
    void closePart();
    // Enters the state in the part's children; a part without children has
    // ended it at once.
    void enterPartState(engine::BaseNode* part, engine::NameId state);
    // The part's appearing brings its first text; its disappearing the next part.
    void partStateEnded(engine::BaseNode* part, engine::NameId state);
    void listenToBg(engine::BaseNode* bg);
    void stopListening();
    void closeComic();

    engine::BaseNode* darkBg_ = nullptr;
    engine::BaseNode* partsNode_ = nullptr;
    engine::BaseNode* backButton_ = nullptr;
    engine::BaseNode* listenedBg_ = nullptr;
    std::vector<engine::BaseNode*> parts_;
    int32_t partIndex_ = 0;
    std::vector<engine::BaseNode*> textBoxes_;
    int32_t textIndex_ = 0;
    bool partClosing_ = false;
    bool miniGameOpened_ = false;
    uint32_t waitMs_ = 0;
};

}  // namespace game
