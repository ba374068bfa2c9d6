#include "game/menus/GSelectPlayerScenes.h"
#include "engine/content/Dictionary.h"
#include "engine/content/ProfileStore.h"
#include "engine/controls/EditNode.h"
#include "engine/controls/ListNode.h"
#include "engine/core/ControlNode.h"
#include "engine/core/KeyCodes.h"
#include "engine/core/Logger.h"
#include "engine/core/SceneManager.h"
#include "engine/platform/EngineDevice.h"
#include "engine/visual/TextNode.h"
#include "game/common/GameServices.h"
#include "game/common/AchievementsTracker.h"

namespace game {

using namespace engine;

namespace {

BaseNode* findDirect(BaseNode* parent, const char* name) {
    return parent ? parent->findChild(makeNameId(name), 1) : nullptr;
}

void enable(ControlNode* control, bool enabled) {
    if (control) control->setEnabled(enabled);
}

bool isPressOf(NodePressedEvent* event, const char* name) {
    return event && event->getNode() && event->getNode()->getName() == makeNameId(name);
}

bool isKeyUp(KeyUpEvent* event, int32_t key) { return event && event->getKey() == key; }

}  // namespace

const char* playerNameProblem(const stringw& name, int32_t maxLength) {
    bool blank = true;
    bool control = false;
    for (uint32_t i = 0; i < name.size(); ++i) {
        const wchar_t c = name[i];
        if (c != L' ' && c != L'\t') blank = false;
        // A line break or another control character would show as nothing
        // in the lists and greetings.
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) control = true;
    }
    if (blank) return "SelectPlayer_NameEmpty";
    if (control) return "SelectPlayer_NameInvalid";
    if (maxLength > 0 && name.size() > static_cast<uint32_t>(maxLength)) return "SelectPlayer_NameTooLong";
    if (getProfileStore().findProfile(name)) return "SelectPlayer_NameTaken";
    return nullptr;
}

GSelectPlayerScene::GSelectPlayerScene(const CreationContext* context, BaseNode* parent, BaseNode* manager,
                                       bool mostDerived)
    : GBaseSceneNode(context, parent, manager, false) {
    linkToParent(parent, mostDerived);
}

void GSelectPlayerScene::onLoaded() {
    BaseNode* scene = findDirect(this, "Scene");
    playersList_ = nodeCast<ListNode>(findDirect(scene, "PlayersList"));
    okButton_ = nodeCast<ControlNode>(findDirect(scene, "OkButton"));
    newPlayerButton_ = nodeCast<ControlNode>(findDirect(scene, "NewPlayerButton"));
    deletePlayerButton_ = nodeCast<ControlNode>(findDirect(scene, "DeletePlayerButton"));
}

void GSelectPlayerScene::updateButtons() {
    const uint32_t count = getProfileStore().getProfileCount();
    enable(okButton_, count > 0);
    enable(newPlayerButton_, count < kMaxPlayers);
    enable(deletePlayerButton_, count > 0);
}

bool GSelectPlayerScene::onSceneActivated(SceneActivatedEvent* event) {
    GBaseSceneNode::onSceneActivated(event);
    if (!event) return false;
    const uint32_t count = getProfileStore().getProfileCount();
    if (event->getSecondScene() == this) {
        if (event->isForward()) {
            fillList(true);
        } else {
            fillList(false);
            if (playersList_) {
                if (count != knownPlayerCount_ && count > 0)
                    playersList_->selectItem(static_cast<int32_t>(count) - 1, true);
                playersList_->setFocused(true);
            }
        }
        knownPlayerCount_ = count;
        updateButtons();
        return true;
    }
    if (event->getFirstScene() == this) {
        knownPlayerCount_ = count;
        return true;
    }
    return false;
}

void GSelectPlayerScene::fillList(bool selectCurrent) {
    if (!playersList_) return;
    ProfileStore& store = getProfileStore();
    playersList_->setItemCount(static_cast<int32_t>(store.getProfileCount()));
    for (uint32_t i = 0; i < store.getProfileCount(); ++i) {
        ProfileParameters* player = store.getProfile(i);
        playersList_->setItemText(static_cast<int32_t>(i), 0, player ? player->getPlayerName() : stringw());
        if (selectCurrent && player && player == store.getCurrentProfile())
            playersList_->selectItem(static_cast<int32_t>(i), true);
    }
    playersList_->updateElements();
}

void GSelectPlayerScene::confirm() {
    ProfileStore& store = getProfileStore();
    const int32_t index = playersList_ ? playersList_->getSelectedItem() : 0;
    if (index < 0 || static_cast<uint32_t>(index) >= store.getProfileCount()) return;
    store.selectProfile(static_cast<uint32_t>(index));
    ProfileParameters* player = store.getCurrentProfile();
    if (!player) return;
    store.savePlayerProfiles();
    if (gameServices()) {
        gameServices()->applySoundSettings();
        if (AchievementsTracker* tracker = gameServices()->getAchievementsTracker())
            tracker->load(player->getString("AchievementsProgress"));
    }
    closeScene(0, kNoName, makeNameId("NavBackToSlide"));
}

