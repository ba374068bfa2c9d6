#pragma once
#include "engine/core/RefCounted.h"
#include <memory>
#include <mutex>

namespace engine {

// Re-entrant lock: the owning thread may lock it again, as the engine's
// singletons and the audio thread expect.
class Mutex : public virtual RefCounted {
public:
    Mutex();
    ~Mutex() override;
    void lock();
    void unlock();
    bool tryLock();

private:
    std::unique_ptr<std::recursive_mutex> impl_;
};

// Scoped lock over a Mutex.
class MutexLock {
public:
    explicit MutexLock(Mutex& m) : m_(m) { m_.lock(); }
    ~MutexLock() { m_.unlock(); }
    MutexLock(const MutexLock&) = delete;
    MutexLock& operator=(const MutexLock&) = delete;

private:
    Mutex& m_;
};

// The lock of one singleton class. Each class reaches its own function-local
// instance through classLock<T>(); the mutex is made the first time it is reached.
class ClassLock {
public:
    ClassLock();
    ~ClassLock();
    Mutex& mutex() { return *mutex_; }

private:
    Mutex* mutex_;
};

template <class T>
ClassLock& classLock() {
    static ClassLock lock;
    return lock;
}

}  // namespace engine
