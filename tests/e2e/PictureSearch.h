#pragma once
// Finding the game's pictures on a screenshot. Only a picture's opaque pixels count, each channel within a
// small tolerance, so a 16-bit screen still shows them; a picture counts as shown when nine in ten of its
// pixels are.

#include "GameData.h"
#include "Screenshot.h"

#include <optional>

namespace e2e {

inline constexpr double wholeShare = 0.9;

// The share of the frame's opaque pixels (every step-th in both directions, from column fromX of the
// frame on) that the screen shows with the frame's top-left corner at the point of the game's picture.
double shareShown(const Screenshot& shot, const Rect& picture, const Picture& art, int frame, Point at,
                  int step = 2, int fromX = 0);

// Where on the game's picture the frame shows whole, searched everywhere the frame fits.
std::optional<Point> findFrame(const Screenshot& shot, const Rect& picture, const Picture& art, int frame);

// A part of one frame as a picture of its own, for art that the game shows only in part (cut off, or
// partly covered).
Picture cropped(const Picture& art, int frame, Rect part);

// The middle of a frame found at the point.
Point middleOf(const Picture& art, Point at);

// How many colours the game's picture shows (every other pixel): a blank screen has few.
int distinctColours(const Screenshot& shot, const Rect& picture);

// The game's picture as a binary PPM file, for a look at what the run saw last.
bool writePpm(const Screenshot& shot, const Rect& picture, const std::string& file);

} // namespace e2e
