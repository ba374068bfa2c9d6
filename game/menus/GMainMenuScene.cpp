#include "game/menus/GMainMenuScene.h"
#include "engine/audio/SoundManager.h"
#include "engine/content/Dictionary.h"
#include "engine/content/ProfileStore.h"
#include "engine/core/ControlNode.h"
#include "engine/core/IContentManager.h"
#include "engine/core/Logger.h"
#include "engine/core/SceneManager.h"
#include "engine/platform/CursorControl.h"
#include "engine/platform/EngineDevice.h"
#include "engine/visual/TextNode.h"
#include "game/config/LevelPaths.h"
#include "game/flow/GLoadingLevelScene.h"

namespace game {

using namespace engine;

const char* const kPublisherWebPage = "https://www.lodgeroo.example/";

namespace {

constexpr int32_t kLevelCompletedSceneType = 1123;
constexpr int32_t kMapSceneType = 1116;
const char* const kSelectPlayerScene = "scenes/SelectPlayerScene.oscn";
const char* const kInputNameScene = "scenes/SelectPlayerInputNameScene.oscn";
const char* const kAmbientCues[] = {"MainMenuAmbient", "MainMenuCarOut", "MainMenuCarTo"};

void stopAmbientCues() {
    SoundManager* sounds = getCurrentSoundManager();
    if (!sounds) return;
    for (const char* cue : kAmbientCues) sounds->stopCue(makeNameId(cue), 0);
}

void playCueOnce(const char* cue) {
    if (SoundManager* sounds = getCurrentSoundManager()) sounds->playCue(makeNameId(cue), true, 0);
}

SceneNode* openOrLog(SceneNode& menu, const char* path, bool keepCovered, const char* covered, const char* added) {
    return openSceneOrLog(menu, path, keepCovered, makeNameId(covered), makeNameId(added));
}

}  // namespace

GMainMenuScene::GMainMenuScene(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived)
    : GBaseSceneNode(context, parent, manager, false), paths_(new GLevelPaths()) {
    linkToParent(parent, mostDerived);
    EngineDevice* engine = getEngine();
    FileSystem* files = engine ? engine->getFileSystem() : nullptr;
    if (!files) return;
    CountedRef<XmlReader> reader(files->createXMLReader("scenes/BgTrafficPaths.xml"));
    if (reader) paths_->readLevelPaths(*reader);
}

GMainMenuScene::~GMainMenuScene() = default;

void GMainMenuScene::onLoaded() {
    welcomeText_ = nullptr;
    scene_ = nullptr;
    backButton_ = nullptr;
    clipNode_ = nullptr;
    scene_ = findChild(makeNameId("Scene"), 1);
    if (scene_) welcomeText_ = nodeCast<TextNode>(scene_->findChild(makeNameId("WelcomeText"), 1));
    BaseNode* background = findChild(makeNameId("BgScene"), 1);
    BaseNode* active = background ? background->findChild(makeNameId("ActiveBg"), 1) : nullptr;
    if (!active) return;
    backButton_ = nodeCast<ControlNode>(active->findChild(makeNameId("BackButton"), 1));
    clipNode_ = active->findChild(makeNameId("ClipNode"), 1);
}

bool GMainMenuScene::onEvent74(NodeStateFinishedEvent* event) {
    if (event && clipNode_ && event->getNode() == clipNode_ && event->getName() == makeNameId("Scrolling")) {
        endScrolling(false);
        return true;
    }
    return GBaseSceneNode::onEvent74(event);
}

void GMainMenuScene::updateWelcomeText() {
    if (!welcomeText_) return;
    ProfileParameters* player = getProfileStore().getCurrentProfile();
    const stringw name = player ? player->getPlayerName() : stringw();
    EngineDevice* engine = getEngine();
    Dictionary* dictionary = engine ? engine->getDictionary() : nullptr;
    // Without the dictionary's entry the name alone still greets the player.
    // Nobody to greet while no player is chosen: no "Welcome, !".
    const bool greeting = player && dictionary && dictionary->hasKey("MainMenu_WelcomeTxt");
    welcomeText_->setText(greeting ? dictionary->format("MainMenu_WelcomeTxt", name, stringw(), stringw(), stringw())
                                   : name);
}

bool GMainMenuScene::onSceneActivated(SceneActivatedEvent* event) {
    GBaseSceneNode::onSceneActivated(event);
    if (!event) return false;
    if (event->getSecondScene() == this) {
        if (IContentManager* content = getContentManager()) content->removeUnused();
        EngineDevice* engine = getEngine();
        if (CursorControl* cursor = engine ? engine->getCursorControl() : nullptr) cursor->setVisible(true);
        playCueOnce("MenuMusic");
        playCueOnce("MainMenuAmbient");
        updateWelcomeText();
        BaseNode* previous = event->getFirstScene();
        // Only the Back button or the end of the scroll folds the sequence
        // away: a menu that has neither would keep its panel hidden for good.
        const bool canEndSequence = clipNode_ || backButton_;
        if (previous && previous->isOfType(kLevelCompletedSceneType) && canEndSequence) {
            if (scene_) {
                scene_->setVisible(false);
                scene_->setPosition(vector3df(1024, 0, 0));
            }
            if (clipNode_) {
                clipNode_->addListener(this);
                clipNode_->setVisible(true);
                clipNode_->enterStateInChildren(makeNameId("Scrolling"));
            }
            if (backButton_) {
                backButton_->setEnabled(true);
                backButton_->setVisible(true);
                backButton_->setState(makeNameId("Appear"), nullptr);
            }
        } else {
            if (clipNode_) clipNode_->setVisible(false);
            if (backButton_) {
                backButton_->setEnabled(false);
                backButton_->setVisible(false);
            }
        }
        return true;
    }
    if (event->getFirstScene() == this) {
        endScrolling(true);
        BaseNode* next = event->getSecondScene();
        if (next && next->isOfType(kMapSceneType)) stopAmbientCues();
        return true;
    }
    return false;
}

bool GMainMenuScene::onSceneEvent37(SceneTransitionEndEvent* event) {
    if (GBaseSceneNode::onSceneEvent37(event)) return true;
    if (!event) return false;
    if (event->getSecondScene() == this) {
        if (!getProfileStore().getCurrentProfile()) {
            openOrLog(*this, kSelectPlayerScene, true, "NavFrom", "NavTo");
            openOrLog(*this, kInputNameScene, true, "NavFrom", "NavTo");
        }
        return true;
    }
    BaseNode* top = event->getSecondScene();
    if (event->getFirstScene() == this && top && top->isOfType(kMapSceneType)) {
        stopAmbientCues();
        return true;
    }
    return false;
}

void GMainMenuScene::endScrolling(bool immediate) {
    if (scene_) {
        scene_->setVisible(true);
        scene_->setState(makeNameId("NavBackToSlide"), nullptr);
        if (immediate) scene_->stopAllStates(true);
    }
    if (clipNode_) {
        clipNode_->removeListener(this);
        clipNode_->setVisible(false);
        const array<BaseNode*>& children = clipNode_->getChildren();
        for (uint32_t i = 0; i < children.size(); ++i) children[i]->stopAllStates(false);
    }
    if (backButton_) {
        backButton_->setEnabled(false);
        backButton_->setState(makeNameId("Disappear"), nullptr);
        if (immediate) backButton_->stopAllStates(true);
    }
}

void GMainMenuScene::startNewGame() {
    ProfileParameters* player = getProfileStore().getCurrentProfile();
    if (!player) return;
    if (player->getInt("MaxUnlockedLevelIndex") == -1) {
        player->setInt("LevelIndex", 0);
        SceneNode* loading = openOrLog(*this, "scenes/LoadingLevelScene.oscn", false, "NavFrom", "NavTo");
        if (auto* level = dynamic_cast<GLoadingLevelScene*>(loading)) level->setLevelName("level1");
        return;
    }
    openOrLog(*this, "scenes/MapScene.oscn", false, "NavFrom", "NavTo");
}

bool GMainMenuScene::onNodePressed(NodePressedEvent* event) {
    GBaseSceneNode::onNodePressed(event);
    BaseNode* node = event ? event->getNode() : nullptr;
    if (!node) return false;
    const NameId name = node->getName();
    if (name == makeNameId("QuitButton")) {
        openOrLog(*this, "scenes/QuitConfirmationScene.oscn", true, "NoTransTo", "NavTo");
    } else if (name == makeNameId("ChangePlayerButton")) {
        openOrLog(*this, kSelectPlayerScene, true, "NavFromSlide", "NavTo");
    } else if (name == makeNameId("NewGameButton")) {
        startNewGame();
    } else if (name == makeNameId("CreditsButton")) {
        openOrLog(*this, "scenes/CreditsScene.oscn", true, "NavFromSlide", "NavTo");
    } else if (name == makeNameId("OptionsButton")) {
        openOrLog(*this, "scenes/OptionsScene.oscn", true, "NavFromSlide", "NavToSlide");
    } else if (name == makeNameId("AchievementsButton")) {
        openOrLog(*this, "scenes/AchievementsScene.oscn", true, "NavFromSlide", "NavTo");
    } else if (name == makeNameId("Baloon")) {
        // consumed
    } else if (name == makeNameId("Baloon2")) {
        if (EngineDevice* engine = getEngine()) engine->openURL(kPublisherWebPage);
    } else if (name == makeNameId("BackButton")) {
        endScrolling(false);
    } else {
        return false;
    }
    return true;
}

}  // namespace game
