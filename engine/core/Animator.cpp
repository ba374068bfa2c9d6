#include "engine/core/Animator.h"
#include "engine/core/BaseNode.h"
#include "engine/core/Event.h"
#include "engine/core/PropertySet.h"
#include "engine/core/State.h"
#include "engine/core/TextConvert.h"
#include "engine/core/TimerScheduler.h"
#include "engine/core/XmlReader.h"

namespace engine {

Base::Base() { setPeriod(kDefaultAnimatorPeriod); }

Base::~Base() = default;

bool Base::play(TimerScheduler* scheduler) {
    if (scheduler != getTimerScheduler()) setTimerScheduler(scheduler);
    playing_ = true;
    return true;
}

void Base::stop(bool, bool notify) {
    // The scheduler may hold the last reference.
    CountedRef<Base> keep = CountedRef<Base>::share(this);
    if (getTimerScheduler()) setTimerScheduler(nullptr);
    if (notify) {
        playing_ = false;
        notifyEnded(0, false);
    }
}

bool Base::onTimer(uint32_t) { return false; }

bool Base::notifyEnded(uint32_t elapsedMs, bool looped) {
    playing_ = false;
    State* state = parentState_;
    if (!state || !state->takesCategory(EventCategory::Node)) return false;
    CountedRef<AnimatorEndedEvent> event(new AnimatorEndedEvent(this, elapsedMs, looped));
    return state->handleEvent(event.get());
}

void Base::commonAttributes(array<stringw>& names, array<stringw>& values) const {
    names.push_back(L"Type");
    values.push_back(getClassName());
    if (name_ != kNoName) {
        names.push_back(L"Name");
        values.push_back(widen(nameOfId(name_)));
    }
}

std::vector<int32_t> Base::mapToTargetTable(const PropertySet* set) const {
    std::vector<int32_t> map;
    if (!target_ || !set) return map;
    const PropertyTable& table = target_->getPropertyTable();
    map.reserve(set->getCount());
    for (uint32_t j = 0; j < set->getCount(); ++j) map.push_back(table.indexOf(set->getNameAt(j)));
    return map;
}

void Base::skipToElementEnd(XmlReader* reader, const stringw& elementName) {
    if (!reader) return;
    if (reader->finishEmptyElement()) return;
    if (reader->getNodeType() == irr::io::EXN_ELEMENT_END && reader->getNodeName() == elementName) return;
    int32_t depth = 0;
    while (nextChildElement(reader, elementName, depth)) {
    }
}

bool Base::nextChildElement(XmlReader* reader, const stringw& elementName, int32_t& depth) {
    // Nested elements of the same name close before the one we stand in.
    while (reader->read()) {
        const irr::io::EXML_NODE type = reader->getNodeType();
        const stringw& name = reader->getNodeName();
        if (type == irr::io::EXN_ELEMENT_END && name == elementName) {
            if (depth == 0) return false;
            --depth;
        } else if (type == irr::io::EXN_ELEMENT) {
            if (name != elementName) return true;
            ++depth;
        }
    }
    return false;
}

}  // namespace engine
