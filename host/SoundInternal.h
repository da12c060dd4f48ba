#pragma once
// What the sound files share with each other and nothing else.

namespace host::sound {

// True between a successful FSOUND_Init and FSOUND_Close.
bool isUp();

} // namespace host::sound
