// Compiled by UnusedResults.cmake: a caller that drops the answer of a request to load does not compile.
#include "engine/kernel/ResourceManager.h"

void requestSection(kernel::ResourceManager& resources) {
    resources.loadGroup("section");
}
