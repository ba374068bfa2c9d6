// The HUD around the level: the level start and end, the game events, keys,
// window focus and scene stack, and the timer that runs the level flow one
// step per call.
#include "engine/core/MathRoutines.h"
#include "engine/audio/SoundManager.h"
#include "engine/content/ProfileStore.h"
#include "engine/content/CContentManager.h"
#include "engine/core/IContentManager.h"
#include "engine/core/KeyCodes.h"
#include "engine/core/Logger.h"
#include "engine/core/SceneManager.h"
#include "engine/core/TemplateCollectionNode.h"
#include "engine/core/TextRoutines.h"
#include "engine/controls/TabSceneNode.h"
#include "engine/io/FileSystem.h"
#include "engine/platform/EngineDevice.h"
#include "engine/visual/TextNode.h"
#include "game/common/GameServices.h"
#include "game/config/LevelConfig.h"
#include "game/config/LevelPaths.h"
#include "game/config/LevelScores.h"
#include "game/config/UpgradesConfiguration.h"
#include "game/flow/GAchievementUnlockedScene.h"
#include "game/flow/GLevelCompletedScene.h"
#include "game/flow/GLevelObjectivesScene.h"
#include "game/hud/GGamePlayScene.h"
#include "game/hud/HudText.h"
#include "game/level/GBuildingNode.h"
#include "game/level/GGameLevelScene.h"
#include "game/common/AchievementsTracker.h"
#include "game/common/GeometryNodes.h"
#include "game/tutorial/GTutorial.h"

#include <cmath>
#include <string>

