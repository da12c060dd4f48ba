#include "tools/mkmedia/PlaySheet.h"

#include "engine/graphics/JpegDecoder.h"
#include "tools/mkmedia/SheetFrames.h"
#include "tools/mkmedia/SheetWriter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>

namespace mkmedia {

namespace {

constexpr Rgb lightGround = 0xBFE6FF;
constexpr Rgb darkGround = 0x3A2A50;

// The play scene's widgets in the manifest.
constexpr const char* hintButtonFile = "images/play/button_hint.png";
constexpr const char* pauseButtonFile = "images/play/button_pause.png";
constexpr const char* menuButtonFile = "images/play/button_menu.png";
constexpr const char* blockFile = "images/play/hint_block.png";
constexpr const char* timeBarFile = "images/play/timebar.png";
constexpr const char* darkBarFile = "images/play/timebar_dark.png";
constexpr const char* panelFile = "images/play/panel.png";
constexpr const char* smallPanelFile = "images/play/panel_small.png";
constexpr const char* captionFont = "fonts/panel_16";
constexpr const char* valueFont = "fonts/panel_20";
constexpr const char* hintFont = "fonts/dialog_18";
constexpr const char* floaterFontPrefix = "fonts/floater_";

// Where the play scene places them (media/properties/dialogs.xml), in a scene of 640 x 480.
struct Place {
    int x;
    int y;
};
constexpr int sceneWidth = 640;
constexpr int sceneHeight = 480;
constexpr Place scorePanel{8, 8};
constexpr Place levelPanel{246, 8};
constexpr Place buttons[] = {{404, 6}, {456, 6}, {508, 6}};
// Inside a panel: the caption's top left corner and the value's top right one, with the widest values.
constexpr Place captionAt{10, 13};
constexpr Place scoreAt{224, 9};
constexpr Place levelAt{144, 9};
constexpr const char* widestScore = "9,999,999";
constexpr const char* widestLevel = "10.7";
constexpr Place timeBar{70, 468};

// The hint dialog's size before the painter snaps it to its pieces.
constexpr int bubbleWidth = 520;
constexpr int bubbleHeight = 120;
// The pibble a bubble points at stands with its feet this far in from the bubble's side and this far
// below its top or above its bottom; a pibble's frame has its feet here.
constexpr int targetIn = 63;
constexpr int targetBelowTop = 112;
constexpr int targetAboveBottom = 14;
constexpr Place feet{48, 101};
// The time bar's bubble: its tail's tip this far above the bubble's bottom.
constexpr int barTipAboveBottom = 40;

// The left part of a picture, `share` (0..1) of its width, as the game cuts the time bar from the right.
Canvas leftPart(const Canvas& picture, float share) {
    const int width = std::clamp(static_cast<int>(std::lround(picture.width() * share)), 1, picture.width());
    return picture.cut(0, 0, width, picture.height());
}

// ---- The hint bubble as the dialog painter builds it ----

enum Cell { TopLeft, Top, TopRight, Left, Centre, Right, BottomLeft, Bottom, BottomRight };
constexpr const char* frameParts[] = {"topleft", "top",        "topright", "left",       "center",
                                      "right",   "bottomleft", "bottom",   "bottomright"};

enum class Target { TopLeft, TopRight, BottomLeft, BottomRight, TimeBar };

struct BubbleKind {
    const char* label;
    Target target;
    // The bubble's pieces in place of the frame's, by cell; null keeps the frame's own.
    std::array<const char*, 9> parts;
};

constexpr BubbleKind bubbleKinds[] = {
    {"pibble at the top left",
     Target::TopLeft,
     {"left_arrowup", nullptr, nullptr, "left_edge", nullptr, nullptr, "left_bottom", nullptr, nullptr}},
    {"pibble at the top right",
     Target::TopRight,
     {nullptr, nullptr, "right_arrowup", nullptr, nullptr, "right_edge", nullptr, nullptr, "right_bottom"}},
    {"pibble at the bottom left",
     Target::BottomLeft,
     {"left_top", nullptr, nullptr, "left_edge", nullptr, nullptr, "left_arrowdown", nullptr, nullptr}},
    {"pibble at the bottom right",
     Target::BottomRight,
     {nullptr, nullptr, "right_top", nullptr, nullptr, "right_edge", nullptr, nullptr, "right_arrowdown"}},
    {"the time bar",
     Target::TimeBar,
     {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "bar_bottomleft", "bar_bottom",
      "bar_bottomright"}},
};

// As the engine's dialog painter: the fixed pieces and whole tiles cover the size, never less than asked.
int snapToTiles(int size, int fixed, int tile) {
    if (tile == 0 || size - fixed <= 0) {
        return std::max(size, fixed);
    }
    const int tiles = (size - fixed + tile - 1) / tile;
    return std::max(fixed + tiles * tile, size);
}

class Bubble {
public:
    Bubble(const Pictures& pictures, const BubbleKind& kind) {
        for (int cell = 0; cell < 9; ++cell) {
            const char* part = kind.parts[static_cast<std::size_t>(cell)] != nullptr
                                   ? kind.parts[static_cast<std::size_t>(cell)]
                                   : frameParts[cell];
            cells.push_back(Pictures::frame(pictures.find("frame", "", part), 0));
        }
        width = snapToTiles(bubbleWidth,
                            std::max(w(TopLeft), w(BottomLeft)) + std::max(w(TopRight), w(BottomRight)),
                            std::max(w(Top), w(Bottom)));
        height = snapToTiles(bubbleHeight,
                             std::max(h(TopLeft), h(TopRight)) + std::max(h(BottomLeft), h(BottomRight)),
                             std::max(h(Left), h(Right)));
    }

