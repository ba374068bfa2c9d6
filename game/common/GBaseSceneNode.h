#pragma once
// The base of every scene of the game. It turns the scene-manager, window and
// control events into named operations with logging defaults, plays the click
// and hover cues of buttons and list items, can close the scene on Esc or
// Enter, and counts the milliseconds the scene has been shown with the focus
// on a timer that runs only while the scene is the shown top scene.
#include "engine/core/SceneNode.h"
#include "engine/core/TimerListener.h"

namespace game {

class GBaseSceneNode : public engine::SceneNode, public engine::TimerListener {
    ENGINE_DECLARE_EVENT_MAP(GBaseSceneNode)
    ENGINE_NODE_TYPE(GBaseSceneNode, engine::SceneNode, 1100)

public:
    GBaseSceneNode(const engine::CreationContext* context, engine::BaseNode* parent, engine::BaseNode* manager,
                   bool mostDerived = true);
    ~GBaseSceneNode() override;

    // Handlers of the scene's events, in the order of the map; each answers
    // whether it consumed the event.
    virtual bool onApplicationClose(engine::ApplicationCloseEvent* event);
    virtual bool onWindowFocusChanged(engine::WindowFocusEvent* event);
    virtual bool onMessageBoxResult(engine::MessageBoxResultEvent* event);
    // The scene losing the top of its stack stops its timer.
    virtual bool onSceneActivated(engine::SceneActivatedEvent* event);
    // The scene now shown restarts its elapsed time and runs its timer on its
    // scene manager's scheduler.
    virtual bool onSceneEvent37(engine::SceneTransitionEndEvent* event);
    virtual bool onTabEvent42(engine::TabSwitchingEvent* event);
    virtual bool onTabEvent41(engine::TabSwitchedEvent* event);
    virtual bool onNodePressPreview(engine::NodePressPreviewEvent* event);
    virtual bool onNodePressed(engine::NodePressedEvent* event);
    virtual bool onNodeHovered(engine::NodeHoveredEvent* event);
    virtual bool onNodeUnhovered(engine::NodeUnhoveredEvent* event);
    virtual bool onNodeFocused(engine::NodeFocusedEvent* event);
    virtual bool onNodeUnfocused(engine::NodeUnfocusedEvent* event);
    virtual bool onValueChanged(engine::ValueChangedEvent* event);
    virtual bool onListItemPressed(engine::ListItemPressedEvent* event);
    virtual bool onListItemHovered(engine::ListItemHoveredEvent* event);

    // Key-up: with closeOnEscapeOrEnter, Esc and Enter close this scene.
    bool onEvent32(engine::KeyUpEvent* event) override;

    // Adds the time while the scene holds the focus; keeps the timer.
    bool onTimer(uint32_t periodMs) override;

    uint32_t getElapsedMs() const { return elapsedMs_; }
    bool getCloseOnEscapeOrEnter() const { return closeOnEscapeOrEnter_; }
    void setCloseOnEscapeOrEnter(bool close) { closeOnEscapeOrEnter_ = close; }

protected:
    uint32_t elapsedMs_ = 0;
    bool closeOnEscapeOrEnter_ = false;
};

// Opens a scene above the given one (SceneNode::openScene); a scene file that
// is missing or broken logs one error naming it, and the caller's scene stays
// as it is.
engine::SceneNode* openSceneOrLog(engine::SceneNode& from, const char* path, bool keepCovered,
                                  engine::NameId coveredTransition, engine::NameId newTransition);

// Plays a cue by name through the engine's sound manager (not only if not
// playing, the group's fade-in); nothing without a sound manager.
void playCue(const char* cue);

}  // namespace game
