#include "engine/controls/SliderNode.h"
#include "engine/controls/ProgressBarNode.h"
#include "engine/core/PropertySet.h"
#include <algorithm>

namespace engine {

namespace {

constexpr int32_t kKeyEnd = 35;
constexpr int32_t kKeyHome = 36;
constexpr int32_t kKeyLeft = 37;
constexpr int32_t kKeyUp = 38;
constexpr int32_t kKeyRight = 39;
constexpr int32_t kKeyDown = 40;

// The thumb of a scroll bar is never shorter than this.
constexpr float kMinThumbLength = 25.0f;

SliderNode& sliderOf(PropertyTableOwner& object) { return static_cast<SliderNode&>(object); }
CountedRef<IPropertyData> floatValue(float value) { return CountedRef<IPropertyData>(makeFloatProperty(value)); }

void setMinEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) { sliderOf(o).setMinValue(floatFromProperty(v)); }
CountedRef<IPropertyData> getMinEntry(PropertyTableOwner& o) { return floatValue(sliderOf(o).getMinValue()); }
void setMaxEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) { sliderOf(o).setMaxValue(floatFromProperty(v)); }
CountedRef<IPropertyData> getMaxEntry(PropertyTableOwner& o) { return floatValue(sliderOf(o).getMaxValue()); }
void setValueEntry(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) { sliderOf(o).setValue(floatFromProperty(v)); }
CountedRef<IPropertyData> getValueEntry(PropertyTableOwner& o) { return floatValue(sliderOf(o).getValue()); }
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
        t.add("MinValue", &setMinEntry, &getMinEntry);
        t.add("MaxValue", &setMaxEntry, &getMaxEntry);
        t.add("Value", &setValueEntry, &getValueEntry);
        t.add("DeltaValue", &setDeltaEntry, &getDeltaEntry);
        t.add("KnobType", &setKnobTypeEntry, &getKnobTypeEntry);
        return t;
    }();
    return table;
}

const PropertyTable& SliderNode::getPropertyTable() const { return classPropertyTable(); }

// ---- Value model ------------------------------------------------------------------

void SliderNode::setMinValue(float value) {
    if (!(value < maxValue_)) return;
    minValue_ = value;
    if (value_ < value) value_ = value;
    updateLayout();
}

void SliderNode::setMaxValue(float value) {
    if (!(value > minValue_)) return;
    maxValue_ = value;
    if (value_ > value) value_ = value;
    updateLayout();
}

void SliderNode::setValue(float value) {
    value_ = std::min(maxValue_, std::max(minValue_, value));
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
    const float range = maxValue_ - minValue_;
    const float t = range > 0.0f ? (value_ - minValue_) / range : 0.0f;
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
    const float range = maxValue_ - minValue_;
    const float frac = range > 0.0f ? std::min(1.0f, pageSize_ / range) : 0.0f;

    float value = value_;
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
        value = minValue_ + range * f;
    } else if (knobType_ == 1) {
        if (len > 0.0f) value = minValue_ + (p / len) * range;
        if (value < minValue_) value = minValue_;
        if (value + pageSize_ > maxValue_) value = maxValue_ - pageSize_;
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
    if (value_ == before) return;
    BaseNode* parent = getParent();
    if (!parent) return;
    CountedRef<ValueChangedEvent> changed(new ValueChangedEvent(this));
    postEvent(parent, DeliveryMode::HandleThenParent, changed.get());
}

bool SliderNode::onEvent20(MouseMoveEvent* event) {
    if (!ControlNode::onEvent20(event)) return false;
    if (isPressed()) {
        const float before = value_;
        setValueFromPoint(event->getX(), event->getY());
        reportChange(before);
    }
    return true;
}

bool SliderNode::onEvent21(LeftButtonDownEvent* event) {
    CountedRef<BaseNode> keep = CountedRef<BaseNode>::share(this);
    if (!ControlNode::onEvent21(event)) return false;
    const float before = value_;
    setValueFromPoint(event->getX(), event->getY());
    reportChange(before);
    return true;
}

bool SliderNode::onEvent31(KeyDownEvent* event) {
    if (!event) return false;
    const float before = value_;
    const bool horizontal = slidingArea_ && slider_layout::isHorizontal(slidingArea_.get());
    const bool vertical = slidingArea_ && !horizontal;
    bool handled = false;
    switch (event->getKey()) {
    case kKeyEnd:
        setValue(maxValue_);
        handled = true;
        break;
    case kKeyHome:
        setValue(minValue_);
        handled = true;
        break;
    case kKeyLeft:
        if (horizontal && value_ > minValue_) setValue(value_ - deltaValue_);
        break;
    case kKeyRight:
        if (horizontal && value_ < maxValue_) setValue(value_ + deltaValue_);
        break;
    case kKeyUp:
        if (vertical && value_ < maxValue_) setValue(value_ + deltaValue_);
        break;
    case kKeyDown:
        if (vertical && value_ > minValue_) setValue(value_ - deltaValue_);
        break;
    default:
        break;
    }
    if (value_ != before) handled = true;
    reportChange(before);
    if (handled) return true;
    return ControlNode::onEvent31(event);
}

bool SliderNode::onEvent32(KeyUpEvent*) { return false; }

bool SliderNode::onEvent56(NodePressPreviewEvent*) { return false; }

bool SliderNode::onEvent58(NodePressedEvent* event) {
    if (!event) return false;
    BaseNode* node = event->getNode();
    const float before = value_;
    if (node && node == prevButton_.get()) {
        setValue(value_ - deltaValue_);
    } else if (node && node == nextButton_.get()) {
        setValue(value_ + deltaValue_);
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
        minValue_ = other->minValue_;
        maxValue_ = other->maxValue_;
        value_ = other->value_;
        deltaValue_ = other->deltaValue_;
        knobType_ = other->knobType_;
    }
}

void SliderNode::writeProperties(PropertySet* set) {
    if (!set) return;
    ControlNode::writeProperties(set);
    if (minValue_ != 0.0f) set->add("MinValue", floatValue(minValue_));
    if (maxValue_ != 100.0f) set->add("MaxValue", floatValue(maxValue_));
    if (value_ != 50.0f) set->add("Value", floatValue(value_));
    if (deltaValue_ != 5.0f) set->add("DeltaValue", floatValue(deltaValue_));
    if (knobType_ != 0) set->add("KnobType", CountedRef<IPropertyData>(makeIntProperty(knobType_)));
}

void SliderNode::readProperties(PropertySet* set) {
    if (!set) return;
    ControlNode::readProperties(set);
    const auto has = [set](const char* key) { return set->indexOf(key) >= 0; };
    if (has("MinValue")) minValue_ = floatFromProperty(set->find("MinValue"));
    if (has("MaxValue")) maxValue_ = floatFromProperty(set->find("MaxValue"));
    if (has("Value")) value_ = floatFromProperty(set->find("Value"));
    if (has("DeltaValue")) deltaValue_ = floatFromProperty(set->find("DeltaValue"));
    if (has("KnobType")) knobType_ = intFromProperty(set->find("KnobType"));
}

}  // namespace engine
