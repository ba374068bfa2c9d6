#include "game/menus/GShopButton.h"
#include "engine/core/PropertyData.h"
#include "engine/core/PropertySet.h"
#include "engine/core/TextRoutines.h"
#include "engine/visual/TextNode.h"

namespace game {

using namespace engine;

namespace {

GShopButton& shopButtonOf(PropertyTableOwner& o) { return static_cast<GShopButton&>(o); }

void setUpgradeNameEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    const stringc name = propertyDataToString(v);
    shopButtonOf(o).setUpgradeName(name.empty() ? kNoName : makeNameId(name.c_str()));
}
CountedRef<IPropertyData> getUpgradeNameEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeStringPropertyFromNameId(shopButtonOf(o).getUpgradeName()));
}

NameId boughtStateId() {
    static const NameId id = makeNameId("Bought");
    return id;
}
NameId lockedStateId() {
    static const NameId id = makeNameId("Locked");
    return id;
}

}  // namespace

GShopButton::GShopButton(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived)
    : ButtonNode(context, parent, manager, false) {
    linkToParent(parent, mostDerived);
}

const PropertyTable& GShopButton::classPropertyTable() {
    static const PropertyTable table = [] {
        PropertyTable t;
        appendPropertyTable(t, ButtonNode::classPropertyTable());
        t.add("UpgradeName", &setUpgradeNameEntry, &getUpgradeNameEntry);
        return t;
    }();
    return table;
}

const PropertyTable& GShopButton::getPropertyTable() const { return classPropertyTable(); }

void GShopButton::onLoaded() {
    ButtonNode::onLoaded();
    priceText_ = nodeCast<TextNode>(findChild(makeNameId("PriceText"), 1));
    boughtNode_ = findChild(makeNameId("Bought"), 1);
}

void GShopButton::copyFrom(BaseNode* source, BaseNode* manager) {
    if (!source || source == this) return;
    ButtonNode::copyFrom(source, manager);
    if (GShopButton* other = nodeCast<GShopButton>(source)) upgradeName_ = other->upgradeName_;
}

void GShopButton::writeProperties(PropertySet* set) {
    if (!set) return;
    ButtonNode::writeProperties(set);
    if (upgradeName_ != kNoName) set->addString("UpgradeName", stringc(nameOfId(upgradeName_).c_str()));
}

void GShopButton::readProperties(PropertySet* set) {
    if (!set) return;
    ButtonNode::readProperties(set);
    if (set->indexOf("UpgradeName") < 0) return;
    const stringc name = set->getString("UpgradeName");
    upgradeName_ = name.empty() ? kNoName : makeNameId(name.c_str());
}

NameId GShopButton::stateTransition(NameId state) {
    if (state == boughtStateId()) return normalNameId();
    return controlStateTransition(state);
}

void GShopButton::setBought(bool bought) {
    bought_ = bought;
    if (priceText_) priceText_->setVisible(!bought_);
    if (boughtNode_) boughtNode_->setVisible(bought_);
    refreshState();
}

void GShopButton::setLocked(bool locked) {
    locked_ = locked;
    if (priceText_) priceText_->setVisible(!bought_);
    refreshState();
}

void GShopButton::setPrice(int32_t price) {
    price_ = price;
    if (!priceText_ || bought_) return;
    if (price_ > 0) {
        priceText_->setVisible(true);
        priceText_->setText(formatWithSeparator(price_, L','));
    } else {
        priceText_->setVisible(false);
    }
}

bool GShopButton::applyOwnState() {
    if (bought_) {
        enterSubtreeState(boughtStateId(), &GShopButton::stateTransition);
        return true;
    }
    if (locked_) {
        enterSubtreeState(lockedStateId(), &GShopButton::stateTransition);
        return true;
    }
    return false;
}

void GShopButton::applyPressEndState() {
    if (!applyOwnState()) ButtonNode::applyPressEndState();
}
void GShopButton::applyPressedState() {
    if (!applyOwnState()) ButtonNode::applyPressedState();
}
void GShopButton::applyHoverState() {
    if (!applyOwnState()) ButtonNode::applyHoverState();
}
void GShopButton::applyFocusState() {
    if (!applyOwnState()) ButtonNode::applyFocusState();
}

}  // namespace game
