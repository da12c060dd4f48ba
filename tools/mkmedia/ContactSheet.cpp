#include "tools/mkmedia/ContactSheet.h"

#include "tools/mkmedia/AlbumSheet.h"
#include "tools/mkmedia/BackgroundSheet.h"
#include "tools/mkmedia/Canvas.h"
#include "tools/mkmedia/ImageFiles.h"
#include "tools/mkmedia/LevelEndMapSheet.h"
#include "tools/mkmedia/MenusSheet.h"
#include "tools/mkmedia/PlaySheet.h"
#include "tools/mkmedia/SelectionSheet.h"
#include "tools/mkmedia/SheetPictures.h"
#include "tools/mkmedia/TextRaster.h"

#include <algorithm>
#include <functional>
#include <map>
#include <memory>

namespace mkmedia {

namespace {

constexpr int sheetWidth = 2440;
constexpr int margin = 16;
constexpr int tileGap = 14;
constexpr int titleHeight = 30;
constexpr int checker = 8;
// About what the game's tuning takes off a stubborn pibble's parts.
constexpr float stubbornDarkening = 0.25f;
constexpr const char* lookNames[] = {"yellow", "blue", "red", "white", "green", "purple", "orange", "clown"};

void lay(Canvas& target, const Canvas& above) {
    target.stamp(above.image(), 0, 0);
}

// As the game darkens a stubborn pibble: every colour channel less the factor, alpha kept.
void darken(Canvas& canvas, float factor) {
    const int amount = static_cast<int>(factor * 255);
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            std::uint32_t& pixel = canvas.image().pixels32()[canvas.image().pixelIndex(x, y)];
            std::uint32_t result = pixel & 0xFF000000u;
            for (const int shift : {16, 8, 0}) {
                result |= static_cast<std::uint32_t>(std::max(0, channel(pixel, shift) - amount)) << shift;
            }
            pixel = result;
        }
    }
}

// What a composed pibble shows: which head and ear frames, and whether its parts are darkened.
struct Look {
    std::string head = "head";
    int headFrame = 0;
    std::string ears = "ears";
    int earFrame = 0;
    float dark = 0;
};

class SheetBuilder {
public:
    explicit SheetBuilder(const Pictures& pictures) : pictures(pictures) {}

    // Shadow, ears, feet, body and head, in the game's order.
    Canvas pibble(const std::string& look, const Look& how = {}) const {
        Canvas canvas(frameWidth, frameHeight);
        lay(canvas, part("", "shadow"));
        const auto darkened = [&](Canvas frame) {
            if (how.dark > 0) {
                darken(frame, how.dark);
            }
            return frame;
        };
        lay(canvas, darkened(Pictures::frame(pictures.pibble(look, how.ears), how.earFrame)));
        lay(canvas, darkened(part(look, "feet")));
        lay(canvas, darkened(part(look, "body")));
        lay(canvas, darkened(Pictures::frame(pictures.pibble(look, how.head), how.headFrame)));
        return canvas;
    }

    Canvas collectable(int number) const {
        const std::string id = std::to_string(number);
        Canvas canvas(frameWidth, frameHeight);
        lay(canvas, part("", "shadow"));
        for (const char* name : {"ears", "feet", "body", "head"}) {
            lay(canvas, Pictures::frame(pictures.find("pibble", "", name, id), 0));
        }
        return canvas;
    }

    Canvas part(const std::string& look, const std::string& name, int frame = 0) const {
        return Pictures::frame(pictures.pibble(look, name), frame);
    }

    // A new picture of `above` laid over `below`; canvases share their pixels when copied, so neither is
    // touched.
    static Canvas under(const Canvas& below, const Canvas& above) {
        Canvas both(below.width(), below.height());
        both.copyFrom(below, 0, 0);
        lay(both, above);
        return both;
    }

