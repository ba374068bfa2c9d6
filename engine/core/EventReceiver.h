#pragma once
#include "engine/core/RefCounted.h"
#include "engine/core/Types.h"
#include <cstdint>

namespace engine {

class Event;

// Delivery modes of EventReceiver::deliver. The mode travels with the event
// through the routing operations.
namespace DeliveryMode {
constexpr int32_t HandleOnly = 0;
constexpr int32_t HandleThenChildren = 1;  // depth-first broadcast, receiver before its children
constexpr int32_t ChildrenThenHandle = 2;  // children first
constexpr int32_t HandleThenParent = 3;    // bubbles up through the ancestors
constexpr int32_t ParentThenHandle = 4;    // ancestors from the top down, then the receiver
}  // namespace DeliveryMode

// Anything that takes events. A receiver can pass an event on to its parent or
// to its children; the base has neither and handles nothing. Listeners are other
// receivers that see this receiver's events before (pre) or after (post) its
// own event map; they are not counted.
class EventReceiver : public virtual RefCounted {
public:
    EventReceiver() = default;
    ~EventReceiver() override = default;

    virtual bool handleEvent(Event* event);
    virtual bool routeToParent(int32_t mode, Event* event);
    virtual bool routeToChildren(int32_t mode, Event* event);

    // Offers the event to this receiver and its relatives in the order of the
    // mode (0 to 4); other modes deliver nothing and answer false.
    bool deliver(int32_t mode, Event* event);

    // The event categories this receiver takes from the routing.
    int32_t getMask() const { return mask_; }
    void setMask(int32_t mask) { mask_ = mask; }
    void addToMask(int32_t categories) { mask_ |= categories; }
    void removeFromMask(int32_t categories) { mask_ &= ~categories; }
    bool takesCategory(int32_t category) const { return (mask_ & category) != 0; }

    // Listeners: appended in order, duplicates allowed. Removal takes out the
    // first occurrence and moves the later entries down; an absent pointer
    // leaves the array unchanged.
    void addListener(EventReceiver* listener) { preListeners_.push_back(listener); }
    void addPostListener(EventReceiver* listener) { postListeners_.push_back(listener); }
    void removeListener(EventReceiver* listener) { removeFirst(preListeners_, listener); }
    void removePostListener(EventReceiver* listener) { removeFirst(postListeners_, listener); }
    const array<EventReceiver*>& getListeners() const { return preListeners_; }
    const array<EventReceiver*>& getPostListeners() const { return postListeners_; }

private:
    static void removeFirst(array<EventReceiver*>& listeners, EventReceiver* listener);

    int32_t mask_ = 0;
    array<EventReceiver*> preListeners_;
    array<EventReceiver*> postListeners_;
};

}  // namespace engine
