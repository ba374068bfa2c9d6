#pragma once
// The list of receivers that the engine device hands its events to, as the
// objects that register receivers of their own see it. The scene manager
// registers the timer scheduler of every scene it opens here and takes it out
// again when the scene leaves; the device implements it.
#include <cstdint>

namespace engine {

class EventReceiver;

class IEventReceiverRegistry {
public:
    virtual ~IEventReceiverRegistry() = default;

    // Adds the receiver at its order number (lower numbers see events first);
    // false for null or for a receiver already registered. The registry holds
    // one reference while the receiver is registered.
    virtual bool addEventReceiver(EventReceiver* receiver, int32_t order) = 0;
    // Takes the receiver out and drops the registry's reference.
    virtual void removeEventReceiver(EventReceiver* receiver) = 0;
};

}  // namespace engine
