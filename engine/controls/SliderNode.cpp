#include "engine/controls/SliderNode.h"
#include "engine/controls/ProgressBarNode.h"
#include "engine/core/KeyCodes.h"
#include "engine/core/PropertySet.h"
#include <algorithm>

namespace engine {

namespace {

// The thumb of a scroll bar is never shorter than this.
constexpr float kMinThumbLength = 25.0f;

SliderNode& sliderOf(PropertyTableOwner& object) { return static_cast<SliderNode&>(object); }
CountedRef<IPropertyData> floatValue(float value) { return CountedRef<IPropertyData>(makeFloatProperty(value)); }

void setDeltaEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) { sliderOf(o).setDeltaValue(floatFromProperty(v)); }
CountedRef<IPropertyData> getDeltaEntry(PropertyTableOwner& o) { return floatValue(sliderOf(o).getDeltaValue()); }
void setKnobTypeEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) { sliderOf(o).setKnobType(intFromProperty(v)); }
CountedRef<IPropertyData> getKnobTypeEntry(PropertyTableOwner& o) {
    return CountedRef<IPropertyData>(makeIntProperty(sliderOf(o).getKnobType()));
}

NameId nextButtonNameId() {
    static const NameId id = makeNameId("NextButton");
    return id;
}

NameId prevButtonNameId() {
    static const NameId id = makeNameId("PrevButton");
    return id;
}

}  // namespace

SliderNode::SliderNode(const CreationContext* context, BaseNode* parent, BaseNode* manager, bool mostDerived)
    : ControlNode(context, parent, manager, false) {
    updateLayout();
    linkToParent(parent, mostDerived);
}

SliderNode::~SliderNode() {
    slidingArea_.reset();
    knob_.reset();
    nextButton_.reset();
    prevButton_.reset();
}

const EventMap<SliderNode>& SliderNode::getEventMap() {
    static const EventMap<SliderNode> map(
        ControlNode::getEventMap(),
        {
            {EventId::NodePressPreviewEvent,
             [](SliderNode& n, Event* e) { return n.onEvent56(dynamic_cast<NodePressPreviewEvent*>(e)); }},
            {EventId::NodePressedEvent,
             [](SliderNode& n, Event* e) { return n.onEvent58(dynamic_cast<NodePressedEvent*>(e)); }},
        });
    return map;
}

const PropertyTable& SliderNode::classPropertyTable() {
    static const PropertyTable table = [] {
        PropertyTable t;
        appendPropertyTable(t, ControlNode::classPropertyTable());
        ValueRange::appendEntries<SliderNode>(t);
        t.add("DeltaValue", &setDeltaEntry, &getDeltaEntry);
        t.add("KnobType", &setKnobTypeEntry, &getKnobTypeEntry);
        return t;
    }();
    return table;
}

const PropertyTable& SliderNode::getPropertyTable() const { return classPropertyTable(); }

// ---- Value model ------------------------------------------------------------------

void SliderNode::setMinValue(float value) {
    if (range_.setMin(value)) updateLayout();
}

void SliderNode::setMaxValue(float value) {
    if (range_.setMax(value)) updateLayout();
}

void SliderNode::setValue(float value) {
    range_.setValue(value);
    updateLayout();
}

void SliderNode::setPageSize(float size) {
    pageSize_ = size;
    updateLayout();
}

// ---- Layout ---------------------------------------------------------------------------

void SliderNode::updateLayout() {
    if (!slidingArea_ || !knob_) return;
    BaseNode* area = slidingArea_.get();
    BaseNode* knob = knob_.get();
    const float range = range_.maxValue - range_.minValue;
    const float t = range > 0.0f ? (range_.value - range_.minValue) / range : 0.0f;
    const float frac = range > 0.0f ? std::min(1.0f, pageSize_ / range) : 0.0f;
    const bool horizontal = slider_layout::isHorizontal(area);
    const vector3df& areaPosition = area->getPosition();
    const vector3df& areaBounds = area->getBounds();
    vector3df position = knob->getPosition();
    vector3df bounds = knob->getBounds();

    switch (knobType_) {
    case 0:
        if (horizontal) {
            position.X = frac == 1.0f ? areaPosition.X : areaPosition.X + (areaBounds.X - bounds.X) * t / (1.0f - frac);
        } else {
            position.Y = frac == 1.0f ? areaPosition.Y : areaPosition.Y + (areaBounds.Y - bounds.Y) * t / (1.0f - frac);
        }
        knob->setPosition(position);
        break;
    case 1:
        slider_layout::stretchKnob(area, knob, t);
        break;
    case 2:
        if (horizontal) {
            bounds.X = std::max(kMinThumbLength, frac * areaBounds.X);
            position.X = areaPosition.X + areaBounds.X * t;
        } else {
            bounds.Y = std::max(kMinThumbLength, frac * areaBounds.Y);
            position.Y = areaPosition.Y + areaBounds.Y * t;
        }
        knob->setBounds(bounds);
        knob->setPosition(position);
        break;
    default:
        break;
    }
}