void GSelectPlayerScene::deleteSelected() {
    ProfileStore& store = getProfileStore();
    if (playersList_) {
        const int32_t index = playersList_->getSelectedItem();
        if (index >= 0 && static_cast<uint32_t>(index) < store.getProfileCount()) {
            store.removeProfile(static_cast<uint32_t>(index));
            store.savePlayerProfiles();
            fillList(false);
            const int32_t count = static_cast<int32_t>(store.getProfileCount());
            if (count > 0) playersList_->selectItem(index < count ? index : count - 1, true);
        }
    }
    updateButtons();
}

bool GSelectPlayerScene::onNodePressed(NodePressedEvent* event) {
    GBaseSceneNode::onNodePressed(event);
    if (isPressOf(event, "OkButton")) {
        confirm();
    } else if (isPressOf(event, "NewPlayerButton")) {
        openSceneOrLog(*this, "scenes/SelectPlayerInputNameScene.oscn", true, navFromName(), navToName());
    } else if (isPressOf(event, "DeletePlayerButton")) {
        array<stringw> buttons;
        buttons.push_back(L"%Yes%");
        buttons.push_back(L"%No%");
        deleteAsked_ = showMessageBox(makeNameId("MessageBox2Buttons"), buttons, stringw(),
                                      L"%SelectPlayer_WantDelete%") != nullptr;
    } else {
        return false;
    }
    return true;
}

bool GSelectPlayerScene::onMessageBoxResult(MessageBoxResultEvent* event) {
    GBaseSceneNode::onMessageBoxResult(event);
    const bool asked = deleteAsked_;
    deleteAsked_ = false;
    if (asked && event && event->getResult() == 0) deleteSelected();
    return true;
}

bool GSelectPlayerScene::onEvent32(KeyUpEvent* event) {
    if (GBaseSceneNode::onEvent32(event)) return true;
    if (!isKeyUp(event, KeyCode::Escape) && !isKeyUp(event, KeyCode::Enter)) return false;
    confirm();
    return true;
}

GSelectPlayerInputNameScene::GSelectPlayerInputNameScene(const CreationContext* context, BaseNode* parent,
                                                         BaseNode* manager, bool mostDerived)
    : GBaseSceneNode(context, parent, manager, false) {
    linkToParent(parent, mostDerived);
}

void GSelectPlayerInputNameScene::onLoaded() {
    BaseNode* scene = findDirect(this, "Scene");
    nameEdit_ = nodeCast<EditNode>(findDirect(scene, "NameEdit"));
    okButton_ = nodeCast<ControlNode>(findDirect(scene, "OkButton"));
    hintText_ = nodeCast<TextNode>(findDirect(scene, "HintText"));
}

void GSelectPlayerInputNameScene::checkName() {
    const stringw name = nameEdit_ ? nameEdit_->getText() : stringw();
    const char* problem = playerNameProblem(name, nameEdit_ ? nameEdit_->getMaxTextLength() : 0);
    enable(okButton_, !problem);
    if (!hintText_) return;
    // An empty field needs no complaint before the player has typed.
    EngineDevice* engine = getEngine();
    Dictionary* dictionary = engine ? engine->getDictionary() : nullptr;
    hintText_->setText(problem && !name.empty() && dictionary ? dictionary->lookup(problem) : stringw());
}

bool GSelectPlayerInputNameScene::onSceneActivated(SceneActivatedEvent* event) {
    GBaseSceneNode::onSceneActivated(event);
    if (!event || event->getSecondScene() != this) return false;
    if (nameEdit_) {
        nameEdit_->setText(stringw());
        // The player types the name at once, without clicking the field first.
        nameEdit_->setFocused(true);
    }
    checkName();
    return true;
}

bool GSelectPlayerInputNameScene::onValueChanged(ValueChangedEvent* event) {
    GBaseSceneNode::onValueChanged(event);
    checkName();
    return false;
}

bool GSelectPlayerInputNameScene::createPlayer() {
    const stringw name = nameEdit_ ? nameEdit_->getText() : stringw();
    if (playerNameProblem(name, nameEdit_ ? nameEdit_->getMaxTextLength() : 0)) {
        checkName();
        return false;
    }
    ProfileStore& store = getProfileStore();
    if (!store.addProfile(name)) return false;
    store.savePlayerProfiles();
    closeScene(0, navBackFromName(), navBackToName());
    return true;
}

bool GSelectPlayerInputNameScene::onNodePressed(NodePressedEvent* event) {
    GBaseSceneNode::onNodePressed(event);
    if (isPressOf(event, "OkButton")) {
        createPlayer();
    } else if (isPressOf(event, "CancelButton")) {
        closeScene(0, navBackFromName(), navBackToName());
    } else {
        return false;
    }
    return true;
}

bool GSelectPlayerInputNameScene::onEvent32(KeyUpEvent* event) {
    if (GBaseSceneNode::onEvent32(event)) return true;
    if (isKeyUp(event, KeyCode::Escape)) {
        closeScene(0, navBackFromName(), navBackToName());
        return true;
    }
    if (isKeyUp(event, KeyCode::Enter)) {
        if (okButton_ && okButton_->isEnabled()) createPlayer();
        return true;
    }
    return false;
}

}  // namespace game
