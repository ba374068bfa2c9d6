#pragma once
// A scripted tutorial over a scene: steps read from a "Tutorial" file, each
// with an optional message window, arrows pointing at the interface and
// actions that watch the player or drive the level. A step ends when any of
// its actions is complete, or, for a message step, when the window's button
// is pressed. After the last step the window and the arrows go away.
#include "engine/core/RefCounted.h"
#include "engine/core/EventReceiver.h"
#include "engine/core/Types.h"
#include "game/tutorial/GTutorialAction.h"

namespace engine {
class BaseNode;
class ControlNode;
class IContentManager;
class SceneNode;
class TemplateCollectionNode;
class TextNode;
class XmlReader;
}  // namespace engine

namespace game {

struct GTutorialArrow {
    engine::vector3df position;
    engine::vector3df rotation;
};

struct GTutorialStep {
    bool messageBox = false;
    bool linnet = false;
    engine::stringw stepText;
    engine::stringc imageFilename;
    engine::vector3df position{570.0f, 516.0f, 0.0f};
    int32_t textBgType = 0;
    engine::vector3df textPosition{-35.0f, -11.0f, 1.0f};
    std::vector<GTutorialArrow> arrows;
    std::vector<engine::CountedRef<GTutorialAction>> actions;
};

// Reads the "Hint" steps of a "Tutorial" root up to its end; false when the
// reader holds no "Tutorial" element.
bool readTutorialSteps(engine::XmlReader& reader, std::vector<GTutorialStep>& steps);

class GTutorial : public engine::EventReceiver {
public:
    // Makes the arrow layer and the window (a clone of "TutorialWindow")
    // under the owner scene, hidden. Without that template the tutorial has
    // no step list and cannot be loaded.
    GTutorial(engine::BaseNode* ownerScene, engine::TemplateCollectionNode* templates,
              engine::IContentManager* content);
    ~GTutorial() override;

    GTutorial(const GTutorial&) = delete;
    GTutorial& operator=(const GTutorial&) = delete;

    // Reads the steps; false (logged) without a window or when the file holds
    // no tutorial. The receiver gets the tutorial's requests (null for the
    // map and shop).
    bool load(engine::XmlReader& reader, engine::EventReceiver* receiver);
    // Shows the first step and starts taking the device's events.
    void start();
    // Advances the current step; false once no step is left (the window and
    // the arrows are then gone).
    bool update(uint32_t ms);
    // Ends the tutorial at once.
    void stop();
    bool handleEvent(engine::Event* event) override;

    // Shows the current step: its actions start, the window and arrows.
    void showStep();

    bool hasSteps() const { return hasStepList_; }
    const std::vector<GTutorialStep>& getSteps() const { return steps_; }
    int32_t getStepIndex() const { return stepIndex_; }
    bool isFinished() const { return stepIndex_ >= static_cast<int32_t>(steps_.size()); }
    bool isWindowButtonPressed() const { return windowButtonPressed_; }
    engine::BaseNode* getWindow() const { return window_.get(); }
    engine::TextNode* getWindowText() const { return windowText_; }
    engine::ControlNode* getSkipButton() const { return skipButton_; }
    // The window's "Button": shown only on message steps, the only steps it ends.
    engine::BaseNode* getOkButton() const { return okButton_; }
    engine::BaseNode* getArrowLayer() const { return arrowLayer_.get(); }
    engine::EventReceiver* getReceiver() const { return receiver_; }

    // Where the step's window stands: the step's written place, unless the
    // window would cover what the step asks the player to use (the targets
    // its actions name and what its arrows point at); it then moves to the
    // nearest place along the screen's edges that leaves them free.
    engine::vector2df windowPlace(const GTutorialStep& step) const;
    std::vector<engine::rectf> stepTargets(const GTutorialStep& step) const;
    // The rectangle the window's shown parts cover, relative to its place.
    engine::rectf windowCover() const;

private:
    GTutorialStep* currentStep();
    void removeArrows();
    void unregister();

    engine::CountedRef<engine::IContentManager> content_;
    engine::EventReceiver* receiver_ = nullptr;
    bool hasStepList_ = false;
    std::vector<GTutorialStep> steps_;
    int32_t stepIndex_ = 0;
    engine::BaseNode* ownerScene_ = nullptr;
    engine::CountedRef<engine::BaseNode> arrowLayer_;
    engine::CountedRef<engine::BaseNode> arrowTemplate_;
    engine::CountedRef<engine::BaseNode> window_;
    engine::TextNode* windowText_ = nullptr;
    engine::ControlNode* skipButton_ = nullptr;
    engine::BaseNode* skipButtonBg_ = nullptr;
    engine::BaseNode* okButton_ = nullptr;
    bool windowButtonPressed_ = false;
    bool registered_ = false;
};

// The tutorial of a menu scene (the map, the shop): read from `file` of the
// mounted content, its windows placed under `root` with the menus' templates,
// listening to `scene`. Null, with an error naming `what` ("map", "shop"), when
// the file cannot be opened; null without a root.
engine::CountedRef<GTutorial> loadMenuTutorial(engine::SceneNode& scene, engine::BaseNode* root, const char* file,
                                               const char* what);
// Stops a menu scene's tutorial, takes it off the scene's listeners and lets
// it go; nothing without one.
void dropMenuTutorial(engine::SceneNode& scene, engine::CountedRef<GTutorial>& tutorial);

}  // namespace game