    Canvas build() const { return paintedFrame(cells, width, height); }

    int width = 0;
    int height = 0;

private:
    const Canvas& piece(int cell) const { return cells[static_cast<std::size_t>(cell)]; }
    int w(int cell) const { return piece(cell).width(); }
    int h(int cell) const { return piece(cell).height(); }

    std::vector<Canvas> cells;
};

// Where the pibble the bubble points at stands, its feet relative to the bubble's top left.
Place targetOf(Target target, int width, int height) {
    switch (target) {
    case Target::TopLeft:
        return {targetIn, targetBelowTop};
    case Target::TopRight:
        return {width - targetIn, targetBelowTop};
    case Target::BottomLeft:
        return {targetIn, height - targetAboveBottom};
    case Target::BottomRight:
        return {width - targetIn, height - targetAboveBottom};
    case Target::TimeBar:
        break;
    }
    return {0, 0};
}

// The bubble over what it points at: a pibble standing where the hint dialog expects it, or the time bar
// just below the tail's tip.
Canvas bubbleScene(const Pictures& pictures, const BubbleKind& kind, const Canvas& pibble) {
    const Bubble bubble(pictures, kind);
    // Room below the bubble for the pibble's frame, or for the bar.
    Canvas scene(bubble.width, bubble.height + 16);
    if (kind.target == Target::TimeBar) {
        const Canvas bar = frameOf(pictures, timeBarFile);
        scene.stamp(bar.image(), 0, bubble.height - barTipAboveBottom + 2);
    } else {
        const Place target = targetOf(kind.target, bubble.width, bubble.height);
        scene.stamp(pibble.image(), target.x - feet.x, target.y - feet.y);
    }
    scene.stamp(bubble.build().image(), 0, 0);
    return scene;
}

// ---- The sections ----

Section widgets(const std::vector<Entry>& entries, const Pictures& pictures, Writer& writer,
                std::string& error) {
    Section section{"The play scene: floaters on light and dark ground, score floaters, buttons, time bar, "
                    "panel and hint block",
                    {}};
    Tile light{"floaters", {}};
    Tile dark{"the same at night", {}};
    Tile buttonsTile{"buttons: normal, over, pressed, disabled", {}};
    Tile roundTile{"round buttons", {}};
    for (const Entry& entry : entries) {
        if (entry.element != "image") {
            continue;
        }
        if (entry.kind() == "floater") {
            const Canvas floater = frameOf(pictures, entry.file());
            light.frames.push_back(on(floater, lightGround));
            dark.frames.push_back(on(floater, darkGround));
        } else if (entry.kind() == "button") {
            Tile& tile = entry.attributes.contains("symbol") ? roundTile : buttonsTile;
            for (int state = 0; state < 4; ++state) {
                tile.frames.push_back(frameOf(pictures, entry.file(), state));
            }
        }
    }
    Tile scores{"score floaters", {}};
    for (const std::string& font : writer.fontFiles(floaterFontPrefix)) {
        for (const Rgb ground : {lightGround, darkGround}) {
            Canvas score = filled(132, 56, ground);
            writer.write(score, font, "+150", 12, 8, false, error);
            scores.frames.push_back(score);
        }
    }
    Tile blocked{"hint blocked", {}};
    for (const int state : {0, 1, 3}) {
        Canvas button = frameOf(pictures, hintButtonFile, state);
        button.stamp(frameOf(pictures, blockFile).image(), 0, 0);
        blocked.frames.push_back(button);
    }
    Tile bar{"time bar: full, cut, and a used hint's cost over it", {}};
    const Canvas fullBar = frameOf(pictures, timeBarFile);
    bar.frames.push_back(on(fullBar, lightGround));
    Canvas cut(fullBar.width(), fullBar.height());
    cut.copyFrom(leftPart(fullBar, 0.65f), 0, 0);
    const Canvas darkBar = frameOf(pictures, darkBarFile);
    cut.stamp(
        darkBar.cut(static_cast<int>(darkBar.width() * 0.5f), 0, darkBar.width() * 15 / 100, darkBar.height())
            .image(),
        static_cast<int>(darkBar.width() * 0.5f), 0);
    bar.frames.push_back(on(cut, lightGround));
    bar.frames.push_back(on(cut, darkGround));
    Tile panel{"panel", {}};
    for (const Rgb ground : {lightGround, darkGround}) {
        Canvas framed = on(frameOf(pictures, panelFile), ground);
        writer.write(framed, captionFont, "Score", captionAt.x, captionAt.y, false, error);
        writer.write(framed, valueFont, widestScore, scoreAt.x, scoreAt.y, true, error);
        panel.frames.push_back(framed);
    }
    for (Tile* tile : {&light, &dark, &scores, &buttonsTile, &roundTile, &blocked, &bar, &panel}) {
        section.tiles.push_back(std::move(*tile));
    }
    return section;
}

Section bubbles(const Pictures& pictures, const Canvas& pibble) {
    Section section{"The hint bubble from its pieces and the dialog frame's, pointing at", {}};
    for (const BubbleKind& kind : bubbleKinds) {
        section.tiles.push_back({kind.label, {bubbleScene(pictures, kind, pibble)}});
    }
    return section;
}

// The first level background, else a plain sky.
Canvas sceneGround(const std::vector<Entry>& entries, const Context& context) {
    for (const Entry& entry : entries) {
        if (entry.kind() == "background" && entry.attributes.contains("clearing")) {
            const kernel::SmartPtr<graphics::MemoryImage32> picture =
                graphics::loadJpegImage((context.outputFolder / entry.file()).string());
            if (picture && picture->getWidth() == sceneWidth && picture->getHeight() == sceneHeight) {
                Canvas ground(sceneWidth, sceneHeight);
                ground.painter().copyPixels(*picture, 0, 0, 0, 0, sceneWidth, sceneHeight);
                ground.revealAll(255);
                return ground;
            }
        }
    }
    return filled(sceneWidth, sceneHeight, lightGround);
}

Section inPlace(const std::vector<Entry>& entries, const Context& context, const Pictures& pictures,
                const Canvas& pibble, Writer& writer, std::string& error) {
    Canvas scene = sceneGround(entries, context);
    scene.stamp(frameOf(pictures, panelFile).image(), scorePanel.x, scorePanel.y);
    scene.stamp(frameOf(pictures, smallPanelFile).image(), levelPanel.x, levelPanel.y);
    writer.write(scene, captionFont, "Score", scorePanel.x + captionAt.x, scorePanel.y + captionAt.y, false,
                 error);
    writer.write(scene, valueFont, widestScore, scorePanel.x + scoreAt.x, scorePanel.y + scoreAt.y, true,
                 error);
    writer.write(scene, captionFont, "Level", levelPanel.x + captionAt.x, levelPanel.y + captionAt.y, false,
                 error);
    writer.write(scene, valueFont, widestLevel, levelPanel.x + levelAt.x, levelPanel.y + levelAt.y, true,
                 error);
    const char* buttonFiles[] = {hintButtonFile, pauseButtonFile, menuButtonFile};
    for (int i = 0; i < 3; ++i) {
        scene.stamp(frameOf(pictures, buttonFiles[i]).image(), buttons[i].x, buttons[i].y);
    }
    const Canvas fullBar = frameOf(pictures, timeBarFile);
    scene.stamp(leftPart(fullBar, 0.7f).image(), timeBar.x, timeBar.y);
    const Canvas darkBar = frameOf(pictures, darkBarFile);
    const int darkFrom = darkBar.width() * 55 / 100;
    scene.stamp(darkBar.cut(darkFrom, 0, darkBar.width() * 15 / 100, darkBar.height()).image(),
                timeBar.x + darkFrom, timeBar.y);
    // The time bar's hint over the field, its tail on the bar.
    const Bubble barBubble(pictures, bubbleKinds[4]);
    const int bubbleTop = timeBar.y - 2 - (barBubble.height - barTipAboveBottom);
    scene.stamp(barBubble.build().image(), timeBar.x + 40, bubbleTop);
    writer.write(scene, hintFont, "Time runs out: be quick!", timeBar.x + 150, bubbleTop + 30, false, error);
    // A pibble's hint near the top left.
    const Bubble pibbleBubble(pictures, bubbleKinds[0]);
    scene.stamp(pibble.image(), 40 + targetIn - feet.x, 90 + targetBelowTop - feet.y);
    scene.stamp(pibbleBubble.build().image(), 40, 90);
    writer.write(scene, hintFont, "Click a pibble next to", 40 + 160, 90 + 30, false, error);
    writer.write(scene, hintFont, "two of its colour!", 40 + 160, 90 + 54, false, error);
    for (const Entry& entry : entries) {
        if (entry.kind() == "floater" && entry.text("text") == "Combo x3") {
            const Canvas floater = frameOf(pictures, entry.file());
            scene.stamp(floater.image(), 400 - floater.width() / 2, 300 - floater.height() / 2);
        }
    }
    const std::vector<std::string> scoreFonts = writer.fontFiles(floaterFontPrefix);
    if (!scoreFonts.empty()) {
        writer.write(scene, scoreFonts.front(), "+150", 430, 340, false, error);
    }
    return {"In place over a level's background", {{"the play scene", {scene}}}};
}

} // namespace

bool addPlaySections(const std::vector<Entry>& entries, const Context& context, const Pictures& pictures,
                     const Canvas& pibble, std::vector<Section>& sections, std::string& error) {
    Writer writer(entries, context);
    error.clear();
    sections.push_back(widgets(entries, pictures, writer, error));
    sections.push_back(bubbles(pictures, pibble));
    sections.push_back(inPlace(entries, context, pictures, pibble, writer, error));
    return error.empty();
}

} // namespace mkmedia
