#pragma once
#include "engine/core/Event.h"
#include "engine/core/EventReceiver.h"
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <type_traits>

namespace engine {

// The static per-class table from event id to handler. A class's map is a copy
// of its base class's map with the class's own entries assigned over it, so a
// derived class adds or replaces handlers without repeating the base's. The
// handlers call virtual operations of the receiver: a derived class changes
// one by overriding the operation, without a map of its own.
//
// A class declares its map with ENGINE_DECLARE_EVENT_MAP(Class) and defines it
// in its source file, built on first use:
//
//   const EventMap<ControlNode>& ControlNode::getEventMap() {
//       static const EventMap<ControlNode> map(BaseNode::getEventMap(), {
//           {EventId::NodeHoverEvent, &ControlNode::onEvent47},
//           {EventId::MouseMoveEvent, &ControlNode::onEvent20},
//       });
//       return map;
//   }
//
// A class at the root of a chain passes only its own entries (the receiver
// base's map is empty).
template <class T>
class EventMap {
    static_assert(std::is_base_of<EventReceiver, T>::value, "event maps belong to receivers");

public:
    using Handler = std::function<bool(T&, Event*)>;
    struct Entry {
        uint32_t id;
        Handler handler;
    };

    explicit EventMap(std::initializer_list<Entry> own) { assign(own); }

    template <class B>
    EventMap(const EventMap<B>& base, std::initializer_list<Entry> own) {
        static_assert(std::is_base_of<B, T>::value, "a map chains to a base class's map");
        for (const auto& entry : base.entries()) {
            typename EventMap<B>::Handler baseHandler = entry.second;
            handlers_[entry.first] = [baseHandler](T& receiver, Event* event) {
                return baseHandler(receiver, event);
            };
        }
        assign(own);
    }

    const std::map<uint32_t, Handler>& entries() const { return handlers_; }

    // The handleEvent of a class with a map:
    // 1. each pre-listener in order; the first true ends with true;
    // 2. the post-listener count is noted;
    // 3. the handler of the event's exact type id; true ends with true;
    // 4. without post-listeners at step 2 the answer is false (post-listeners a
    //    handler added meanwhile do not see this event);
    // 5. otherwise each post-listener of the current array, read by index so
    //    that ones a handler removed are not offered it; the first true wins.
    bool dispatch(T& receiver, Event* event) const {
        if (!event) return false;
        const EventReceiver& self = receiver;
        const array<EventReceiver*>& pre = self.getListeners();
        for (irr::u32 i = 0; i < pre.size(); ++i) {
            if (pre[i]->handleEvent(event)) return true;
        }
        const irr::u32 postCountOnEntry = self.getPostListeners().size();
        auto found = handlers_.find(static_cast<uint32_t>(event->getTypeId()));
        if (found != handlers_.end() && found->second(receiver, event)) return true;
        if (postCountOnEntry == 0) return false;
        const array<EventReceiver*>& post = self.getPostListeners();
        for (irr::u32 i = 0; i < post.size(); ++i) {
            if (post[i]->handleEvent(event)) return true;
        }
        return false;
    }

private:
    void assign(std::initializer_list<Entry> own) {
        for (const Entry& entry : own) handlers_[entry.id] = entry.handler;
    }

    std::map<uint32_t, Handler> handlers_;
};

// Declares a class's event map accessor and the handleEvent that dispatches it.
// Leaves the class's access at public.
#define ENGINE_DECLARE_EVENT_MAP(Class)                                  \
public:                                                                  \
    static const ::engine::EventMap<Class>& getEventMap();               \
    bool handleEvent(::engine::Event* event) override {                  \
        return getEventMap().dispatch(*this, event);                     \
    }

}  // namespace engine