    // A field of cells 44 pixels apart on a pale pane, as the levels show them, and the same in grey: the
    // colours must tell apart without their hue too.
    Section field() const {
        constexpr int cell = 44;
        constexpr int columns = 8;
        constexpr int rows = 4;
        Canvas board(columns * cell + 56, rows * cell + 82);
        board.paintAll(0xE4F0DC);
        board.revealAll(255);
        for (int row = 0; row < rows; ++row) {
            for (int column = 0; column < columns; ++column) {
                const int colour = (column + row * 3) % 8;
                // The frame's feet point (48, 101) on the cell's bottom middle.
                const int x = 28 + column * cell + cell / 2 - 48;
                const int y = 70 + row * cell + cell - 101;
                board.stamp(pibble(lookNames[colour]).image(), x, y);
            }
        }
        Canvas grey(board.width(), board.height());
        grey.copyFrom(board, 0, 0);
        for (int y = 0; y < grey.height(); ++y) {
            for (int x = 0; x < grey.width(); ++x) {
                std::uint32_t& pixel = grey.image().pixels32()[grey.image().pixelIndex(x, y)];
                const auto level = static_cast<std::uint32_t>(
                    (channel(pixel, 16) * 299 + channel(pixel, 8) * 587 + channel(pixel, 0) * 114) / 1000);
                pixel = (pixel & 0xFF000000u) | level << 16 | level << 8 | level;
            }
        }
        return {"On the field, and the same without colour", {{"cells of 44", {board}}, {"in grey", {grey}}}};
    }

    Section looks() const {
        Section section{
            "Every colour: at rest, happy, unhappy, stubborn, chained, VIB, party, blinking, shining, "
            "hit mask",
            {}};
        for (const char* look : lookNames) {
            Tile tile{look, {}};
            const Canvas idle = pibble(look);
            tile.frames.push_back(idle);
            tile.frames.push_back(pibble(look, {.head = "head_happy"}));
            tile.frames.push_back(pibble(look, {.head = "head_unhappy"}));
            tile.frames.push_back(pibble(look, {.head = "head_stubborn", .dark = stubbornDarkening}));
            tile.frames.push_back(under(pibble(look), part("", "dechain")));
            tile.frames.push_back(under(part(look, "vibstatic"), idle));
            tile.frames.push_back(under(under(part(look, "partyback"), idle), part(look, "party")));
            tile.frames.push_back(under(pibble(look), part("", "blink")));
            tile.frames.push_back(under(part(look, "vibshine", 3), idle));
            Canvas mask = part("", "hitmask");
            mask.erase(roundedRect(0, 0, frameWidth, frameHeight, 0), 150);
            tile.frames.push_back(under(pibble(look), mask));
            section.tiles.push_back(std::move(tile));
        }
        return section;
    }

    Section collectables() const {
        Section section{"The collectable pibbles 1 to 30", {}};
        for (int number = 1; number <= 30; number += 10) {
            Tile tile{std::to_string(number) + " to " + std::to_string(number + 9), {}};
            for (int i = number; i < number + 10; ++i) {
                tile.frames.push_back(collectable(i));
            }
            section.tiles.push_back(std::move(tile));
        }
        return section;
    }

    // Each colour's strips, shown on the pibble as the game shows them.
    Section colourStrips() const {
        Section section{"Each colour's strips: ears, head shake, party backdrop, VIB shine", {}};
        for (const char* look : lookNames) {
            const std::string name = look;
            const Canvas idle = pibble(look);
            section.tiles.push_back(framesOf(name + " ears", pictures.pibble(look, "ears"),
                                             [&](int i) { return pibble(look, {.earFrame = i}); }));
            section.tiles.push_back(framesOf(name + " no", pictures.pibble(look, "head_shakeno"), [&](int i) {
                return pibble(
                    look, {.head = "head_shakeno", .headFrame = i, .ears = "ears_shakeno", .earFrame = i});
            }));
            section.tiles.push_back(
                framesOf(name + " party backdrop", pictures.pibble(look, "partyback"), [&](int i) {
                    return under(under(part(look, "partyback", i), idle), part(look, "party"));
                }));
            section.tiles.push_back(framesOf(name + " VIB shine", pictures.pibble(look, "vibshine"),
                                             [&](int i) { return under(part(look, "vibshine", i), idle); }));
        }
        return section;
    }

