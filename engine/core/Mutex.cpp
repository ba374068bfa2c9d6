#include "engine/core/Mutex.h"

namespace engine {

Mutex::Mutex() : impl_(std::make_unique<std::recursive_mutex>()) {}
Mutex::~Mutex() = default;
void Mutex::lock() { impl_->lock(); }
void Mutex::unlock() { impl_->unlock(); }
bool Mutex::tryLock() { return impl_->try_lock(); }

ClassLock::ClassLock() : mutex_(new Mutex) {}
// The mutex is deliberately not released: singletons may still be destroyed
// by exit handlers that run after this static's destructor.
ClassLock::~ClassLock() = default;

}  // namespace engine
