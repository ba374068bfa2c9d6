#include "engine/core/State.h"
#include "engine/core/Animator.h"
#include "engine/core/BaseNode.h"
#include "engine/core/Logger.h"
#include "engine/core/NodeFactory.h"
#include "engine/core/TextConvert.h"
#include "engine/core/XmlReader.h"
#include "engine/core/XmlWriter.h"

namespace engine {

namespace {

const wchar_t* const kListElementNames[3] = {L"Animator", L"StartAnimator", L"EndAnimator"};

void setStateName(PropertyTableOwner& object, const CountedRef<IPropertyData>& value) {
    static_cast<State&>(object).setName(nameIdFromProperty(value));
}

CountedRef<IPropertyData> getStateName(PropertyTableOwner& object) {
    return CountedRef<IPropertyData>(makeStringPropertyFromNameId(static_cast<State&>(object).getName()));
}

}  // namespace

const EventMap<State>& State::getEventMap() {
    static const EventMap<State> map({
        {static_cast<uint32_t>(EventId::AnimatorEndedEvent),
         [](State& state, Event* event) {
             return state.onAnimatorEnded(dynamic_cast<AnimatorEndedEvent*>(event));
         }},
    });
    return map;
}

State::State(NameId name) : name_(name) { setMask(EventCategory::Node | EventCategory::Game); }

State::~State() { clearAnimators(); }

const PropertyTable& State::classPropertyTable() {
    static const PropertyTable table = [] {
        PropertyTable t;
        appendPropertyTable(t, PropertyTableOwner::rootPropertyTable());
        t.add("Name", &setStateName, &getStateName);
        return t;
    }();
    return table;
}

const PropertyTable& State::getPropertyTable() const { return classPropertyTable(); }

void State::setNode(BaseNode* node) {
    node_ = node;
    for (const array<Base*>& list : lists_) {
        for (uint32_t i = 0; i < list.size(); ++i) list[i]->setTarget(node);
    }
}

void State::sendToNode(Event* event) {
    if (node_) node_->deliver(DeliveryMode::HandleOnly, event);
}

void State::startEndAnimators() {
    const array<Base*>& ends = lists_[EndAnimators];
    for (uint32_t i = 0; i < ends.size(); ++i) {
        CountedRef<Base> keep = CountedRef<Base>::share(ends[i]);
        keep->start(0, true);
    }
}

void State::start(TimerScheduler* scheduler, NameId report) {
    // Handlers of the events below may drop the node's states.
    CountedRef<State> keep = CountedRef<State>::share(this);
    if (report == kNoName) report = name_;
    reportName_ = report;

    CountedRef<StateStartedEvent> started(new StateStartedEvent(this, report));
    sendToNode(started.get());

    endDone_ = false;
    for (const AnimatorList which : {StartAnimators, Animators}) {
        const array<Base*>& list = lists_[which];
        for (uint32_t i = 0; i < list.size(); ++i) {
            CountedRef<Base> animator = CountedRef<Base>::share(list[i]);
            animator->start(0, true);
        }
    }

    const array<Base*>& animators = lists_[Animators];
    if (scheduler) {
        runningCount_ = animators.size();
        for (uint32_t i = 0; i < animators.size(); ++i) {
            CountedRef<Base> animator = CountedRef<Base>::share(animators[i]);
            animator->play(scheduler);
        }
    } else {
        runningCount_ = 0;
    }

    if (runningCount_ == 0) {
        CountedRef<StateEndedEvent> ended(new StateEndedEvent(this, report, false));
        sendToNode(ended.get());
    }
}

bool State::onAnimatorEnded(AnimatorEndedEvent* event) {
    if (!event) return false;
    CountedRef<State> keep = CountedRef<State>::share(this);
    sendToNode(event);

    if (runningCount_ == 0) return false;
    if (--runningCount_ > 0) return false;

    if (!event->isLooped()) {
        endDone_ = true;
        startEndAnimators();
    }
    CountedRef<StateEndedEvent> ended(new StateEndedEvent(this, reportName_, false));
    sendToNode(ended.get());
    return false;
}

void State::stop(bool jumpToEnd) {
    CountedRef<State> keep = CountedRef<State>::share(this);
    const array<Base*>& animators = lists_[Animators];
    for (uint32_t i = 0; i < animators.size(); ++i) {
        CountedRef<Base> animator = CountedRef<Base>::share(animators[i]);
        animator->stop(jumpToEnd, false);
    }
    if (!endDone_) {
        endDone_ = true;
        startEndAnimators();
    }
    if (runningCount_ != 0) {
        runningCount_ = 0;
        CountedRef<StateEndedEvent> ended(new StateEndedEvent(this, reportName_, true));
        sendToNode(ended.get());
    }
}

Base* State::findAnimator(NameId name) const {
    const array<Base*>& animators = lists_[Animators];
    for (uint32_t i = 0; i < animators.size(); ++i) {
        if (animators[i]->getName() == name) return animators[i];
    }
    return nullptr;
}

Base* State::getAnimator(uint32_t index) const {
    const array<Base*>& animators = lists_[Animators];
    return index < animators.size() ? animators[index] : nullptr;
}

const array<Base*>& State::getAnimatorList(AnimatorList list) const { return lists_[list]; }

void State::addAnimator(AnimatorList list, Base* animator) {
    if (!animator) return;
    animator->addRef();
    animator->setParentState(this);
    animator->setTarget(node_);
    lists_[list].push_back(animator);
}

void State::clearAnimators() {
    // Take the lists first: stopping or releasing an animator may come back here.
    array<Base*> taken[3];
    for (int i = 0; i < 3; ++i) {
        taken[i] = lists_[i];
        lists_[i].clear();
    }
    for (uint32_t i = 0; i < taken[Animators].size(); ++i) taken[Animators][i]->stop(false, false);
    for (array<Base*>& list : taken) {
        for (uint32_t i = 0; i < list.size(); ++i) {
            list[i]->setParentState(nullptr);
            list[i]->setTarget(nullptr);
            list[i]->release();
        }
    }
}

void State::readXml(XmlReader* reader, BaseNode*, BaseNode*, IContentManager* contentManager) {
    clearAnimators();
    if (!reader || reader->finishEmptyElement()) return;
    const CreationContext context(contentManager, "");
    NodeFactory& factory = getNodeFactory();
    const int32_t depth = reader->getDepth();
    while (reader->readInside(depth)) {
        const irr::io::EXML_NODE type = reader->getNodeType();
        const stringw& element = reader->getNodeName();
        if (type != irr::io::EXN_ELEMENT) continue;
        int32_t which = -1;
        for (int32_t i = 0; i < 3; ++i) {
            if (element == kListElementNames[i]) which = i;
        }
        if (which < 0) continue;

        const stringw elementName = element;
        const stringw kind = reader->getAttributeValue(L"Type");
        CountedRef<Base> animator(factory.createAnimator(kind, &context));
        if (!animator) {
            getLogger().log("Unknown animator kind", narrow(kind).c_str(), LOG_ERROR);
            reader->skipElement();
            continue;
        }
        animator->setName(makeNameId(reader->getAttributeValue(L"Name")));
        animator->readXml(reader, node_, contentManager, elementName);
        addAnimator(static_cast<AnimatorList>(which), animator.get());
    }
}

void State::writeXml(XmlWriter* writer) {
    if (!writer) return;
    const stringw name = widen(nameOfId(name_));
    if (nextState_ != kNoName) {
        const stringw next = widen(nameOfId(nextState_));
        writer->writeElement(L"State", false, L"Name", name.c_str(), L"NextState", next.c_str());
    } else {
        writer->writeElement(L"State", false, L"Name", name.c_str());
    }
    writer->writeLineBreak();
    for (int32_t i = 0; i < 3; ++i) {
        const array<Base*>& list = lists_[i];
        for (uint32_t k = 0; k < list.size(); ++k) list[k]->writeXml(writer, node_, kListElementNames[i]);
    }
    writer->writeClosingTag(L"State");
    writer->writeLineBreak();
}

State* State::clone() {
    State* copy = new State(name_);
    copy->nextState_ = nextState_;
    for (int32_t i = 0; i < 3; ++i) {
        const array<Base*>& list = lists_[i];
        for (uint32_t k = 0; k < list.size(); ++k) {
            CountedRef<Base> animator(list[k]->clone(copy, nullptr));
            if (animator) copy->addAnimator(static_cast<AnimatorList>(i), animator.get());
        }
    }
    return copy;
}

bool State::routeToParent(int32_t mode, Event* event) {
    if (!node_ || !event || !node_->takesCategory(event->getCategory())) return false;
    return node_->deliver(mode, event);
}

NameId pressedNameId() {
    static const NameId id = makeNameId("Pressed");
    return id;
}

}  // namespace engine
