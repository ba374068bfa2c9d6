#pragma once
// A timer that calls a member function of the node that owns it. It is an
// object of its own, so that the owner's scheduler accessor (the scene's, for
// scenes) keeps its meaning; the owner calls forget() as it dies, in case the
// timer outlives it.
#include "engine/core/TimerListener.h"

namespace engine {

template <class Owner>
class MemberTimer : public TimerListener {
public:
    using Method = bool (Owner::*)(uint32_t elapsedMs);

    MemberTimer(Owner* owner, Method method, uint32_t periodMs) : owner_(owner), method_(method) {
        setPeriod(periodMs);
    }
    bool onTimer(uint32_t periodMs) override { return owner_ && (owner_->*method_)(periodMs); }
    void forget() { owner_ = nullptr; }

private:
    Owner* owner_;
    Method method_;
};

}  // namespace engine
