#pragma once
// What the end-to-end run expects of the game, read from the game's own data in the run tree: the title,
// where the loading bar is, and the pictures of the declared buttons and sprites to look for on the screen.

#include "engine/graphics/MemoryImage32.h"
#include "engine/kernel/SmartPtr.h"
#include "engine/kernel/ValueDocument.h"

#include <filesystem>
#include <map>
#include <string>
#include <vector>

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

struct Point {
    int x = 0;
    int y = 0;
};

// One picture of the art as the screen shows it; a button's picture holds its four states stacked, the
// normal one first and the disabled one last.
struct Picture {
    std::string name;
    kernel::SmartPtr<graphics::MemoryImage32> image;
    int frames = 1;

    static constexpr int buttonFrames = 4;
    static constexpr int disabledFrame = 3;

    int width() const { return image->getWidth(); }
    int frameHeight() const { return image->getHeight() / frames; }
};

struct Expectations {
    std::string title;
    Rect bar;
    std::filesystem::path barImage;
    std::filesystem::path selectionBackground;
};

// Skip when the run tree lacks what the run needs; Failure when the data contradicts what the run does.
Expectations readExpectations(const std::filesystem::path& runTree);
kernel::SmartPtr<graphics::MemoryImage32> loadPicture(const std::filesystem::path& file);
// The file of a VIB level as the level catalogue names it.
std::filesystem::path vibLevelFile(const std::filesystem::path& runTree, int chapter, int level);

// The scene and dialog declarations with the resources they name. A declaration or picture the walk needs
// and the data lacks is a failure: the game is whole by now.
class Declarations {
public:
    explicit Declarations(std::filesystem::path runTree);

    // The picture of a declared component, decoded once.
    const Picture& picture(const std::string& declaration, const std::string& component);
    // An image resource not named by a declaration (the album's pictures).
    const Picture& resource(const std::string& section, const std::string& id);
    // The component's declared place in its dialog or scene.
    Point place(const std::string& declaration, const std::string& component) const;
    // The declaration's own place, where another dialog holds it (the album's pages).
    Point origin(const std::string& declaration) const;

private:
    kernel::NodeValue& declaration(const std::string& name) const;
    kernel::NodeValue& component(const std::string& declaration, const std::string& name) const;
    std::filesystem::path resourceFile(const std::string& section, const std::string& id) const;

    std::filesystem::path runTree;
    kernel::SmartPtr<kernel::ValueDocument> dialogs;
    // resources.xml and the album's pictures, each a list of sections.
    std::vector<kernel::SmartPtr<kernel::ValueDocument>> resourceLists;
    std::map<std::string, Picture> pictures;
};

} // namespace e2e
