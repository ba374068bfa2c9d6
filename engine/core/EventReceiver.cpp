#include "engine/core/EventReceiver.h"
#include "engine/core/Event.h"

namespace engine {

bool EventReceiver::handleEvent(Event*) {
    return false;
}

bool EventReceiver::routeToParent(int32_t, Event*) {
    return false;
}

bool EventReceiver::routeToChildren(int32_t, Event*) {
    return false;
}

bool EventReceiver::deliver(int32_t mode, Event* event) {
    switch (mode) {
    case DeliveryMode::HandleOnly:
        return handleEvent(event);
    case DeliveryMode::HandleThenChildren:
        return handleEvent(event) || routeToChildren(mode, event);
    case DeliveryMode::ChildrenThenHandle:
        return routeToChildren(mode, event) || handleEvent(event);
    case DeliveryMode::HandleThenParent:
        return handleEvent(event) || routeToParent(mode, event);
    case DeliveryMode::ParentThenHandle:
        return routeToParent(mode, event) || handleEvent(event);
    default:
        return false;
    }
}

void EventReceiver::removeFirst(array<EventReceiver*>& listeners, EventReceiver* listener) {
    for (irr::u32 i = 0; i < listeners.size(); ++i) {
        if (listeners[i] == listener) {
            listeners.erase(i);
            return;
        }
    }
}

}  // namespace engine
