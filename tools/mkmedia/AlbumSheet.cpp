#include "tools/mkmedia/AlbumSheet.h"

#include "tools/mkmedia/AlbumArt.h"

#include <string>

namespace mkmedia {

namespace {

// The album's pictures in the manifest.
constexpr const char* bookFile = "images/album/book.png";
constexpr const char* ribbonFile = "images/album/bookmarker.png";
constexpr const char* ribbonButtonFile = "images/album/button_bookmarker.png";
constexpr const char* leftCornerFile = "images/album/corner_left.png";
constexpr const char* rightCornerFile = "images/album/corner_right.png";
constexpr const char* blankFile = "images/album/polaroid.png";
constexpr const char* checkFile = "images/album/check.png";
constexpr const char* forwardFile = "images/album/turn_forward.png";
constexpr const char* backwardFile = "images/album/turn_backward.png";
constexpr const char* buttonFiles[] = {"images/buttons/clear.png", "images/album/button_prev.png",
                                       "images/album/button_next.png", "images/album/button_close.png"};
constexpr int collectables = 30;
constexpr int leftPages = 34;
constexpr int creditsPages = 4;
constexpr int turnFrames = 16;

// Where the album dialog lays its pieces over the book (560 x 420).
struct At {
    int x;
    int y;
};
constexpr At leftPicture{60, 55};
constexpr At rightPhoto{325, 70};
constexpr At ribbon{440, 4};
constexpr At leftCorner{40, 320};
constexpr At rightCorner{460, 320};
constexpr At pages{40, 40};

std::string photoFile(int number, bool light) {
    return "images/album/collectables/picture_" + std::to_string(number) + (light ? "_light" : "") + ".png";
}

void put(Canvas& target, const Canvas& picture, At at) {
    target.stamp(picture.image(), at.x, at.y);
}

// The book with a left page's collage, a photo on the right page and the ribbon over it.
Canvas openBook(const Pictures& pictures, int page, int photo, bool light) {
    Canvas book = frameOf(pictures, bookFile);
    put(book, frameOf(pictures, "images/album/pages/left_" + std::to_string(page) + ".png"), leftPicture);
    put(book, frameOf(pictures, photoFile(photo, light)), rightPhoto);
    if (!light) {
        put(book, frameOf(pictures, checkFile), {rightPhoto.x + 126, rightPhoto.y - 8});
    }
    put(book, frameOf(pictures, ribbonFile), ribbon);
    return book;
}

Section inPlace(const Pictures& pictures) {
    Canvas corners = openBook(pictures, 5, 6, true);
    put(corners, frameOf(pictures, leftCornerFile), leftCorner);
    put(corners, frameOf(pictures, rightCornerFile), rightCorner);
    Canvas turning = openBook(pictures, 1, 2, false);
    put(turning, frameOf(pictures, forwardFile, 6), pages);
    Canvas blank = frameOf(pictures, bookFile);
    put(blank, frameOf(pictures, "images/album/pages/left_2.png"), leftPicture);
    put(blank, frameOf(pictures, blankFile), rightPhoto);
    put(blank, frameOf(pictures, backwardFile, 11), pages);
    return {"The album: the book open, its corners curled, a page turning forward and one turning back",
            {{"open", {openBook(pictures, 1, 1, false)}},
             {"corners", {corners}},
             {"turning forward", {turning}},
             {"turning back", {blank}}}};
}

Section pieces(const Pictures& pictures) {
    const Canvas book = frameOf(pictures, bookFile);
    Tile ribbons{"ribbon; as a button: normal, over, pressed, disabled", {}};
    const auto onBook = [&](const Canvas& picture, At from, At at) {
        Canvas ground = book.cut(from.x, from.y, 80, 100);
        put(ground, picture, {at.x - from.x, at.y - from.y});
        return ground;
    };
    const At ribbonGround{ribbon.x - 20, 0};
    ribbons.frames.push_back(onBook(frameOf(pictures, ribbonFile), ribbonGround, ribbon));
    for (int state = 0; state < 4; ++state) {
        ribbons.frames.push_back(onBook(frameOf(pictures, ribbonButtonFile, state), ribbonGround, ribbon));
    }
    Tile corners{"corners", {}};
    corners.frames.push_back(onBook(frameOf(pictures, leftCornerFile), {20, 300}, leftCorner));
    corners.frames.push_back(onBook(frameOf(pictures, rightCornerFile), {460, 300}, rightCorner));
    Tile marks{"blank photo, check", {frameOf(pictures, blankFile), frameOf(pictures, checkFile)}};
    Tile buttons{"Clear, previous, next, close", {}};
    for (const char* file : buttonFiles) {
        for (int state = 0; state < 4; ++state) {
            buttons.frames.push_back(frameOf(pictures, file, state));
        }
    }
    return {"The album's pieces", {ribbons, corners, marks, buttons}};
}

// Every other frame of a turning strip over the pages, at half size.
Tile turningFrames(const Pictures& pictures, const char* file, const std::string& label) {
    const Canvas area = frameOf(pictures, bookFile).cut(pages.x, pages.y, 480, 340);
    Tile tile{label, {}};
    for (int frame = 0; frame < turnFrames; frame += 2) {
        Canvas ground = area.cut(0, 0, area.width(), area.height());
        put(ground, frameOf(pictures, file, frame), {0, 0});
        tile.frames.push_back(shrunk(ground, 2));
    }
    return tile;
}

Section photos(const Pictures& pictures, bool light) {
    Section section{light ? "The collectables' photos lit by the flash" : "The collectables' photos 1 to 30",
                    {}};
    for (int first = 1; first <= collectables; first += 10) {
        Tile tile{std::to_string(first) + " to " + std::to_string(first + 9), {}};
        for (int number = first; number < first + 10; ++number) {
            tile.frames.push_back(frameOf(pictures, photoFile(number, light)));
        }
        section.tiles.push_back(std::move(tile));
    }
    return section;
}

// A left picture at half size on the page's paper.
Canvas onPaper(const Canvas& picture) {
    Canvas paperGround(picture.width(), picture.height());
    paperGround.over(
        roundedRect(0, 0, static_cast<float>(picture.width()), static_cast<float>(picture.height()), 0),
        pageColour(120, pageWidth));
    paperGround.stamp(picture.image(), 0, 0);
    return shrunk(paperGround, 2);
}

Section collages(const Pictures& pictures) {
    Section section{
        "The left pages' collages: statistics, the three highscores, the album positions; the credits", {}};
    Tile first{"pages 1 to 17", {}};
    Tile second{"pages 18 to 34", {}};
    for (int page = 1; page <= leftPages; ++page) {
        (page <= 17 ? first : second)
            .frames.push_back(
                onPaper(frameOf(pictures, "images/album/pages/left_" + std::to_string(page) + ".png")));
    }
    Tile credits{"credits 1 to 4", {}};
    for (int page = 1; page <= creditsPages; ++page) {
        credits.frames.push_back(
            onPaper(frameOf(pictures, "images/album/credits/left_" + std::to_string(page) + ".png")));
    }
    section.tiles = {first, second, credits};
    return section;
}

} // namespace

void addAlbumSections(const Pictures& pictures, std::vector<Section>& sections) {
    if (pictures.file(bookFile) == nullptr) {
        return;
    }
    sections.push_back(inPlace(pictures));
    sections.push_back(pieces(pictures));
    sections.push_back({"The turning sheet over the pages, every other frame",
                        {turningFrames(pictures, forwardFile, "forward"),
                         turningFrames(pictures, backwardFile, "backward")}});
    sections.push_back(photos(pictures, false));
    sections.push_back(photos(pictures, true));
    sections.push_back(collages(pictures));
}

} // namespace mkmedia
