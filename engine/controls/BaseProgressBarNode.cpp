#include "engine/controls/BaseProgressBarNode.h"
#include "engine/core/PropertySet.h"
#include <algorithm>

namespace engine {

namespace {

BaseProgressBarNode& barOf(PropertyTableOwner& object) { return static_cast<BaseProgressBarNode&>(object); }
CountedRef<IPropertyData> floatValue(float value) { return CountedRef<IPropertyData>(makeFloatProperty(value)); }

void setMinEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) { barOf(o).setMinValue(floatFromProperty(v)); }
CountedRef<IPropertyData> getMinEntry(PropertyTableOwner& o) { return floatValue(barOf(o).getMinValue()); }
void setMaxEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) { barOf(o).setMaxValue(floatFromProperty(v)); }
CountedRef<IPropertyData> getMaxEntry(PropertyTableOwner& o) { return floatValue(barOf(o).getMaxValue()); }
void setValueEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) { barOf(o).setValue(floatFromProperty(v)); }
CountedRef<IPropertyData> getValueEntry(PropertyTableOwner& o) { return floatValue(barOf(o).getValue()); }

}  // namespace

BaseProgressBarNode::BaseProgressBarNode(const CreationContext* context, BaseNode* parent, BaseNode* manager,
                                         bool mostDerived)
    : ControlNode(context, parent, manager, false) {
    linkToParent(parent, mostDerived);
}

BaseNode* BaseProgressBarNode::clone(BaseNode*, BaseNode*) { return nullptr; }

const PropertyTable& BaseProgressBarNode::classPropertyTable() {
    static const PropertyTable table = [] {
        PropertyTable t;
        appendPropertyTable(t, ControlNode::classPropertyTable());
        t.add("MinValue", &setMinEntry, &getMinEntry);
        t.add("MaxValue", &setMaxEntry, &getMaxEntry);
        t.add("Value", &setValueEntry, &getValueEntry);
        return t;
    }();
    return table;
}

const PropertyTable& BaseProgressBarNode::getPropertyTable() const { return classPropertyTable(); }

void BaseProgressBarNode::setMinValue(float value) {
    if (!(value < maxValue_)) return;
    minValue_ = value;
    if (value_ < value) value_ = value;
    updateLayout();
}

void BaseProgressBarNode::setMaxValue(float value) {
    if (!(value > minValue_)) return;
    maxValue_ = value;
    if (value_ > value) value_ = value;
    updateLayout();
}

void BaseProgressBarNode::setValue(float value) {
    value_ = std::min(maxValue_, std::max(minValue_, value));
    updateLayout();
}

void BaseProgressBarNode::copyFrom(BaseNode* source, BaseNode* manager) {
    if (!source || source == this) return;
    ControlNode::copyFrom(source, manager);
    if (BaseProgressBarNode* other = nodeCast<BaseProgressBarNode>(source)) {
        minValue_ = other->minValue_;
        maxValue_ = other->maxValue_;
        value_ = other->value_;
    }
}

void BaseProgressBarNode::writeProperties(PropertySet* set) {
    if (!set) return;
    ControlNode::writeProperties(set);
    if (minValue_ != 0.0f) set->add("MinValue", floatValue(minValue_));
    if (maxValue_ != 100.0f) set->add("MaxValue", floatValue(maxValue_));
    if (value_ != 50.0f) set->add("Value", floatValue(value_));
}

void BaseProgressBarNode::readProperties(PropertySet* set) {
    if (!set) return;
    ControlNode::readProperties(set);
    // Stored as they are: the file is trusted to be consistent.
    if (set->indexOf("MinValue") >= 0) minValue_ = floatFromProperty(set->find("MinValue"));
    if (set->indexOf("MaxValue") >= 0) maxValue_ = floatFromProperty(set->find("MaxValue"));
    if (set->indexOf("Value") >= 0) value_ = floatFromProperty(set->find("Value"));
}

}  // namespace engine
