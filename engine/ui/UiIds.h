#pragma once
// The ids that the engine itself looks up in the game's data.

#include "engine/kernel/NamedId.h"

namespace ui::ids {

// The declaration of the default full-screen handler.
inline constexpr const char* defaultFullScreenHandler = "DEFAULT_FSH";

inline constexpr kernel::NamedId named[] = {{defaultFullScreenHandler, nullptr, kernel::IdKind::Declaration}};

} // namespace ui::ids