namespace game {

using namespace engine;

namespace {

// The most locations a map has: 35 regular levels and a mini-game after every
// seven. The bound for a level started without the map having been shown.
constexpr int32_t kMostMapLocations = 39;

// Progress is written only for an index of the map the player chose from.
int32_t mapLocationCount() {
    const int32_t shown = gameServices() ? gameServices()->getMapLocationCount() : 0;
    return shown > 0 ? shown : kMostMapLocations;
}
const char* const kInGameMenuScene = "scenes/InGameMenuScene.oscn";

FileSystem* engineFiles() {
    EngineDevice* engine = getEngine();
    return engine ? engine->getFileSystem() : nullptr;
}

XmlReader* openReader(const stringc& path) {
    FileSystem* files = engineFiles();
    return files ? files->createXMLReader(path) : nullptr;
}

SoundManager* sounds() { return getCurrentSoundManager(); }

AchievementsTracker* achievements() { return gameServices() ? gameServices()->getAchievementsTracker() : nullptr; }

SceneManager* levelSceneManager() { return gameServices() ? gameServices()->getSceneManager(1) : nullptr; }

IContentManager* gameContent(const BaseNode& node) {
    GameServices* app = gameServices();
    if (app && app->getContentManager()) return app->getContentManager();
    return node.getContentManager();
}

}  // namespace

BuildingsConfiguration* GGamePlayScene::gameBuildings() const {
    GameServices* app = gameServices();
    if (app && app->getBuildingsConfiguration()) return app->getBuildingsConfiguration();
    return levelScene_ ? levelScene_->buildingsConfiguration : nullptr;
}

bool GGamePlayScene::isTopScene() const {
    SceneManager* manager = getSceneManager();
    return !manager || manager->getTopScene() == this;
}

void GGamePlayScene::setLevelTimersEnabled(bool enabled) {
    TimerScheduler* scheduler = levelScene_ ? levelScene_->SceneNode::getTimerScheduler() : nullptr;
    if (scheduler) scheduler->setEnabled(enabled);
}

// ---- Level start ------------------------------------------------------------

bool GGamePlayScene::startLevel(const stringc& folder, GGameLevelScene* level) {
    BaseNode* internal = findChild(makeNameId("InternalGamePlayScene"), 1);
    ProfileParameters* player = getProfileStore().getCurrentProfile();
    SceneManager* levelManager = levelSceneManager();
    if (folder.empty() || !level || !internal || !gameServices() || !levelManager || !player) return false;

    CountedRef<XmlReader> reader(openReader(folder + "LevelConfiguration.xml"));
    if (!reader) {
        getLogger().log("Unable to find configuration for the level", folder.c_str(), LOG_ERROR);
        return false;
    }
    CountedRef<GLevelConfig> config(new GLevelConfig());
    config->readLevelConfiguration(*reader);
    reader = nullptr;

    if (LevelScores* scores = gameServices()->getLevelScores()) {
        const GLevelScore& score = (*scores)[stringc("level") + stringc(config->name).c_str()];
        config->score = score.Score;
        config->expertScore = score.ExpertScore;
        config->levelTime = score.Time;
    }

    CountedRef<GLevelPaths> paths(new GLevelPaths());
    reader = CountedRef<XmlReader>(openReader(folder + "LevelPaths.xml"));
    if (reader) paths->readLevelPaths(*reader);
    reader = nullptr;

    levelScene_ = CountedRef<GGameLevelScene>::share(level);

    const bool tutorialWanted = player->getBool("ShowTutorialOn") &&
                                (developerModeEnabled ||
                                 player->getInt("ShowTutorialLevel") < player->getInt("LevelIndex"));
    if (tutorialWanted) {
        reader = CountedRef<XmlReader>(openReader(folder + "Tutorial.xml"));
        if (reader) {
            SceneNode* owner = nodeCast<SceneNode>(internal);
            SceneManager* menus = gameServices()->getSceneManager(0);
            tutorial_ = CountedRef<GTutorial>(new GTutorial(owner ? owner : this,
                                                            menus ? menus->getTemplateCollection() : nullptr,
                                                            gameContent(*this)));
            tutorial_->load(*reader, level);
            reader = nullptr;
            GTutorial* tutorial = tutorial_.get();
            addListener(tutorial);
            level->addListener(tutorial);
            if (actionsTabs_) actionsTabs_->addListener(tutorial);
            for (GBuildingNode* building : level->buildings) {
                if (building) building->addListener(tutorial);
            }
        }
    }

    if (ratingNode_) ratingNode_->setVisible(config->isRatingOn);
    if (timeText_) timeText_->setVisible(config->isClockOn);
    if (clockSector_) clockSector_->setAngle1(0);

    if (!hintWindow_) {
        SceneManager* menus = gameServices()->getSceneManager(0);
        TemplateCollectionNode* templates = menus ? menus->getTemplateCollection() : nullptr;
        BaseNode* window = templates ? templates->getTemplate(makeNameId("TutorialWindow")) : nullptr;
        if (window) {
            hintWindow_ = window->clone(internal, internal->getManager());
            if (hintWindow_) {
                hintWindow_->setVisible(false);
                if (BaseNode* skip = hintWindow_->findChild(makeNameId("SkipTutorialButton"), 1)) {
                    skip->setVisible(false);
                }
            }
        }
    }

    level->setBuildingsConfiguration(gameServices()->getBuildingsConfiguration());
    level->setLevelConfiguration(config.get());
    CountedRef<LevelAvailability> availability(new LevelAvailability());
    if (UpgradesConfiguration* upgrades = gameServices()->getUpgradesConfiguration()) {
        availability->fill(*upgrades, config.get(), player->getInt("LevelIndex"), player->getString("BoughtUpgrades"));
    }
    level->setAvailability(availability.get());
    level->setLevelPaths(paths.get());
    level->setPaused(false);
    levelManager->setScene(level);
    return true;
}

void GGamePlayScene::setLevelScene(GGameLevelScene* level) { levelScene_ = CountedRef<GGameLevelScene>::share(level); }

// ---- Level end --------------------------------------------------------------

bool GGamePlayScene::endLevel(bool regular) {
    if (levelEnded_) {
        // A developer-key end followed by the objectives being met must not
        // score (or unlock) the level twice.
        getLogger().log("The level has already ended", LOG_INFO);
        return true;
    }
    levelEnded_ = true;
    if (SoundManager* manager = sounds()) {
        manager->stopGroup(2);
        manager->stopCue(musicCue_, 0);
        manager->playCue(makeNameId("LevelCompleted"), false, 0);
    }
    GLevelConfig* level = getLevelConfig();
    const float totalTime = levelScene_ ? levelScene_->totalTimeMs : 0.0f;
    int32_t score = level ? level->score : 0;
    if (level && !regular && totalTime <= static_cast<float>(level->levelTime) * 1000.0f) score = level->expertScore;
    const float gained = levelScene_ ? levelScene_->scoreGained : 0.0f;
    const int32_t total = engine::saturatingInt(static_cast<float>(score) + gained);
    int32_t best = 0;

    if (ProfileParameters* player = getProfileStore().getCurrentProfile()) {
        const int32_t index = player->getInt("LevelIndex");
        if (index < 0 || index >= mapLocationCount()) {
            // The default -1, or a value that no location has: the lists must
            // not be indexed with it.
            getLogger().log("No level progress written: the level index is out of range",
                            std::to_string(index).c_str(), LOG_ERROR);
        } else {
            if (player->getInt("MaxUnlockedLevelIndex") < index) {
                player->setInt("MaxUnlockedLevelIndex", index);
                player->setInt("LevelIndex", index + 1);
            }
            if (player->getInt("ShowTutorialLevel") < index) player->setInt("ShowTutorialLevel", index);
            AchievementsTracker* tracker = achievements();
            array<int32_t> scores = parseIntArray(player->getString("Scores"));
            while (static_cast<int32_t>(scores.size()) < index + 1) scores.push_back(0);
            best = scores[index];
            if (best < total) {
                if (level && total == level->expertScore && tracker && tracker->addProgress(11, 1)) {
                    pendingAchievements_.push_back(11);
                }
                if (scores[index] == 0 && tracker && tracker->addProgress(10, 1)) pendingAchievements_.push_back(10);
                scores[index] = total;
            }
            player->setString("Scores", joinIntArray(scores));
            array<int32_t> times = parseIntArray(player->getString("Times"));
            while (static_cast<int32_t>(times.size()) < index + 1) times.push_back(0);
            if (times[index] == 0 || totalTime < static_cast<float>(times[index])) {
                times[index] = engine::saturatingInt(totalTime);
            }
            player->setString("Times", joinIntArray(times));
            if (tracker) {
                tracker->save();
            } else {
                player->save();
            }
            if (gameServices()) {
                LevelResult result;
                result.playerName = player->getPlayerName();
                result.playTimeSeconds = engine::saturatingInt(totalTime / 1000.0f);
                gameServices()->reportLevelCompleted(player->getString("LevelName"), result);
            }
        }
    }
    if (levelScene_) levelScene_->scoreGained = static_cast<float>(total - best > 0 ? total - best : 0);

    // A pop-up pushed in the same tick covers the HUD: the chain of pending
    // actions opens the next scene once the HUD is on top again.
    if (!isTopScene()) return true;
    if (!showNextAchievement()) openLevelCompletedScene();
    return true;
}

bool GGamePlayScene::showNextAchievement() {
    if (pendingAchievements_.empty()) return false;
    const int32_t index = pendingAchievements_.front();
    pendingAchievements_.erase(pendingAchievements_.begin());
    IContentManager* content = gameContent(*this);
    CountedRef<BaseNode> loaded(content ? content->loadSceneNode("scenes/AchievementUnlockedScene.oscn", true)
                                        : nullptr);
    GAchievementUnlockedScene* popup = nodeCast<GAchievementUnlockedScene>(loaded.get());
    if (!popup) {
        getLogger().log("Unable to open the scene", "scenes/AchievementUnlockedScene.oscn", LOG_ERROR);
        return false;
    }
    popup->showAchievement(index);
    if (SoundManager* manager = sounds()) manager->playCue(makeNameId("AchievementUnlocked"), false, 0);
    return pushScene(popup, true, navFromName(), navToName());
}

bool GGamePlayScene::openLevelCompletedScene() {
    if (completedSceneOpened_) return false;
    IContentManager* content = gameContent(*this);
    CountedRef<BaseNode> loaded(content ? content->loadSceneNode("scenes/LevelCompletedScene.oscn", true) : nullptr);
    GLevelCompletedScene* completed = nodeCast<GLevelCompletedScene>(loaded.get());
    if (!completed) {
        getLogger().log("Unable to open the scene", "scenes/LevelCompletedScene.oscn", LOG_ERROR);
        return false;
    }
    completed->setLevelScene(levelScene_.get());
    completedSceneOpened_ = pushScene(completed, true, navFromName(), navToName());
    return completedSceneOpened_;
}

// ---- Game events --------------------------------------------------------------

bool GGamePlayScene::onLevelCompletedEvent(GLevelCompletedEvent*) {
    endLevel(false);
    return true;
}

bool GGamePlayScene::onNewDay(GNewDayEvent*) {
    if (levelScene_) {
        for (GBuildingNode* building : levelScene_->buildings) {
            GBuildingConfig* record = building ? building->getRecord() : nullptr;
            if (record && record->Level != 0 && building->isOperating() && building->income(record) >= 1.0f) {
                playMoneyBurst(building);
            }
        }
    }
    checkMoneyAchievements();
    return true;
}

bool GGamePlayScene::onBuildingCompleted(GBuildingCompletedEvent* event) {
    onLevelChanged();
    GBuildingNode* building = event ? event->getBuilding() : nullptr;
    GBuildingConfig* record = building ? building->getRecord() : nullptr;
    if (record && record->Level == 1) {
        if (AchievementsTracker* tracker = achievements()) {
            for (int32_t counter = 4; counter <= 6; ++counter) {
                if (tracker->addProgress(counter, 1)) pendingAchievements_.push_back(counter);
            }
            tracker->save();
        }
        if (isTopScene()) showNextAchievement();
    }
    return true;
}

bool GGamePlayScene::onIncome(GIncomeEvent* event) {
    onLevelChanged();
    SceneManager* manager = getSceneManager();
    TemplateCollectionNode* templates = manager ? manager->getTemplateCollection() : nullptr;
    GBuildingNode* building = event ? event->getBuilding() : nullptr;
    if (templates && templates->getTemplate(makeNameId("MoneyStar")) && building) playMoneyBurst(building);
    checkMoneyAchievements();
    return true;
}

bool GGamePlayScene::onTaskStep(GTaskStepEvent*) {
    onLevelChanged();
    return true;
}

void GGamePlayScene::playMoneyBurst(GBuildingNode* building) {
    if (building) building->enterStateInChildren(makeNameId("MoneyBurst"));
}

void GGamePlayScene::checkMoneyAchievements() {
    AchievementsTracker* tracker = achievements();
    if (tracker && levelScene_) {
        const int32_t money = roundToInt(levelScene_->money);
        bool raised = false;
        for (int32_t counter = 7; counter <= 9; ++counter) {
            if (tracker->getProgress(counter) >= money) continue;
            raised = true;
            if (tracker->addProgress(counter, money)) pendingAchievements_.push_back(counter);
        }
        if (raised) tracker->save();
    }
    // A pop-up on top of another one (or of the completed scene) would never
    // be answered by the HUD's chain; it waits until the HUD is on top.
    if (isTopScene()) showNextAchievement();
}

// ---- Keys, focus and the scene stack -------------------------------------------

bool GGamePlayScene::onEvent32(KeyUpEvent* event) {
    if (GBaseSceneNode::onEvent32(event)) return true;
    if (!event) return false;
    if (event->getKey() == KeyCode::Escape) {
        openSceneOrLog(*this, kInGameMenuScene, true, navFromName(), navToName());
        return true;
    }
    if (!developerModeEnabled) return false;
    if (event->getKey() == 69) {  // E
        endedByDeveloperKey_ = true;
        endLevel(event->isShiftDown());
        return true;
    }
    if (!levelScene_) return false;
    switch (event->getKey()) {
        case 82: {  // R
            CountedRef<GWeatherRequestEvent> weather(new GWeatherRequestEvent(30000, 30000));
            levelScene_->handleEvent(weather.get());
            return true;
        }
        case 107:
            levelScene_->money += 100000.0f;
            break;
        case 189:
            levelScene_->money -= 100000.0f;
            break;
        case 106:
            levelScene_->materials += 1000.0f;
            break;
        case 111:
            levelScene_->workers += 1;
            break;
        default:
            return false;
    }
    onLevelChanged();
    return true;
}

bool GGamePlayScene::onApplicationClose(ApplicationCloseEvent* event) {
    return GBaseSceneNode::onApplicationClose(event);
}

bool GGamePlayScene::onWindowFocusChanged(WindowFocusEvent* event) {
    if (GBaseSceneNode::onWindowFocusChanged(event)) return true;
    if (!event || event->isFocused()) return false;
    if (SoundManager* manager = sounds()) manager->setGroupPaused(true, 2);
    SceneManager* manager = getSceneManager();
    if (manager && manager->getTopScene() == this && hudShown_ && objectivesShown_) {
        openSceneOrLog(*this, kInGameMenuScene, true, navFromName(), navToName());
        if (GameServices* app = gameServices()) app->redrawNow();
    }
    return false;
}

bool GGamePlayScene::onSceneActivated(SceneActivatedEvent* event) {
    if (GBaseSceneNode::onSceneActivated(event)) return true;
    hudShown_ = false;
    if (!event) return false;
    if (event->getSecondScene() == this) {
        if (SoundManager* manager = sounds()) {
            manager->setGroupPaused(false, 2);
            manager->stopCue(makeNameId("MenuMusic"), 0);
        }
        if (GLevelConfig* level = getLevelConfig()) {
            musicCue_ = makeNameId(("GameMusicSetting" + std::to_string(level->settingIndex)).c_str());
        }
        if (event->isForward()) {
            BaseNode* internal = findChild(makeNameId("InternalGamePlayScene"), 1);
            SceneManager* levelManager = levelSceneManager();
            if (internal && levelManager) {
                if (levelManager->getParent() != internal) internal->insertChildAfter(levelManager, nullptr);
                if (levelScene_) levelScene_->attach(levelManager, levelScene_.get());
            }
            musicStarted_ = false;
        }
        refreshBuildTabButtons();
        fillHotelsList();
        fillJoysList();
        fillFactoriesList();
        fillMaterialsList();
        fillWorkersList();
        setUpGoals();
        showBuildingTabHint(nullptr);
        showBuildingPlaceHint(nullptr);
        onTimer(0);
        onLevelChanged();
        if (GLevelConfig* level = getLevelConfig()) {
            setText(targetTimeText_, formatMinutesSeconds(static_cast<uint32_t>(level->levelTime) * 1000u));
        }
        setText(timeText_, formatMinutesSeconds(0));
        return true;
    }
    if (event->getFirstScene() == this) {
        setLevelTimersEnabled(false);
        if (SoundManager* manager = sounds()) manager->setGroupPaused(true, 2);
    }
    return false;
}

bool GGamePlayScene::onSceneEvent37(SceneTransitionEndEvent* event) {
    if (GBaseSceneNode::onSceneEvent37(event)) return true;
    if (!event) return false;
    if (event->getSecondScene() == this) {
        hudShown_ = true;
        BaseNode* previous = event->getFirstScene();
        if (event->isForward()) {
            pendingAction_ = 1;
        } else if (previous && previous->isOfType(GLevelObjectivesScene::kTypeId)) {
            pendingAction_ = 2;
        } else if (previous && previous->isOfType(GAchievementUnlockedScene::kTypeId)) {
            pendingAction_ = 3;
        }
        // Pop-ups queued while something covered the HUD, and a level that
        // ended meanwhile, continue now that the HUD is on top again.
        const bool completionWaits = levelEnded_ && !completedSceneOpened_;
        if (pendingAction_ == 0 && (completionWaits || !pendingAchievements_.empty())) pendingAction_ = 3;
        setLevelTimersEnabled(true);
        return true;
    }
    if (event->getFirstScene() == this) {
        setLevelTimersEnabled(false);
        if (SoundManager* manager = sounds()) manager->setGroupPaused(true, 2);
    }
    return false;
}

void GGamePlayScene::playMusicAgain() {
    if (!musicStarted_ || musicCue_ == kNoName) return;
    if (SoundManager* sound = sounds()) sound->playCue(musicCue_, true, 0);
}

// ---- Timer -------------------------------------------------------------------------

bool GGamePlayScene::onTimer(uint32_t periodMs) {
    GBaseSceneNode::onTimer(periodMs);
    SceneManager* manager = getSceneManager();
    if (manager && manager->getTopScene() != this) return true;
    if (elapsedMs_ >= 2000 && !musicStarted_) {
        if (SoundManager* sound = sounds()) sound->playCue(musicCue_, true, 0);
        musicStarted_ = true;
    }
    if (pendingAction_ != 0) {
        runPendingAction();
        return true;
    }
    if (levelScene_) {
        runClock();
        runPanels();
    }
    if (tutorial_ && !tutorial_->update(periodMs)) dropTutorial();
    if (!tutorial_) runHintWindow(periodMs);
    return true;
}

void GGamePlayScene::runPendingAction() {
    const int32_t action = pendingAction_;
    pendingAction_ = 0;
    switch (action) {
        case 1:
            openObjectivesScene();
            objectivesShown_ = true;
            break;
        case 2:
            if (objectivesShown_ && !tutorialStarted_) {
                tutorialStarted_ = true;
                if (tutorial_) tutorial_->start();
            }
            break;
        case 3: {
            if (showNextAchievement()) break;
            const bool complete = levelScene_ && levelScene_->objectivesMet && levelScene_->hintText.empty();
            if (complete || endedByDeveloperKey_ || levelEnded_) openLevelCompletedScene();
            break;
        }
        default:
            break;
    }
}

bool GGamePlayScene::openObjectivesScene() {
    const char* const path = "scenes/LevelObjectivesScene.oscn";
    IContentManager* content = gameContent(*this);
    CountedRef<BaseNode> loaded(content ? content->loadSceneNode(path, true) : nullptr);
    GLevelObjectivesScene* objectives = nodeCast<GLevelObjectivesScene>(loaded.get());
    if (!objectives) {
        getLogger().log("Unable to open the scene", path, LOG_ERROR);
        return false;
    }
    objectives->setLevelScene(levelScene_.get());
    return pushScene(objectives, true, navFromName(), navToName());
}

}  // namespace game
