// Pictures: the kind of an image entry picks its painter; "width" and "height" are one frame's size, and
// a picture of several frames is a strip of them.
#include "tools/mkmedia/Generators.h"
#include "tools/mkmedia/ImageFiles.h"
#include "tools/mkmedia/OutputFile.h"
#include "tools/mkmedia/Pictures.h"
#include "tools/mkmedia/TextRaster.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace mkmedia {

namespace {

enum class Strip { Horizontal, Vertical };

// What an entry must satisfy for its painter, checked before anything is drawn; null checks nothing.
using RequestCheck = bool (*)(const PictureRequest& request, std::string& error);

struct PictureKind {
    const char* name;
    int width;
    int height;
    int frames;
    Strip strip;
    FramePainter draw;
    RequestCheck check = nullptr;
};

bool checkButton(const PictureRequest& request, std::string& error) {
    const std::string symbol = request.entry.text("symbol");
    if (request.entry.attributes.contains("symbol") && !knownSymbol(symbol)) {
        error = "no symbol \"" + symbol + "\"";
        return false;
    }
    return true;
}

// Buttons stack their four states vertically, as the engine's buttons cut them.
constexpr PictureKind kinds[] = {
    {"background", 640, 480, 1, Strip::Horizontal, drawBackground},
    {"logo", 200, 160, 13, Strip::Horizontal, drawLogo},
    {"icon", 32, 32, 1, Strip::Horizontal, drawIcon},
    {"bar", 300, 24, 1, Strip::Horizontal, drawBar},
    {"frame", 32, 32, 1, Strip::Horizontal, drawFramePart},
    {"panel", 240, 160, 1, Strip::Horizontal, drawPanel},
    {"button", 160, 40, 4, Strip::Vertical, drawButton, checkButton},
    {"fshbutton", 24, 24, 4, Strip::Vertical, drawWindowButton},
    {"checkbox", 24, 24, 8, Strip::Vertical, drawCheckbox},
    // The pibbles' strips lie one frame below the other, as the game cuts them.
    {"pibble", 100, 125, 1, Strip::Vertical, drawPibblePicture},
    {"sparkle", 24, 24, 14, Strip::Horizontal, drawSparkle},
    {"particle", 16, 16, 1, Strip::Horizontal, drawParticle},
    {"partystar", 64, 64, 1, Strip::Horizontal, drawPartyStar},
    {"floater", 200, 70, 1, Strip::Horizontal, drawFloater, floaterFits},
    {"lock", 48, 48, 1, Strip::Horizontal, drawLock},
    // The album's: its book, ribbon, page corners, check mark and photos, the turning sheet (its frames one
    // below the other, as the album cuts them) and the left pages' collages.
    {"book", 560, 420, 1, Strip::Horizontal, drawBook},
    {"ribbon", 36, 64, 1, Strip::Vertical, drawRibbon},
    {"pagecorner", 60, 60, 1, Strip::Horizontal, drawPageCorner, pageCornerKnown},
    {"checkmark", 32, 32, 1, Strip::Horizontal, drawCheckMark},
    {"polaroid", 150, 170, 1, Strip::Horizontal, drawPolaroid},
    {"pageturn", 480, 340, 16, Strip::Vertical, drawPageTurn, pageTurnKnown},
    {"collage", 200, 310, 1, Strip::Horizontal, drawCollage, collageKnown},
    // The level-end dialog's: the carrot, its outline after each bite, its crumbs (their frames one below
    // the other, as the dialog cuts them) and the white bar.
    {"carrot", 460, 150, 1, Strip::Horizontal, drawCarrot, carrotKnown},
    {"carrotbite", 460, 150, 1, Strip::Horizontal, drawCarrotBite, carrotKnown},
    {"crumb", 22, 22, 6, Strip::Vertical, drawCrumb, carrotKnown},
    {"whitebar", 640, 160, 1, Strip::Horizontal, drawWhiteBar},
    // The chapter map's: its landscape, the trails, the chapters' photos, the player's pibble, the shine
    // about it, a chapter's sparkle and the player's speech bubble. Animations lie one frame below the
    // other, as sprites cut them by default.
    {"chaptermap", 640, 480, 1, Strip::Horizontal, drawChapterMap, chapterMapKnown},
    {"trail", 100, 100, 1, Strip::Horizontal, drawTrailPicture, chapterMapKnown},
    {"chapterphoto", 72, 64, 4, Strip::Vertical, drawChapterPhoto},
    {"playerfigure", 56, 60, 1, Strip::Vertical, drawPlayerFigure},
    {"playershine", 128, 128, 8, Strip::Vertical, drawPlayerShine},
    {"chaptersparkle", 96, 96, 6, Strip::Vertical, drawChapterSparkle},
    {"speechbubble", 120, 56, 1, Strip::Horizontal, drawMapBubble, chapterMapKnown},
    // The menus': the pause screen, the celebration after the last chapter and the glint on its trophy (its
    // frames one below the other, as the game cuts it), the groove of a slider or scroll bar, and the
    // help's pibbles.
    {"pausescene", 640, 480, 1, Strip::Horizontal, drawPauseScene},
    {"celebration", 640, 480, 1, Strip::Horizontal, drawCelebration, celebrationKnown},
    {"glint", 40, 40, 6, Strip::Vertical, drawGlint},
    {"slidertrack", 220, 28, 1, Strip::Horizontal, drawSliderTrack, sliderTrackKnown},
    {"helpicon", 56, 56, 1, Strip::Horizontal, drawHelpIcon, helpIconKnown},
    // The selection scene's and its dialogs': the title screen, the mode buttons (four states one below the
    // other), the glows, a list's rows and the input field, the visitor; the first start's comic.
    {"titlescreen", 640, 480, 1, Strip::Horizontal, drawTitleScreen, titleScreenKnown},
    {"modebutton", 164, 168, 4, Strip::Vertical, drawModeButton, modeButtonKnown},
    {"softglow", 120, 120, 1, Strip::Horizontal, drawSoftGlow},
    {"listrow", 280, 36, 4, Strip::Vertical, drawListRow},
    {"visitor", 120, 120, 1, Strip::Horizontal, drawVisitor},
    {"comicpage", 640, 480, 1, Strip::Horizontal, drawComicPage, comicPageKnown},
};

// Any other kind: a soft rounded tile, so that no declared picture is ever missing.
constexpr PictureKind fallbackKind = {"", 64, 64, 1, Strip::Horizontal, drawTile};

constexpr int maximumSide = 4096;
constexpr int maximumFrames = 64;

const PictureKind& kindOf(const std::string& name) {
    for (const PictureKind& kind : kinds) {
        if (name == kind.name) {
            return kind;
        }
    }
    return fallbackKind;
}

Strip stripOf(const Entry& entry, const PictureKind& kind) {
    const std::string orientation = entry.text("orientation");
    if (orientation == "horizontal") {
        return Strip::Horizontal;
    }
    return orientation == "vertical" ? Strip::Vertical : kind.strip;
}

bool readSize(const Entry& entry, const PictureKind& kind, PictureRequest& request, std::string& error) {
    request.width = entry.integer("width", kind.width);
    request.height = entry.integer("height", kind.height);
    request.frames = entry.integer("frames", kind.frames);
    if (request.width < 1 || request.height < 1 || request.width > maximumSide ||
        request.height > maximumSide) {
        error = "size " + std::to_string(request.width) + " x " + std::to_string(request.height) +
                " out of range";
        return false;
    }
    if (request.frames < 1 || request.frames > maximumFrames) {
        error = "frame count " + std::to_string(request.frames) + " out of range";
        return false;
    }
    return true;
}

// The named font entry of the manifest styles the caption; without one the entry's own "textsize",
// "textcolor" and "textoutline" do, the size fitting the picture when it is not given.
TextStyle captionStyle(const PictureRequest& request, const Context& context) {
    const std::string fontName = request.entry.text("font");
    const auto found = context.fonts.find(fontName);
    if (found != context.fonts.end()) {
        return TextStyle::fromEntry(found->second, context);
    }
    Entry own;
    own.attributes["size"] =
        std::to_string(request.entry.integer("textsize", std::max(8, request.height * 2 / 5)));
    for (const auto& [from, to] : {std::pair{"textcolor", "color"}, std::pair{"textoutline", "outline"}}) {
        if (request.entry.attributes.contains(from)) {
            own.attributes[to] = request.entry.text(from);
        }
    }
    return TextStyle::fromEntry(own, context);
}

bool prepareCaption(PictureRequest& request, const Context& context, std::string& error) {
    const std::string text = request.entry.text("text");
    if (text.empty()) {
        return true;
    }
    TextRaster raster;
    if (!raster.open(captionStyle(request, context), error)) {
        return false;
    }
    int baseline = 0;
    request.caption = raster.renderLine(text, baseline, error);
    request.captionMiddle = baseline - raster.ascent() * 3 / 8;
    return static_cast<bool>(request.caption);
}

// "opacity" (0..1) fades the whole picture: a translucent panel or overlay.
void applyOpacity(const PictureRequest& request, Canvas& frame) {
    const double opacity = std::clamp(request.entry.number("opacity", 1.0), 0.0, 1.0);
    if (opacity < 1.0) {
        frame.erase(
            roundedRect(0, 0, static_cast<float>(frame.width()), static_cast<float>(frame.height()), 0),
            static_cast<int>(std::lround((1.0 - opacity) * 255)));
    }
}

Canvas drawStrip(const PictureRequest& request, const PictureKind& kind, Strip strip) {
    const bool across = strip == Strip::Horizontal;
    Canvas picture(across ? request.width * request.frames : request.width,
                   across ? request.height : request.height * request.frames);
    for (int frame = 0; frame < request.frames; ++frame) {
        // Each frame on a canvas of its own: the painters' passes then cover one frame, not the strip.
        Canvas single(request.width, request.height);
        kind.draw(request, frame, single);
        applyOpacity(request, single);
        picture.copyFrom(single, across ? frame * request.width : 0, across ? 0 : frame * request.height);
    }
    return picture;
}

} // namespace

bool generateImage(const Entry& entry, const Context& context, std::string& error) {
    std::filesystem::path path;
    if (!resolveOutputPath(context.outputFolder, entry.file(), path, error)) {
        return false;
    }
    const PictureKind& kind = kindOf(entry.kind());
    PictureRequest request(entry);
    request.seed = stableHash(entry.file());
    if (!readSize(entry, kind, request, error) || !prepareCaption(request, context, error) ||
        (kind.check != nullptr && !kind.check(request, error))) {
        return false;
    }
    const Strip strip = stripOf(entry, kind);
    const long long longSide =
        static_cast<long long>(strip == Strip::Horizontal ? request.width : request.height) * request.frames;
    if (longSide > 4 * maximumSide) {
        error = "the strip of " + std::to_string(request.frames) + " frames is too long";
        return false;
    }
    const Canvas picture = drawStrip(request, kind, strip);
    return writeImageFile(path, picture.image(), error);
}

} // namespace mkmedia
