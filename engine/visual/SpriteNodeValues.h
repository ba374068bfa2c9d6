#pragma once
// Typed reads of property values shared by the visual nodes' property tables
// and readers: a value of the expected class gives its content; a missing
// value or one of another class gives the type's zero.
#include "engine/core/PropertyData.h"
#include "engine/core/PropertyDataCompound.h"

namespace engine::node_values {

inline int32_t intOf(const CountedRef<IPropertyData>& value) {
    const auto* data = value && value->isOfType(PROPERTY_INT) ? dynamic_cast<const CPropertyDataInt*>(value.get())
                                                              : nullptr;
    return data ? data->value : 0;
}

inline bool boolOf(const CountedRef<IPropertyData>& value) {
    const auto* data = value && value->isOfType(PROPERTY_BOOL) ? dynamic_cast<const CPropertyDataBool*>(value.get())
                                                               : nullptr;
    return data && data->value;
}

inline float floatOf(const CountedRef<IPropertyData>& value) {
    const auto* data = value && value->isOfType(PROPERTY_FLOAT) ? dynamic_cast<const CPropertyDataFloat*>(value.get())
                                                                : nullptr;
    return data ? data->value : 0.0f;
}

inline vector2df vector2Of(const CountedRef<IPropertyData>& value) {
    const auto* data = value && value->isOfType(PROPERTY_VECTOR2D)
                           ? dynamic_cast<const CPropertyDataVector2d*>(value.get())
                           : nullptr;
    return data ? data->value : vector2df(0.0f, 0.0f);
}

inline AtlasTextureContent* atlasTextureOf(const CountedRef<IPropertyData>& value) {
    const auto* data = value && value->isOfType(PROPERTY_ATLAS_TEXTURE)
                           ? dynamic_cast<const CPropertyDataAtlasTexture*>(value.get())
                           : nullptr;
    return data ? data->getTexture() : nullptr;
}

inline BaseFont* fontOf(const CountedRef<IPropertyData>& value) {
    const auto* data = value && value->isOfType(PROPERTY_FONT) ? dynamic_cast<const CPropertyDataFont*>(value.get())
                                                               : nullptr;
    return data ? data->getFont() : nullptr;
}

}  // namespace engine::node_values
