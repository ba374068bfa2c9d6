#include "game/menus/GComicsScene.h"
#include "engine/audio/SoundManager.h"
#include "engine/core/Event.h"
#include "engine/core/KeyCodes.h"
#include "engine/core/Logger.h"
#include "engine/core/SceneManager.h"
#include "game/flow/GLoadingLevelScene.h"

namespace game {

using namespace engine;

namespace {

const char* const kLoadingScene = "scenes/LoadingLevelScene.oscn";
const char* const kAuctionLevel = "minigame_auction";

struct ComicsNames {
    NameId scene = makeNameId("Scene");
    NameId darkBg = makeNameId("DarkBg");
    NameId backButton = makeNameId("BackButton");
    NameId parts = makeNameId("Parts");
    NameId bg = makeNameId("Bg");
    NameId marker = makeNameId("NavToMini3Marker");
    NameId textBg = makeNameId("TextBg");
    NameId textBgNoWait = makeNameId("TextBgNoWait");
    NameId textBgNoDisappear = makeNameId("TextBgNoDisappear");
    NameId onAppear = makeNameId("OnAppear");
    NameId onDisappear = makeNameId("OnDisappear");
    NameId unhide = makeNameId("Unhide");
    NameId navFromComics3 = makeNameId("NavFromComics3");
    NameId navToComics3 = makeNameId("NavToComics3");
};

const ComicsNames& names() {
    static const ComicsNames n;
    return n;
}

bool isTextBox(const BaseNode* node) {
    const NameId name = node->getName();
    return name == names().textBg || name == names().textBgNoWait || name == names().textBgNoDisappear;
}

bool advancesByItself(const BaseNode* node) {
    return node->getName() == names().textBgNoWait || node->getName() == names().textBgNoDisappear;
}

}  // namespace

GComicsScene::GComicsScene(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived)
    : GBaseSceneNode(context, parent, manager, false) {
    linkToParent(parent, mostDerived);
    setPeriod(30);
}

GComicsScene::~GComicsScene() {
    // The parts and their backgrounds keep plain pointers to this scene.
    stopListening();
    if (partsNode_) partsNode_->removeListener(this);
}

void GComicsScene::onLoaded() {
    stopListening();
    if (partsNode_) partsNode_->removeListener(this);
    darkBg_ = nullptr;
    partsNode_ = nullptr;
    backButton_ = nullptr;
    parts_.clear();
    textBoxes_.clear();
    BaseNode* scene = findChild(names().scene, 1);
    if (!scene) {
        getLogger().log("Comics scene without a Scene node: it shows nothing", LOG_ERROR);
        return;
    }
    darkBg_ = scene->findChild(names().darkBg, 1);
    backButton_ = scene->findChild(names().backButton, 1);
    if (backButton_) backButton_->setVisible(false);
    partsNode_ = scene->findChild(names().parts, 1);
    if (partsNode_) {
        // The parts' appearing and disappearing end on Parts.
        partsNode_->addListener(this);
        const array<BaseNode*>& children = partsNode_->getChildren();
        for (uint32_t i = 0; i < children.size(); ++i) parts_.push_back(children[i]);
    }
    for (BaseNode* part : parts_) part->setVisible(false);
    if (backButton_ && parts_.empty()) backButton_->setVisible(true);
}

bool GComicsScene::isPartIndexValid() const {
    return partIndex_ >= 0 && static_cast<size_t>(partIndex_) < parts_.size();
}

bool GComicsScene::isTextIndexValid() const {
    return textIndex_ >= 0 && static_cast<size_t>(textIndex_) < textBoxes_.size();
}

bool GComicsScene::isPastLastText() const {
    return !textBoxes_.empty() && textIndex_ >= 0 && static_cast<size_t>(textIndex_) >= textBoxes_.size();
}

BaseNode* GComicsScene::currentPart() const { return isPartIndexValid() ? parts_[partIndex_] : nullptr; }

void GComicsScene::listenToBg(BaseNode* bg) {
    stopListening();
    listenedBg_ = bg;
    // The texts' appearing and disappearing end on their Bg.
    if (bg) bg->addListener(this);
}

void GComicsScene::stopListening() {
    if (listenedBg_) listenedBg_->removeListener(this);
    listenedBg_ = nullptr;
}

void GComicsScene::closeComic() {
    closeScene(0, navBackFromName(), navBackToName());
}

// ---- Scene events ----------------------------------------------------------------

bool GComicsScene::onSceneActivated(SceneActivatedEvent* event) {
    GBaseSceneNode::onSceneActivated(event);
    if (!event || event->getSecondScene() != this) return false;
    if (SoundManager* sounds = getCurrentSoundManager()) sounds->playCue(makeNameId("ComicsMusic"), true, 0);
    return true;
}

bool GComicsScene::onSceneEvent37(SceneTransitionEndEvent* event) {
    if (GBaseSceneNode::onSceneEvent37(event)) return true;
    if (!event || event->getSecondScene() != this) return false;
    // Opened: from the first part. Revealed after the mini-game: the part
    // that opened it (its index was stepped back).
    if (event->isForward()) partIndex_ = -1;
    nextPart();
    return true;
}

bool GComicsScene::onNodePressed(NodePressedEvent* event) {
    if (GBaseSceneNode::onNodePressed(event)) return true;
    BaseNode* node = event ? event->getNode() : nullptr;
    if (node && node == backButton_) {
        closeComic();
        return true;
    }
    if (partClosing_) return false;
    nextText();
    return true;
}

bool GComicsScene::onEvent32(KeyUpEvent* event) {
    if (GBaseSceneNode::onEvent32(event)) return true;
    if (!event || event->getKey() != KeyCode::Escape) return false;
    closeComic();
    return true;
}

// ---- Parts and texts ---------------------------------------------------------------

void GComicsScene::nextPart() {
    waitMs_ = 0;
    stopListening();
    if (partIndex_ < -1) partIndex_ = -1;
    ++partIndex_;
    if (static_cast<size_t>(partIndex_) >= parts_.size()) {
        partIndex_ = static_cast<int32_t>(parts_.size());
        if (backButton_) {
            backButton_->setVisible(true);
            backButton_->setState(names().onAppear, nullptr);
        }
        return;
    }
    BaseNode* part = parts_[partIndex_];
    if (!miniGameOpened_ && part->findChild(names().marker, 1)) {
        miniGameOpened_ = true;
        SceneNode* opened = openSceneOrLog(*this, kLoadingScene, true, names().navFromComics3, names().navToComics3);
        if (opened) {
            if (auto* loading = dynamic_cast<GLoadingLevelScene*>(opened)) loading->setLevelName(kAuctionLevel);
            // The part is shown when the comic comes back.
            --partIndex_;
            return;
        }
        // Nothing would bring the comic back: it goes on with the part.
        getLogger().log("The comic could not open the auction; it goes on without it", kLoadingScene, LOG_INFO);
    }

    textBoxes_.clear();
    if (BaseNode* bg = part->findChild(names().bg, 1)) {
        listenToBg(bg);
        const array<BaseNode*>& children = bg->getChildren();
        for (uint32_t i = 0; i < children.size(); ++i) {
            if (isTextBox(children[i])) textBoxes_.push_back(children[i]);
        }
    }
    for (BaseNode* text : textBoxes_) text->setVisible(false);
    textIndex_ = -1;
    partClosing_ = false;
    part->setVisible(true);
    enterPartState(part, names().onAppear);
    playCue("ObjectivesWindow");
}

void GComicsScene::nextText() {
    // Before the first part (-1) and after the last there is no text.
    if (partIndex_ < 0 || static_cast<size_t>(partIndex_) >= parts_.size()) return;
    waitMs_ = 0;
    const int32_t part = partIndex_;
    BaseNode* leaving =
        isTextIndexValid() && textBoxes_[textIndex_]->getName() == names().textBg ? textBoxes_[textIndex_] : nullptr;
    if (static_cast<size_t>(textIndex_ + 1) <= textBoxes_.size()) ++textIndex_;
    if (leaving) {
        // Counted past it first: a text without the state has left at once,
        // and when it was the last one the part has begun to close.
        leaving->setState(names().onDisappear, nullptr);
        if (partIndex_ != part || partClosing_) return;
    }
    if (isTextIndexValid()) {
        BaseNode* text = textBoxes_[textIndex_];
        text->setVisible(true);
        text->setState(names().onAppear, nullptr);
        playCue("ComicsText");
        return;
    }
    // A part with texts closes when its last text has gone.
    if (!textBoxes_.empty()) return;
    partClosing_ = true;
    enterPartState(parts_[partIndex_], names().onDisappear);
}

void GComicsScene::closePart() {
    BaseNode* part = currentPart();
    if (!part) return;
    waitMs_ = 0;
    for (BaseNode* text : textBoxes_) {
        if (text->getName() != names().textBgNoDisappear) text->setVisible(false);
    }
    partClosing_ = true;
    // The background first: the part's state may end at once and move on.
    const int32_t closing = partIndex_;
    if (darkBg_) {
        if (closing == 0) darkBg_->setState(names().onAppear, nullptr);
        if (static_cast<size_t>(closing) + 1 == parts_.size()) {
            darkBg_->setState(names().onDisappear, nullptr);
            for (int32_t i = 0; i < closing; ++i) enterPartState(parts_[i], names().unhide);
        }
    }
    enterPartState(part, names().onDisappear);
}

void GComicsScene::enterPartState(BaseNode* part, NameId state) {
    if (part->getChildren().empty()) {
        // A part without children ends the state on itself, where nothing
        // hears it: it has ended here and now.
        partStateEnded(part, state);
        return;
    }
    part->enterStateInChildren(state);
}

void GComicsScene::partStateEnded(BaseNode* part, NameId state) {
    if (!part || part != currentPart()) return;
    if (state == names().onAppear) {
        // The first text, unless a click while the part came up showed it.
        if (textIndex_ < 0 && !partClosing_) nextText();
    } else if (state == names().onDisappear && partClosing_) {
        partClosing_ = false;
        nextPart();
    }
}

bool GComicsScene::onEvent74(NodeStateFinishedEvent* event) {
    if (event) partStateEnded(event->getNode(), event->getName());
    return GBaseSceneNode::onEvent74(event);
}

bool GComicsScene::onEvent70(NodeTagReachedEvent* event) {
    if (event && isPartIndexValid()) {
        BaseNode* node = event->getNode();
        const NameId state = event->getName();
        if (isTextIndexValid() && node == textBoxes_[textIndex_]) {
            if (state == names().onAppear && advancesByItself(node)) nextText();
        } else if (isPastLastText() && node == textBoxes_.back() && state == names().onDisappear &&
                   !partClosing_) {
            closePart();
        }
    }
    return GBaseSceneNode::onEvent70(event);
}

bool GComicsScene::onTimer(uint32_t periodMs) {
    GBaseSceneNode::onTimer(periodMs);
    // Waiting, with no click able to help, for the part to go or for its
    // last text to go.
    const bool lastTextLeaving =
        isPartIndexValid() && isPastLastText() && textBoxes_.back()->getName() == names().textBg;
    if (!isPartIndexValid() || (!partClosing_ && !lastTextLeaving)) {
        waitMs_ = 0;
        return true;
    }
    waitMs_ += periodMs;
    if (waitMs_ < kAnimationWaitLimitMs) return true;
    waitMs_ = 0;
    BaseNode* part = currentPart();
    getLogger().log(partClosing_ ? "A comics part did not end its OnDisappear; the comic goes on"
                                 : "A comics text did not end its OnDisappear; the part closes",
                    nameOfId(part->getName()).c_str(), LOG_ERROR);
    if (partClosing_) {
        partClosing_ = false;
        nextPart();
    } else {
        closePart();
    }
    return true;
}

}  // namespace game
