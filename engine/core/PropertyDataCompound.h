#pragma once
// Compound property values: a list of wide strings. The nested property set
// ("properties") lives with PropertySet; values that hold content (an atlas
// texture, a font, a sound) live with the part of the engine that owns that
// content.
#include "engine/core/PropertyData.h"

namespace engine {

// "stringwArray" (type id 11), written as an element with one "stringw" child
// per string:
//   <stringwArray Name="Strings">
//     <stringw Value="first" />
//   </stringwArray>
// Its text forms are empty.
class CPropertyDataStringWArray : public IPropertyData {
public:
    CPropertyDataStringWArray() = default;
    explicit CPropertyDataStringWArray(const array<stringw>& strings) : value(strings) {}

    const stringw& getTypeName() const override;
    const stringw& getClassName() const override;
    int32_t getTypeId() const override { return PROPERTY_STRINGW_ARRAY; }
    CountedRef<IPropertyData> clone() const override;
    stringc toString() const override { return stringc(); }
    stringw toStringW() const override { return stringw(); }
    void fromString(const stringc&) override {}
    void fromStringW(const stringw&) override {}
    // The same strings in the same order.
    bool equals(const IPropertyData* other) const override;
    // At t of 1 or more the output takes a copy of the end's strings (true);
    // below, nothing is written (false).
    bool interpolate(const IPropertyData* end, IPropertyData* out, float t, int32_t mode) const override;
    // Empties the array, then appends the first attribute of every "stringw"
    // element up to the end tag "stringwArray". Other elements are skipped.
    void readFromXml(XmlReader* reader) override;
    void writeToXml(XmlWriter* writer, const stringc& name) const override;

    array<stringw> value;
};

}  // namespace engine
