#pragma once
#include <cstdint>
#include <utility>

namespace engine {

// Shared base of every reference-counted engine object. Inherit it virtually so
// that a class reaching it through several bases still has a single count.
// The count is a plain integer: objects are shared on the main thread only.
class RefCounted {
public:
    RefCounted() = default;
    // A copy is a new object with its own single owner.
    RefCounted(const RefCounted&) : refCount_(1) {}
    RefCounted& operator=(const RefCounted&) { return *this; }
    virtual ~RefCounted() = default;

    void addRef() { ++refCount_; }
    // Returns true when this call destroyed the object.
    bool release() {
        if (--refCount_ == 0) {
            delete this;
            return true;
        }
        return false;
    }
    int32_t getRefCount() const { return refCount_; }

private:
    int32_t refCount_ = 1;
};

// Holds one counted reference. Constructing from a raw pointer adopts the
// creator's reference (the object's initial count of 1).
template <class T>
class CountedRef {
public:
    CountedRef() = default;
    CountedRef(std::nullptr_t) {}
    explicit CountedRef(T* adopted) : ptr_(adopted) {}
    CountedRef(const CountedRef& other) : ptr_(other.ptr_) {
        if (ptr_) ptr_->addRef();
    }
    CountedRef(CountedRef&& other) noexcept : ptr_(other.ptr_) { other.ptr_ = nullptr; }
    template <class U>
    CountedRef(const CountedRef<U>& other) : ptr_(other.get()) {
        if (ptr_) ptr_->addRef();
    }
    ~CountedRef() {
        if (ptr_) ptr_->release();
    }

    // Shares an object the caller does not own: takes a new reference.
    static CountedRef share(T* object) {
        if (object) object->addRef();
        return CountedRef(object);
    }

    // The new reference is taken before the old one is dropped, so an object
    // kept alive only by the old reference (for example the new object's owner)
    // cannot be freed under us.
    CountedRef& operator=(const CountedRef& other) {
        if (ptr_ == other.ptr_) return *this;
        T* old = ptr_;
        ptr_ = other.ptr_;
        if (ptr_) ptr_->addRef();
        if (old) old->release();
        return *this;
    }
    CountedRef& operator=(CountedRef&& other) noexcept {
        if (this != &other) {
            T* old = ptr_;
            ptr_ = other.ptr_;
            other.ptr_ = nullptr;
            if (old) old->release();
        }
        return *this;
    }

    // Drops the held reference and adopts another raw pointer.
    void reset(T* adopted = nullptr) {
        T* old = ptr_;
        ptr_ = adopted;
        if (old) old->release();
    }
    // Gives up the held reference to the caller without releasing it.
    T* detach() {
        T* p = ptr_;
        ptr_ = nullptr;
        return p;
    }

    T* get() const { return ptr_; }
    T* operator->() const { return ptr_; }
    T& operator*() const { return *ptr_; }
    explicit operator bool() const { return ptr_ != nullptr; }
    bool operator==(const CountedRef& o) const { return ptr_ == o.ptr_; }
    bool operator!=(const CountedRef& o) const { return ptr_ != o.ptr_; }
    bool operator==(const T* p) const { return ptr_ == p; }
    bool operator!=(const T* p) const { return ptr_ != p; }

private:
    T* ptr_ = nullptr;
};

// Shorthand for adopting a freshly allocated object: makeRef<Foo>(args...).
template <class T, class... Args>
CountedRef<T> makeRef(Args&&... args) {
    return CountedRef<T>(new T(std::forward<Args>(args)...));
}

}  // namespace engine
