// Compiled by UnusedResults.cmake: a caller that looks at the answer compiles.
#include "engine/kernel/ResourceManager.h"

bool requestSection(kernel::ResourceManager& resources) {
    return resources.loadGroup("section");
}
