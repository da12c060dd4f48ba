#pragma once

#include "engine/kernel/ClassInfo.h"

#include <atomic>
#include <string>

namespace kernel {

// The root of every engine and game class: an intrusive reference count that starts at 0,
// so a new object belongs to nobody until its first holder adds a reference.
class Object {
public:
    Object() = default;
    // A copy is a new object: it starts unowned.
    Object(const Object&) {}
    Object& operator=(const Object&) { return *this; }

    virtual void addRef();
    // Destroys the object when the count drops from 1 to 0.
    virtual void release();
    virtual Object* self();
    // Named apart from the singletons' static destroy(), which would otherwise clash with it.
    virtual void destroySelf();
    virtual const ClassInfo* getClassInfo() const;
    virtual ~Object();
    virtual std::string toString() const;

    bool isKindOf(const ClassInfo& target) const { return ClassInfo::isKindOf(getClassInfo(), &target); }
    int referenceCount() const { return count.load(std::memory_order_relaxed); }

    static constexpr ClassInfo classInfo{nullptr};

private:
    // Atomic because resources made on the loader thread are held from the main thread too.
    std::atomic<int> count{0};
};

} // namespace kernel
