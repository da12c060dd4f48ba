#include "tools/mkmedia/LevelEndMapSheet.h"

#include "tools/mkmedia/AlbumArt.h"
#include "tools/mkmedia/ChapterMap.h"
#include "tools/mkmedia/SheetWriter.h"

#include <algorithm>
#include <cmath>

namespace mkmedia {

namespace {

constexpr int sceneWidth = 640;
constexpr int sceneHeight = 480;
constexpr int chapters = 10;
constexpr int bites = 13;
constexpr Rgb lightGround = 0xBFE6FF;
constexpr Rgb darkGround = 0x3A2A50;

// The pictures in the manifest.
constexpr const char* frontFile = "images/levelend/carrot_front.png";
constexpr const char* backFile = "images/levelend/carrot_back.png";
constexpr const char* whiteBarFile = "images/levelend/whitebar.png";
constexpr const char* continueFile = "images/buttons/continue.png";
constexpr const char* yesFile = "images/buttons/yes.png";
constexpr const char* noFile = "images/buttons/no.png";
constexpr const char* mapFile = "images/progress/map.jpg";
constexpr const char* playerFile = "images/progress/player.png";
constexpr const char* smileFile = "images/progress/player_smile.png";
constexpr const char* shineFile = "images/progress/player_shine.png";
constexpr const char* sparkleFile = "images/progress/chapter_appear.png";
constexpr const char* bookFile = "images/progress/button_book.png";
constexpr const char* menuFile = "images/play/button_menu.png";
constexpr const char* levelGroundFile = "images/backgrounds/forest.jpg";
constexpr const char* headerFont = "fonts/carrot_36";
constexpr const char* textFont = "fonts/dialog_18";
constexpr const char* questionFont = "fonts/round_24";
constexpr const char* captionFont = "fonts/caption_36";
constexpr const char* glowFont = "fonts/caption_36_glow";

std::string biteFile(int n) {
    return "images/levelend/carrot_bite_" + std::to_string(n) + ".png";
}
std::string crumbFile(int j) {
    return "images/levelend/crumb_" + std::to_string(j) + ".png";
}
std::string lineFile(int n) {
    return "images/progress/line_" + std::to_string(n) + ".png";
}
std::string photoFile(int n) {
    return "images/progress/photo_" + std::to_string(n) + ".png";
}
std::string chapterFile(int n) {
    return "images/progress/chapter_" + std::to_string(n) + ".png";
}

// Where the dialogs place their parts (media/properties/dialogs.xml, and the dialogs' own rules): a point
// on the screen and the picture's anchor, the point of the picture that lies on it.
struct Anchor {
    int x;
    int y;
};
constexpr Anchor carrotMiddle{320, 240};
// The header's letters stand about this point on the carrot; the dialog composes them onto its picture
// this far right of its middle.
constexpr int headerRightOfMiddle = 10;
constexpr int letterJump = 100;
constexpr Anchor whiteBarAt{320, 365};
constexpr Anchor textTopAt{320, 345};
constexpr Anchor tryAgainTopAt{320, 352};
constexpr Anchor yesTopAt{250, 392};
constexpr Anchor noTopAt{390, 392};
constexpr Anchor playerAnchor{28, 66};
constexpr Anchor shineAnchor{64, 94};
constexpr Anchor captionTopAt{320, 8};
constexpr Anchor bookAt{530, 432};
constexpr Anchor menuAt{590, 432};

void put(Canvas& scene, const Canvas& picture, int x, int y, Anchor anchor) {
    scene.stamp(picture.image(), x - anchor.x, y - anchor.y);
}

void putCentred(Canvas& scene, const Canvas& picture, int x, int y) {
    put(scene, picture, x, y, {picture.width() / 2, picture.height() / 2});
}

// The canvas with its alpha lane taken from the mask, as a bite replaces the eaten carrot's.
Canvas withAlphaOf(const Canvas& picture, const Canvas& mask) {
    Canvas result(picture.width(), picture.height());
    result.copyFrom(picture, 0, 0);
    std::uint32_t* pixels = result.image().pixels32();
    for (int y = 0; y < std::min(result.height(), mask.height()); ++y) {
        for (int x = 0; x < std::min(result.width(), mask.width()); ++x) {
            std::uint32_t& pixel = pixels[result.image().pixelIndex(x, y)];
            const std::uint32_t alpha = mask.pixel(x, y) >> 24;
            pixel = alpha == 0 ? 0 : (pixel & 0xFFFFFFu) | alpha << 24;
        }
    }
    return result;
}

// The picture with each pixel's alpha scaled by the other's at that place.
Canvas keptTo(const Canvas& picture, const Canvas& within) {
    Canvas result(picture.width(), picture.height());
    result.copyFrom(picture, 0, 0);
    std::uint32_t* pixels = result.image().pixels32();
    for (int y = 0; y < result.height(); ++y) {
        for (int x = 0; x < result.width(); ++x) {
            std::uint32_t& pixel = pixels[result.image().pixelIndex(x, y)];
            const std::uint32_t alpha = (pixel >> 24) * (within.pixel(x, y) >> 24) / 255;
            pixel = alpha == 0 ? 0 : (pixel & 0xFFFFFFu) | alpha << 24;
        }
    }
    return result;
}

class LevelEndSheet {
public:
    LevelEndSheet(const Context& context, const Pictures& pictures, Writer& writer, std::string& error)
        : context(context), pictures(pictures), writer(writer), error(error) {}

