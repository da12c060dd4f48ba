#pragma once
// Bounds on what a picture file may ask of the decoders. A header is data like any other: a crafted one
// could otherwise make them allocate gigabytes or run for minutes.

namespace graphics {

#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
// A fuzz run tries thousands of inputs a second; large pictures would only slow it down.
inline constexpr int maxDecodedSide = 1024;
#else
// Larger than any picture the game ships, and small enough that width x height x 4 bytes stays addressable
// by the drawing code's 32-bit offsets.
inline constexpr int maxDecodedSide = 16384;
#endif

// Working memory the JPEG library may take beside the picture (a progressive file keeps every coefficient).
inline constexpr long maxJpegWorkingMemory = 512L * 1024 * 1024;

// A progressive JPEG may hold any number of scans, each a pass over the whole picture; real files have about
// ten.
inline constexpr int maxJpegScans = 500;

} // namespace graphics
