#pragma once
// An ordered list of named property values with an index by name, read from
// and written to XML as one element (by default "Properties") whose children
// are the values:
//
//   <Properties>
//     <int Name="TopItem" Value="3" />
//     <bool Name="Visible" Value="false" />
//   </Properties>
//
// Values are shared, not copied: add and set take a reference to the value
// object, so code changes a stored value by storing a new value object.
#include "engine/core/PropertyData.h"
#include <map>
#include <string>
#include <vector>

namespace engine {

class IContentManager;

class PropertySet {
public:
    // The content manager (may be null, not counted) is handed to the values
    // read from XML into this set, so that content values can load.
    explicit PropertySet(IContentManager* contentManager = nullptr);
    virtual ~PropertySet();

    PropertySet(const PropertySet&) = delete;
    PropertySet& operator=(const PropertySet&) = delete;

    // The set's own count: 1 after construction; the release that brings it to
    // 0 deletes the set (true then). CountedRef<PropertySet> works with these.
    void addRef() { ++refCount_; }
    bool release();
    int32_t getRefCount() const { return refCount_; }

    IContentManager* getContentManager() const { return contentManager_; }

    // Appends an entry (the value may be null); the name now leads to it, an
    // earlier entry of the same name stays in the list.
    void add(const stringc& name, const CountedRef<IPropertyData>& value);
    // Replaces the value of the entry the name leads to, keeping its place;
    // appends when the name is new.
    void set(const stringc& name, const CountedRef<IPropertyData>& value);
    // The value under the name; empty when the name is unknown or its entry
    // holds no value.
    CountedRef<IPropertyData> find(const stringc& name) const;
    // The position of the entry the name leads to, or -1.
    int32_t indexOf(const stringc& name) const;
    // Replaces the value at a position; positions past the end do nothing.
    void setDataAt(uint32_t position, const CountedRef<IPropertyData>& value);
    void clear();
    // A new set (count 1, same content manager) holding clones of the values.
    CountedRef<PropertySet> clone() const;

    // The entries in order.
    uint32_t getCount() const { return static_cast<uint32_t>(entries_.size()); }
    const stringc& getNameAt(uint32_t position) const;
    CountedRef<IPropertyData> getDataAt(uint32_t position) const;

    // Typed access by name. Getters give 0, false or the empty text when the
    // value is missing or of another type; getString gives any value's text.
    bool getBool(const stringc& name) const;
    int32_t getInt(const stringc& name) const;
    float getFloat(const stringc& name) const;
    stringc getString(const stringc& name) const;
    // Any value's wide text (a wide string's own characters; narrow text
    // widened by the engine's rule); empty when the name is unknown.
    stringw getStringW(const stringc& name) const;
    void setBool(const stringc& name, bool value);
    void setInt(const stringc& name, int32_t value);
    void setFloat(const stringc& name, float value);
    void setString(const stringc& name, const stringc& value);
    void setStringW(const stringc& name, const stringw& value);
    void addInt(const stringc& name, int32_t value);
    void addColor(const stringc& name, SColor value);
    void addVector2d(const stringc& name, const vector2df& value);
    void addVector3d(const stringc& name, const vector3df& value);
    void addFloat(const stringc& name, float value);
    void addString(const stringc& name, const stringc& value);
    // Appends a nested set (one count taken) as a "properties" value.
    void setProperties(const stringc& name, PropertySet* nested);

    // Appends a new bool value to the set; nothing for a null set.
    static void addValue(PropertySet* set, const stringc& name, bool value);

    // Writes the entries that hold a value. `header` writes the XML
    // declaration first; `ownElement` encloses the entries in an element named
    // `elementName` ("Properties" when empty). False without a writer.
    bool write(XmlWriter* writer, bool header = false, const stringw& elementName = stringw(),
               bool ownElement = true) const;
    // Replaces the content with the element the reader stands on, named
    // `elementName` ("Properties" when empty), consuming it up to and including
    // its end. With `nameCheck` the current element must have that name, else
    // false (the set is cleared all the same). False without a reader.
    bool read(XmlReader* reader, bool nameCheck = false, const stringw& elementName = stringw());

private:
    struct Entry {
        stringc name;
        CountedRef<IPropertyData> value;
    };

    void readValue(XmlReader* reader);

    int32_t refCount_ = 1;
    IContentManager* contentManager_;
    std::vector<Entry> entries_;
    std::map<std::string, int32_t> index_;
};

// A value copied with clone; empty for an empty input.
CountedRef<IPropertyData> cloneData(const CountedRef<IPropertyData>& data);

// A nested property set as a value ("properties", type id 12). It holds one
// count of the set. Read from XML it makes its set when it has none, with the
// content manager it was made with, so content values inside can load.
class CPropertyDataProperties : public IPropertyData {
public:
    explicit CPropertyDataProperties(PropertySet* set = nullptr, IContentManager* contentManager = nullptr);
    ~CPropertyDataProperties() override;

    PropertySet* getSet() const { return set_.get(); }
    void setSet(PropertySet* set);

    const stringw& getTypeName() const override;
    const stringw& getClassName() const override;
    int32_t getTypeId() const override { return PROPERTY_PROPERTIES; }
    // A new value holding a deep copy of the set (none without a set).
    CountedRef<IPropertyData> clone() const override;
    stringc toString() const override { return stringc(); }
    stringw toStringW() const override { return stringw(); }
    void fromString(const stringc&) override {}
    void fromStringW(const stringw&) override {}
    // True for the same set object.
    bool equals(const IPropertyData* other) const override;
    bool interpolate(const IPropertyData*, IPropertyData*, float, int32_t) const override { return false; }
    void readFromXml(XmlReader* reader) override;
    // Nothing without a set; else a "properties" element with the entries.
    void writeToXml(XmlWriter* writer, const stringc& name) const override;

private:
    CountedRef<PropertySet> set_;
    IContentManager* contentManager_;
};

}  // namespace engine
