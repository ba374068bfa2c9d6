#pragma once
// The value model of the progress bars: a value kept between a minimum and a
// maximum, and a layout hook run after every change through a setter.
#include "engine/controls/ValueRange.h"
#include "engine/core/ControlNode.h"

namespace engine {

class BaseProgressBarNode : public ControlNode {
public:
    static constexpr int32_t kTypeId = 14;
    const wchar_t* getClassName() const override { return L"BaseProgressBarNode"; }
    const wchar_t* getTypeName() const override { return L"BaseProgressBarNode"; }
    int32_t getTypeId() const override { return kTypeId; }
    bool isOfType(int32_t typeId) const override { return typeId == kTypeId || ControlNode::isOfType(typeId); }
    // Only the concrete bars can be copied this way.
    using ControlNode::clone;
    BaseNode* clone(BaseNode* parent, BaseNode* manager) override;

    BaseProgressBarNode(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived = true);

    // The control's table followed by "MinValue", "MaxValue" and "Value".
    const PropertyTable& getPropertyTable() const override;
    static const PropertyTable& classPropertyTable();

    // Ignored unless below MaxValue; raises Value to it when needed.
    void setMinValue(float value);
    // Ignored unless above MinValue; lowers Value to it when needed.
    void setMaxValue(float value);
    // Clamped into [MinValue, MaxValue].
    void setValue(float value);
    float getMinValue() const { return range_.minValue; }
    float getMaxValue() const { return range_.maxValue; }
    float getValue() const { return range_.value; }

    // Places the template's nodes for the value; nothing here.
    virtual void updateLayout() {}

    void copyFrom(BaseNode* source, BaseNode* manager) override;
    void writeProperties(PropertySet* set) override;
    void readProperties(PropertySet* set) override;

private:
    ValueRange range_;
};

}  // namespace engine
