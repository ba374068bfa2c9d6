#include "engine/core/PropertySet.h"
#include "engine/core/PropertyDataRegistry.h"
#include "engine/core/TextConvert.h"
#include "engine/core/XmlReader.h"
#include "engine/core/XmlWriter.h"

namespace engine {

namespace {

const stringw& defaultElementName() {
    static const stringw name(L"Properties");
    return name;
}

const stringw& effectiveName(const stringw& elementName) {
    return elementName.empty() ? defaultElementName() : elementName;
}

}  // namespace

PropertySet::PropertySet(IContentManager* contentManager) : contentManager_(contentManager) {}

PropertySet::~PropertySet() { clear(); }

bool PropertySet::release() {
    if (--refCount_ == 0) {
        delete this;
        return true;
    }
    return false;
}

void PropertySet::add(const stringc& name, const CountedRef<IPropertyData>& value) {
    // The list grows to twice its count plus one when full.
    if (entries_.size() == entries_.capacity()) entries_.reserve(entries_.size() * 2 + 1);
    entries_.push_back(Entry{name, value});
    index_[name.c_str()] = static_cast<int32_t>(entries_.size() - 1);
}

void PropertySet::set(const stringc& name, const CountedRef<IPropertyData>& value) {
    const auto it = index_.find(name.c_str());
    if (it == index_.end()) {
        add(name, value);
        return;
    }
    entries_[static_cast<size_t>(it->second)].value = value;
}

CountedRef<IPropertyData> PropertySet::find(const stringc& name) const {
    const auto it = index_.find(name.c_str());
    if (it == index_.end()) return CountedRef<IPropertyData>();
    return entries_[static_cast<size_t>(it->second)].value;
}

int32_t PropertySet::indexOf(const stringc& name) const {
    const auto it = index_.find(name.c_str());
    return it == index_.end() ? -1 : it->second;
}

void PropertySet::setDataAt(uint32_t position, const CountedRef<IPropertyData>& value) {
    if (position >= entries_.size()) return;
    entries_[position].value = value;
}

void PropertySet::clear() {
    entries_.clear();
    index_.clear();
}

CountedRef<PropertySet> PropertySet::clone() const {
    CountedRef<PropertySet> copy(new PropertySet(contentManager_));
    copy->entries_.reserve(entries_.size());
    for (const Entry& e : entries_) copy->entries_.push_back(Entry{e.name, cloneData(e.value)});
    copy->index_ = index_;
    return copy;
}

const stringc& PropertySet::getNameAt(uint32_t position) const {
    static const stringc empty;
    return position < entries_.size() ? entries_[position].name : empty;
}

CountedRef<IPropertyData> PropertySet::getDataAt(uint32_t position) const {
    return position < entries_.size() ? entries_[position].value : CountedRef<IPropertyData>();
}

bool PropertySet::getBool(const stringc& name) const { return boolFromProperty(find(name)); }
int32_t PropertySet::getInt(const stringc& name) const { return intFromProperty(find(name)); }
float PropertySet::getFloat(const stringc& name) const { return floatFromProperty(find(name)); }

stringc PropertySet::getString(const stringc& name) const { return propertyDataToString(find(name)); }
stringw PropertySet::getStringW(const stringc& name) const { return getPropertyStringW(find(name)); }

void PropertySet::setBool(const stringc& name, bool value) { set(name, makeBoolProperty(value)); }
void PropertySet::setInt(const stringc& name, int32_t value) { set(name, makeIntProperty(value)); }
void PropertySet::setFloat(const stringc& name, float value) { set(name, makeFloatProperty(value)); }
void PropertySet::setString(const stringc& name, const stringc& value) { set(name, makeStringProperty(value)); }
void PropertySet::setStringW(const stringc& name, const stringw& value) { set(name, makeStringWProperty(value)); }
void PropertySet::addInt(const stringc& name, int32_t value) { add(name, makeIntProperty(value)); }
void PropertySet::addColor(const stringc& name, SColor value) { add(name, makeColorProperty(value)); }
void PropertySet::addVector2d(const stringc& name, const vector2df& value) { add(name, makeVector2dProperty(value)); }
void PropertySet::addVector3d(const stringc& name, const vector3df& value) { add(name, makeVector3dProperty(value)); }
void PropertySet::addFloat(const stringc& name, float value) { add(name, makeFloatProperty(value)); }
void PropertySet::addString(const stringc& name, const stringc& value) { add(name, makeStringProperty(value)); }

void PropertySet::setProperties(const stringc& name, PropertySet* nested) {
    add(name, CountedRef<IPropertyData>(new CPropertyDataProperties(nested)));
}

void PropertySet::addValue(PropertySet* set, const stringc& name, bool value) {
    if (!set) return;
    set->add(name, makeBoolProperty(value));
}

bool PropertySet::write(XmlWriter* writer, bool header, const stringw& elementName, bool ownElement) const {
    if (!writer) return false;
    if (header) writer->writeXMLHeader();
    const stringw& name = effectiveName(elementName);
    if (ownElement) {
        writer->writeElement(name.c_str(), false);
        writer->writeLineBreak();
    }
    for (const Entry& e : entries_) {
        if (!e.value) continue;
        e.value->writeToXml(writer, e.name);
        writer->writeLineBreak();
    }
    if (ownElement) {
        writer->writeClosingTag(name.c_str());
        writer->writeLineBreak();
    }
    return true;
}

bool PropertySet::read(XmlReader* reader, bool nameCheck, const stringw& elementName) {
    if (!reader) return false;
    clear();
    const stringw& name = effectiveName(elementName);
    if (nameCheck && reader->getNodeName() != name) return false;
    // An empty element has nothing inside; step over its end.
    if (reader->finishEmptyElement()) return true;
    // Standing on the set's own element, the set ends with that element, not
    // at the end of another element of its name inside it. Standing on an
    // enclosing element, it ends at the first end tag of its name.
    const bool ownElement = reader->getNodeType() == irr::io::EXN_ELEMENT && reader->getNodeName() == name;
    const int32_t depth = reader->getDepth();
    while (reader->read()) {
        const irr::io::EXML_NODE type = reader->getNodeType();
        if (type == irr::io::EXN_ELEMENT_END && (ownElement ? reader->getDepth() == depth : reader->getNodeName() == name))
            break;
        if (type == irr::io::EXN_ELEMENT) readValue(reader);
    }
    return true;
}

void PropertySet::readValue(XmlReader* reader) {
    const stringw valueName = reader->getAttributeValue(L"Name");
    CountedRef<IPropertyData> value = getPropertyDataRegistry().create(reader->getNodeName(), contentManager_);
    if (value) value->readFromXml(reader);
    // A value that read only its own start leaves the end of an empty element
    // ahead; step over it.
    reader->finishEmptyElement();
    if (!valueName.empty()) add(narrow(valueName), value);
}

CountedRef<IPropertyData> cloneData(const CountedRef<IPropertyData>& data) {
    return data ? data->clone() : CountedRef<IPropertyData>();
}

// ---------------------------------------------------------------------------
// Nested sets

CPropertyDataProperties::CPropertyDataProperties(PropertySet* set, IContentManager* contentManager)
    : set_(CountedRef<PropertySet>::share(set)), contentManager_(contentManager) {}

CPropertyDataProperties::~CPropertyDataProperties() = default;

void CPropertyDataProperties::setSet(PropertySet* set) { set_ = CountedRef<PropertySet>::share(set); }

const stringw& CPropertyDataProperties::getTypeName() const {
    static const stringw name(L"properties");
    return name;
}

const stringw& CPropertyDataProperties::getClassName() const {
    static const stringw name(L"CPropertyDataProperties");
    return name;
}

CountedRef<IPropertyData> CPropertyDataProperties::clone() const {
    auto* copy = new CPropertyDataProperties(nullptr, contentManager_);
    if (set_) copy->set_ = set_->clone();
    return CountedRef<IPropertyData>(copy);
}

bool CPropertyDataProperties::equals(const IPropertyData* other) const {
    const auto* o = dynamic_cast<const CPropertyDataProperties*>(other);
    return o && o->set_ == set_;
}

void CPropertyDataProperties::readFromXml(XmlReader* reader) {
    if (!reader) return;
    if (!set_) set_.reset(new PropertySet(contentManager_));
    set_->read(reader, true, getTypeName());
}

void CPropertyDataProperties::writeToXml(XmlWriter* writer, const stringc& name) const {
    if (!writer || !set_) return;
    writer->writeElement(getTypeName().c_str(), false, L"Name", widen(name).c_str());
    writer->writeLineBreak();
    set_->write(writer, false, stringw(), false);
    writer->writeClosingTag(getTypeName().c_str());
}

}  // namespace engine
