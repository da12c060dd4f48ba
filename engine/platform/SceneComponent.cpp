#include "engine/platform/SceneComponent.h"

#include <utility>

namespace platform {

kernel::SmartPtr<SceneComponent> SceneComponent::takeSuccessor() {
    return std::exchange(successor, nullptr);
}

} // namespace platform
