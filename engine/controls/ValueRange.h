#pragma once
// A value kept between a minimum and a maximum: the model of the progress
// bars and of the slider, with its "MinValue", "MaxValue" and "Value"
// properties.
#include "engine/core/PropertyData.h"
#include "engine/core/PropertyTable.h"

namespace engine {

class PropertySet;

struct ValueRange {
    float minValue = 0.0f;
    float maxValue = 100.0f;
    float value = 50.0f;

    // Ignored (false) unless below the maximum; raises the value to it when needed.
    bool setMin(float min);
    // Ignored (false) unless above the minimum; lowers the value to it when needed.
    bool setMax(float max);
    // Clamped into [minValue, maxValue].
    void setValue(float v);

    // Each of the three that differs from its default.
    void write(PropertySet* set) const;
    // Each of the three the set holds, stored as it is: the file is trusted
    // to be consistent.
    void read(PropertySet* set);

    // Adds "MinValue", "MaxValue" and "Value" to a node's table, through the
    // node's own setters (which lay it out) and getters.
    template <class Node>
    static void appendEntries(PropertyTable& table);
};

namespace value_range_detail {

inline CountedRef<IPropertyData> floatData(float value) { return CountedRef<IPropertyData>(makeFloatProperty(value)); }

template <class Node>
Node& nodeOf(PropertyTableOwner& object) {
    return static_cast<Node&>(object);
}

template <class Node>
void setMin(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    nodeOf<Node>(o).setMinValue(floatFromProperty(v));
}
template <class Node>
CountedRef<IPropertyData> getMin(PropertyTableOwner& o) {
    return floatData(nodeOf<Node>(o).getMinValue());
}
template <class Node>
void setMax(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    nodeOf<Node>(o).setMaxValue(floatFromProperty(v));
}
template <class Node>
CountedRef<IPropertyData> getMax(PropertyTableOwner& o) {
    return floatData(nodeOf<Node>(o).getMaxValue());
}
template <class Node>
void setValue(PropertyTableOwner& o, const CountedRef<IPropertyData>& v) {
    nodeOf<Node>(o).setValue(floatFromProperty(v));
}
template <class Node>
CountedRef<IPropertyData> getValue(PropertyTableOwner& o) {
    return floatData(nodeOf<Node>(o).getValue());
}

}  // namespace value_range_detail

template <class Node>
void ValueRange::appendEntries(PropertyTable& table) {
    table.add("MinValue", &value_range_detail::setMin<Node>, &value_range_detail::getMin<Node>);
    table.add("MaxValue", &value_range_detail::setMax<Node>, &value_range_detail::getMax<Node>);
    table.add("Value", &value_range_detail::setValue<Node>, &value_range_detail::getValue<Node>);
}

}  // namespace engine
