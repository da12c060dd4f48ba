#pragma once

namespace kernel {

// One static record per class, holding only its base's record: the engine's one run-time type test.
struct ClassInfo {
    const ClassInfo* base;

    // Walks from the record through its bases; a null record is a kind of nothing, a record a kind of itself.
    static bool isKindOf(const ClassInfo* record, const ClassInfo* target);
};

} // namespace kernel
