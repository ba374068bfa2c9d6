#include "game/menus/GShopScene.h"
#include "engine/core/MathRoutines.h"
#include "engine/audio/SoundManager.h"
#include "engine/content/Dictionary.h"
#include "engine/content/ProfileStore.h"
#include "engine/core/IContentManager.h"
#include "engine/core/KeyCodes.h"
#include "engine/core/Logger.h"
#include "engine/core/SceneManager.h"
#include "engine/core/TemplateCollectionNode.h"
#include "engine/core/TextRoutines.h"
#include "engine/io/FileSystem.h"
#include "engine/platform/EngineDevice.h"
#include "engine/visual/TextNode.h"
#include "game/common/GameServices.h"
#include "game/config/UpgradesConfiguration.h"
#include "game/flow/GAchievementUnlockedScene.h"
#include "game/common/AchievementsTracker.h"
#include "game/menus/GShopButton.h"
#include "game/tutorial/GTutorial.h"

#include <algorithm>
#include <climits>
#include <iterator>

namespace game {

using namespace engine;

namespace {

constexpr int32_t kKeyU = 85;
const char* const kAchievementScene = "scenes/AchievementUnlockedScene.oscn";
const char* const kFeatureNames[GShopScene::kFeatureButtons] = {
    "AquaPark", "AquaParkFeature2", "TruckStation", "TruckStationFeature2", "REAgency", "REAgencyFeature2"};

// The building groups whose purchases count towards achievements 0 to 3.
const char* const kHotels[] = {"Camping", "Hostel", "GuestHouse", "BusinessHotel", "HotelN5", "HotelN6"};
const char* const kServices[] = {"Cafe", "CityMall", "AquaPark"};
const char* const kSights[] = {"Statue", "Garden", "Memorial"};
const char* const kBusinesses[] = {"TruckStation", "REAgency", "PRAgency"};
constexpr int32_t kGroups = 4;

int32_t groupOf(NameId name) {
    const stringc& text = nameOfId(name);
    auto in = [&](const char* const* names, size_t count) {
        return std::any_of(names, names + count, [&](const char* n) { return text == n; });
    };
    if (in(kHotels, std::size(kHotels))) return 0;
    if (in(kServices, std::size(kServices))) return 1;
    if (in(kSights, std::size(kSights))) return 2;
    if (in(kBusinesses, std::size(kBusinesses))) return 3;
    return -1;
}

UpgradesConfiguration* catalogue() { return gameServices() ? gameServices()->getUpgradesConfiguration() : nullptr; }

Upgrade* upgradeOf(const GShopButton* button) {
    UpgradesConfiguration* upgrades = catalogue();
    if (!upgrades || !button || button->getUpgradeName() == kNoName) return nullptr;
    return upgrades->find(button->getUpgradeName());
}

// The names the player owns: those bought plus every free upgrade. A name
// stored twice (a hand-edited profile) is owned once and paid once.
array<NameId> ownedUpgrades(ProfileParameters* player) {
    array<NameId> owned;
    auto add = [&owned](NameId name) {
        if (name == kNoName) return;
        for (uint32_t i = 0; i < owned.size(); ++i) {
            if (owned[i] == name) return;
        }
        owned.push_back(name);
    };
    const array<NameId> bought = splitBySemicolon(player ? player->getString("BoughtUpgrades") : stringc());
    for (uint32_t i = 0; i < bought.size(); ++i) add(bought[i]);
    if (UpgradesConfiguration* upgrades = catalogue()) {
        for (const auto& entry : upgrades->upgrades()) {
            if (entry.second && entry.second->Price == 0) add(entry.first);
        }
    }
    return owned;
}

bool contains(const array<NameId>& names, NameId name) {
    for (uint32_t i = 0; i < names.size(); ++i) {
        if (names[i] == name) return true;
    }
    return false;
}

// The level number of a location index, not counting every eighth location
// (the mini-games). Taken wide so that a huge stored index cannot wrap.
int64_t levelNumberOf(int32_t index) {
    const int64_t i = index;
    return i - (i + 1) / 8;
}

BaseNode* nodeOf(NodeTargetOriginEvent* event) {
    if (!event) return nullptr;
    return event->getNode() ? event->getNode() : event->getOrigin();
}

Dictionary* dictionary() {
    EngineDevice* engine = getEngine();
    return engine ? engine->getDictionary() : nullptr;
}

stringw formatEntry(Dictionary* dictionary, const char* key, int32_t value) {
    const stringw amount = formatWithSeparator(value, L',');
    return dictionary && dictionary->hasKey(key) ? dictionary->format(key, amount) : amount;
}

}  // namespace

GShopScene::GShopScene(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived)
    : GBaseSceneNode(context, parent, manager, false) {
    linkToParent(parent, mostDerived);
}

GShopScene::~GShopScene() { dropTutorial(); }

void GShopScene::onLoaded() {
    GBaseSceneNode::onLoaded();
    shopButtons_.clear();
    for (GShopButton*& button : featurePairs_) button = nullptr;
    shopButtonsNode_ = nullptr;
    scoreText_ = nullptr;
    hint_ = nullptr;
    highlightTemplate_ = nullptr;
    scene_ = findChild(makeNameId("Scene"), 1);
    if (!scene_) return;
    shopButtonsNode_ = scene_->findChild(makeNameId("ShopButtons"), 1);
    if (shopButtonsNode_) {
        const array<BaseNode*>& children = shopButtonsNode_->getChildren();
        for (uint32_t i = 0; i < children.size(); ++i) {
            if (auto* button = nodeCast<GShopButton>(children[i])) shopButtons_.push_back(button);
        }
        for (int32_t i = 0; i < kFeatureButtons; ++i) {
            featurePairs_[i] = nodeCast<GShopButton>(shopButtonsNode_->findChild(makeNameId(kFeatureNames[i]), 1));
        }
    }
    scoreText_ = nodeCast<TextNode>(scene_->findChild(makeNameId("ScoreText"), 1));
    hint_ = scene_->findChild(makeNameId("Hint1Node"), 1);
    highlightTemplate_ = scene_->findChild(makeNameId("ShopButtonHLNode"), 1);
}

bool GShopScene::isShopButton(const BaseNode* node) const {
    return node && std::find(shopButtons_.begin(), shopButtons_.end(), node) != shopButtons_.end();
}

// ---- Activation and tutorials -------------------------------------------------

bool GShopScene::onSceneActivated(SceneActivatedEvent* event) {
    GBaseSceneNode::onSceneActivated(event);
    if (!event || event->getSecondScene() != this) return false;
    if (highlightTemplate_) highlightTemplate_->setVisible(false);
    refreshHighlights();
    refresh(false);
    if (hint_ && dictionary()) hint_->setVisible(false);
    dropTutorial();
    loadTutorial();
    return true;
}

void GShopScene::loadTutorial() {
    ProfileParameters* player = getProfileStore().getCurrentProfile();
    if (!player || !player->getBool("ShowTutorialOn")) return;
    const int32_t maxUnlocked = player->getInt("MaxUnlockedLevelIndex");
    const char* file = nullptr;
    if (maxUnlocked == 2 && player->getBool("ShowTutorialShop1")) {
        file = "scenes/ShopTutorial1.xml";
        tutorialKey_ = "ShowTutorialShop1";
    } else if (maxUnlocked == 7 && player->getBool("ShowTutorialShop2")) {
        file = "scenes/ShopTutorial2.xml";
        tutorialKey_ = "ShowTutorialShop2";
    }
    if (!file) return;
    tutorial_ = loadMenuTutorial(*this, scene_, file, "shop");
}

void GShopScene::dropTutorial() { dropMenuTutorial(*this, tutorial_); }

bool GShopScene::onSceneEvent37(SceneTransitionEndEvent* event) {
    if (GBaseSceneNode::onSceneEvent37(event)) return true;
    if (!event) return false;
    if (event->getSecondScene() == this) {
        if (tutorial_) tutorial_->start();
        return true;
    }
    if (event->getFirstScene() == this) {
        // Covered once a tutorial was chosen: it counts as seen, run to its
        // end or not, so the shop does not ask again.
        if (!tutorialKey_.empty()) {
            if (ProfileParameters* player = getProfileStore().getCurrentProfile()) {
                player->setBool(tutorialKey_, false);
                player->save();
            }
        }
        dropTutorial();
        tutorialKey_ = stringc();
        return true;
    }
    return false;
}

bool GShopScene::onTimer(uint32_t periodMs) {
    GBaseSceneNode::onTimer(periodMs);
    if (tutorial_ && !tutorial_->update(periodMs)) dropTutorial();
    return true;
}

// ---- Money, buttons and achievements --------------------------------------------

void GShopScene::refresh(bool saveTracker) {
    ProfileParameters* player = getProfileStore().getCurrentProfile();
    if (!player) return;
    const array<int32_t> scores = parseIntArray(player->getString("Scores"));
    // Summed wide and kept inside int: a damaged profile cannot wrap the
    // money round into a fortune or a huge debt.
    int64_t total = 0;
    for (uint32_t i = 0; i < scores.size(); ++i) total += std::max(scores[i], 0);
    const int32_t maxUnlocked = player->getInt("MaxUnlockedLevelIndex");

    const array<NameId> owned = ownedUpgrades(player);
    int64_t spent = 0;
    int32_t groupCounts[kGroups] = {};
    UpgradesConfiguration* upgrades = catalogue();
    for (uint32_t i = 0; i < owned.size(); ++i) {
        Upgrade* upgrade = upgrades ? upgrades->find(owned[i]) : nullptr;
        if (!upgrade) continue;
        spent += upgrade->Price;
        const int32_t group = groupOf(owned[i]);
        if (group >= 0) ++groupCounts[group];
    }
    const int64_t money = std::clamp<int64_t>(total - spent, INT32_MIN, INT32_MAX);
    money_ = engine::saturatingInt(money);

    if (scoreText_) scoreText_->setText(formatEntry(dictionary(), "Shop_ScoreTxt", money_));

    const int64_t finishedLevel = levelNumberOf(maxUnlocked);
    for (GShopButton* button : shopButtons_) {
        Upgrade* upgrade = upgradeOf(button);
        if (!upgrade || static_cast<int64_t>(upgrade->Level) - 1 > finishedLevel) {
            button->setBought(false);
            button->setPrice(0);
            button->setEnabled(false);
            button->setLocked(true);
            continue;
        }
        button->setLocked(false);
        const bool bought = contains(owned, upgrade->Name);
        button->setEnabled(!bought && upgrade->Price <= money_);
        button->setPrice(upgrade->Price);
        button->setBought(bought);
    }

    for (int32_t i = 0; i + 1 < kFeatureButtons; i += 2) {
        GShopButton* base = featurePairs_[i];
        GShopButton* second = featurePairs_[i + 1];
        if (!base || !second) continue;
        const Upgrade* upgrade = upgradeOf(base);
        const bool baseShown =
            base->isLocked() || (!base->isBought() && upgrade && upgrade->Price > 0);
        base->setVisible(baseShown);
        second->setVisible(!baseShown);
    }

    AchievementsTracker* tracker = gameServices() ? gameServices()->getAchievementsTracker() : nullptr;
    if (!tracker) return;
    bool changed = false;
    for (int32_t i = 0; i < kGroups; ++i) {
        const int32_t difference = groupCounts[i] - tracker->getProgress(i);
        if (difference == 0) continue;
        changed = true;
        if (tracker->addProgress(i, difference)) showAchievementPopup(i);
    }
    if (changed || saveTracker) tracker->save();
}

void GShopScene::refreshHighlights() {
    ProfileParameters* player = getProfileStore().getCurrentProfile();
    if (!highlightTemplate_ || !player) return;
    const int64_t levelNumber = levelNumberOf(player->getInt("LevelIndex"));
    const array<NameId> owned = ownedUpgrades(player);
    const NameId highlightName = makeNameId("ShopButtonHLNode");
    for (GShopButton* button : shopButtons_) {
        BaseNode* highlight = button->findChild(highlightName, 1);
        Upgrade* upgrade = upgradeOf(button);
        // ObligatoryLevel -1 (required by no level) never reaches a level
        // number, and a level past the selected one is not asked yet.
        const bool required = upgrade && upgrade->ObligatoryLevel >= 1 &&
                              static_cast<int64_t>(upgrade->ObligatoryLevel) - 1 <= levelNumber;
        if (!required) {
            if (highlight) highlight->enterStateInChildren(makeNameId("Off"));
            continue;
        }
        if (!highlight) {
            highlight = highlightTemplate_->clone(button, getManager());
            if (!highlight) continue;
        }
        highlight->setPosition(vector3df(0, 0, 10));
        highlight->updateAbsoluteTransform();
        highlight->updateAbsoluteColor();
        highlight->setVisible(true);
        highlight->enterStateInChildren(makeNameId(contains(owned, upgrade->Name) ? "Off" : "On"));
    }
}

bool GShopScene::showAchievementPopup(int32_t index) {
    IContentManager* content = getContentManager();
    CountedRef<BaseNode> loaded(content ? content->loadSceneNode(kAchievementScene, true) : nullptr);
    GAchievementUnlockedScene* popup = nodeCast<GAchievementUnlockedScene>(loaded.get());
    if (!popup) {
        getLogger().log("Unable to open the scene", kAchievementScene, LOG_ERROR);
        return false;
    }
    popup->showAchievement(index);
    if (SoundManager* sounds = getCurrentSoundManager()) sounds->playCue(makeNameId("AchievementUnlocked"), false, 0);
    return pushScene(popup, true, navFromName(), navToName());
}

// ---- Hint ---------------------------------------------------------------------------

void GShopScene::showHint(GShopButton* button) {
    Dictionary* words = dictionary();
    if (!hint_ || !words) return;
    Upgrade* upgrade = upgradeOf(button);
    if (!upgrade) {
        hint_->setVisible(false);
        return;
    }
    const vector3df& position = button->getPosition();
    hint_->setPosition(vector3df(position.X + button->getBounds().X / 2, position.Y, 1000));
    hint_->setVisible(true);
    if (auto* title = nodeCast<TextNode>(hint_->findChild(makeNameId("Title"), 1))) {
        title->setText(formatEntry(words, "Shop_Cost", upgrade->Price));
    }
    if (auto* info = nodeCast<TextNode>(hint_->findChild(makeNameId("Info"), 1))) info->setText(upgrade->Info);
}

bool GShopScene::onNodeHovered(NodeHoveredEvent* event) {
    GBaseSceneNode::onNodeHovered(event);
    BaseNode* node = nodeOf(event);
    if (!isShopButton(node)) return false;
    showHint(static_cast<GShopButton*>(node));
    return true;
}

bool GShopScene::onNodeUnhovered(NodeUnhoveredEvent* event) {
    GBaseSceneNode::onNodeUnhovered(event);
    if (hint_ && dictionary()) hint_->setVisible(false);
    return isShopButton(nodeOf(event));
}

// ---- Input --------------------------------------------------------------------------------

void GShopScene::closeBack() { closeScene(0, navBackFromName(), navBackToName()); }

bool GShopScene::buy(GShopButton* button) {
    ProfileParameters* player = getProfileStore().getCurrentProfile();
    Upgrade* upgrade = upgradeOf(button);
    if (!player || !upgrade || !button->isEnabled() || button->isBought() || button->isLocked()) return false;
    if (upgrade->Price > money_) return false;
    stringc text = player->getString("BoughtUpgrades");
    if (!text.empty()) text += ";";
    text += nameOfId(upgrade->Name).c_str();
    player->setString("BoughtUpgrades", text);
    refreshHighlights();
    refresh(true);
    return true;
}

bool GShopScene::onNodePressed(NodePressedEvent* event) {
    GBaseSceneNode::onNodePressed(event);
    BaseNode* node = event ? event->getNode() : nullptr;
    if (!node) return false;
    const NameId name = node->getName();
    if (name == makeNameId("BackButton")) {
        closeBack();
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
    if (isShopButton(node)) buy(static_cast<GShopButton*>(node));
    return false;
}

bool GShopScene::onEvent32(KeyUpEvent* event) {
    const int32_t key = event ? event->getKey() : 0;
    if (key == KeyCode::Escape) {
        closeBack();
        return true;
    }
    if (developerModeEnabled && key == kKeyU) {
        ProfileParameters* player = getProfileStore().getCurrentProfile();
        UpgradesConfiguration* upgrades = catalogue();
        if (player && upgrades) {
            stringc text;
            for (const auto& entry : upgrades->upgrades()) {
                if (!text.empty()) text += ";";
                text += nameOfId(entry.first).c_str();
            }
            player->setString("BoughtUpgrades", text);
            refreshHighlights();
            refresh(true);
        }
        return true;
    }
    return GBaseSceneNode::onEvent32(event);
}

}  // namespace game