void SliderNode::setValueFromPoint(int32_t x, int32_t y) {
    if (!slidingArea_ || !knob_) return;
    BaseNode* area = slidingArea_.get();
    if (area->isTransformDirty()) area->updateAbsoluteTransform();
    if (area->isColorDirty()) area->updateAbsoluteColor();
    matrix4 inverse;
    // A collapsed area (zero scale) has no inside to point at.
    if (!area->getAbsoluteTransform().getInverse(inverse)) return;
    vector3df local(static_cast<float>(x), static_cast<float>(y), 0.0f);
    inverse.transformVect(local);
    const vector3df& areaBounds = area->getBounds();
    if (local.X < 0.0f || local.X > areaBounds.X || local.Y < 0.0f || local.Y > areaBounds.Y) return;

    const bool horizontal = slider_layout::isHorizontal(area);
    const float len = horizontal ? areaBounds.X : areaBounds.Y;
    const float knobLength = horizontal ? knob_->getBounds().X : knob_->getBounds().Y;
    const float p = horizontal ? local.X : local.Y;
    const float range = range_.maxValue - range_.minValue;
    const float frac = range > 0.0f ? std::min(1.0f, pageSize_ / range) : 0.0f;

    float value = range_.value;
    if (knobType_ == 0 || knobType_ == 2) {
        // The knob's centre follows the pointer.
        const float e = p - knobLength * 0.5f;
        const float d = len - knobLength;
        float f;
        if (e <= 0.0f) {
            f = 0.0f;
        } else if (d <= e) {
            f = 1.0f;
        } else {
            f = e * (1.0f - frac) / d;
        }
        value = range_.minValue + range * f;
    } else if (knobType_ == 1) {
        if (len > 0.0f) value = range_.minValue + (p / len) * range;
        if (value < range_.minValue) value = range_.minValue;
        if (value + pageSize_ > range_.maxValue) value = range_.maxValue - pageSize_;
    }
    setValue(value);
}

// ---- Template ---------------------------------------------------------------------------

void SliderNode::applyTemplate() {
    if (!getManager()) return;
    CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(this);
    ControlNode::applyTemplate();
    slidingArea_.reset();
    knob_.reset();
    nextButton_.reset();
    prevButton_.reset();
    if (ControlNode* root = getTemplateRoot()) {
        slidingArea_ = CountedRef<BaseNode>::share(root->findChild(slider_layout::slidingAreaNameId(), 1));
        knob_ = CountedRef<BaseNode>::share(root->findChild(slider_layout::knobNameId(), 1));
        nextButton_ = CountedRef<BaseNode>::share(root->findChild(nextButtonNameId(), 1));
        prevButton_ = CountedRef<BaseNode>::share(root->findChild(prevButtonNameId(), 1));
    }
    updateLayout();
}

// ---- Input ------------------------------------------------------------------------------

void SliderNode::reportChange(float before) {
    if (range_.value == before) return;
    BaseNode* parent = getParent();
    if (!parent) return;
    CountedRef<ValueChangedEvent> changed(new ValueChangedEvent(this));
    postEvent(parent, DeliveryMode::HandleThenParent, changed.get());
}

bool SliderNode::hitTest(const vector2df& point) {
    if (ControlNode::hitTest(point)) return true;
    BaseNode* area = slidingArea_.get();
    if (!isVisible() || !area || !area->isVisible()) return false;
    if (area->isTransformDirty()) area->updateAbsoluteTransform();
    return area->containsPoint(point);
}

