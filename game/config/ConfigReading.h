#pragma once
// Shared walking and parsing rules of the game's configuration readers. Every
// reader stands on an element start, handles the children it knows and skips
// the others whole, and stops on the element's own end tag. Running out of
// input before that end tag is reported, so a record cut off by a truncated
// file is never kept half read.
#include "engine/core/NameId.h"
#include "engine/core/RefCounted.h"
#include "engine/core/Types.h"
#include "engine/core/XmlReader.h"
#include <functional>
#include <map>

namespace engine {
class PropertySet;
}

namespace game {

// Called on each child element start. It may consume the child up to and
// including its end tag, or leave the reader on the start (the walk then
// skips the child). Returns false when the input ended inside the child.
using ChildHandler = std::function<bool(engine::XmlReader& reader)>;

// Steps from the element start the reader stands on to its end tag, through
// any nesting. False when the input ends first.
bool skipElement(engine::XmlReader& reader);

// Walks the children of the element whose start the reader stands on, ending
// on that element's end tag. An empty element ends at once. False when the
// input ends before the end tag.
bool forEachChild(engine::XmlReader& reader, const ChildHandler& onChild);

// Reads the document's root element named `rootName` with forEachChild.
// Logs an error naming `what` when the input holds no such root or ends
// before its end tag. Returns true when the root was found (even if cut off).
bool readRootElement(engine::XmlReader& reader, const wchar_t* rootName, const char* what,
                     const ChildHandler& onChild, bool* complete = nullptr);

// Reads the "Properties" element the reader stands on into a property set in
// the engine's format and hands the set to `apply`. False (nothing applied)
// when the input ends inside the element.
bool readPropertiesElement(engine::XmlReader& reader, const std::function<void(const engine::PropertySet&)>& apply);

// Takes typed values out of a "Properties" set. A key that is missing leaves
// the field as it is; a value of another type than the field's gives 0, false
// or (0, 0) without a message; text fields take any value's text.
class PropertyTaker {
public:
    explicit PropertyTaker(const engine::PropertySet& set) : set_(set) {}
    bool has(const char* key) const;
    void take(const char* key, int32_t& field) const;
    void take(const char* key, float& field) const;
    void take(const char* key, bool& field) const;
    void take(const char* key, engine::vector2df& field) const;
    void take(const char* key, engine::stringc& field) const;
    void take(const char* key, engine::stringw& field) const;
    // The name id of the value's text (-1 for an empty text).
    void takeName(const char* key, engine::NameId& field) const;
    // A ';' list of names.
    void takeNames(const char* key, engine::array<engine::NameId>& field) const;

private:
    const engine::PropertySet& set_;
};

// The records of a holder by key, one counted reference each.
template <class Key, class Record>
class RecordMap {
public:
    RecordMap() = default;
    ~RecordMap() { clear(); }
    RecordMap(const RecordMap&) = delete;
    RecordMap& operator=(const RecordMap&) = delete;

    void clear() {
        for (auto& entry : records_) entry.second->release();
        records_.clear();
    }
    Record* find(const Key& key) const {
        auto it = records_.find(key);
        return it == records_.end() ? nullptr : it->second;
    }
    // Takes the record unless its key is present: the first record of a key wins.
    void insertFirst(const Key& key, engine::CountedRef<Record>& record) {
        if (!records_.count(key)) records_.emplace(key, record.detach());
    }
    void swap(RecordMap& other) { records_.swap(other.records_); }
    const std::map<Key, Record*>& map() const { return records_; }

private:
    std::map<Key, Record*> records_;
};

// Reads a holder's document into a fresh map and, when the root was found,
// swaps it in (the old records go with the fresh map). Input without the root
// leaves the holder as it was. True when the document was read whole.
template <class Key, class Record>
bool readRecordDocument(engine::XmlReader& reader, const wchar_t* rootName, const char* what,
                        RecordMap<Key, Record>& records,
                        const std::function<bool(engine::XmlReader&, RecordMap<Key, Record>&)>& onChild) {
    RecordMap<Key, Record> read;
    bool complete = false;
    const bool found = readRootElement(
        reader, rootName, what, [&](engine::XmlReader& r) { return onChild(r, read); }, &complete);
    if (found) records.swap(read);
    return found && complete;
}

// A two-int range: the first two numbers of the text (engine number syntax,
// truncated), a missing number 0.
struct IntRange {
    int32_t min = 0;
    int32_t max = 0;
    bool isZero() const { return min == 0 && max == 0; }
    bool operator==(const IntRange& o) const { return min == o.min && max == o.max; }
};
IntRange parseIntRange(const engine::stringw& text);

// Puts a range written backwards in order, logging it under `what`. A text
// with a single number n reads as (n, 0) and is swapped the same way.
void orderRange(IntRange& range, const char* what);
void orderRange(engine::vector2df& range, const char* what);

// The ranges the readers keep the numbers of the files in. A damaged or
// edited file can hold any number (the XML reader saturates at the int and
// float ranges); the game adds, multiplies, converts and formats what it
// reads, so every field is kept within what makes sense for it and the
// arithmetic built on it stays defined.
namespace bounds {
inline constexpr float kMoney = 1e9f;             // money, prices, incomes, costs
inline constexpr int32_t kTimeMs = 100000000;     // a time in ms (a little over a day)
inline constexpr int32_t kCount = 1000000;        // workers, guests, materials, targets
inline constexpr float kPercent = 10000.0f;       // a percentage bonus
inline constexpr float kFactor = 1000.0f;         // a multiplier
inline constexpr float kDistance = 100000.0f;     // a position or size in pixels
inline constexpr int32_t kSmall = 1000;           // levels, kinds, indices, seconds of a day
}  // namespace bounds

// Keeps a number read for the field `key` within [low, high]. A value outside
// (or not a number) is logged under `what` and replaced by the nearest end
// (not a number by the end nearest 0).
void keepWithin(float& field, float low, float high, const char* what, const char* key);
void keepWithin(int32_t& field, int32_t low, int32_t high, const char* what, const char* key);
// Both numbers of a pair or a range.
void keepWithin(engine::vector2df& field, float low, float high, const char* what, const char* key);
void keepWithin(IntRange& field, int32_t low, int32_t high, const char* what, const char* key);

// Name lists of attributes: cut at ';', trimmed, empty pieces dropped.
engine::array<engine::NameId> nameListAttribute(const engine::XmlReader& reader, const wchar_t* name);

// True when the list holds the id.
bool containsName(const engine::array<engine::NameId>& list, engine::NameId id);

// Numbers as text for the messages, any value (the engine string's own
// conversion cannot take the lowest int).
engine::stringc numberText(int32_t value);
engine::stringc numberText(float value);

// Logs an error built from parts ("<what>: <text>").
void logConfigError(const char* what, const engine::stringc& text);

}  // namespace game
