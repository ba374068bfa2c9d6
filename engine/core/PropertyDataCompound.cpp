#include "engine/core/PropertyDataCompound.h"
#include "engine/core/TextConvert.h"
#include "engine/core/XmlReader.h"
#include "engine/core/XmlWriter.h"

namespace engine {

// ---------------------------------------------------------------------------
// stringwArray

const stringw& CPropertyDataStringWArray::getTypeName() const {
    static const stringw name(L"stringwArray");
    return name;
}

const stringw& CPropertyDataStringWArray::getClassName() const {
    static const stringw name(L"CPropertyDataStringWArray");
    return name;
}

CountedRef<IPropertyData> CPropertyDataStringWArray::clone() const {
    return CountedRef<IPropertyData>(new CPropertyDataStringWArray(value));
}

bool CPropertyDataStringWArray::equals(const IPropertyData* other) const {
    const auto* o = dynamic_cast<const CPropertyDataStringWArray*>(other);
    if (!o || o->value.size() != value.size()) return false;
    for (uint32_t i = 0; i < value.size(); ++i)
        if (value[i] != o->value[i]) return false;
    return true;
}

bool CPropertyDataStringWArray::interpolate(const IPropertyData* end, IPropertyData* out, float t, int32_t) const {
    const auto* e = dynamic_cast<const CPropertyDataStringWArray*>(end);
    auto* o = dynamic_cast<CPropertyDataStringWArray*>(out);
    if (!e || !o || !(t >= 1.0f)) return false;
    o->value = e->value;
    return true;
}

void CPropertyDataStringWArray::readFromXml(XmlReader* reader) {
    value.clear();
    if (!reader || reader->isEmptyElement()) return;
    const int32_t depth = reader->getDepth();
    while (reader->readInside(depth)) {
        if (reader->getNodeType() == irr::io::EXN_ELEMENT && reader->getNodeName() == L"stringw")
            value.push_back(reader->getAttributeValue(0));
    }
}

void CPropertyDataStringWArray::writeToXml(XmlWriter* writer, const stringc& name) const {
    if (!writer) return;
    writer->writeElement(getTypeName().c_str(), false, L"Name", widen(name).c_str());
    writer->writeLineBreak();
    for (uint32_t i = 0; i < value.size(); ++i) {
        writer->writeElement(L"stringw", true, L"Value", value[i].c_str());
        writer->writeLineBreak();
    }
    writer->writeClosingTag(getTypeName().c_str());
}

}  // namespace engine
