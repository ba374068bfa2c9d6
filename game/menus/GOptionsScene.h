#pragma once
// The options: sound and music volumes, sound and music on or off, full
// screen or window, and the game's own pointer or the system's. Every change
// is applied and saved at once; there is no OK or Cancel. The volumes and the
// on/off switches belong to the current player, the display choices to the
// profile all players share.
#include "game/common/GBaseSceneNode.h"

#include <memory>

namespace engine {
class ButtonNode;
class IContentManager;
class SliderNode;
}  // namespace engine

namespace game {

// Where the options take effect outside the profile. The scene uses the game
// object, the sound manager and the engine's pointer; tests put a recorder in
// its place.
class OptionsOutlet {
public:
    virtual ~OptionsOutlet() = default;
    // The current player's volumes and music (the game object applies them).
    virtual void applySoundSettings();
    virtual void playCue(const char* cue, bool onlyIfNotPlaying);
    // Rebuilds the window in full screen (desktop size) or as a window; false
    // when the new window could not be had (the old one is back then).
    virtual bool applyFullScreen(bool fullscreen);
    // The system pointer, or the game's picture "scenes/images/Cursor.png".
    virtual void applyCursor(bool windowsCursor, engine::IContentManager* content);
};

class GOptionsScene : public GBaseSceneNode {
    ENGINE_NODE_TYPE(GOptionsScene, GBaseSceneNode, 1110)

public:
    GOptionsScene(const engine::CreationContext* context, engine::BaseNode* parent, engine::BaseNode* manager,
                  bool mostDerived = true);
    ~GOptionsScene() override;

    // Binds "Scene" and, among its direct children, the two sliders and the
    // four on/off buttons; a child of the wrong kind is left unbound.
    void onLoaded() override;

    // Shows the stored choices when the scene comes to the top.
    bool onSceneActivated(engine::SceneActivatedEvent* event) override;
    bool onNodePressed(engine::NodePressedEvent* event) override;
    bool onValueChanged(engine::ValueChangedEvent* event) override;
    bool onEvent32(engine::KeyUpEvent* event) override;

    // The on/off look of a toggle button; a toggle is on exactly while it
    // wears the green template.
    static void showOnOff(engine::ButtonNode* button, bool on);
    static bool isShownOn(const engine::ButtonNode* button);
    void applyCursor(bool windowsCursor);
    // Closes over the main menu with its slide, elsewhere with the plain
    // transitions.
    void close();

    void setOutlet(std::unique_ptr<OptionsOutlet> outlet);
    engine::SliderNode* getSoundSlider() const { return soundSlider_; }
    engine::SliderNode* getMusicSlider() const { return musicSlider_; }
    engine::ButtonNode* getFullscreenButton() const { return fullscreenButton_; }
    engine::ButtonNode* getCursorButton() const { return cursorButton_; }
    engine::ButtonNode* getMuteSoundButton() const { return muteSoundButton_; }
    engine::ButtonNode* getMuteMusicButton() const { return muteMusicButton_; }

private:
    void toggleSound(bool music);
    void toggleFullscreen();
    void toggleCursor();
    void volumeChanged(engine::SliderNode* slider, const char* key, bool sample);

    engine::SliderNode* soundSlider_ = nullptr;
    engine::SliderNode* musicSlider_ = nullptr;
    engine::ButtonNode* fullscreenButton_ = nullptr;
    engine::ButtonNode* cursorButton_ = nullptr;
    engine::ButtonNode* muteSoundButton_ = nullptr;
    engine::ButtonNode* muteMusicButton_ = nullptr;
    std::unique_ptr<OptionsOutlet> outlet_;
};

}  // namespace game
