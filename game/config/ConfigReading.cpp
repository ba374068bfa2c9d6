#include "game/config/ConfigReading.h"
#include "engine/core/Logger.h"
#include "engine/core/PropertySet.h"
#include "engine/core/TextConvert.h"
#include "engine/core/TextRoutines.h"
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>

namespace game {

using engine::XmlReader;

engine::stringc numberText(int32_t value) { return engine::stringc(std::to_string(value).c_str()); }

engine::stringc numberText(float value) {
    char text[32];
    std::snprintf(text, sizeof(text), "%g", static_cast<double>(value));
    return engine::stringc(text);
}

bool skipElement(XmlReader& reader) {
    if (reader.getNodeType() != irr::io::EXN_ELEMENT) return true;
    if (reader.finishEmptyElement()) return true;
    int32_t depth = 1;
    while (reader.read()) {
        const irr::io::EXML_NODE type = reader.getNodeType();
        if (type == irr::io::EXN_ELEMENT) {
            ++depth;
        } else if (type == irr::io::EXN_ELEMENT_END) {
            if (--depth == 0) return true;
        }
    }
    return false;
}

bool forEachChild(XmlReader& reader, const ChildHandler& onChild) {
    if (reader.finishEmptyElement()) return true;
    while (reader.read()) {
        const irr::io::EXML_NODE type = reader.getNodeType();
        if (type == irr::io::EXN_ELEMENT_END) return true;
        if (type != irr::io::EXN_ELEMENT) continue;
        const engine::stringw childName = reader.getNodeName();
        if (!onChild(reader)) return false;
        // A handler that only looked at the start leaves the child to skip.
        if (reader.getNodeType() == irr::io::EXN_ELEMENT && reader.getNodeName() == childName) {
            if (!skipElement(reader)) return false;
        }
    }
    return false;
}

bool readRootElement(XmlReader& reader, const wchar_t* rootName, const char* what, const ChildHandler& onChild,
                     bool* complete) {
    if (complete) *complete = false;
    // The reader may already stand on the root (a caller that peeked at it).
    bool found = reader.getNodeType() == irr::io::EXN_ELEMENT && reader.getNodeName() == rootName;
    while (!found && reader.read()) {
        found = reader.getNodeType() == irr::io::EXN_ELEMENT && reader.getNodeName() == rootName;
    }
    if (!found) {
        logConfigError(what, engine::stringc("no <") + engine::narrow(rootName) + "> element; nothing read");
        return false;
    }
    const bool ended = forEachChild(reader, onChild);
    if (!ended) {
        logConfigError(what, engine::stringc("the file ends before </") + engine::narrow(rootName) +
                                 ">; a record cut off there was dropped");
    }
    if (complete) *complete = ended;
    return true;
}

bool readPropertiesElement(XmlReader& reader, const std::function<void(const engine::PropertySet&)>& apply) {
    engine::CountedRef<engine::PropertySet> set(new engine::PropertySet());
    set->read(&reader);
    // A set cut off by the end of the input is not applied in part.
    if (reader.getNodeType() != irr::io::EXN_ELEMENT_END) return false;
    apply(*set);
    return true;
}

bool PropertyTaker::has(const char* key) const { return static_cast<bool>(set_.find(key)); }

void PropertyTaker::take(const char* key, int32_t& field) const {
    if (has(key)) field = engine::intFromProperty(set_.find(key));
}
void PropertyTaker::take(const char* key, float& field) const {
    if (has(key)) field = engine::floatFromProperty(set_.find(key));
}
void PropertyTaker::take(const char* key, bool& field) const {
    if (has(key)) field = engine::boolFromProperty(set_.find(key));
}
void PropertyTaker::take(const char* key, engine::vector2df& field) const {
    if (has(key)) field = engine::vector2dFromProperty(set_.find(key));
}
void PropertyTaker::take(const char* key, engine::stringc& field) const {
    if (has(key)) field = engine::propertyDataToString(set_.find(key));
}
void PropertyTaker::take(const char* key, engine::stringw& field) const {
    if (has(key)) field = engine::getPropertyStringW(set_.find(key));
}
void PropertyTaker::takeName(const char* key, engine::NameId& field) const {
    if (has(key)) field = engine::nameIdFromProperty(set_.find(key));
}
void PropertyTaker::takeNames(const char* key, engine::array<engine::NameId>& field) const {
    if (has(key)) field = engine::splitBySemicolon(engine::propertyDataToString(set_.find(key)));
}

IntRange parseIntRange(const engine::stringw& text) {
    const engine::array<int32_t> numbers = engine::parseIntArray(engine::narrow(text));
    IntRange range;
    if (numbers.size() > 0) range.min = numbers[0];
    if (numbers.size() > 1) range.max = numbers[1];
    return range;
}

void orderRange(IntRange& range, const char* what) {
    if (range.max >= range.min) return;
    logConfigError(what, engine::stringc("range ") + numberText(range.min) + ", " + numberText(range.max) +
                             " is written backwards (or as one number); its ends were swapped");
    std::swap(range.min, range.max);
}

void orderRange(engine::vector2df& range, const char* what) {
    if (range.Y >= range.X) return;
    logConfigError(what, engine::stringc("range ") + numberText(range.X) + ", " + numberText(range.Y) +
                             " is written backwards (or as one number); its ends were swapped");
    std::swap(range.X, range.Y);
}

void keepWithin(float& field, float low, float high, const char* what, const char* key) {
    if (field >= low && field <= high) return;
    const float kept = std::isnan(field) ? std::min(std::max(0.0f, low), high) : field < low ? low : high;
    logConfigError(what, engine::stringc(key) + " " + numberText(field) + " is outside " + numberText(low) + " to " +
                             numberText(high) + "; " + numberText(kept) + " is used");
    field = kept;
}

void keepWithin(int32_t& field, int32_t low, int32_t high, const char* what, const char* key) {
    if (field >= low && field <= high) return;
    const int32_t kept = field < low ? low : high;
    logConfigError(what, engine::stringc(key) + " " + numberText(field) + " is outside " + numberText(low) + " to " +
                             numberText(high) + "; " + numberText(kept) + " is used");
    field = kept;
}

void keepWithin(engine::vector2df& field, float low, float high, const char* what, const char* key) {
    keepWithin(field.X, low, high, what, key);
    keepWithin(field.Y, low, high, what, key);
}

void keepWithin(IntRange& field, int32_t low, int32_t high, const char* what, const char* key) {
    keepWithin(field.min, low, high, what, key);
    keepWithin(field.max, low, high, what, key);
}

engine::array<engine::NameId> nameListAttribute(const XmlReader& reader, const wchar_t* name) {
    return engine::splitBySemicolon(engine::narrow(reader.getAttributeValue(name)));
}

bool containsName(const engine::array<engine::NameId>& list, engine::NameId id) {
    for (uint32_t i = 0; i < list.size(); ++i) {
        if (list[i] == id) return true;
    }
    return false;
}

void logConfigError(const char* what, const engine::stringc& text) {
    engine::logError((engine::stringc(what) + ": " + text).c_str());
}

}  // namespace game
