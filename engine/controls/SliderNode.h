#pragma once
// An interactive slider: the template's "Knob" node shows the value inside the
// "SlidingArea" node; a click or a drag over the area moves the value to the
// pointer, the "PrevButton" and "NextButton" buttons and the arrow keys step
// it by DeltaValue, Home and End jump to the ends. Every change the player
// makes is reported to the parent with a ValueChangedEvent.
//
// KnobType: 0 places the knob (it keeps its size), 1 stretches it over the
// filled part, 2 sizes it as a scroll-bar thumb for the visible page.
#include "engine/controls/ValueRange.h"
#include "engine/core/ControlNode.h"

namespace engine {

class SliderNode : public ControlNode {
    ENGINE_DECLARE_EVENT_MAP(SliderNode)
    ENGINE_NODE_TYPE(SliderNode, ControlNode, 16)

public:
    SliderNode(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived = true);
    ~SliderNode() override;

    // The control's table followed by "MinValue", "MaxValue", "Value",
    // "DeltaValue" and "KnobType".
    const PropertyTable& getPropertyTable() const override;
    static const PropertyTable& classPropertyTable();

    // The value model; every setter lays the slider out.
    void setMinValue(float value);
    void setMaxValue(float value);
    void setValue(float value);
    float getMinValue() const { return range_.minValue; }
    float getMaxValue() const { return range_.maxValue; }
    float getValue() const { return range_.value; }
    // The part of the range visible at once (the list's page); not clamped.
    void setPageSize(float size);
    float getPageSize() const { return pageSize_; }
    // Stored as they are, without a layout.
    void setDeltaValue(float delta) { deltaValue_ = delta; }
    float getDeltaValue() const { return deltaValue_; }
    void setKnobType(int32_t type) { knobType_ = type; }
    int32_t getKnobType() const { return knobType_; }

    BaseNode* getSlidingArea() const { return slidingArea_.get(); }
    BaseNode* getKnob() const { return knob_.get(); }
    BaseNode* getNextButton() const { return nextButton_.get(); }
    BaseNode* getPrevButton() const { return prevButton_.get(); }

    // Places the knob for the value.
    void updateLayout();
    // Moves the value to a point on screen over the sliding area.
    void setValueFromPoint(int32_t x, int32_t y);

    virtual bool onEvent56(NodePressPreviewEvent* event);
    // A press of the previous or next button steps the value.
    virtual bool onEvent58(NodePressedEvent* event);
    // The template's hit test, and the whole sliding area besides: the track
    // is where the player points, whatever kind of node draws it.
    bool hitTest(const vector2df& point) override;
    bool onEvent20(MouseMoveEvent* event) override;
    bool onEvent21(LeftButtonDownEvent* event) override;
    bool onEvent31(KeyDownEvent* event) override;
    bool onEvent32(KeyUpEvent* event) override;

    void applyTemplate() override;
    // The template's buttons and knob live under the template root, outside
    // the children: they are handed input here.
    bool routeToChildren(int32_t mode, Event* event) override;
    void copyFrom(BaseNode* source, BaseNode* manager) override;
    void writeProperties(PropertySet* set) override;
    void readProperties(PropertySet* set) override;

private:
    // Posts a ValueChangedEvent to the parent when the value differs.
    void reportChange(float before);

    CountedRef<BaseNode> slidingArea_;
    CountedRef<BaseNode> knob_;
    CountedRef<BaseNode> nextButton_;
    CountedRef<BaseNode> prevButton_;
    ValueRange range_;
    float pageSize_ = 0.0f;
    float deltaValue_ = 5.0f;
    int32_t knobType_ = 0;
};

}  // namespace engine