    Section sharedStrips() const {
        Section section{"What every pibble shares, and the play scene's sparkle, particles and party star",
                        {}};
        const Canvas idle = pibble("yellow");
        const auto behind = [&](const std::string& name, const std::string& label) {
            return framesOf(label, pictures.pibble("", name),
                            [&](int i) { return under(part("", name, i), idle); });
        };
        const auto before = [&](const std::string& name, const std::string& label, const Canvas& base) {
            return framesOf(label, pictures.pibble("", name),
                            [&](int i) { return under(base, part("", name, i)); });
        };
        section.tiles.push_back(
            framesOf("dust", pictures.pibble("", "dust"), [&](int i) { return part("", "dust", i); }));
        for (const char* hole : {"hole_open", "hole_close"}) {
            section.tiles.push_back(
                framesOf(hole, pictures.pibble("", hole), [&](int i) { return part("", hole, i); }));
        }
        section.tiles.push_back(behind("swoosh", "swoosh"));
        section.tiles.push_back(behind("vibmatch", "VIB match"));
        section.tiles.push_back(behind("stubbornmatch", "stubborn match"));
        section.tiles.push_back(behind("combomatch", "combo"));
        section.tiles.push_back(before("dechain", "chain breaks", idle));
        section.tiles.push_back(before(
            "stubborn", "stubborn", pibble("yellow", {.head = "head_stubborn", .dark = stubbornDarkening})));
        section.tiles.push_back(before("clownglow", "clown glow", pibble("clown")));
        for (int colour = 1; colour <= 7; ++colour) {
            const Strip* burst = pictures.pibble(lookNames[colour - 1], "partymatch");
            section.tiles.push_back(framesOf("party match " + std::to_string(colour), burst,
                                             [&](int i) { return Pictures::frame(burst, i); }));
        }
        const Strip* sparkle = pictures.find("sparkle", "", "");
        section.tiles.push_back(
            framesOf("sparkle", sparkle, [&](int i) { return Pictures::frame(sparkle, i); }));
        Tile particles{"particles 1 to 8", {}};
        for (const char* look : lookNames) {
            particles.frames.push_back(Pictures::frame(pictures.find("particle", look, ""), 0));
        }
        section.tiles.push_back(std::move(particles));
        const Strip* star = pictures.find("partystar", "", "");
        section.tiles.push_back(
            framesOf("party star", star, [&](int i) { return Pictures::frame(star, i); }));
        return section;
    }

private:
    template <typename FrameOf>
    Tile framesOf(const std::string& label, const Strip* strip, FrameOf frameOf) const {
        Tile tile{label, {}};
        const int frames = strip != nullptr ? strip->frames : 1;
        for (int i = 0; i < frames; ++i) {
            tile.frames.push_back(frameOf(i));
        }
        return tile;
    }

    const Pictures& pictures;
};

// Tiles flow left to right and wrap; the checkered ground under each frame shows what is transparent.
class SheetLayout {
public:
    explicit SheetLayout(std::vector<Section> sections) : sections(std::move(sections)) {}

    int height() const {
        int y = margin;
        for (const Section& section : sections) {
            y = place(section, y, nullptr);
        }
        return y;
    }