bool SliderNode::onEvent20(MouseMoveEvent* event) {
    if (!ControlNode::onEvent20(event)) return false;
    if (isPressed()) {
        const float before = range_.value;
        setValueFromPoint(event->getX(), event->getY());
        reportChange(before);
    }
    return true;
}

bool SliderNode::onEvent21(LeftButtonDownEvent* event) {
    CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(this);
    if (!ControlNode::onEvent21(event)) return false;
    const float before = range_.value;
    setValueFromPoint(event->getX(), event->getY());
    reportChange(before);
    return true;
}

bool SliderNode::onEvent31(KeyDownEvent* event) {
    if (!event) return false;
    const float before = range_.value;
    const bool horizontal = slidingArea_ && slider_layout::isHorizontal(slidingArea_.get());
    const bool vertical = slidingArea_ && !horizontal;
    bool handled = false;
    switch (event->getKey()) {
    case KeyCode::End:
        setValue(range_.maxValue);
        handled = true;
        break;
    case KeyCode::Home:
        setValue(range_.minValue);
        handled = true;
        break;
    case KeyCode::Left:
        if (horizontal && range_.value > range_.minValue) setValue(range_.value - deltaValue_);
        break;
    case KeyCode::Right:
        if (horizontal && range_.value < range_.maxValue) setValue(range_.value + deltaValue_);
        break;
    case KeyCode::Up:
        if (vertical && range_.value < range_.maxValue) setValue(range_.value + deltaValue_);
        break;
    case KeyCode::Down:
        if (vertical && range_.value > range_.minValue) setValue(range_.value - deltaValue_);
        break;
    default:
        break;
    }
    if (range_.value != before) handled = true;
    reportChange(before);
    if (handled) return true;
    return ControlNode::onEvent31(event);
}

bool SliderNode::onEvent32(KeyUpEvent*) { return false; }

bool SliderNode::onEvent56(NodePressPreviewEvent*) { return false; }

bool SliderNode::onEvent58(NodePressedEvent* event) {
    if (!event) return false;
    BaseNode* node = event->getNode();
    const float before = range_.value;
    if (node && node == prevButton_.get()) {
        setValue(range_.value - deltaValue_);
    } else if (node && node == nextButton_.get()) {
        setValue(range_.value + deltaValue_);
    }
    reportChange(before);
    return false;
}

bool SliderNode::routeToChildren(int32_t mode, Event* event) {
    if (ControlNode::routeToChildren(mode, event)) return true;
    if (!event) return false;
    CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(this);
    // Held: a handler may re-apply the template and drop the bindings.
    CountedRef<BaseNode> prev = prevButton_;
    CountedRef<BaseNode> next = nextButton_;
    CountedRef<BaseNode> knob = knob_;
    if (prev && prev->deliver(mode, event)) return true;
    if (next && next->deliver(mode, event)) return true;
    if (knob && knob->deliver(mode, event)) {
        const int32_t type = event->getTypeId();
        // The slider's own handlers still see the pointer over the knob.
        return type != EventId::MouseMoveEvent && type != EventId::LeftButtonDownEvent;
    }
    return false;
}

// ---- Copies and files -------------------------------------------------------------------

void SliderNode::copyFrom(BaseNode* source, BaseNode* manager) {
    if (!source || source == this) return;
    ControlNode::copyFrom(source, manager);
    if (SliderNode* other = nodeCast<SliderNode>(source)) {
        range_ = other->range_;
        deltaValue_ = other->deltaValue_;
        knobType_ = other->knobType_;
    }
}

void SliderNode::writeProperties(PropertySet* set) {
    if (!set) return;
    ControlNode::writeProperties(set);
    range_.write(set);
    if (deltaValue_ != 5.0f) set->add("DeltaValue", floatValue(deltaValue_));
    if (knobType_ != 0) set->add("KnobType", CountedRef<IPropertyData>(makeIntProperty(knobType_)));
}

void SliderNode::readProperties(PropertySet* set) {
    if (!set) return;
    ControlNode::readProperties(set);
    range_.read(set);
    if (set->indexOf("DeltaValue") >= 0) deltaValue_ = floatFromProperty(set->find("DeltaValue"));
    if (set->indexOf("KnobType") >= 0) knobType_ = intFromProperty(set->find("KnobType"));
}

}  // namespace engine