    // The carrot's front with the header composed on it, as the dialog composes it once the letters have
    // landed: the letters about the carrot's middle, `headerRightOfMiddle` to the right.
    Canvas composed(const std::string& header) {
        Canvas carrot = frameOf(pictures, frontFile);
        const kernel::SmartPtr<graphics::MemoryImage32> letters = writer.line(headerFont, header, error);
        if (letters) {
            Canvas onCarrot(carrot.width(), carrot.height());
            onCarrot.stamp(*letters, carrot.width() / 2 + headerRightOfMiddle - letters->getWidth() / 2,
                           carrot.height() / 2 - letters->getHeight() / 2);
            // Letters keep to the carrot: the composed picture keeps the front's coverage.
            carrot.stamp(keptTo(onCarrot, carrot).image(), 0, 0);
        }
        return carrot;
    }

    Canvas bitten(const Canvas& carrot, int n) { return withAlphaOf(carrot, frameOf(pictures, biteFile(n))); }

    // The letters jumping out: those left of the cut stand in the back's slot, the next one is up in the
    // air and the front still covers the rest.
    Canvas jumping(const std::string& header, float share) {
        const Canvas back = frameOf(pictures, backFile);
        const Canvas front = frameOf(pictures, frontFile);
        const kernel::SmartPtr<graphics::MemoryImage32> letters = writer.line(headerFont, header, error);
        Canvas scene(back.width(), back.height() + letterJump);
        scene.stamp(back.image(), 0, letterJump);
        if (!letters) {
            return scene;
        }
        const int left = back.width() / 2 + headerRightOfMiddle - letters->getWidth() / 2;
        const int top = letterJump + back.height() / 2 - letters->getHeight() / 2;
        const int landed = static_cast<int>(static_cast<float>(letters->getWidth()) * share);
        const int flying = std::min(letters->getWidth() - landed, 30);
        Canvas line(letters->getWidth(), letters->getHeight());
        line.stamp(*letters, 0, 0);
        scene.stamp(line.cut(0, 0, landed, line.height()).image(), left, top);
        scene.stamp(line.cut(landed, 0, flying, line.height()).image(), left + landed, top - letterJump);
        const int cut = left + landed + flying;
        scene.stamp(front.cut(cut, 0, front.width() - cut, front.height()).image(), cut, letterJump);
        return scene;
    }

    Section carrot() {
        Section section{
            "The level end's carrot: front, back, the header jumping out of it and composed on it; "
            "then the carrot after each of its thirteen bites, and the bites' masks",
            {}};
        section.tiles.push_back(
            {"front, back",
             {on(frameOf(pictures, frontFile), lightGround), on(frameOf(pictures, backFile), darkGround)}});
        section.tiles.push_back({"jumping out", {on(jumping("Well done!", 0.45f), lightGround)}});
        Tile headers{"each header composed", {}};
        for (const char* header : {"Well done!", "Oh no!", "Chapter done!"}) {
            headers.frames.push_back(on(composed(header), lightGround));
        }
        section.tiles.push_back(std::move(headers));
        const Canvas whole = composed("Chapter done!");
        Tile eaten{"after bites 1 to 13", {}};
        Tile masks{"the masks, bites 1 to 13", {}};
        for (int n = 0; n < bites; ++n) {
            eaten.frames.push_back(shrunk(on(bitten(whole, n), lightGround), 2));
            masks.frames.push_back(shrunk(on(frameOf(pictures, biteFile(n)), darkGround), 2));
        }
        section.tiles.push_back(std::move(eaten));
        section.tiles.push_back(std::move(masks));
        return section;
    }

