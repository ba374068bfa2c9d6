#pragma once
// The main menu: greets the current player, starts or continues the game,
// opens the other menu scenes and the publisher's web page, and asks for a
// player when there is none. After the last level it plays a scrolling
// closing sequence once and folds it away on Back, at its end or when the
// menu is covered.
#include "engine/core/RefCounted.h"
#include "game/common/GBaseSceneNode.h"

namespace engine {
class ControlNode;
class TextNode;
}  // namespace engine

namespace game {

class GLevelPaths;

// The address "Baloon2" opens in the default browser.
extern const char* const kPublisherWebPage;

class GMainMenuScene : public GBaseSceneNode {
    ENGINE_NODE_TYPE(GMainMenuScene, GBaseSceneNode, 1103)

public:
    GMainMenuScene(const engine::CreationContext* context, engine::BaseNode* parent, engine::BaseNode* manager,
                   bool mostDerived = true);
    ~GMainMenuScene() override;

    // Binds "Scene"/"WelcomeText" and "BgScene"/"ActiveBg"/"BackButton",
    // "ClipNode" (direct children only, one level at a time).
    void onLoaded() override;
    bool onEvent74(engine::NodeStateFinishedEvent* event) override;
    bool onSceneActivated(engine::SceneActivatedEvent* event) override;
    bool onSceneEvent37(engine::SceneTransitionEndEvent* event) override;
    bool onNodePressed(engine::NodePressedEvent* event) override;

    // Brings the menu panel back and hides the closing sequence; immediate
    // skips the animations.
    void endScrolling(bool immediate);
    // Writes the welcome line for the current player.
    void updateWelcomeText();
    // New Game: the first level without the map while no location is
    // finished, else the map; nothing without a current player.
    void startNewGame();

    GLevelPaths* getPaths() const { return paths_.get(); }
    engine::TextNode* getWelcomeText() const { return welcomeText_; }

private:
    engine::CountedRef<GLevelPaths> paths_;
    engine::TextNode* welcomeText_ = nullptr;
    engine::BaseNode* scene_ = nullptr;
    engine::ControlNode* backButton_ = nullptr;
    engine::BaseNode* clipNode_ = nullptr;
};

}  // namespace game
