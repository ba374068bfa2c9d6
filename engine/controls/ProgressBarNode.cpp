#include "engine/controls/ProgressBarNode.h"
#include "engine/core/PropertySet.h"
#include <algorithm>

namespace engine {

namespace slider_layout {

NameId slidingAreaNameId() {
    static const NameId id = makeNameId("SlidingArea");
    return id;
}

NameId knobNameId() {
    static const NameId id = makeNameId("Knob");
    return id;
}

bool isHorizontal(const BaseNode* area) { return area->getBounds().Y <= area->getBounds().X; }

void stretchKnob(BaseNode* area, BaseNode* knob, float t) {
    vector3df position = knob->getPosition();
    vector3df bounds = knob->getBounds();
    if (isHorizontal(area)) {
        bounds.X = std::max(0.0f, area->getBounds().X * t);
        position.X = area->getPosition().X;
    } else {
        bounds.Y = std::max(0.0f, area->getBounds().Y * t);
        position.Y = area->getPosition().Y;
    }
    knob->setBounds(bounds);
    knob->setPosition(position);
}

}  // namespace slider_layout

namespace {

ProgressBarNode& barOf(PropertyTableOwner& object) { return static_cast<ProgressBarNode&>(object); }
void setKnobTypeEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) { barOf(o).setKnobType(intFromProperty(v)); }
CountedRef<IPropertyData> getKnobTypeEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeIntProperty(barOf(o).getKnobType()));
}

}  // namespace

ProgressBarNode::ProgressBarNode(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived)
    : BaseProgressBarNode(context, parent, manager, false) {
    linkToParent(parent, mostDerived);
}

ProgressBarNode::~ProgressBarNode() {
    slidingArea_.reset();
    knob_.reset();
}

const PropertyTable& ProgressBarNode::classPropertyTable() {
    static const PropertyTable table = [] {
        PropertyTable t;
        appendPropertyTable(t, BaseProgressBarNode::classPropertyTable());
        t.add("KnobType", &setKnobTypeEntry, &getKnobTypeEntry);
        return t;
    }();
    return table;
}

const PropertyTable& ProgressBarNode::getPropertyTable() const { return classPropertyTable(); }

void ProgressBarNode::updateLayout() {
    if (!slidingArea_ || !knob_ || knobType_ != 1) return;
    const float range = getMaxValue() - getMinValue();
    const float t = range > 0.0f ? (getValue() - getMinValue()) / range : 0.0f;
    slider_layout::stretchKnob(slidingArea_.get(), knob_.get(), t);
}

void ProgressBarNode::applyTemplate() {
    if (!getManager()) return;
    CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(this);
    BaseProgressBarNode::applyTemplate();
    slidingArea_.reset();
    knob_.reset();
    if (ControlNode* root = getTemplateRoot()) {
        slidingArea_ = CountedRef<BaseNode>::share(root->findChild(slider_layout::slidingAreaNameId(), 1));
        knob_ = CountedRef<BaseNode>::share(root->findChild(slider_layout::knobNameId(), 1));
    }
    updateLayout();
}

void ProgressBarNode::copyFrom(BaseNode* source, BaseNode* manager) {
    if (!source || source == this) return;
    BaseProgressBarNode::copyFrom(source, manager);
    if (ProgressBarNode* other = nodeCast<ProgressBarNode>(source)) knobType_ = other->knobType_;
}

void ProgressBarNode::writeProperties(PropertySet* set) {
    if (!set) return;
    BaseProgressBarNode::writeProperties(set);
    if (knobType_ != 0) set->add("KnobType", CountedRef<IPropertyData>(makeIntProperty(knobType_)));
}

void ProgressBarNode::readProperties(PropertySet* set) {
    if (!set) return;
    BaseProgressBarNode::readProperties(set);
    if (set->indexOf("KnobType") >= 0) knobType_ = intFromProperty(set->find("KnobType"));
}

}  // namespace engine
