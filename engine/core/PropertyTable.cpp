#include "engine/core/PropertyTable.h"
#include <cstring>

namespace engine {

void PropertyTable::add(const char* name, PropertySetter setter, PropertyGetter getter) {
    PropertyTableEntry entry;
    entry.name = name ? name : "";
    entry.setter = setter;
    entry.getter = getter;
    entries_.push_back(entry);
}

void PropertyTable::append(const PropertyTable& other) {
    entries_.insert(entries_.end(), other.entries_.begin(), other.entries_.end());
}

int32_t PropertyTable::indexOf(const char* name) const {
    if (!name) return -1;
    for (size_t i = 0; i < entries_.size(); ++i) {
        if (std::strcmp(entries_[i].name.c_str(), name) == 0) return static_cast<int32_t>(i);
    }
    return -1;
}

int32_t PropertyTable::indexOf(const stringc& name) const {
    // Compared by length and bytes, so a name holding a zero byte is not cut short.
    for (size_t i = 0; i < entries_.size(); ++i) {
        const stringc& own = entries_[i].name;
        if (own.size() == name.size() && std::memcmp(own.c_str(), name.c_str(), own.size()) == 0)
            return static_cast<int32_t>(i);
    }
    return -1;
}

void PropertyTable::set(PropertyTableOwner& object, int32_t index, const CountedRef<IPropertyData>& value) const {
    if (index < 0 || static_cast<size_t>(index) >= entries_.size()) return;
    const PropertyTableEntry& entry = entries_[static_cast<size_t>(index)];
    if (entry.setter) entry.setter(object, value);
}

CountedRef<IPropertyData> PropertyTable::get(PropertyTableOwner& object, int32_t index) const {
    if (index < 0 || static_cast<size_t>(index) >= entries_.size()) return CountedRef<IPropertyData>();
    const PropertyTableEntry& entry = entries_[static_cast<size_t>(index)];
    return entry.getter ? entry.getter(object) : CountedRef<IPropertyData>();
}

void appendPropertyTable(PropertyTable& table, const PropertyTable& base) { table.append(base); }

const PropertyTable& PropertyTableOwner::rootPropertyTable() {
    static const PropertyTable root;
    return root;
}

const PropertyTable& PropertyTableOwner::getPropertyTable() const { return rootPropertyTable(); }

void PropertyHolder::writeProperties(PropertySet*) {}

void PropertyHolder::readProperties(PropertySet*) {}

}  // namespace engine
