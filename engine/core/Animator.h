#pragma once
// The base of the animators, the actions of node states.
//
// Each animator belongs to one State (its parent, not counted), acts on the
// State's node (its target, not counted) and is made by kind name through the
// node factory. A State starts its animators at every entry, plays them on the
// owning scene's timer scheduler and waits until each reports its end with an
// AnimatorEndedEvent. The kinds implement start, position, duration, XML and
// clone; the base keeps the common fields, the scheduler registration and the
// end report.
#include "engine/core/EventReceiver.h"
#include "engine/core/NameId.h"
#include "engine/core/PropertyTable.h"
#include "engine/core/TimerListener.h"
#include "engine/core/Types.h"
#include <cstdint>
#include <vector>

namespace engine {

class BaseNode;
class IContentManager;
class PropertySet;
class State;
class TimerScheduler;
class XmlReader;
class XmlWriter;

class Base : public EventReceiver, public PropertyHolder, public PropertyTableOwner, public TimerListener {
public:
    static constexpr int32_t kTypeId = 0;
    static constexpr uint32_t kDefaultAnimatorPeriod = 20;

    Base();
    ~Base() override;

    // The kind's name, written as the element's "Type".
    virtual const wchar_t* getClassName() const { return L"Base"; }
    virtual const wchar_t* getTypeName() const { return getClassName(); }
    virtual int32_t getTypeId() const { return kTypeId; }
    // True for the kind's own id and for 0.
    virtual bool isOfType(int32_t typeId) const { return typeId == kTypeId; }

    // Stores the target (kinds that map properties rebuild their map here).
    virtual void setTarget(BaseNode* node) { target_ = node; }
    // Sets the position (milliseconds; 0 means the kind's start position) and,
    // with apply, gives the target the values there.
    virtual void start(uint32_t timeMs, bool apply) = 0;
    virtual uint32_t getPosition() const = 0;
    virtual uint32_t getDuration() const = 0;
    // Registers the timer with the scheduler (moving it from another one) and
    // marks the animator playing. Playing again on the same scheduler keeps
    // the timer's firing time.
    virtual bool play(TimerScheduler* scheduler);
    // Leaves the scheduler; with notify, also reports the end (elapsed 0, not
    // looped). Kinds with keys first jump to their end values on request.
    virtual void stop(bool jumpToEnd, bool notify);
    // Reads the kind's content up to the end of the element of the given name
    // (the reader stands on its start). The second argument is not read by the
    // engine's kinds.
    virtual void readXml(XmlReader* reader, BaseNode* node, IContentManager* contentManager,
                         const stringw& elementName) = 0;
    // Writes one element of the given name.
    virtual void writeXml(XmlWriter* writer, BaseNode* node, const stringw& elementName) = 0;
    // A new animator of the same kind (count 1). The arguments are not read by
    // the engine's kinds; the State sets parent and target afterwards.
    virtual Base* clone(State* parent, BaseNode* target) = 0;

    // The base's timer call does nothing and drops the timer.
    bool onTimer(uint32_t periodMs) override;

    // Clears playing and hands an AnimatorEndedEvent to the parent State when
    // it takes node events; the State's answer, or false.
    bool notifyEnded(uint32_t elapsedMs, bool looped);

    NameId getName() const { return name_; }
    void setName(NameId name) { name_ = name; }
    State* getParentState() const { return parentState_; }
    void setParentState(State* state) { parentState_ = state; }
    BaseNode* getTarget() const { return target_; }
    bool isPlaying() const { return playing_; }

protected:
    // The attributes every animator element starts with: "Type" (the class
    // name), then "Name" when the animator has one. Kinds append their own.
    void commonAttributes(array<stringw>& names, array<stringw>& values) const;
    // Moves the reader onto the end of the element of the given name (from its
    // start, or from anywhere inside it).
    static void skipToElementEnd(XmlReader* reader, const stringw& elementName);
    // Moves the reader onto the start of the next element inside the element
    // of the given name (the reader stands inside it); false once that
    // element's end, or the end of the input, is reached. Elements of the same
    // name nested inside are stepped into and counted in depth (0 at first),
    // not returned.
    static bool nextChildElement(XmlReader* reader, const stringw& elementName, int32_t& depth);
    // The index in the target's property table of each property of the set,
    // in the set's order (-1 for a name the table lacks); empty without a
    // target or a set.
    std::vector<int32_t> mapToTargetTable(const PropertySet* set) const;

    void setPlaying(bool playing) { playing_ = playing; }

private:
    NameId name_ = kNoName;
    State* parentState_ = nullptr;
    BaseNode* target_ = nullptr;
    bool playing_ = false;
};

// The animator as kind T when it is one (by type id), else null.
template <class T>
T* animatorCast(Base* animator) {
    return animator && animator->isOfType(T::kTypeId) ? static_cast<T*>(animator) : nullptr;
}

}  // namespace engine
