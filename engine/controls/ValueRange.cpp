#include "engine/controls/ValueRange.h"
#include "engine/core/PropertySet.h"
#include <algorithm>

namespace engine {

bool ValueRange::setMin(float min) {
    if (!(min < maxValue)) return false;
    minValue = min;
    if (value < min) value = min;
    return true;
}

bool ValueRange::setMax(float max) {
    if (!(max > minValue)) return false;
    maxValue = max;
    if (value > max) value = max;
    return true;
}

void ValueRange::setValue(float v) { value = std::min(maxValue, std::max(minValue, v)); }

void ValueRange::write(PropertySet* set) const {
    if (!set) return;
    const ValueRange defaults;
    if (minValue != defaults.minValue) set->add("MinValue", value_range_detail::floatData(minValue));
    if (maxValue != defaults.maxValue) set->add("MaxValue", value_range_detail::floatData(maxValue));
    if (value != defaults.value) set->add("Value", value_range_detail::floatData(value));
}

void ValueRange::read(PropertySet* set) {
    if (!set) return;
    if (set->indexOf("MinValue") >= 0) minValue = floatFromProperty(set->find("MinValue"));
    if (set->indexOf("MaxValue") >= 0) maxValue = floatFromProperty(set->find("MaxValue"));
    if (set->indexOf("Value") >= 0) value = floatFromProperty(set->find("Value"));
}

}  // namespace engine
