// The building node: binding of its overlays, record and job bookkeeping,
// ownership, stars and workers, sounds, input and its own clock. Service,
// income and sale are in BuildingService.cpp; conditions and features in
// BuildingConditions.cpp.
#include "game/level/GBuildingNode.h"
#include "engine/audio/SoundManager.h"
#include "engine/core/Logger.h"
#include "engine/core/MathRoutines.h"
#include "engine/core/PropertyData.h"
#include "engine/core/PropertySet.h"
#include "engine/core/TemplateCollectionNode.h"
#include "engine/core/TimerScheduler.h"
#include "engine/visual/AtlasTexture.h"
#include "game/config/UpgradesConfiguration.h"
#include "game/level/GGameLevelScene.h"
#include "game/level/tasks/GBuildingTask.h"

#include <cmath>
#include <string>

using namespace engine;

namespace game {

namespace {

constexpr uint32_t kOpaqueWhite = 0xFFFFFFFFu;
constexpr int32_t kStateSoundFadeMs = 1000;

GBuildingNode& buildingOf(PropertyTableOwner& o) { return static_cast<GBuildingNode&>(o); }

void setOwnedEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    buildingOf(o).setOwned(boolFromProperty(v));
}
CountedRef<IPropertyData> getOwnedEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeBoolProperty(buildingOf(o).isOwnedByThePlayer()));
}
void setLuckinessEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    buildingOf(o).setLuckinessType(intFromProperty(v));
}
CountedRef<IPropertyData> getLuckinessEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeIntProperty(buildingOf(o).getLuckinessType()));
}

NameId nameId(const char* name) { return makeNameId(name); }

BaseNode* childNamed(const BaseNode* node, const char* name) { return node ? directChild(*node, name) : nullptr; }

}  // namespace

NameId GBuildingNode::featureStateName(size_t index, bool stop) {
    std::string name = "Feature" + std::to_string(index + 1);
    if (stop) name += "Stop";
    return makeNameId(name.c_str());
}

GBuildingNode::GBuildingNode(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived)
    : ControlNode(context, parent, manager, false), record_(new GBuildingConfig()) {
    setPeriod(kTickMs);
    linkToParent(parent, mostDerived);
}

// The timer leaves its scheduler with the TimerListener part.
GBuildingNode::~GBuildingNode() { stopStateSound(); }

// ---- Properties ------------------------------------------------------------------

const PropertyTable& GBuildingNode::classPropertyTable() {
    static const PropertyTable table = [] {
        PropertyTable t;
        appendPropertyTable(t, ControlNode::classPropertyTable());
        t.add("IsOwnedByThePlayer", &setOwnedEntry, &getOwnedEntry);
        t.add("LuckinessType", &setLuckinessEntry, &getLuckinessEntry);
        return t;
    }();
    return table;
}

const PropertyTable& GBuildingNode::getPropertyTable() const { return classPropertyTable(); }

void GBuildingNode::writeProperties(PropertySet* set) {
    if (!set) return;
    ControlNode::writeProperties(set);
    if (ownedByPlayer_) set->setBool("IsOwnedByThePlayer", true);
    if (luckinessType_ != 0) set->addInt("LuckinessType", luckinessType_);
}

void GBuildingNode::readProperties(PropertySet* set) {
    if (!set) return;
    ControlNode::readProperties(set);
    if (set->indexOf("IsOwnedByThePlayer") >= 0) setOwned(set->getBool("IsOwnedByThePlayer"));
    if (set->indexOf("LuckinessType") >= 0) setLuckinessType(set->getInt("LuckinessType"));
}

void GBuildingNode::copyFrom(BaseNode* source, BaseNode* manager) {
    ControlNode::copyFrom(source, manager);
    GBuildingNode* other = nodeCast<GBuildingNode>(source);
    if (!other || other == this) return;
    ownedByPlayer_ = other->ownedByPlayer_;
    luckinessType_ = other->luckinessType_;
    record_ = other->record_;
}

// ---- Template binding ----------------------------------------------------------------

TemplateCollectionNode* GBuildingNode::templates() const {
    BaseNode* manager = getManager();
    return manager ? manager->getTemplateCollection() : nullptr;
}

BaseNode* GBuildingNode::instantiate(const char* templateName, BaseNode* parent, bool ghost) {
    TemplateCollectionNode* collection = templates();
    BaseNode* found = collection ? collection->getTemplate(nameId(templateName)) : nullptr;
    if (!found || !parent) return nullptr;
    BaseNode* node = found->clone(parent, parent->getManager());
    // Marked after it joined: it stays a drawn child but is neither copied
    // with the building nor written with the level.
    if (node && ghost) node->setGhost(true);
    return node;
}