    bool draw(Canvas& sheet, TextRaster& text, std::string& error) const {
        sheet.paintAll(0xEEF2F6);
        sheet.revealAll(255);
        // Its own flag: the error text may hold a message from before.
        bool failed = false;
        int y = margin;
        for (const Section& section : sections) {
            failed = failed || !label(sheet, text, section.title, margin, y + 4, error);
            y = place(section, y, [&](const Tile& tile, int x, int top) {
                failed = failed || !label(sheet, text, tile.label, x, top, error);
                int left = x;
                for (const Canvas& frame : tile.frames) {
                    ground(sheet, left, top + labelHeight, frame.width(), frame.height());
                    sheet.stamp(frame.image(), left, top + labelHeight);
                    left += frame.width() + frameGap;
                }
                return !failed;
            });
        }
        return !failed;
    }

private:
    using Visit = std::function<bool(const Tile&, int, int)>;

    // Lays the section's tiles out from row y and returns the row after it, visiting each tile.
    int place(const Section& section, int y, const Visit& visit) const {
        y += titleHeight;
        int x = margin;
        int rowHeight = 0;
        for (const Tile& tile : section.tiles) {
            if (x > margin && x + tile.width() > sheetWidth - margin) {
                y += rowHeight + tileGap;
                x = margin;
                rowHeight = 0;
            }
            if (visit && !visit(tile, x, y)) {
                return y;
            }
            x += tile.width() + tileGap * 2;
            rowHeight = std::max(rowHeight, tile.height());
        }
        return y + rowHeight + tileGap * 2;
    }

    static void ground(Canvas& sheet, int x, int y, int w, int h) {
        for (int row = 0; row < h; row += checker) {
            for (int column = 0; column < w; column += checker) {
                const bool dark = ((row + column) / checker) % 2 == 1;
                sheet.paintRect(x + column, y + row, std::min(checker, w - column),
                                std::min(checker, h - row), dark ? 0xB4C2D0 : 0xC6D2DE);
            }
        }
    }

    static bool label(Canvas& sheet, TextRaster& text, const std::string& words, int x, int y,
                      std::string& error) {
        int baseline = 0;
        const kernel::SmartPtr<graphics::MemoryImage32> line = text.renderLine(words, baseline, error);
        if (!line) {
            return false;
        }
        sheet.stamp(*line, x, y - 3);
        return true;
    }

    std::vector<Section> sections;
};

} // namespace

bool writeContactSheet(const std::vector<Entry>& entries, const Context& context,
                       const std::filesystem::path& sheetPath, std::string& error) {
    const Pictures pictures(entries, context);
    if (pictures.pibble("yellow", "body") == nullptr) {
        error = "no pibble pictures in " + context.outputFolder.string() + ": generate the media first";
        return false;
    }
    const SheetBuilder builder(pictures);
    std::vector<Section> sections = {builder.field(), builder.looks(), builder.collectables(),
                                     builder.colourStrips(), builder.sharedStrips()};
    if (!addPlaySections(entries, context, pictures, builder.pibble("yellow"), sections, error)) {
        return false;
    }
    addAlbumSections(pictures, sections);
    if (!addLevelEndAndMapSections(entries, context, pictures, sections, error)) {
        return false;
    }
    if (!addMenuSections(
            entries, context, pictures, [&](const std::string& look) { return builder.pibble(look); },
            sections, error)) {
        return false;
    }
    if (!addSelectionSections(entries, context, pictures, sections, error)) {
        return false;
    }
    sections.push_back(
        backgroundSection(entries, context, [&](const std::string& look) { return builder.pibble(look); }));
    const SheetLayout layout(std::move(sections));
    Entry font;
    font.attributes = {
        {"size", "12"}, {"color", "#2A2440"}, {"outline", "#FFFFFF"}, {"face", "DejaVuSans.ttf"}};
    TextRaster text;
    if (!text.open(TextStyle::fromEntry(font, context), error)) {
        return false;
    }
    Canvas sheet(sheetWidth, layout.height());
    if (!layout.draw(sheet, text, error)) {
        return false;
    }
    return writeImageFile(sheetPath, sheet.image(), error);
}

} // namespace mkmedia