    Section pieces() {
        Section section{"The level end's crumbs, white bar and continue button", {}};
        for (int j = 0; j < 3; ++j) {
            Tile tile{"crumb " + std::to_string(j), {}};
            for (int frame = 0; frame < 6; ++frame) {
                tile.frames.push_back(on(frameOf(pictures, crumbFile(j), frame), lightGround));
            }
            section.tiles.push_back(std::move(tile));
        }
        section.tiles.push_back({"white bar", {on(frameOf(pictures, whiteBarFile), darkGround)}});
        Tile button{"continue: normal, over, pressed, disabled", {}};
        for (int state = 0; state < 4; ++state) {
            button.frames.push_back(frameOf(pictures, continueFile, state));
        }
        section.tiles.push_back(std::move(button));
        return section;
    }

    // Crumbs of the last bites on their way off the screen, along the curve the dialog throws them on:
    // from where the bite was, up through its top point and down past the bottom.
    void crumbsInFlight(Canvas& scene, int lastBite) {
        const float directions[] = {1, -1, 3};
        for (int n = std::max(0, lastBite - 2); n <= lastBite; ++n) {
            const float x = static_cast<float>(530 - 30 * n);
            for (int j = 0; j < 3; ++j) {
                const float d = directions[j];
                const float t = std::clamp(0.15f + 0.2f * static_cast<float>(lastBite - n) -
                                               0.05f * static_cast<float>(j),
                                           0.0f, 1.0f);
                const graphics::PointF start{x, 220};
                const graphics::PointF top{x + 70 * d, 110};
                const graphics::PointF end{x + 160 * d, 500};
                const float cx = 2 * top.getX() - (start.getX() + end.getX()) / 2;
                const float cy = 2 * top.getY() - (start.getY() + end.getY()) / 2;
                const float u = 1 - t;
                const float px = u * u * start.getX() + 2 * u * t * cx + t * t * end.getX();
                const float py = u * u * start.getY() + 2 * u * t * cy + t * t * end.getY();
                putCentred(scene, frameOf(pictures, crumbFile(j), n + j), static_cast<int>(px),
                           static_cast<int>(py));
            }
        }
    }

    void explanation(Canvas& scene, int& bottom) {
        const char* lines[] = {"No move is left on the field.", "The game is over!"};
        int y = textTopAt.y;
        for (const char* text : lines) {
            const kernel::SmartPtr<graphics::MemoryImage32> line = writer.line(textFont, text, error);
            if (line) {
                const int pad = writer.pad(textFont, error);
                scene.stamp(*line, textTopAt.x - line->getWidth() / 2, y - pad);
                y += line->getHeight() - 2 * pad + 4;
            }
        }
        bottom = y;
    }

    Section inPlace() {
        const Canvas whole = composed("Oh no!");
        Canvas failed = jpegScene(context, levelGroundFile);
        putCentred(failed, frameOf(pictures, whiteBarFile), whiteBarAt.x, whiteBarAt.y);
        int textBottom = 0;
        explanation(failed, textBottom);
        const Canvas button = frameOf(pictures, continueFile);
        put(failed, button, textTopAt.x, textBottom, {button.width() / 2, 0});
        putCentred(failed, bitten(whole, 4), carrotMiddle.x, carrotMiddle.y);
        crumbsInFlight(failed, 4);

        Canvas retry = jpegScene(context, levelGroundFile);
        putCentred(retry, frameOf(pictures, whiteBarFile), whiteBarAt.x, whiteBarAt.y);
        if (const kernel::SmartPtr<graphics::MemoryImage32> question =
                writer.line(questionFont, "Try this level again?", error)) {
            retry.stamp(*question, tryAgainTopAt.x - question->getWidth() / 2,
                        tryAgainTopAt.y - writer.pad(questionFont, error));
        }
        for (const auto& [file, at] : {std::pair{yesFile, yesTopAt}, std::pair{noFile, noTopAt}}) {
            const Canvas answer = frameOf(pictures, file);
            put(retry, answer, at.x, at.y, {answer.width() / 2, 0});
        }
        putCentred(retry, bitten(whole, bites - 1), carrotMiddle.x, carrotMiddle.y);

        Canvas won = jpegScene(context, levelGroundFile);
        const Canvas jump = jumping("Well done!", 0.6f);
        put(won, jump, carrotMiddle.x, carrotMiddle.y,
            {jump.width() / 2, letterJump + jump.height() / 2 - letterJump / 2});
        return {"The level end in place: lost in ACTION, lost in VIB, and won with the letters jumping out",
                {{"no move left", {failed}}, {"try again?", {retry}}, {"well done", {won}}}};
    }

private:
    const Context& context;
    const Pictures& pictures;
    Writer& writer;
    std::string& error;
};

class MapSheet {
public:
    MapSheet(const std::vector<Entry>& entries, const Context& context, const Pictures& pictures,
             Writer& writer, std::string& error)
        : context(context), pictures(pictures), writer(writer), error(error) {
        for (const Entry& entry : entries) {
            if (entry.kind() == "chaptermap") {
                spots = pointListOf(entry.text("spots"));
            }
            if (entry.kind() == "trail") {
                trailPlaces[entry.file()] = pointListOf(entry.text("at")).front();
            }
        }
    }

