#include "engine/core/SetProps.h"
#include "engine/core/BaseNode.h"
#include "engine/core/XmlReader.h"
#include "engine/core/XmlWriter.h"

namespace engine {

SetProps::SetProps() : set_(new PropertySet()) { setPeriod(1); }

SetProps::~SetProps() = default;

void SetProps::setTarget(BaseNode* node) {
    Base::setTarget(node);
    if (node && set_) map_ = mapToTargetTable(set_.get());
}

void SetProps::start(uint32_t, bool apply) {
    BaseNode* target = getTarget();
    if (!apply || !target || !set_) return;
    // A setter may reach code that drops this animator's state.
    CountedRef<Base> keep = CountedRef<Base>::share(this);
    CountedRef<PropertySet> set = set_;
    const PropertyTable& table = target->getPropertyTable();
    for (uint32_t j = 0; j < map_.size() && j < set->getCount(); ++j) {
        if (map_[j] == -1) continue;
        table.set(*target, map_[j], set->getDataAt(j));
    }
}

void SetProps::readXml(XmlReader* reader, BaseNode*, IContentManager* contentManager, const stringw& elementName) {
    map_.clear();
    set_.reset(new PropertySet(contentManager));
    if (!reader) return;
    // The set reads every element up to the end of the animator's element.
    set_->read(reader, false, elementName);
    if (getTarget()) map_ = mapToTargetTable(set_.get());
}

void SetProps::writeXml(XmlWriter* writer, BaseNode*, const stringw& elementName) {
    if (!writer) return;
    array<stringw> names;
    array<stringw> values;
    commonAttributes(names, values);
    writer->writeElement(elementName.c_str(), false, names, values);
    writer->writeLineBreak();
    if (set_ && set_->getCount() != 0) set_->write(writer);
    writer->writeClosingTag(elementName.c_str());
    writer->writeLineBreak();
}

Base* SetProps::clone(State*, BaseNode*) {
    auto* copy = new SetProps();
    copy->setName(getName());
    if (set_) copy->set_ = set_->clone();
    return copy;
}

}  // namespace engine
