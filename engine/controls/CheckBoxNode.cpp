#include "engine/controls/CheckBoxNode.h"
#include "engine/core/PropertySet.h"
#include <map>

namespace engine {

namespace {

CheckBoxNode& boxOf(PropertyTableOwner& object) { return static_cast<CheckBoxNode&>(object); }

void setCheckedEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) { boxOf(o).setChecked(boolFromProperty(v)); }
CountedRef<IPropertyData> getCheckedEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeBoolProperty(boxOf(o).isChecked()));
}

}  // namespace

const CheckStateNames& checkStateNames() {
    static const CheckStateNames names = {
        makeNameId("NormalCheck"),      makeNameId("FocusCheck"),         makeNameId("NormalCheckDisable"),
        makeNameId("FocusCheckDisable"), makeNameId("NormalCheckHover"),  makeNameId("NormalCheckKillHover"),
        makeNameId("FocusCheckHover"),  makeNameId("FocusCheckKillHover"),
    };
    return names;
}

NameId checkBoxStateTransition(NameId state) {
    static const std::map<NameId, NameId> table = [] {
        const CheckStateNames& n = checkStateNames();
        return std::map<NameId, NameId>{
            {n.focusCheck, n.normalCheck},          {n.normalCheckDisable, n.normalCheck},
            {n.focusCheckDisable, n.focusCheck},    {n.normalCheckHover, n.normalCheck},
            {n.normalCheckKillHover, n.normalCheck}, {n.focusCheckHover, n.normalCheckHover},
            {n.focusCheckKillHover, n.focusCheck},
        };
    }();
    auto found = table.find(state);
    return found == table.end() ? controlStateTransition(state) : found->second;
}

CheckBoxNode::CheckBoxNode(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived)
    : ButtonNode(context, parent, manager, false) {
    setFocusOnHover(true);
    linkToParent(parent, mostDerived);
}

const PropertyTable& CheckBoxNode::classPropertyTable() {
    static const PropertyTable table = [] {
        PropertyTable t;
        appendPropertyTable(t, ButtonNode::classPropertyTable());
        t.add("IsChecked", &setCheckedEntry, &getCheckedEntry);
        return t;
    }();
    return table;
}

const PropertyTable& CheckBoxNode::getPropertyTable() const { return classPropertyTable(); }

void CheckBoxNode::enterCheckState(NameId state) { enterSubtreeState(state, &checkBoxStateTransition); }

void CheckBoxNode::setChecked(bool checked) {
    checked_ = checked;
    applyCheckState();
}

bool CheckBoxNode::press() {
    CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(this);
    if (!ControlNode::press()) return false;
    checked_ = !checked_;
    applyCheckState();
    if (BaseNode* parent = getParent()) {
        CountedRef<ValueChangedEvent> changed(new ValueChangedEvent(this));
        postEvent(parent, DeliveryMode::HandleThenParent, changed.get());
    }
    return true;
}

void CheckBoxNode::applyTemplate() {
    if (!getManager()) return;
    ButtonNode::applyTemplate();
    applyCheckState();
}

void CheckBoxNode::applyPressState() { enterCheckState(controlStateNames().press); }
void CheckBoxNode::applyPressEndState() {}
void CheckBoxNode::applyPressedState() {}

void CheckBoxNode::applyHoverState() {
    if (!isEnabled()) return;
    const ControlStateNames& c = controlStateNames();
    const CheckStateNames& k = checkStateNames();
    const bool focused = isFocused();
    if (isHovered()) {
        enterCheckState(checked_ ? (focused ? k.focusCheckHover : k.normalCheckHover)
                                 : (focused ? c.focusHover : c.normalHover));
    } else {
        enterCheckState(checked_ ? (focused ? k.focusCheckKillHover : k.normalCheckKillHover)
                                 : (focused ? c.focusKillHover : c.normalKillHover));
    }
}

void CheckBoxNode::applyFocusState() { applyCheckState(); }

void CheckBoxNode::applyCheckState() {
    const ControlStateNames& c = controlStateNames();
    const CheckStateNames& k = checkStateNames();
    const bool focused = isFocused();
    const bool hovered = isHovered();
    NameId state;
    if (checked_) {
        if (isEnabled()) {
            state = focused ? (hovered ? k.focusCheckHover : k.focusCheck) : (hovered ? k.normalCheckHover : k.normalCheck);
        } else {
            state = focused ? k.focusCheckDisable : k.normalCheckDisable;
        }
    } else if (isEnabled()) {
        state = focused ? (hovered ? c.focusHover : c.focus) : (hovered ? c.normalHover : c.normal);
    } else {
        state = focused ? c.focusDisable : c.normalDisable;
    }
    enterCheckState(state);
}

void CheckBoxNode::copyFrom(BaseNode* source, BaseNode* manager) {
    if (!source || source == this) return;
    ButtonNode::copyFrom(source, manager);
    if (CheckBoxNode* other = nodeCast<CheckBoxNode>(source)) checked_ = other->checked_;
}

void CheckBoxNode::writeProperties(PropertySet* set) {
    if (!set) return;
    ButtonNode::writeProperties(set);
    if (checked_) PropertySet::addValue(set, "IsChecked", true);
}

void CheckBoxNode::readProperties(PropertySet* set) {
    if (!set) return;
    ButtonNode::readProperties(set);
    if (set->indexOf("IsChecked") >= 0) checked_ = boolFromProperty(set->find("IsChecked"));
    applyCheckState();
}

}  // namespace engine