    Section pieces() {
        Section section{
            "The chapter map's pieces: the photos and the chapter buttons (normal, over, pressed, "
            "disabled), the player and its smile, its shine, a chapter's sparkle, the bubbles",
            {}};
        for (int first = 1; first <= chapters; first += 5) {
            Tile photos{"photos " + std::to_string(first) + " to " + std::to_string(first + 4), {}};
            for (int n = first; n < first + 5; ++n) {
                for (int state = 0; state < 4; ++state) {
                    photos.frames.push_back(on(frameOf(pictures, photoFile(n), state), 0xA6E08A));
                }
            }
            section.tiles.push_back(std::move(photos));
        }
        Tile buttons{"chapter buttons", {}};
        for (int n = 1; n <= chapters; ++n) {
            buttons.frames.push_back(on(frameOf(pictures, chapterFile(n)), 0xA6E08A));
        }
        section.tiles.push_back(std::move(buttons));
        Tile player{"player: normal, over, pressed, disabled; smiling", {}};
        for (int state = 0; state < 4; ++state) {
            player.frames.push_back(on(frameOf(pictures, playerFile, state), 0xA6E08A));
        }
        player.frames.push_back(on(frameOf(pictures, smileFile), 0xA6E08A));
        section.tiles.push_back(std::move(player));
        Tile shine{"shine about the player", {}};
        for (int frame = 0; frame < 8; ++frame) {
            Canvas ground = on(frameOf(pictures, shineFile, frame), 0xA6E08A);
            put(ground, frameOf(pictures, playerFile), shineAnchor.x, shineAnchor.y, playerAnchor);
            shine.frames.push_back(ground);
        }
        section.tiles.push_back(std::move(shine));
        Tile sparkle{"a chapter appearing", {}};
        for (int frame = 0; frame < 6; ++frame) {
            sparkle.frames.push_back(on(frameOf(pictures, sparkleFile, frame), 0xA6E08A));
        }
        section.tiles.push_back(std::move(sparkle));
        Tile bubbles{"bubbles left and right, book", {}};
        for (const char* side : {"left", "right"}) {
            Canvas bubble = frameOf(pictures, std::string("images/progress/bubble_") + side + ".png");
            writeCentred(bubble, "fonts/dialog_18", "Play!", bubble.width() / 2, bubble.height() / 2);
            bubbles.frames.push_back(on(bubble, 0xA6E08A));
        }
        for (int state = 0; state < 4; ++state) {
            bubbles.frames.push_back(frameOf(pictures, bookFile, state));
        }
        section.tiles.push_back(std::move(bubbles));
        return section;
    }

    // The map with chapters 1 to `reached` shown: trails, photos of the finished ones, the button of the
    // last, the player on `standing`.
    Canvas map(int reached, int standing, bool hint) {
        Canvas scene = jpegScene(context, mapFile);
        for (int n = 1; n <= reached; ++n) {
            const auto at = trailPlaces.find(lineFile(n));
            if (at != trailPlaces.end()) {
                scene.stamp(frameOf(pictures, lineFile(n)).image(), static_cast<int>(at->second.getX()),
                            static_cast<int>(at->second.getY()));
            }
        }
        for (int n = 1; n <= reached && n <= static_cast<int>(spots.size()); ++n) {
            const graphics::PointF& spot = spots[static_cast<std::size_t>(n - 1)];
            putCentred(scene, frameOf(pictures, n == reached ? chapterFile(n) : photoFile(n)),
                       static_cast<int>(spot.getX()), static_cast<int>(spot.getY()));
        }
        const graphics::PointF& spot = spots[static_cast<std::size_t>(standing - 1)];
        const int x = static_cast<int>(spot.getX());
        const int y = static_cast<int>(spot.getY());
        put(scene, frameOf(pictures, playerFile), x, y, playerAnchor);
        if (hint) {
            // As the map opens its bubble beside the player, on the side with more room.
            const bool left = x > sceneWidth / 2;
            Canvas bubble = frameOf(pictures, std::string("images/progress/bubble_") +
                                                  (left ? "left" : "right") + ".png");
            const int bx = left ? x - bubble.width() / 2 - 56 / 3 : x + bubble.width() / 2 + 56 / 3;
            const int by = y - bubble.height() / 2 - 60 / 3;
            writeCentred(bubble, "fonts/dialog_18", "Play!", bubble.width() / 2, bubble.height() / 2);
            putCentred(scene, bubble, bx, by);
        }
        putCentred(scene, frameOf(pictures, bookFile), bookAt.x, bookAt.y);
        putCentred(scene, frameOf(pictures, menuFile), menuAt.x, menuAt.y);
        return scene;
    }

