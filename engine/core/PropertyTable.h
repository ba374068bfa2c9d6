#pragma once
// Named access to an object's values.
//
// Two ways lead to a value by name. Whole sets of values (scene files,
// templates) go through the PropertyHolder pair, which each class writes by
// hand. Single values changed over time (animators) go through the class's
// property table: a static, ordered array of (name, setter, getter) built once
// per class from its base's table followed by its own entries. Names are never
// merged: a class that declares a base's name again gets a second entry, and a
// lookup finds the first one.
#include "engine/core/PropertyData.h"
#include "engine/core/RefCounted.h"
#include "engine/core/Types.h"
#include <cstdint>
#include <vector>

namespace engine {

class PropertySet;
class PropertyTableOwner;

// Stores a value into the object; a null value or one of another class stores
// the zero value of the entry's type.
using PropertySetter = void (*)(PropertyTableOwner& object, const CountedRef<IPropertyData>& value);
// A new value holding the object's current value.
using PropertyGetter = CountedRef<IPropertyData> (*)(PropertyTableOwner& object);

struct PropertyTableEntry {
    stringc name;
    PropertySetter setter = nullptr;
    PropertyGetter getter = nullptr;
};

class PropertyTable {
public:
    PropertyTable() = default;

    void add(const char* name, PropertySetter setter, PropertyGetter getter);
    // Appends every entry of another table, in order.
    void append(const PropertyTable& other);

    uint32_t size() const { return static_cast<uint32_t>(entries_.size()); }
    const PropertyTableEntry& operator[](uint32_t index) const { return entries_[index]; }
    // The index of the first entry whose name is equal byte for byte, or -1.
    int32_t indexOf(const stringc& name) const;
    int32_t indexOf(const char* name) const;

    // Calls the entry's setter or getter; nothing (or an empty value) for an
    // index outside the table.
    void set(PropertyTableOwner& object, int32_t index, const CountedRef<IPropertyData>& value) const;
    CountedRef<IPropertyData> get(PropertyTableOwner& object, int32_t index) const;

private:
    std::vector<PropertyTableEntry> entries_;
};

// Copies the base's entries in front of a class's own (the first step of
// building every class table).
void appendPropertyTable(PropertyTable& table, const PropertyTable& base);

// The one-operation interface of objects with a property table: nodes, states,
// animators and emitters.
class PropertyTableOwner {
public:
    virtual ~PropertyTableOwner() = default;
    // The class's table. The root table is empty.
    virtual const PropertyTable& getPropertyTable() const;

    // The root of every chain of tables: empty.
    static const PropertyTable& rootPropertyTable();
};

// Writes an object's non-default values into a set and applies the values a
// set holds. The interface's own operations do nothing, which is what classes
// without saved values keep. A subclass calls its base's operation first and
// then handles its own names.
class PropertyHolder {
public:
    virtual ~PropertyHolder() = default;
    // Adds the values that differ from their defaults.
    virtual void writeProperties(PropertySet* set);
    // Applies every value present; absent values stay as they are and unknown
    // names are ignored.
    virtual void readProperties(PropertySet* set);
};

}  // namespace engine
