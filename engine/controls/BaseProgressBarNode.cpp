#include "engine/controls/BaseProgressBarNode.h"

namespace engine {

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
        ValueRange::appendEntries<BaseProgressBarNode>(t);
        return t;
    }();
    return table;
}

const PropertyTable& BaseProgressBarNode::getPropertyTable() const { return classPropertyTable(); }

void BaseProgressBarNode::setMinValue(float value) {
    if (range_.setMin(value)) updateLayout();
}

void BaseProgressBarNode::setMaxValue(float value) {
    if (range_.setMax(value)) updateLayout();
}

void BaseProgressBarNode::setValue(float value) {
    range_.setValue(value);
    updateLayout();
}

void BaseProgressBarNode::copyFrom(BaseNode* source, BaseNode* manager) {
    if (!source || source == this) return;
    ControlNode::copyFrom(source, manager);
    if (BaseProgressBarNode* other = nodeCast<BaseProgressBarNode>(source)) range_ = other->range_;
}

void BaseProgressBarNode::writeProperties(PropertySet* set) {
    if (!set) return;
    ControlNode::writeProperties(set);
    range_.write(set);
}

void BaseProgressBarNode::readProperties(PropertySet* set) {
    if (!set) return;
    ControlNode::readProperties(set);
    range_.read(set);
}

}  // namespace engine