    void caption(Canvas& scene) {
        for (const char* font : {glowFont, captionFont}) {
            const kernel::SmartPtr<graphics::MemoryImage32> line =
                writer.line(font, "Choose a chapter!", error);
            if (line) {
                scene.stamp(*line, captionTopAt.x - line->getWidth() / 2, captionTopAt.y);
            }
        }
    }

    Section inPlace() {
        Canvas opening = map(6, 6, true);
        caption(opening);
        // Chapter 4 finished for the first time: the shine about the player, its photo popping in, the
        // sparkle on chapter 5 and the trail to it being drawn from the right.
        Canvas unlocking = map(4, 4, false);
        const graphics::PointF& four = spots[3];
        const graphics::PointF& five = spots[4];
        put(unlocking, frameOf(pictures, shineFile, 3), static_cast<int>(four.getX()),
            static_cast<int>(four.getY()), shineAnchor);
        putCentred(unlocking, frameOf(pictures, photoFile(4)), static_cast<int>(four.getX()),
                   static_cast<int>(four.getY()));
        put(unlocking, frameOf(pictures, smileFile), static_cast<int>(four.getX()),
            static_cast<int>(four.getY()), playerAnchor);
        const auto at = trailPlaces.find(lineFile(5));
        if (at != trailPlaces.end()) {
            const Canvas trail = frameOf(pictures, lineFile(5));
            const int shown = trail.width() / 2;
            unlocking.stamp(trail.cut(trail.width() - shown, 0, shown, trail.height()).image(),
                            static_cast<int>(at->second.getX()) + trail.width() - shown,
                            static_cast<int>(at->second.getY()));
        }
        putCentred(unlocking, frameOf(pictures, chapterFile(5)), static_cast<int>(five.getX()),
                   static_cast<int>(five.getY()));
        putCentred(unlocking, frameOf(pictures, sparkleFile, 2), static_cast<int>(five.getX()),
                   static_cast<int>(five.getY()));
        Canvas finished = map(10, 10, true);
        caption(finished);
        return {"The chapter map in place: opening on chapter 6, chapter 5 unlocked, on the last chapter",
                {{"choose a chapter", {opening}},
                 {"chapter 4 finished", {unlocking}},
                 {"the last chapter", {finished}}}};
    }

    bool usable() const { return spots.size() == static_cast<std::size_t>(chapters); }

private:
    void writeCentred(Canvas& canvas, const std::string& font, const std::string& text, int x, int y) {
        const kernel::SmartPtr<graphics::MemoryImage32> line = writer.line(font, text, error);
        if (line) {
            canvas.stamp(*line, x - line->getWidth() / 2, y - line->getHeight() / 2);
        }
    }

    const Context& context;
    const Pictures& pictures;
    Writer& writer;
    std::string& error;
    std::vector<graphics::PointF> spots;
    std::map<std::string, graphics::PointF> trailPlaces;
};

} // namespace

bool addLevelEndAndMapSections(const std::vector<Entry>& entries, const Context& context,
                               const Pictures& pictures, std::vector<Section>& sections, std::string& error) {
    if (pictures.file(frontFile) == nullptr) {
        return true;
    }
    Writer writer(entries, context);
    error.clear();
    LevelEndSheet levelEnd(context, pictures, writer, error);
    sections.push_back(levelEnd.carrot());
    sections.push_back(levelEnd.pieces());
    sections.push_back(levelEnd.inPlace());
    MapSheet map(entries, context, pictures, writer, error);
    if (map.usable()) {
        sections.push_back(map.pieces());
        sections.push_back(map.inPlace());
    }
    return error.empty();
}

} // namespace mkmedia