void GBuildingNode::applyTemplate() {
    if (!getOwnerScene()) return;
    CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(this);
    ControlNode::applyTemplate();
    ControlNode* root = getTemplateRoot();
    if (root) {
        if (levelConfig_) {
            enterStateInChildren(makeNameId(("Setting" + std::to_string(levelConfig_->settingIndex)).c_str()));
        }
        enterStateInChildren(nameId("Done"));
        setOwned(ownedByPlayer_);
    }

    // SmileIcon: the building's own, else the template's, else an instance.
    smileIcon_.reset();
    TextNode* smile = nodeCast<TextNode>(childNamed(this, "SmileIcon"));
    if (!smile) smile = nodeCast<TextNode>(childNamed(root, "SmileIcon"));
    bool madeSmile = false;
    if (!smile && root) {
        BaseNode* made = instantiate("SmileIcon", root, true);
        smile = nodeCast<TextNode>(made);
        if (made && !smile) root->removeChild(made);
        madeSmile = smile != nullptr;
    }
    if (smile) {
        smileIconHome_ = smile->getPosition();
        if (levelConfig_ && levelConfig_->isBuildingPlaceLuckinessOn) {
            smileIcon_ = CountedRef<TextNode>::share(smile);
        } else {
            smile->setVisible(false);
            if (madeSmile) root->removeChild(smile);
        }
    }

    if (!phoneIcon_) {
        if (BaseNode* phone = instantiate("PhoneIcon", this, true)) {
            phone->setVisible(false);
            phoneIcon_ = CountedRef<BaseNode>::share(phone);
        }
    }
    if (!forSaleNode_) {
        BaseNode* sale = childNamed(this, "ForSaleNode");
        if (!sale) sale = instantiate("ForSaleNode", this, true);
        if (sale) {
            sale->setVisible(false);
            forSaleNode_ = CountedRef<BaseNode>::share(sale);
            priceText_ = nodeCast<TextNode>(childNamed(sale, "PriceText"));
        }
    }

    selector_ = childNamed(root, "Selector");
    if (selector_ && isFocused()) {
        selector_->setState(nameId("Focus"), nullptr);
        root->setTintColor(SColor(kOpaqueWhite));
    }

    if (!serveArea_) {
        if (BaseNode* area = instantiate("ServeArea", this, true)) {
            area->setVisible(false);
            serveArea_ = CountedRef<BaseNode>::share(area);
        }
    }

    starIcons_.reset();
    stars_.clear();
    if (levelConfig_ && levelConfig_->isBuildingLevelOn) {
        if (BaseNode* icons = childNamed(root, "StarIcons")) {
            icons->setVisible(true);
            starIcons_ = CountedRef<BaseNode>::share(icons);
            for (uint32_t i = 0; i < icons->getChildCount(); ++i) {
                if (SpriteNode* star = nodeCast<SpriteNode>(icons->getChild(i))) stars_.push_back(star);
            }
        }
    }

    workersText_.reset();
    TextNode* workers = nodeCast<TextNode>(childNamed(this, "WorkersText"));
    if (!workers) workers = nodeCast<TextNode>(childNamed(root, "WorkersText"));
    if (!workers && root) {
        BaseNode* made = instantiate("WorkersText", root, true);
        workers = nodeCast<TextNode>(made);
        if (made && !workers) root->removeChild(made);
        if (workers) workersTextHome_ = workers->getPosition();
    }
    if (workers) {
        workers->setVisible(false);
        workersText_ = CountedRef<TextNode>::share(workers);
    }

    if (!feature1Icon_) {
        if (BaseNode* icon = instantiate("Feature1Icon", this, true)) {
            icon->setVisible(false);
            feature1Icon_ = CountedRef<BaseNode>::share(icon);
            feature1IconHome_ = icon->getPosition();
        }
    }
    if (!feature2Icon_) {
        if (BaseNode* icon = instantiate("Feature2Icon", this, true)) {
            icon->setVisible(false);
            feature2Icon_ = CountedRef<BaseNode>::share(icon);
            feature2IconHome_ = icon->getPosition();
        }
    }
    if (!moneyBurst_) {
        if (BaseNode* burst = instantiate("MoneyBurst", this, true)) {
            burst->setVisible(false);
            moneyBurst_ = CountedRef<BaseNode>::share(burst);
        }
    }

    updateStars(-1, -1);
    updateSmileIcon();
    updateFeatureIcons();
    setForSale(forSale_);
    setBuyRequestPending(buyRequestPending_);
    setCondition(condition_);

    TimerScheduler* scheduler = getOwnerScene()->getTimerScheduler();
    if (scheduler != TimerListener::getTimerScheduler()) setTimerScheduler(scheduler);
}

