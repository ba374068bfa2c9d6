#pragma once
// The engine's singleton policy: Loki's SingletonHolder, created on first use
// under a class lock, destroyed at exit in reverse order of creation, and
// "Dead Reference Detected" when used after destruction.
#include "engine/core/Mutex.h"
#include "engine/core/RefCounted.h"
#include <loki/Singleton.h>
#include <type_traits>

namespace engine {

// Class-level locking for SingletonHolder. Loki's own ClassLevelLockable does
// not build on Linux, so this one sits on the class's ClassLock.
template <class Host, class MutexPolicy = void>
class ClassLockPolicy {
public:
    class Lock {
    public:
        Lock() { classLock<Host>().mutex().lock(); }
        explicit Lock(const ClassLockPolicy&) : Lock() {}
        explicit Lock(const ClassLockPolicy*) : Lock() {}
        ~Lock() { classLock<Host>().mutex().unlock(); }
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;
    };
    typedef volatile Host VolatileType;
};

// Creation policy: new on creation; at destruction reference-counted objects
// are released (another holder may keep them alive), the others deleted.
template <class T>
struct CreateEngineSingleton {
    static T* Create() { return new T; }
    static void Destroy(T* p) {
        if constexpr (std::is_base_of_v<RefCounted, T>) {
            if (p) p->release();
        } else {
            delete p;
        }
    }
};

template <class T>
using EngineSingleton =
    Loki::SingletonHolder<T, CreateEngineSingleton, Loki::DefaultLifetime, ClassLockPolicy>;

// The logger comes back when used after its destruction, so that shutdown
// code can always log.
template <class T>
using PhoenixEngineSingleton =
    Loki::SingletonHolder<T, CreateEngineSingleton, Loki::PhoenixSingleton, ClassLockPolicy>;

}  // namespace engine
