#pragma once
// The reference counting of the counted objects (surfaces, clippers, the display and sound objects): each
// is made with one reference and destroyed by the Release that drops the last one. The count is atomic, so
// references may be taken and dropped on any thread.

#include "host/Types.h"

#include <atomic>

namespace host {

// The count itself, for a class that declares AddRef and Release of its own (the surface, whose interface
// is also its implementation). Both return the count they leave.
class ReferenceCounted {
public:
    ReferenceCounted(const ReferenceCounted&) = delete;
    ReferenceCounted& operator=(const ReferenceCounted&) = delete;

protected:
    ReferenceCounted() = default;
    virtual ~ReferenceCounted() = default;

    ULONG addReference() { return references.fetch_add(1) + 1; }
    ULONG releaseReference() {
        const ULONG remaining = references.fetch_sub(1) - 1;
        if (remaining == 0) {
            delete this;
        }
        return remaining;
    }

private:
    std::atomic<ULONG> references{1};
};

// AddRef and Release of one or more counted interfaces; interfaces given together share one count.
template <class... Interfaces> class ComObject : public Interfaces..., private ReferenceCounted {
public:
    ULONG AddRef() override { return addReference(); }
    ULONG Release() override { return releaseReference(); }
};

// Makes held point at value: the new object gains its reference before the old one loses its own, so
// holding the same object again is safe. Either may be null.
template <class Counted> void replaceReference(Counted*& held, Counted* value) {
    if (value != nullptr) {
        value->AddRef();
    }
    if (held != nullptr) {
        held->Release();
    }
    held = value;
}

} // namespace host
