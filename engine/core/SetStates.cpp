#include "engine/core/SetStates.h"
#include "engine/core/BaseNode.h"
#include "engine/core/TextConvert.h"
#include "engine/core/TextRoutines.h"
#include "engine/core/XmlReader.h"
#include "engine/core/XmlWriter.h"

namespace engine {

SetStates::SetStates() { setPeriod(1); }

SetStates::~SetStates() = default;

void SetStates::start(uint32_t, bool apply) {
    if (!apply || !getTarget()) return;
    // Entering states runs handlers that may change the tree or drop the
    // state that holds this animator: keep both, and walk a copy of the list.
    CountedRef<Base> keep = CountedRef<Base>::share(this);
    CountedRef<BaseNode> target = CountedRef<BaseNode>::share(getTarget());
    const std::vector<Entry> entries = entries_;
    for (const Entry& entry : entries) {
        if (entry.children.empty()) {
            target->enterSubtreeState(entry.state, nullptr);
            continue;
        }
        for (uint32_t i = 0; i < entry.children.size(); ++i) {
            BaseNode* child = target->findChild(entry.children[i], 1);
            if (!child) continue;
            CountedRef<BaseNode> held = CountedRef<BaseNode>::share(child);
            held->setState(entry.state, nullptr, kNoName);
        }
    }
}

void SetStates::readXml(XmlReader* reader, BaseNode*, IContentManager*, const stringw& elementName) {
    entries_.clear();
    if (!reader || reader->finishEmptyElement()) return;
    int32_t depth = 0;
    while (nextChildElement(reader, elementName, depth)) {
        if (reader->getNodeName() == L"State") {
            Entry entry;
            entry.state = makeNameId(reader->getAttributeValue(L"Name"));
            if (entry.state == kNoName) continue;
            entry.children = splitBySemicolon(narrow(reader->getAttributeValue(L"Children")));
            entries_.push_back(entry);
        }
    }
}

void SetStates::writeXml(XmlWriter* writer, BaseNode*, const stringw& elementName) {
    if (!writer) return;
    array<stringw> names;
    array<stringw> values;
    commonAttributes(names, values);
    writer->writeElement(elementName.c_str(), false, names, values);
    writer->writeLineBreak();
    for (const Entry& entry : entries_) {
        stringc children;
        for (uint32_t i = 0; i < entry.children.size(); ++i) {
            if (i != 0) children += ";";
            children += nameOfId(entry.children[i]);
        }
        const stringw state = widen(nameOfId(entry.state));
        const stringw list = widen(children);
        writer->writeElement(L"State", true, L"Name", state.c_str(), L"Children", list.c_str());
        writer->writeLineBreak();
    }
    writer->writeClosingTag(elementName.c_str());
    writer->writeLineBreak();
}

Base* SetStates::clone(State*, BaseNode*) {
    auto* copy = new SetStates();
    copy->setName(getName());
    copy->entries_ = entries_;
    return copy;
}

}  // namespace engine
