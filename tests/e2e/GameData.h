#pragma once
// What the end-to-end run expects of the game, read from the game's own data in the run tree: the title,
// where the loading bar is, and the pictures to compare the screen with.

#include "engine/graphics/MemoryImage32.h"
#include "engine/kernel/SmartPtr.h"

#include <filesystem>
#include <string>

namespace e2e {

inline constexpr int gameWidth = 640;
inline constexpr int gameHeight = 480;

// Thrown when a piece of the game the run needs is not there yet (the run is skipped), or when a check
// fails.
struct Skip {
    std::string reason;
};
struct Failure {
    std::string reason;
};

[[noreturn]] void fail(const std::string& reason);

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct Expectations {
    std::string title;
    Rect bar;
    std::filesystem::path barImage;
    std::filesystem::path selectionBackground;
    // The "no" button of the question box, which a first start in a window shows over the loading
    // scene once loading has finished: its picture and its column (the box is centred, so only its
    // height, which grows with the message, is not known before).
    std::filesystem::path noButtonImage;
    int noButtonX = 0;
};

// Skip when the run tree lacks what the run needs; Failure when the data contradicts what the run does.
Expectations readExpectations(const std::filesystem::path& runTree);
kernel::SmartPtr<graphics::MemoryImage32> loadPicture(const std::filesystem::path& file);

} // namespace e2e
