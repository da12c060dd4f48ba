#include "engine/kernel/Object.h"

#include <cstdint>

namespace kernel {

bool ClassInfo::isKindOf(const ClassInfo* record, const ClassInfo* target) {
    for (; record != nullptr; record = record->base) {
        if (record == target) {
            return true;
        }
    }
    return false;
}

void Object::addRef() {
    count.fetch_add(1, std::memory_order_relaxed);
}

void Object::release() {
    if (count.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        destroySelf();
    }
}

Object* Object::self() {
    return this;
}

void Object::destroySelf() {
    if (Object* object = self()) {
        delete object;
    }
}

const ClassInfo* Object::getClassInfo() const {
    return &classInfo;
}

Object::~Object() = default;

std::string Object::toString() const {
    // The address as a signed 32-bit decimal, as the debug text always showed it.
    const auto address = static_cast<std::int32_t>(reinterpret_cast<std::uintptr_t>(this));
    return "Address: " + std::to_string(address) + "; ";
}

} // namespace kernel
