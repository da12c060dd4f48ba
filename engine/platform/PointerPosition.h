#pragma once

namespace platform {

// The last pointer position that any input dispatcher saw, in client coordinates; the game reads it.
inline int pointerX = 0;
inline int pointerY = 0;

} // namespace platform
