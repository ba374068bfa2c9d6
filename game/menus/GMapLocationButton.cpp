#include "game/menus/GMapLocationButton.h"
#include "engine/core/Animator.h"
#include "engine/core/PropertyData.h"
#include "engine/core/PropertySet.h"
#include "engine/core/State.h"
#include "engine/visual/AtlasTexture.h"
#include "engine/visual/SpriteNode.h"

#include <cmath>

namespace game {

using namespace engine;

namespace {

const char* const kPlatform = "scenes/images/Map/Platform.png";
const char* const kPlatformGrey = "scenes/images/Map/Platform(Grey).png";
const char* const kPlatformRed = "scenes/images/Map/Platform(Red).png";
const char* const kPlatformGreen = "scenes/images/Map/Platform(Green).png";
const char* const kGoldStar = "scenes/images/Map/GoldStar.png";
const char* const kSilverStar = "scenes/images/Map/SilverStar.png";

GMapLocationButton& locationOf(PropertyTableOwner& o) { return static_cast<GMapLocationButton&>(o); }

void setLevelNameEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    locationOf(o).setAssociatedLevelName(propertyDataToString(v));
}
CountedRef<IPropertyData> getLevelNameEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeStringProperty(locationOf(o).getAssociatedLevelName()));
}

}  // namespace

GMapLocationButton::GMapLocationButton(const CreationContext* context, BaseNode* parent, BaseNode* manager,
                                       bool mostDerived)
    : ButtonNode(context, parent, manager, false) {
    linkToParent(parent, mostDerived);
}

const PropertyTable& GMapLocationButton::classPropertyTable() {
    static const PropertyTable table = [] {
        PropertyTable t;
        appendPropertyTable(t, ButtonNode::classPropertyTable());
        t.add("AssociatedLevelName", &setLevelNameEntry, &getLevelNameEntry);
        return t;
    }();
    return table;
}

const PropertyTable& GMapLocationButton::getPropertyTable() const { return classPropertyTable(); }

void GMapLocationButton::copyFrom(BaseNode* source, BaseNode* manager) {
    if (!source || source == this) return;
    ButtonNode::copyFrom(source, manager);
    if (GMapLocationButton* other = nodeCast<GMapLocationButton>(source)) {
        associatedLevelName_ = other->associatedLevelName_;
    }
}

void GMapLocationButton::writeProperties(PropertySet* set) {
    if (!set) return;
    ButtonNode::writeProperties(set);
    if (!associatedLevelName_.empty()) set->addString("AssociatedLevelName", associatedLevelName_);
}

void GMapLocationButton::readProperties(PropertySet* set) {
    if (!set) return;
    ButtonNode::readProperties(set);
    if (set->indexOf("AssociatedLevelName") >= 0) associatedLevelName_ = set->getString("AssociatedLevelName");
}

void GMapLocationButton::applyTemplate() {
    ButtonNode::applyTemplate();
    selector_ = nullptr;
    starGroup_ = nullptr;
    star_ = nullptr;
    platform_ = nullptr;
    ControlNode* root = getTemplateRoot();
    if (!root) return;
    selector_ = root->findChild(makeNameId("Selector"), 1);
    starGroup_ = root->findChild(makeNameId("Star"), 1);
    if (!starGroup_) return;
    star_ = nodeCast<SpriteNode>(starGroup_->findChild(makeNameId("Star"), 1));
    platform_ = nodeCast<SpriteNode>(starGroup_->findChild(makeNameId("Platform"), 1));
}

void GMapLocationButton::showImage(SpriteNode* sprite, const char* path) {
    if (!sprite) return;
    if (!path) {
        sprite->setAtlasTexture(nullptr);
        return;
    }
    CountedRef<AtlasTextureContent> image(loadAtlasTexture(getContentManager(), path, true));
    sprite->setAtlasTexture(image.get());
}

void GMapLocationButton::setEnabled(bool enabled) {
    ControlNode::setEnabled(enabled);
    if (!star_ || !platform_) return;
    star_->setVisible(enabled);
    showImage(platform_, enabled ? kPlatform : kPlatformGrey);
}

void GMapLocationButton::setUpgradesReady(bool ready) {
    if (!platform_ || !isEnabled()) return;
    showImage(platform_, ready ? kPlatform : kPlatformRed);
}

void GMapLocationButton::setMiniGameMarker(bool on) {
    if (!platform_ || !isEnabled() || !on) return;
    showImage(platform_, kPlatformGreen);
}

void GMapLocationButton::setRank(int32_t medal) {
    if (!star_) return;
    showImage(star_, medal == 2 ? kGoldStar : medal == 1 ? kSilverStar : nullptr);
}

void GMapLocationButton::setSelected(bool selected) {
    if (selector_) selector_->setVisible(selected);
}

void GMapLocationButton::startWave(float phase) {
    if (!starGroup_) return;
    const NameId wave = makeNameId("Wave");
    starGroup_->setState(wave, nullptr);
    State* state = starGroup_->getState(wave);
    Base* animator = state ? state->getAnimator(0) : nullptr;
    if (!animator) return;
    // Truncated to whole milliseconds; a phase outside 0..1 is kept inside
    // the animator's length.
    const float clamped = phase < 0.0f ? 0.0f : phase > 1.0f ? 1.0f : phase;
    animator->start(static_cast<uint32_t>(static_cast<float>(animator->getDuration()) * clamped), true);
}

}  // namespace game
