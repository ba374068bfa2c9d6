#include "game/menus/GOptionsScene.h"
#include "engine/audio/SoundManager.h"
#include "engine/content/ProfileStore.h"
#include "engine/controls/ButtonNode.h"
#include "engine/controls/SliderNode.h"
#include "engine/core/ContentType.h"
#include "engine/core/IContentManager.h"
#include "engine/core/KeyCodes.h"
#include "engine/core/Logger.h"
#include "engine/platform/CursorControl.h"
#include "engine/platform/EngineDevice.h"
#include "engine/platform/Image.h"
#include "game/common/GameServices.h"

namespace game {

using namespace engine;

namespace {

constexpr int32_t kMainMenuSceneType = 1103;
const char* const kOnTemplate = "Options_OnOffButtonGreen";
const char* const kOffTemplate = "Options_OnOffButtonRed";

template <class T>
T* bind(BaseNode* parent, const char* name) {
    return parent ? nodeCast<T>(parent->findChild(makeNameId(name), 1)) : nullptr;
}

void saveProfile(ProfileParameters* profile) {
    if (profile) profile->save();
}

}  // namespace

// ---- What the options change outside the profile ----------------------------------

void OptionsOutlet::applySoundSettings() {
    if (gameServices()) gameServices()->applySoundSettings();
}

void OptionsOutlet::playCue(const char* cue, bool onlyIfNotPlaying) {
    if (SoundManager* sounds = getCurrentSoundManager()) sounds->playCue(makeNameId(cue), onlyIfNotPlaying, 0);
}

bool OptionsOutlet::applyFullScreen(bool fullscreen) {
    return gameServices() && gameServices()->setFullScreen(fullscreen);
}

void OptionsOutlet::applyCursor(bool windowsCursor, IContentManager* content) {
    EngineDevice* engine = getEngine();
    CursorControl* cursor = engine ? engine->getCursorControl() : nullptr;
    if (!cursor) return;
    if (windowsCursor) {
        cursor->setCursorImage(nullptr, 0, 0);
        return;
    }
    if (!content) return;
    CountedRef<Content> loaded(content->load(ContentType::Image, "scenes/images/Cursor.png", false));
    // Without the picture the pointer keeps the shape it has.
    if (Image* image = dynamic_cast<Image*>(loaded.get())) cursor->setCursorImage(image, 2, 2);
}

// ---- The scene ----------------------------------------------------------------------

GOptionsScene::GOptionsScene(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived)
    : GBaseSceneNode(context, parent, manager, false), outlet_(new OptionsOutlet()) {
    linkToParent(parent, mostDerived);
}

GOptionsScene::~GOptionsScene() = default;

void GOptionsScene::setOutlet(std::unique_ptr<OptionsOutlet> outlet) {
    outlet_ = outlet ? std::move(outlet) : std::unique_ptr<OptionsOutlet>(new OptionsOutlet());
}

void GOptionsScene::onLoaded() {
    BaseNode* scene = findChild(makeNameId("Scene"), 1);
    soundSlider_ = bind<SliderNode>(scene, "SoundSlider");
    musicSlider_ = bind<SliderNode>(scene, "MusicSlider");
    muteSoundButton_ = bind<ButtonNode>(scene, "MuteSoundButton");
    muteMusicButton_ = bind<ButtonNode>(scene, "MuteMusicButton");
    fullscreenButton_ = bind<ButtonNode>(scene, "FullscreenButton");
    cursorButton_ = bind<ButtonNode>(scene, "CursorButton");
}

void GOptionsScene::showOnOff(ButtonNode* button, bool on) {
    if (!button) return;
    button->setTemplateName(makeNameId(on ? kOnTemplate : kOffTemplate));
    button->setText(on ? L"%Options_On%" : L"%Options_Off%");
}

bool GOptionsScene::isShownOn(const ButtonNode* button) {
    return button && button->getTemplateName() == makeNameId(kOnTemplate);
}

void GOptionsScene::applyCursor(bool windowsCursor) { outlet_->applyCursor(windowsCursor, getContentManager()); }

bool GOptionsScene::onSceneActivated(SceneActivatedEvent* event) {
    GBaseSceneNode::onSceneActivated(event);
    if (!event || event->getSecondScene() != this) return false;
    ProfileStore& store = getProfileStore();
    if (ProfileParameters* common = store.getCommonProfile()) {
        showOnOff(fullscreenButton_, common->getBool("FullScreen"));
        showOnOff(cursorButton_, common->getBool("WindowsCursor"));
    }
    if (ProfileParameters* player = store.getCurrentProfile()) {
        // A volume outside the slider's range (a hand-edited profile) is
        // shown clamped and stored clamped, so the sound never runs louder
        // than the slider says.
        bool corrected = false;
        const auto show = [&](SliderNode* slider, const char* key) {
            if (!slider) return;
            const float stored = player->getFloat(key);
            slider->setValue(stored);
            if (slider->getValue() != stored) {
                player->setFloat(key, slider->getValue());
                corrected = true;
            }
        };
        show(soundSlider_, "SoundVolume");
        show(musicSlider_, "MusicVolume");
        showOnOff(muteSoundButton_, player->getBool("SoundOn"));
        showOnOff(muteMusicButton_, player->getBool("MusicOn"));
        if (corrected) {
            getLogger().log("Options: a stored volume was out of range and is clamped", LOG_INFO);
            saveProfile(player);
            outlet_->applySoundSettings();
        }
    }
    return true;
}

void GOptionsScene::close() {
    SceneNode* below = getSceneBelow();
    if (below && below->isOfType(kMainMenuSceneType))
        closeScene(0, makeNameId("NavBackFromSlide"), makeNameId("NavBackToSlide"));
    else
        closeScene(0, navBackFromName(), navBackToName());
}

void GOptionsScene::toggleSound(bool music) {
    ButtonNode* button = music ? muteMusicButton_ : muteSoundButton_;
    const bool on = !isShownOn(button);
    showOnOff(button, on);
    ProfileParameters* player = getProfileStore().getCurrentProfile();
    if (!player) return;
    player->setBool(music ? "MusicOn" : "SoundOn", on);
    saveProfile(player);
    outlet_->applySoundSettings();
    // The player hears that the sound is back.
    if (!music && on) outlet_->playCue("ButtonClick", false);
}

void GOptionsScene::toggleFullscreen() {
    const bool fullscreen = !isShownOn(fullscreenButton_);
    if (!outlet_->applyFullScreen(fullscreen)) {
        // The display stays as it was, and so do the button and the profile.
        getLogger().log("Options: could not switch the display", fullscreen ? "full screen" : "window", LOG_ERROR);
        return;
    }
    showOnOff(fullscreenButton_, fullscreen);
    ProfileParameters* common = getProfileStore().getCommonProfile();
    if (common) {
        common->setBool("FullScreen", fullscreen);
        saveProfile(common);
    }
    if (!fullscreen) applyCursor(common && common->getBool("WindowsCursor"));
}

void GOptionsScene::toggleCursor() {
    const bool windowsCursor = !isShownOn(cursorButton_);
    showOnOff(cursorButton_, windowsCursor);
    applyCursor(windowsCursor);
    if (ProfileParameters* common = getProfileStore().getCommonProfile()) {
        common->setBool("WindowsCursor", windowsCursor);
        saveProfile(common);
    }
}

bool GOptionsScene::onNodePressed(NodePressedEvent* event) {
    if (GBaseSceneNode::onNodePressed(event)) return true;
    BaseNode* node = event ? event->getNode() : nullptr;
    if (!node) return false;
    if (node->getName() == makeNameId("BackButton")) {
        close();
        return true;
    }
    // The toggles leave the press unhandled, so that it goes on up the tree.
    if (node == muteSoundButton_) {
        toggleSound(false);
    } else if (node == muteMusicButton_) {
        toggleSound(true);
    } else if (node == fullscreenButton_) {
        toggleFullscreen();
    } else if (node == cursorButton_) {
        toggleCursor();
    }
    return false;
}

void GOptionsScene::volumeChanged(SliderNode* slider, const char* key, bool sample) {
    ProfileParameters* player = getProfileStore().getCurrentProfile();
    if (!player) return;
    player->setFloat(key, slider->getValue());
    saveProfile(player);
    outlet_->applySoundSettings();
    // A sample of the new volume while dragging, never restarted over itself.
    if (sample) outlet_->playCue("SoundVolumeChange", true);
}

bool GOptionsScene::onValueChanged(ValueChangedEvent* event) {
    GBaseSceneNode::onValueChanged(event);
    BaseNode* node = event ? event->getNode() : nullptr;
    if (!node) return false;
    if (node == soundSlider_)
        volumeChanged(soundSlider_, "SoundVolume", true);
    else if (node == musicSlider_)
        volumeChanged(musicSlider_, "MusicVolume", false);
    return false;
}

bool GOptionsScene::onEvent32(KeyUpEvent* event) {
    if (GBaseSceneNode::onEvent32(event)) return true;
    if (!event || (event->getKey() != KeyCode::Escape && event->getKey() != KeyCode::Enter)) return false;
    close();
    return true;
}

}  // namespace game
