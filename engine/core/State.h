#pragma once
// A named state of a node: a small script of animators.
//
// Entering a state applies its start animators once, starts and plays its
// animators on the timer scheduler of the scene that owns the node and waits
// until each has reported its end; then it applies its end animators once and
// tells the node (StateEndedEvent), which tells its parent and enters the
// state's next state. Everything is synchronous: state events are delivered at
// once, and animators advance only when the scheduler is updated. A state
// without animators to await, or a node without a scheduler, ends at once.
#include "engine/core/Event.h"
#include "engine/core/EventMap.h"
#include "engine/core/EventReceiver.h"
#include "engine/core/NameId.h"
#include "engine/core/PropertyTable.h"
#include "engine/core/Types.h"
#include <cstdint>

namespace engine {

class Base;
class BaseNode;
class IContentManager;
class TimerScheduler;
class XmlReader;
class XmlWriter;

class State : public PropertyTableOwner, public EventReceiver, public PropertyHolder {
    ENGINE_DECLARE_EVENT_MAP(State)

public:
    // The three lists of a state: the animators are started, played and
    // awaited; start animators are only started at entry; end animators are
    // only started, once per entry, at its end.
    enum AnimatorList { Animators = 0, StartAnimators = 1, EndAnimators = 2 };

    explicit State(NameId name);
    ~State() override;

    State(const State&) = delete;
    State& operator=(const State&) = delete;

    // The root table and "Name" (the state's name as text).
    const PropertyTable& getPropertyTable() const override;
    static const PropertyTable& classPropertyTable();

    // Stores the owning node (not counted) and makes it the target of every
    // animator: animators first, then start animators, then end animators.
    void setNode(BaseNode* node);
    BaseNode* getNode() const { return node_; }

    NameId getName() const { return name_; }
    void setName(NameId name) { name_ = name; }
    NameId getNextState() const { return nextState_; }
    void setNextState(NameId next) { nextState_ = next; }
    NameId getReportName() const { return reportName_; }
    uint32_t getRunningCount() const { return runningCount_; }
    bool isEndDone() const { return endDone_; }

    // Starts a new entry (the state's own name is the report name when -1).
    void start(TimerScheduler* scheduler, NameId report);
    // Stops every animator (on request at its end values), applies the end
    // animators unless done, and, while animators were awaited, reports an
    // interrupted end.
    void stop(bool jumpToEnd);
    // An animator reached its end or looped back.
    virtual bool onAnimatorEnded(AnimatorEndedEvent* event);

    // The first animator of the animators list with that name, or null.
    Base* findAnimator(NameId name) const;
    // The animator of the animators list at the index, or null.
    Base* getAnimator(uint32_t index) const;
    const array<Base*>& getAnimatorList(AnimatorList list) const;
    // Takes a reference to the animator and appends it to a list, as this
    // state's own (parent and target set).
    void addAnimator(AnimatorList list, Base* animator);
    // Stops the awaited animators (without report), unlinks and releases all.
    void clearAnimators();

    // Reads the content of a "State" element (the reader stands on its start
    // and is left on its end): its "Animator", "StartAnimator" and
    // "EndAnimator" children. The name and next state are the caller's.
    void readXml(XmlReader* reader, BaseNode* manager, BaseNode* node, IContentManager* contentManager);
    void writeXml(XmlWriter* writer);
    // A new state with the same name, next state and clones of the animators;
    // it has no node yet.
    State* clone();

    // Hands the event to the node, when the node takes its category.
    bool routeToParent(int32_t mode, Event* event) override;

private:
    void sendToNode(Event* event);
    void startEndAnimators();

    BaseNode* node_ = nullptr;
    NameId name_;
    NameId nextState_ = kNoName;
    NameId reportName_ = kNoName;
    uint32_t runningCount_ = 0;
    bool endDone_ = false;
    array<Base*> lists_[3];
};

// The name id of the state name "Pressed", made on first use and kept.
NameId pressedNameId();

}  // namespace engine
