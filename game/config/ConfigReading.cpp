#include "game/config/ConfigReading.h"
#include "engine/core/Logger.h"
#include "engine/core/PropertySet.h"
#include "engine/core/TextConvert.h"
#include "engine/core/TextRoutines.h"
#include <utility>

namespace game {

using engine::XmlReader;

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
    logConfigError(what, engine::stringc("range ") + engine::stringc(range.min) + ", " + engine::stringc(range.max) +
                             " is written backwards (or as one number); its ends were swapped");
    std::swap(range.min, range.max);
}

void orderRange(engine::vector2df& range, const char* what) {
    if (range.Y >= range.X) return;
    logConfigError(what, engine::stringc("range ") + engine::stringc(range.X) + ", " + engine::stringc(range.Y) +
                             " is written backwards (or as one number); its ends were swapped");
    std::swap(range.X, range.Y);
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
