#pragma once
// Holds one reference to an Irrlicht object (grab/drop). Constructing from a raw
// pointer adopts the creator's reference, like CountedRef does for engine objects.
#include <irrlicht.h>
#include <cstddef>

namespace engine {

template <class T>
class IrrRef {
public:
    IrrRef() = default;
    IrrRef(std::nullptr_t) {}
    explicit IrrRef(T* adopted) : ptr_(adopted) {}
    IrrRef(const IrrRef& other) : ptr_(other.ptr_) {
        if (ptr_) ptr_->grab();
    }
    IrrRef(IrrRef&& other) noexcept : ptr_(other.ptr_) { other.ptr_ = nullptr; }
    ~IrrRef() {
        if (ptr_) ptr_->drop();
    }
    IrrRef& operator=(IrrRef other) noexcept {
        T* old = ptr_;
        ptr_ = other.ptr_;
        other.ptr_ = old;
        return *this;
    }

    // Takes a new reference to an object the caller does not own.
    static IrrRef share(T* object) {
        if (object) object->grab();
        return IrrRef(object);
    }
    void reset(T* adopted = nullptr) {
        T* old = ptr_;
        ptr_ = adopted;
        if (old) old->drop();
    }
    // Hands the held reference to the caller.
    T* detach() {
        T* p = ptr_;
        ptr_ = nullptr;
        return p;
    }

    T* get() const { return ptr_; }
    T* operator->() const { return ptr_; }
    explicit operator bool() const { return ptr_ != nullptr; }

private:
    T* ptr_ = nullptr;
};

}  // namespace engine