// ---- Record and job ----------------------------------------------------------------------

void GBuildingNode::setRecord(GBuildingConfig* record, bool restore) {
    if (!record) {
        getLogger().log("A building place was given no building record; it keeps its own",
                        nameOfId(getName()).c_str(), LOG_ERROR);
        return;
    }
    previousRecord_ = record_;
    record_.reset(record->copy());
    const std::vector<GActiveFeatureConfig>& features = record_->ActiveFeatures;

    if (restore) {
        if (condition_ != savedCondition_) setCondition(savedCondition_);
        featureStates_ = savedFeatureStates_;
        for (size_t i = 0; i < featureStates_.size(); ++i) {
            FeatureState& entry = featureStates_[i];
            entry.boost = false;
            entry.boostCountdown = 0;
            if (entry.state != kFeatureActive) continue;
            const int32_t index = static_cast<int32_t>(i);
            enterStateInChildren(featureStateName(i, true));
            stopStateSound();
            const GActiveFeatureConfig* feature = i < features.size() ? &features[i] : nullptr;
            const int32_t recharge = feature ? feature->rechargeTime : 0;
            // A feature without a running time has used all of it.
            const double used = feature && feature->durationTime > 0
                                    ? 1.0 - static_cast<double>(entry.remaining) / feature->durationTime
                                    : 1.0;
            entry.state = kFeatureRecharging;
            entry.remaining = saturatingInt(used * recharge);
            if (BaseNode* icon = getFeatureIcon(index)) icon->enterStateInChildren(nameId("Recharging"));
        }
    } else {
        featureStates_.assign(features.size(), FeatureState());
        for (BaseNode* icon : {feature1Icon_.get(), feature2Icon_.get()}) {
            if (!icon) continue;
            showFeatureIconProgress(icon, 1.0f);
            icon->enterStateInChildren(nameId("Ready"));
        }
    }

    if (record_->Type >= 3) {
        setCondition(kNeedsRestoring);
    } else if (record_->Type == 2 && record_->ServeAreaIncomeBonus > 0.0f && !ownedByPlayer_ && levelConfig_ &&
               levelConfig_->isNotOwnedDecorationsDirty) {
        setCondition(kDirty);
    }
    updateStars(-1, -1);
    updateSmileIcon();
    claimServedBuildings();
}

void GBuildingNode::saveState() {
    savedCondition_ = condition_;
    savedFeatureStates_ = featureStates_;
}

void GBuildingNode::setJob(int32_t jobState, GBuildingTask* job) {
    if (jobState == kDestructionJob) {
        for (size_t i = 0; i < featureStates_.size(); ++i) {
            if (featureStates_[i].state == kFeatureActive) {
                enterStateInChildren(featureStateName(i, true));
            }
        }
    }
    jobState_ = jobState;
    job_ = job;
    updateStars(-1, -1);
    updateSmileIcon();
    updateFeatureIcons();
}

bool GBuildingNode::clearJob(GBuildingTask* task) {
    if (!task || task != job_) return false;
    setJob(kNoJob, nullptr);
    return true;
}

void GBuildingNode::cancelJob() {
    if (!job_) return;
    CountedRef<GBuildingTask> keep = CountedRef<GBuildingTask>::share(job_);
    keep->cancel();
}

float GBuildingNode::jobProgress() const {
    if (jobState_ == kNoJob) return 1.0f;
    if (!job_) return 0.0f;
    return job_->getProgress();
}

// ---- Ownership and overlays ----------------------------------------------------------------

void GBuildingNode::setOwned(bool owned) {
    ownedByPlayer_ = owned;
    // The node's own tint multiplies everything it draws; the body's additive
    // highlight is tintBody's and stays as it is.
    setTintColor(SColor(kOpaqueWhite));
    if (owned) {
        enterStateInChildren(nameId("Owned"));
        if (ControlNode* root = getTemplateRoot()) root->setTintColor(SColor(kOpaqueWhite));
    } else {
        enterStateInChildren(nameId("NotOwned"));
    }
    updateStars(-1, -1);
    updateFeatureIcons();
}

