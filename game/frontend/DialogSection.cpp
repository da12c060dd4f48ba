#include "game/frontend/DialogSection.h"

#include "engine/kernel/ResourceManager.h"

namespace game {

kernel::NodeValue& DialogSection::readFor(kernel::NodeValue& settings) {
    if (kernel::ResourceManager* resources = kernel::ResourceManager::instance()) {
        resources->loadGroupNow(name);
    }
    ++holders;
    return settings;
}

// A dialog still going while the next one is made keeps the section for it.
void DialogSection::letGo() {
    kernel::ResourceManager* resources = kernel::ResourceManager::instance();
    if (--holders == 0 && resources != nullptr) {
        resources->unloadGroup(name);
    }
}

void DialogSection::readAhead() const {
    if (kernel::ResourceManager* resources = kernel::ResourceManager::instance()) {
        (void)resources->loadGroup(name);
    }
}

} // namespace game
