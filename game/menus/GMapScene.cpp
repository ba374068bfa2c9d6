#include "game/menus/GMapScene.h"
#include "engine/audio/SoundManager.h"
#include "engine/content/Dictionary.h"
#include "engine/content/ProfileStore.h"
#include "engine/core/ControlNode.h"
#include "engine/core/IContentManager.h"
#include "engine/core/KeyCodes.h"
#include "engine/core/Logger.h"
#include "engine/core/SceneManager.h"
#include "engine/core/TemplateCollectionNode.h"
#include "engine/core/TextRoutines.h"
#include "engine/io/FileSystem.h"
#include "engine/platform/EngineDevice.h"
#include "engine/visual/AtlasTexture.h"
#include "engine/visual/SpriteNode.h"
#include "engine/visual/TextNode.h"
#include "game/common/GameServices.h"
#include "game/config/LevelScores.h"
#include "game/config/UpgradesConfiguration.h"
#include "game/flow/GLoadingLevelScene.h"
#include "game/menus/GMapLocationButton.h"
#include "game/tutorial/GTutorial.h"

#include <algorithm>
#include <string>

namespace game {

using namespace engine;

namespace {

constexpr int32_t kShopSceneType = 1117;
constexpr int32_t kComicsSceneType = 1127;
constexpr int32_t kKeyU = 85;
const char* const kShopScene = "scenes/ShopScene.oscn";
const char* const kLoadingScene = "scenes/LoadingLevelScene.oscn";
const char* const kNoticeTemplate = "MessageBox1Button";

bool isMiniGameLocation(int32_t index) { return index == 7 || index == 15 || index == 23 || index == 31; }

GLevelScore scoreOf(const stringc& levelName) {
    LevelScores* scores = gameServices() ? gameServices()->getLevelScores() : nullptr;
    if (scores) {
        // Looked up without adding: a location the file lacks keeps the defaults.
        const auto found = scores->entries().find(levelName.c_str());
        if (found != scores->entries().end()) return found->second;
    }
    return GLevelScore();
}

int32_t rankOf(const array<int32_t>& scores, int32_t index, const GLevelScore& level) {
    if (index < 0 || static_cast<uint32_t>(index) >= scores.size()) return 0;
    const int32_t score = scores[index];
    if (score >= level.ExpertScore) return 2;
    if (score >= level.Score) return 1;
    return 0;
}

// The index of the last finished location; a value below -1 means none.
int32_t maxUnlockedOf(ProfileParameters* player) {
    return player ? std::max(player->getInt("MaxUnlockedLevelIndex"), -1) : 0;
}

// A location is open when it is finished or follows the last finished one;
// the sum is taken wide so that a huge stored index cannot wrap round.
bool isOpen(int32_t index, int32_t maxUnlocked) {
    return static_cast<int64_t>(index) <= static_cast<int64_t>(maxUnlocked) + 1;
}

BaseNode* nodeOf(NodeTargetOriginEvent* event) {
    if (!event) return nullptr;
    return event->getNode() ? event->getNode() : event->getOrigin();
}

template <class T>
T* childOf(BaseNode* parent, const char* name) {
    return parent ? nodeCast<T>(parent->findChild(makeNameId(name), 1)) : nullptr;
}

void setImage(BaseNode* hint, const char* name, const stringc& path, IContentManager* content) {
    SpriteNode* sprite = childOf<SpriteNode>(hint, name);
    if (!sprite) return;
    CountedRef<AtlasTextureContent> image(loadAtlasTexture(content, path, true));
    sprite->setAtlasTexture(image.get());
}

void setText(BaseNode* hint, const char* name, const stringw& text) {
    if (TextNode* node = childOf<TextNode>(hint, name)) node->setText(text);
}

}  // namespace

GMapScene::GMapScene(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived)
    : GBaseSceneNode(context, parent, manager, false) {
    linkToParent(parent, mostDerived);
}

GMapScene::~GMapScene() { dropTutorial(); }

void GMapScene::onLoaded() {
    locationButtons_.clear();
    selected_ = nullptr;
    playButton_ = nullptr;
    for (BaseNode*& hint : levelHints_) hint = nullptr;
    scene_ = findChild(makeNameId("Scene"), 1);
    if (!scene_) return;
    if (BaseNode* buttons = scene_->findChild(makeNameId("LocationButtons"), 1)) {
        const array<BaseNode*>& children = buttons->getChildren();
        for (uint32_t i = 0; i < children.size(); ++i) {
            if (auto* button = nodeCast<GMapLocationButton>(children[i])) locationButtons_.push_back(button);
        }
    }
    playButton_ = nodeCast<ControlNode>(scene_->findChild(makeNameId("PlayButton"), 1));
    for (int32_t i = 0; i < kHintCount; ++i) {
        const std::string name = "LevelHint" + std::to_string(i + 1) + "Node";
        levelHints_[i] = scene_->findChild(makeNameId(name.c_str()), 1);
    }
}

int32_t GMapScene::indexOf(const BaseNode* node) const {
    for (size_t i = 0; i < locationButtons_.size(); ++i) {
        if (locationButtons_[i] == node) return static_cast<int32_t>(i);
    }
    return -1;
}

// ---- Activation and tutorials -------------------------------------------------

bool GMapScene::onSceneActivated(SceneActivatedEvent* event) {
    GBaseSceneNode::onSceneActivated(event);
    if (!event || event->getSecondScene() != this) return false;
    if (IContentManager* content = getContentManager()) content->removeUnused();
    if (SoundManager* sounds = getCurrentSoundManager()) sounds->playCue(makeNameId("MenuMusic"), true, 0);

    EngineDevice* engine = getEngine();
    FileSystem* files = engine ? engine->getFileSystem() : nullptr;
    shopAvailable_ = files && files->existFile(kShopScene);

    ProfileParameters* player = getProfileStore().getCurrentProfile();
    const int32_t storedIndex = player ? player->getInt("LevelIndex") : 0;
    int32_t levelIndex = storedIndex;
    const int32_t count = static_cast<int32_t>(locationButtons_.size());
    if (GameServices* services = gameServices()) services->setMapLocationCount(count);
    if (count > 0 && levelIndex >= count) levelIndex = count - 1;
    // A negative stored index would leave nothing selected and Play dead.
    if (levelIndex < 0) levelIndex = 0;
    // The level played next is the one selected here: its end must find this
    // index, not one past the last location (after the last one was won).
    if (player && count > 0 && levelIndex != storedIndex) {
        player->setInt("LevelIndex", levelIndex);
        getProfileStore().savePlayerProfiles();
    }

    selected_ = nullptr;
    float phase = 0.0f;
    for (int32_t i = 0; i < count; ++i) {
        GMapLocationButton* button = locationButtons_[i];
        if (i == levelIndex) {
            selected_ = button;
            button->setSelected(true);
            if (player) player->setString("LevelName", button->getAssociatedLevelName());
        } else {
            button->setSelected(false);
        }
        button->startWave(phase);
        phase += 0.2f;
        if (phase >= 0.999f) phase = 0.0f;
    }

    dropTutorial();
    loadTutorial(event->getFirstScene());

    rebuildLevelInfo();
    refreshLocationButtons();
    showLevelHint(nullptr);
    if (playButton_) playButton_->setEnabled(areRequiredUpgradesBought(levelIndex));
    return true;
}

void GMapScene::loadTutorial(BaseNode* previous) {
    ProfileParameters* player = getProfileStore().getCurrentProfile();
    if (!player || !player->getBool("ShowTutorialOn")) return;
    const int32_t maxUnlocked = player->getInt("MaxUnlockedLevelIndex");
    const char* file = nullptr;
    if (maxUnlocked == 0 && player->getBool("ShowTutorialMap1")) {
        file = "scenes/MapTutorial1.xml";
        tutorialKey_ = "ShowTutorialMap1";
    } else if (maxUnlocked == 2 && !(previous && previous->isOfType(kShopSceneType)) &&
               player->getBool("ShowTutorialMap2")) {
        file = "scenes/MapTutorial2.xml";
        tutorialKey_ = "ShowTutorialMap2";
    }
    if (!file) return;
    tutorial_ = loadMenuTutorial(*this, scene_, file, "map");
}

void GMapScene::dropTutorial() { dropMenuTutorial(*this, tutorial_); }

bool GMapScene::onSceneEvent37(SceneTransitionEndEvent* event) {
    if (GBaseSceneNode::onSceneEvent37(event)) return true;
    if (!event) return false;
    if (event->getSecondScene() == this) {
        ProfileParameters* player = getProfileStore().getCurrentProfile();
        BaseNode* covered = event->getFirstScene();
        const int32_t levelIndex = player ? player->getInt("LevelIndex") : -1;
        const bool miniGameAfterComic = covered && covered->isOfType(kComicsSceneType) &&
                                        (levelIndex == 7 || levelIndex == 15 || levelIndex == 31);
        if (miniGameAfterComic && selected_ && !selected_->getAssociatedLevelName().empty()) {
            startLevel(selected_->getAssociatedLevelName());
        } else if (tutorial_) {
            tutorial_->start();
        }
        return true;
    }
    if (event->getFirstScene() == this) {
        if (!tutorial_ && !tutorialKey_.empty()) {
            if (ProfileParameters* player = getProfileStore().getCurrentProfile()) {
                player->setBool(tutorialKey_, false);
                player->save();
            }
        }
        // A tutorial still running is stopped unseen, so it shows again.
        dropTutorial();
        tutorialKey_ = stringc();
        return true;
    }
    return false;
}

bool GMapScene::onTimer(uint32_t periodMs) {
    GBaseSceneNode::onTimer(periodMs);
    if (tutorial_ && !tutorial_->update(periodMs)) dropTutorial();
    return true;
}

// ---- Level information and the buttons' looks ---------------------------------------

void GMapScene::rebuildLevelInfo() {
    levels_.assign(locationButtons_.size(), MapLevelInfo());
    ProfileParameters* player = getProfileStore().getCurrentProfile();
    const int32_t maxUnlocked = maxUnlockedOf(player);
    const array<int32_t> scores = parseIntArray(player ? player->getString("Scores") : stringc());
    const array<int32_t> times = parseIntArray(player ? player->getString("Times") : stringc());
    for (size_t i = 0; i < levels_.size(); ++i) {
        MapLevelInfo& info = levels_[i];
        const GLevelScore level = scoreOf(locationButtons_[i]->getAssociatedLevelName());
        info.completed = static_cast<int32_t>(i) <= maxUnlocked;
        if (!info.completed) {
            info.timeMs = level.Time * 1000;
        } else {
            // A negative stored time counts as none.
            info.timeMs = i < times.size() ? std::max(times[i], 0) : 0;
        }
        info.rank = rankOf(scores, static_cast<int32_t>(i), level);
    }
    UpgradesConfiguration* catalogue = gameServices() ? gameServices()->getUpgradesConfiguration() : nullptr;
    if (!catalogue) return;
    const array<NameId> bought = splitBySemicolon(player ? player->getString("BoughtUpgrades") : stringc());
    for (const auto& entry : catalogue->upgrades()) {
        Upgrade* upgrade = entry.second;
        if (!upgrade || upgrade->ObligatoryLevel < 1) continue;
        const int64_t n = upgrade->ObligatoryLevel;
        const int64_t location = (n - 1) + (n - 1) / 7;
        if (location >= static_cast<int64_t>(levels_.size())) continue;
        MapLevelInfo& info = levels_[static_cast<size_t>(location)];
        bool isBought = false;
        for (uint32_t k = 0; k < bought.size(); ++k) isBought = isBought || bought[k] == upgrade->Name;
        info.upgrades.push_back(upgrade);
        info.upgradeBought.push_back(isBought);
    }
}

bool GMapScene::areRequiredUpgradesBought(int32_t index) const {
    // Without a shop nothing could ever be bought: the requirement would close
    // the level for good.
    if (!shopAvailable_) return true;
    if (index < 0 || static_cast<size_t>(index) >= levels_.size()) return true;
    const std::vector<bool>& bought = levels_[static_cast<size_t>(index)].upgradeBought;
    return std::all_of(bought.begin(), bought.end(), [](bool b) { return b; });
}

void GMapScene::refreshLocationButtons() {
    ProfileParameters* player = getProfileStore().getCurrentProfile();
    const int32_t maxUnlocked = maxUnlockedOf(player);
    const array<int32_t> scores = parseIntArray(player ? player->getString("Scores") : stringc());
    for (size_t i = 0; i < locationButtons_.size(); ++i) {
        GMapLocationButton* button = locationButtons_[i];
        const int32_t index = static_cast<int32_t>(i);
        if (isOpen(index, maxUnlocked)) {
            button->setEnabled(true);
            button->setUpgradesReady(areRequiredUpgradesBought(index));
        } else {
            button->setEnabled(false);
        }
        if (isMiniGameLocation(index)) button->setMiniGameMarker(true);
        button->setRank(rankOf(scores, index, scoreOf(button->getAssociatedLevelName())));
    }
}

// ---- Hints ----------------------------------------------------------------------------

void GMapScene::showLevelHint(GMapLocationButton* button) {
    const int32_t index = button ? indexOf(button) : -1;
    if (index < 0 || static_cast<size_t>(index) >= levels_.size()) {
        for (BaseNode* hint : levelHints_) {
            if (hint) hint->setVisible(false);
        }
        return;
    }
    const MapLevelInfo& info = levels_[static_cast<size_t>(index)];
    const size_t required = info.upgrades.size();
    const int32_t pair = required == 0 ? 0 : required == 1 ? 2 : 4;
    BaseNode* hint = levelHints_[pair + (info.completed ? 1 : 0)];
    if (!hint) return;
    hint->setVisible(true);
    placeLevelHint(hint, button->getPosition());

    setText(hint, "LevelText", button->getText());
    const stringw time = formatMinutesSeconds(static_cast<uint32_t>(std::max(info.timeMs, 0)));
    if (info.completed) {
        setText(hint, "TimeText", time);
    } else {
        EngineDevice* engine = getEngine();
        Dictionary* dictionary = engine ? engine->getDictionary() : nullptr;
        const bool formatted = dictionary && dictionary->hasKey("Map_ExpertTime");
        setText(hint, "TimeText", formatted ? dictionary->format("Map_ExpertTime", time) : time);
    }
    setText(hint, "RankText", info.rank == 2 ? L"%Map_RankExpert%" : L"%Map_RankGamer%");

    IContentManager* content = getContentManager();
    const char* const texts[] = {"Place1Text", "Place2Text"};
    const char* const signs[] = {"Place1Sign", "Place2Sign"};
    const char* const icons[] = {"Icon1", "Icon2"};
    for (size_t k = 0; k < 2 && k < required; ++k) {
        const stringc name = nameOfId(info.upgrades[k]->Name).c_str();
        setText(hint, texts[k], stringw(L"%") + stringw(name.c_str()) + stringw(L"%"));
        const bool bought = k < info.upgradeBought.size() && info.upgradeBought[k];
        setImage(hint, signs[k], bought ? "scenes/images/Map/O.png" : "scenes/images/Map/N.png", content);
        setImage(hint, icons[k], stringc("scenes/images/Map/Icons/") + name + ".png", content);
    }
}

void GMapScene::placeLevelHint(BaseNode* hint, const vector3df& position) {
    if (!hint) return;
    const bool plain = hint == levelHints_[0] || hint == levelHints_[1];
    const float x = position.X, y = position.Y;
    const char* arrow = "Arrow";
    vector3df pivot;
    if (plain) {
        if (x < 100) {
            arrow = "ArrowL";
            pivot = vector3df(-52, 43, 0);
        } else if (x > 924) {
            arrow = "ArrowR";
            pivot = vector3df(238, 43, 0);
        } else {
            pivot = vector3df(92, 133, 0);
        }
    } else if (y < 250) {
        arrow = x < 512 ? "ArrowL" : "ArrowR";
        pivot = x < 512 ? vector3df(-52, 81, 0) : vector3df(238, 81, 0);
    } else if (x < 100) {
        arrow = "ArrowL";
        pivot = vector3df(-52, 81, 0);
    } else if (x > 924) {
        arrow = "ArrowR";
        pivot = vector3df(238, 81, 0);
    } else {
        pivot = vector3df(92, 219, 0);
    }
    showHintArrow(hint, arrow);
    hint->setPivotPoint(vector2df(pivot.X, pivot.Y));
    hint->setPosition(vector3df(x, y, 3000));
}

void GMapScene::showHintArrow(BaseNode* hint, const char* arrow) {
    if (!hint) return;
    for (const char* name : {"Arrow", "ArrowL", "ArrowR"}) {
        if (BaseNode* node = hint->findChild(makeNameId(name), 1)) node->setVisible(std::string(name) == arrow);
    }
}

// ---- Input --------------------------------------------------------------------------------

bool GMapScene::isLevelPresent(const stringc& levelName) const {
    EngineDevice* engine = getEngine();
    FileSystem* files = engine ? engine->getFileSystem() : nullptr;
    return !files || files->existFile(stringc("levels/") + levelName + "/Level.oscn");
}

void GMapScene::tellLevelMissing(const stringc& levelName) {
    // The map shows every location of the game, also those whose level is
    // not in the content yet. Starting one would only bring the loading
    // scene up to fail: the player stays here and is told why nothing
    // starts; the progress is left as it is.
    getLogger().log("The location's level is not in the content", levelName.c_str(), LOG_ERROR);
    array<stringw> buttons;
    buttons.push_back(L"%Notice_Ok%");
    if (!showMessageBox(makeNameId(kNoticeTemplate), buttons, L"%Map_NotYetOpenTitle%", L"%Map_NotYetOpenBody%")) {
        getLogger().log("The map could not show the notice", kNoticeTemplate, LOG_WARNING);
    }
}

void GMapScene::startLevel(const stringc& levelName) {
    if (!isLevelPresent(levelName)) {
        tellLevelMissing(levelName);
        return;
    }
    SceneNode* loading = openSceneOrLog(*this, kLoadingScene, false, navFromName(), navToName());
    if (auto* level = dynamic_cast<GLoadingLevelScene*>(loading)) level->setLevelName(levelName);
}

void GMapScene::openShop() { openSceneOrLog(*this, kShopScene, false, navFromName(), navToName()); }

void GMapScene::closeBack() { closeScene(0, navBackFromName(), navBackToName()); }

void GMapScene::selectLocation(GMapLocationButton* button, int32_t index) {
    ProfileParameters* player = getProfileStore().getCurrentProfile();
    if (player) {
        player->setInt("LevelIndex", index);
        player->setString("LevelName", button->getAssociatedLevelName());
        getProfileStore().savePlayerProfiles();
    }
    if (selected_ && selected_ != button) selected_->setSelected(false);
    selected_ = button;
    button->setSelected(true);
    const bool ready = areRequiredUpgradesBought(index);
    if (!playButton_) return;
    playButton_->setEnabled(ready);
    if (!ready) openShop();
}

bool GMapScene::onNodePressed(NodePressedEvent* event) {
    GBaseSceneNode::onNodePressed(event);
    BaseNode* node = event ? event->getNode() : nullptr;
    if (!node) return false;
    const NameId name = node->getName();
    if (name == makeNameId("BackButton")) {
        closeBack();
        return true;
    }
    if (name == makeNameId("ShopButton")) {
        openShop();
        return true;
    }
    if (name == makeNameId("PlayButton")) {
        // A location that is still locked (a stored index past the open ones)
        // is not started.
        if (selected_ && !selected_->getAssociatedLevelName().empty() && selected_->isEnabled()) {
            startLevel(selected_->getAssociatedLevelName());
        } else if (selected_ && !selected_->isEnabled()) {
            getLogger().log("The selected location is locked", selected_->getAssociatedLevelName().c_str(), LOG_DEBUG);
        }
        return true;
    }
    if (name == makeNameId("SkipTutorialButton")) {
        if (tutorial_) {
            tutorial_->stop();
            if (ProfileParameters* player = getProfileStore().getCurrentProfile()) {
                player->setBool("ShowTutorialOn", false);
            }
        }
        return false;
    }
    const int32_t index = indexOf(node);
    if (index < 0) return false;
    selectLocation(locationButtons_[static_cast<size_t>(index)], index);
    return true;
}

bool GMapScene::onNodeHovered(NodeHoveredEvent* event) {
    GBaseSceneNode::onNodeHovered(event);
    BaseNode* node = nodeOf(event);
    const int32_t index = indexOf(node);
    if (index < 0) return false;
    GMapLocationButton* button = locationButtons_[static_cast<size_t>(index)];
    button->setSelected(true);
    showLevelHint(button);
    return true;
}

bool GMapScene::onNodeUnhovered(NodeUnhoveredEvent* event) {
    GBaseSceneNode::onNodeUnhovered(event);
    showLevelHint(nullptr);
    BaseNode* node = nodeOf(event);
    const int32_t index = indexOf(node);
    if (index < 0) return false;
    GMapLocationButton* button = locationButtons_[static_cast<size_t>(index)];
    if (button != selected_) button->setSelected(false);
    return true;
}

bool GMapScene::onEvent31(KeyDownEvent* event) {
    if (event && developerModeEnabled && event->getKey() == kKeyU) {
        if (ProfileParameters* player = getProfileStore().getCurrentProfile()) {
            const int32_t next = player->getInt("MaxUnlockedLevelIndex") + 1;
            if (next < static_cast<int32_t>(locationButtons_.size())) {
                player->setInt("MaxUnlockedLevelIndex", next);
                getProfileStore().savePlayerProfiles();
            }
        }
        refreshLocationButtons();
        return true;
    }
    return GBaseSceneNode::onEvent31(event);
}

bool GMapScene::onEvent32(KeyUpEvent* event) {
    if (event && event->getKey() == KeyCode::Escape) {
        closeBack();
        return true;
    }
    const int32_t key = event ? event->getKey() : 0;
    if (developerModeEnabled && key >= '1' && key <= '5') {
        if (IContentManager* content = getContentManager()) content->removeUnused();
        const std::string path = std::string("scenes/ComicsScene") + static_cast<char>(key) + ".oscn";
        openSceneOrLog(*this, path.c_str(), false, navFromName(), navToName());
        return true;
    }
    return GBaseSceneNode::onEvent32(event);
}

}  // namespace game
