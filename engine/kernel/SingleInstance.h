#pragma once
// The life of an object there is one of: a service class's instance (create, instance, destroy), whose
// slot holds one reference from create until destroy, and a fallback value kept for the whole run.

#include <utility>

namespace kernel {

// The instance in the slot, made by make() (a new object, no reference taken yet) when there is none.
template <class T, class Make> T* createSingleInstance(T*& slot, Make make) {
    if (slot == nullptr) {
        slot = make();
        slot->addRef();
    }
    return slot;
}

// Empties the slot before releasing its instance, so that nothing reached during the release finds it.
template <class T> void destroySingleInstance(T*& slot) {
    if (T* instance = std::exchange(slot, nullptr)) {
        instance->release();
    }
}

// One reference taken and never released, so that no release elsewhere can free the object: for the
// fallback values handed out where a lookup finds nothing.
template <class T> T& keepForever(T* object) {
    object->addRef();
    return *object;
}

} // namespace kernel
