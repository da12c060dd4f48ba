// Compiled by UnusedResults.cmake: a caller that drops the answer of a save does not compile.
#include "engine/kernel/ValueDocument.h"

void save(kernel::ValueDocument& document) {
    document.save();
}
