#include "tools/mkmedia/BackgroundSheet.h"

#include "engine/graphics/JpegDecoder.h"

#include <sstream>

namespace mkmedia {

namespace {

constexpr int sceneWidth = 640;
constexpr int sceneHeight = 480;
// A level's cells and how its panes stand round them (the levels' geometry): a pane reaches 30 pixels
// beside the outer cells' middles, 52 above the first row's line and 8 below the last one's.
constexpr int cellSize = 44;
constexpr int paneSide = 30;
constexpr int paneAbove = 52;
constexpr int paneBelow = 8;
// Where a pibble's frame has its feet.
constexpr int feetX = 48;
constexpr int feetY = 101;
constexpr const char* looks[] = {"yellow", "blue", "red", "white", "green", "purple", "orange"};

struct Pane {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
};

std::vector<Pane> panesOf(const Entry& entry) {
    std::vector<Pane> panes;
    std::istringstream areas(entry.text("clearing"));
    for (std::string area; std::getline(areas, area, ';');) {
        std::istringstream numbers(area);
        Pane pane;
        if (numbers >> pane.x >> pane.y >> pane.w >> pane.h && pane.w > 0 && pane.h > 0) {
            panes.push_back(pane);
        }
    }
    return panes;
}

// The cells' middles and row lines within a pane.
int columnsIn(const Pane& pane) {
    return (pane.w - 2 * paneSide) / cellSize + 1;
}

int rowsIn(const Pane& pane) {
    return (pane.h - paneAbove - paneBelow) / cellSize + 1;
}

void standPibbles(Canvas& scene, const Pane& pane, int shift,
                  const std::function<Canvas(const std::string& look)>& pibble) {
    for (int row = 0; row < rowsIn(pane); ++row) {
        for (int column = 0; column < columnsIn(pane); ++column) {
            const int x = pane.x + paneSide + column * cellSize;
            const int y = pane.y + paneAbove + row * cellSize;
            const Canvas frame = pibble(looks[(row * 3 + column * 2 + shift) % std::size(looks)]);
            scene.stamp(frame.image(), x - feetX, y - feetY);
        }
    }
}

} // namespace

Section backgroundSection(const std::vector<Entry>& entries, const Context& context,
                          const std::function<Canvas(const std::string& look)>& pibble) {
    Section section{"The level backgrounds behind the fields their panes were made for", {}};
    int shift = 0;
    for (const Entry& entry : entries) {
        if (entry.kind() != "background" || !entry.attributes.contains("clearing")) {
            continue;
        }
        const kernel::SmartPtr<graphics::MemoryImage32> picture =
            graphics::loadJpegImage((context.outputFolder / entry.file()).string());
        if (!picture || picture->getWidth() != sceneWidth || picture->getHeight() != sceneHeight) {
            continue;
        }
        Canvas scene(sceneWidth, sceneHeight);
        scene.painter().copyPixels(*picture, 0, 0, 0, 0, sceneWidth, sceneHeight);
        scene.revealAll(255);
        for (const Pane& pane : panesOf(entry)) {
            standPibbles(scene, pane, shift++, pibble);
        }
        const std::string file = entry.file();
        const std::size_t slash = file.find_last_of('/');
        section.tiles.push_back({slash == std::string::npos ? file : file.substr(slash + 1), {scene}});
    }
    return section;
}

} // namespace mkmedia