void GBuildingNode::updateStars(int32_t stars, int32_t hiddenIndex) {
    if (!starIcons_) return;
    if (stars == -1) {
        if (jobState_ == kConstructionJob) {
            stars = previousRecord_ ? previousRecord_->Level : 0;
        } else {
            stars = record_ ? record_->Level : 0;
        }
    }
    if (!ownedByPlayer_ || stars == 0 || !record_ || record_->Type != 0) {
        starIcons_->setVisible(false);
        return;
    }
    starIcons_->setVisible(true);
    CountedRef<AtlasTextureContent> empty(loadAtlasTexture(getContentManager(), "levels/common/Stars/EmptyStar.png", true));
    CountedRef<AtlasTextureContent> filled(
        loadAtlasTexture(getContentManager(), "levels/common/Stars/FilledStar.png", true));
    for (size_t i = 0; i < stars_.size(); ++i) {
        const int32_t number = static_cast<int32_t>(i) + 1;
        SpriteNode* star = stars_[i];
        if (number == hiddenIndex) {
            star->setVisible(false);
            continue;
        }
        star->setVisible(true);
        AtlasTextureContent* texture = number < stars ? filled.get() : empty.get();
        if (texture) star->setAtlasTexture(texture);
    }
}

void GBuildingNode::showWorkers(int32_t workers) {
    if (workersText_) {
        if (workers != 0) {
            workersText_->setText(stringw(L"x") + stringw(workers));
            workersText_->setVisible(true);
        } else {
            workersText_->setVisible(false);
        }
    }
    placeOverlayIcons();
}

void GBuildingNode::placeOverlayIcons() {
    const auto isZero = [](const vector3df& v) {
        return std::fabs(v.X) <= 1e-6f && std::fabs(v.Y) <= 1e-6f && std::fabs(v.Z) <= 1e-6f;
    };
    if (!isZero(smileIconHome_) && !isZero(workersTextHome_)) {
        const bool smileShown = smileIcon_ && smileIcon_->isVisible();
        const bool workersShown = workersText_ && workersText_->isVisible();
        if (smileShown) {
            smileIcon_->setPosition(smileIconHome_);
            if (workersShown) workersText_->setPosition(workersTextHome_);
        } else if (workersShown) {
            workersText_->setPosition(smileIconHome_);
        }
    }
    updateFeatureIcons();
}

BaseNode* GBuildingNode::getFeatureIcon(int32_t index) const {
    return index == 0 ? feature1Icon_.get() : feature2Icon_.get();
}

void GBuildingNode::updateFeatureIcons() {
    bool show1 = isFeatureAvailable(0);
    bool show2 = isFeatureAvailable(1);
    const bool blocked = (workersText_ && workersText_->isVisible()) || !ownedByPlayer_ || !isOperating() ||
                         !record_ || record_->Type == 5;
    if (blocked) show1 = show2 = false;
    if (feature1Icon_) feature1Icon_->setVisible(show1);
    if (feature2Icon_) feature2Icon_->setVisible(show2);
    // A template collection may lack either icon: a feature without its icon
    // is simply not shown.
    if (!feature1Icon_) show1 = false;
    if (!feature2Icon_) show2 = false;
    if (show1 && show2) {
        feature1Icon_->setPosition(feature1IconHome_);
        feature2Icon_->setPosition(feature2IconHome_);
    } else if (show1 || show2) {
        BaseNode* icon = show1 ? feature1Icon_.get() : feature2Icon_.get();
        if (icon) icon->setPosition((feature1IconHome_ + feature2IconHome_) * 0.5f);
    }
}

void GBuildingNode::notifySelection() {
    if (!isFocused()) return;
    CountedRef<Event> event(new GBuildingSelectionEvent(this, this));
    postToParent(DeliveryMode::HandleThenParent, event.get());
}

vector3df GBuildingNode::levelStarPosition() const {
    const int32_t index = record_ ? record_->Level - 2 : -1;
    if (!starIcons_ || index < 0 || static_cast<size_t>(index) >= stars_.size()) return vector3df(0.0f, 0.0f, 0.0f);
    const SpriteNode* star = stars_[static_cast<size_t>(index)];
    const vector3df p = starIcons_->getPosition() + getPosition() + star->getPosition() + star->getBounds() * 0.5f;
    return vector3df(std::trunc(p.X), std::trunc(p.Y), p.Z);
}

// ---- Sounds ---------------------------------------------------------------------------------

