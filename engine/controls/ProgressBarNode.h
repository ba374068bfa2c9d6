#pragma once
// A progress bar: with KnobType 1 it stretches the template's "Knob" node over
// the part of the "SlidingArea" node that the value fills. A sliding area
// that is not taller than wide is horizontal.
#include "engine/controls/BaseProgressBarNode.h"

namespace engine {

class ProgressBarNode : public BaseProgressBarNode {
    ENGINE_NODE_TYPE(ProgressBarNode, BaseProgressBarNode, 15)

public:
    ProgressBarNode(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived = true);
    ~ProgressBarNode() override;

    // The base's table followed by "KnobType".
    const PropertyTable& getPropertyTable() const override;
    static const PropertyTable& classPropertyTable();

    // Stored without a layout.
    void setKnobType(int32_t type) { knobType_ = type; }
    int32_t getKnobType() const { return knobType_; }
    BaseNode* getSlidingArea() const { return slidingArea_.get(); }
    BaseNode* getKnob() const { return knob_.get(); }

    void updateLayout() override;
    void applyTemplate() override;
    void copyFrom(BaseNode* source, BaseNode* manager) override;
    void writeProperties(PropertySet* set) override;
    void readProperties(PropertySet* set) override;

private:
    CountedRef<BaseNode> slidingArea_;
    CountedRef<BaseNode> knob_;
    int32_t knobType_ = 0;
};

// Shared by the bars and the slider.
namespace slider_layout {
// Names of the template nodes.
NameId slidingAreaNameId();
NameId knobNameId();
// A sliding area not taller than wide is horizontal.
bool isHorizontal(const BaseNode* area);
// Stretches the knob over the filled part (t of the area's length).
void stretchKnob(BaseNode* area, BaseNode* knob, float t);
}  // namespace slider_layout

}  // namespace engine
