#pragma once

#include <cstddef>
#include <utility>

namespace kernel {

// A counted pointer: taking or copying a pointer adds a reference, letting go releases it.
template <class T> class SmartPtr {
public:
    SmartPtr() = default;
    SmartPtr(std::nullptr_t) {}
    SmartPtr(T* object) : object(object) { retain(); }
    SmartPtr(const SmartPtr& other) : object(other.object) { retain(); }
    SmartPtr(SmartPtr&& other) noexcept : object(std::exchange(other.object, nullptr)) {}
    template <class U> SmartPtr(const SmartPtr<U>& other) : object(other.get()) { retain(); }
    virtual ~SmartPtr() { drop(); }

    SmartPtr& operator=(const SmartPtr& other) {
        SmartPtr(other).swap(*this);
        return *this;
    }
    SmartPtr& operator=(SmartPtr&& other) noexcept {
        SmartPtr(std::move(other)).swap(*this);
        return *this;
    }
    SmartPtr& operator=(T* other) {
        SmartPtr(other).swap(*this);
        return *this;
    }

    T* get() const { return object; }
    T* operator->() const { return object; }
    T& operator*() const { return *object; }
    explicit operator bool() const { return object != nullptr; }
    void reset() { SmartPtr().swap(*this); }
    void swap(SmartPtr& other) noexcept { std::swap(object, other.object); }

    friend bool operator==(const SmartPtr& a, const SmartPtr& b) { return a.object == b.object; }
    friend bool operator==(const SmartPtr& a, const T* b) { return a.object == b; }

private:
    void retain() {
        if (object) {
            object->addRef();
        }
    }
    void drop() {
        if (object) {
            std::exchange(object, nullptr)->release();
        }
    }

    T* object = nullptr;
};

} // namespace kernel