void GBuildingNode::playStateSound() {
    NameId cue = kNoName;
    const NameId type = record_ ? record_->Name : kNoName;
    const int32_t level = record_ ? record_->Level : 0;
    const int32_t recordType = record_ ? record_->Type : 0;
    const NameId selected = record_ ? record_->SelectedSoundCueName : kNoName;
    if (featureState(0) == kFeatureActive || featureState(1) == kFeatureActive) {
        if (type == nameId("TruckStation")) {
            cue = nameId("FeatureFactory");
        } else if (type == nameId("REAgency")) {
            cue = nameId("FeatureREAgency");
        } else if (type == nameId("PRAgency")) {
            cue = nameId("FeaturePRAgency");
        } else {
            cue = selected;
        }
    } else if (jobState_ == kNoJob) {
        cue = selected;
    } else if (jobState_ == kConstructionJob) {
        cue = nameId(level > 1 ? "Upgrading" : "Building");
    } else if (jobState_ == kDestructionJob) {
        cue = nameId("Destroying");
    } else if (jobState_ == kMaintenanceJob) {
        cue = nameId(recordType == 1 || recordType == 2 ? "CleaningDecoration" : "Building");
    }

    if (stateSound_ && stateSound_->getName() == cue && stateSound_->getState() != 0) return;
    stopStateSound();
    if (cue == kNoName) return;
    SoundManager* sounds = getCurrentSoundManager();
    if (!sounds) return;
    stateSound_ = CountedRef<SoundCue>::share(sounds->playCue(cue, false, 0));
}

void GBuildingNode::stopStateSound() {
    if (!stateSound_) return;
    CountedRef<SoundCue> cue;
    cue = stateSound_;
    stateSound_.reset();
    cue->stop(kStateSoundFadeMs);
}

// ---- Clock, states and input -------------------------------------------------------------------

bool GBuildingNode::isLevelPaused() const { return levelScene_ && levelScene_->paused; }

bool GBuildingNode::onTick(uint32_t ms) {
    if (isLevelPaused()) return true;
    CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(this);
    const int32_t step = static_cast<int32_t>(ms);
    sinceMoneyLetter_ = saturatingAdd(sinceMoneyLetter_, step);
    sinceCondition_ = saturatingAdd(sinceCondition_, step);
    updateSale(step);
    updateFeatures(step);
    return true;
}

void GBuildingNode::postGameEvent(Event* adopted) {
    CountedRef<Event> event(adopted);
    if (!levelScene_) return;
    CountedRef<BaseNode> keepScene = CountedRef<BaseNode>::share(levelScene_);
    if (!levelScene_->handleEvent(event.get())) levelScene_->routeToParent(DeliveryMode::HandleThenParent, event.get());
}

bool GBuildingNode::onEvent74(NodeStateFinishedEvent* event) {
    if (event && event->getNode()) {
        BaseNode* node = event->getNode();
        const NameId state = event->getName();
        if (node->getName() == nameId("MoneyLetter") &&
            (state == nameId("Disappear") || state == nameId("DisappearHit"))) {
            // The letter may be held by nothing but its parent.
            CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(node);
            if (BaseNode* parent = node->getParent()) parent->removeChild(node);
            return true;
        }
    }
    return ControlNode::onEvent74(event);
}

void GBuildingNode::applyPressState() { enterControlState(controlStateNames().press); }

void GBuildingNode::applyHoverState() {
    const ControlStateNames& n = controlStateNames();
    if (isHovered()) {
        enterControlState(isFocused() ? n.focusHover : n.normalHover);
    } else {
        enterControlState(isFocused() ? n.focusKillHover : n.normalKillHover);
    }
}

void GBuildingNode::applyFocusState() {
    if (isPressPending()) return;
    enterControlState(isFocused() ? controlStateNames().focus : controlStateNames().killFocus);
}

bool GBuildingNode::onEvent21(LeftButtonDownEvent* event) {
    if (!event) return false;
    const vector2df point(static_cast<float>(event->getX()), static_cast<float>(event->getY()));
    // A press outside belongs to another building: answering it here would
    // keep it from the building under the pointer.
    if (!isEnabled() || !findNodeAt(point)) return false;
    CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(this);
    if (!isPressed()) setPressed(true);
    return true;
}

bool GBuildingNode::onEvent24(LeftButtonUpEvent* event) {
    if (!event) return false;
    const vector2df point(static_cast<float>(event->getX()), static_cast<float>(event->getY()));
    const bool inside = findNodeAt(point) != nullptr;
    if (!isEnabled() || !inside) {
        setPressed(false);
    } else if (isPressed()) {
        press();
    }
    return false;
}

}  // namespace game
