#pragma once
// The painters of the picture kinds. Each draws one frame of its kind on a canvas of the frame's size;
// the image generator lays the frames out in a strip.

#include "engine/graphics/MemoryImage32.h"
#include "engine/kernel/SmartPtr.h"
#include "tools/mkmedia/Canvas.h"
#include "tools/mkmedia/Generators.h"

#include <cstdint>
#include <string>

namespace mkmedia {

struct PictureRequest {
    explicit PictureRequest(const Entry& entry) : entry(entry) {}

    const Entry& entry;
    int width = 0;
    int height = 0;
    int frames = 1;
    // Derived from the file's name: pictures of one kind differ by it, and never between runs.
    std::uint32_t seed = 0;
    // The entry's text drawn with its font, or null; the middle is the row through the middle of its
    // lower-case letters, which the eye takes as the text's centre.
    kernel::SmartPtr<graphics::MemoryImage32> caption;
    int captionMiddle = 0;

    Rgb colour(Rgb fallback) const { return rgbOr(entry.text("color"), fallback); }
};

using FramePainter = void (*)(const PictureRequest& request, int frame, Canvas& canvas);

void drawBackground(const PictureRequest& request, int frame, Canvas& canvas);
void drawLogo(const PictureRequest& request, int frame, Canvas& canvas);
void drawIcon(const PictureRequest& request, int frame, Canvas& canvas);
void drawBar(const PictureRequest& request, int frame, Canvas& canvas);
// "part" names the piece: the dialog frame's nine (topleft, top, ..., bottomright) or a piece of the hint's
// speech bubble (isBubblePart).
void drawFramePart(const PictureRequest& request, int frame, Canvas& canvas);
// The bubble's pieces: a left column 140 wide (left_top, left_edge, left_bottom, left_arrowup,
// left_arrowdown, its border in the 16 columns on the right, the arrows' tails pointing left), the same
// mirrored (right_...), and the time bar's bottom row (bar_bottomleft with a tail pointing down, bar_bottom,
// bar_bottomright, its border in the top 14 rows).
bool isBubblePart(const std::string& part);
void drawBubblePiece(const PictureRequest& request, int frame, Canvas& canvas);
void drawPanel(const PictureRequest& request, int frame, Canvas& canvas);
// A caption button; with a "symbol" (knownSymbol) a round one showing the symbol instead.
void drawButton(const PictureRequest& request, int frame, Canvas& canvas);
void drawWindowButton(const PictureRequest& request, int frame, Canvas& canvas);
void drawCheckbox(const PictureRequest& request, int frame, Canvas& canvas);
void drawTile(const PictureRequest& request, int frame, Canvas& canvas);
// "part" names the piece. A colour's parts ("look" names the colour: yellow, blue, red, white, green,
// purple, orange or clown): feet, body, ears, head, head_happy, head_unhappy, head_stubborn, ears_shakeno,
// head_shakeno, party, partyback, vibstatic, vibshine; a collectable pibble's ("collectable" 1 to 30): feet,
// body, head, ears. Shared by all: shadow, dust, hole_open, hole_close, swoosh, vibmatch, stubbornmatch,
// combomatch, blink, dechain, stubborn, clownglow, hitmask, and partymatch of a "look".
void drawPibblePicture(const PictureRequest& request, int frame, Canvas& canvas);
void drawSparkle(const PictureRequest& request, int frame, Canvas& canvas);
// A match's particle in the colour of a "look".
void drawParticle(const PictureRequest& request, int frame, Canvas& canvas);
void drawPartyStar(const PictureRequest& request, int frame, Canvas& canvas);
// A caption that floats over the field, centred in its picture over a soft glow.
void drawFloater(const PictureRequest& request, int frame, Canvas& canvas);
// A padlock over a button that cannot be used, on a transparent ground.
void drawLock(const PictureRequest& request, int frame, Canvas& canvas);

// The album's pictures (AlbumArt.h holds what they share). The open book at the album dialog's size; the
// satin ribbon that marks a page, four button frames when it has four (normal, over, pressed, disabled);
// the lower corner of a page curling up ("side" left or right, its outer corner at the picture's bottom
// left or right); the check mark of a collectable waiting to go on the field.
void drawBook(const PictureRequest& request, int frame, Canvas& canvas);
void drawRibbon(const PictureRequest& request, int frame, Canvas& canvas);
void drawPageCorner(const PictureRequest& request, int frame, Canvas& canvas);
void drawCheckMark(const PictureRequest& request, int frame, Canvas& canvas);
// A polaroid of collectable pibble "collectable" in a scene of its own, or a blank one without it; "light"
// true washes it bright as in a camera's flash.
void drawPolaroid(const PictureRequest& request, int frame, Canvas& canvas);
// A sheet turning over the pages' inner area, "direction" forward (from the right page to the left) or
// backward, from lying flat on the first frame to lying flat on the other side on the last.
void drawPageTurn(const PictureRequest& request, int frame, Canvas& canvas);
// A scrapbook collage for the album's left page "page" (1 statistics, 2 to 4 the highscores of a mode,
// then one per album position) or the credits' left page "credits".
void drawCollage(const PictureRequest& request, int frame, Canvas& canvas);

// The level-end dialog's (PicturesLevelEnd.cpp). The carrot lying across its picture, leaves at the left and
// tip at the right, the letters' slot along its middle: "part" front, or back (its slot deeper in shade);
// its outline after "bite" 0 to 12, white with the carrot's coverage in the alpha lane; a "crumb" 0 to 2
// turning over its frames; the soft white bar behind an explanation.
void drawCarrot(const PictureRequest& request, int frame, Canvas& canvas);
void drawCarrotBite(const PictureRequest& request, int frame, Canvas& canvas);
void drawCrumb(const PictureRequest& request, int frame, Canvas& canvas);
void drawWhiteBar(const PictureRequest& request, int frame, Canvas& canvas);

// The VIB chapter map's (PicturesMap.cpp, ChapterMap.h). The landscape with the chapters' "spots" and
// their "sceneries"; a dotted trail along "points" (screen pixels) for a picture placed "at" a screen
// point; the photo of a finished chapter's "scenery" as a four-frame button; the player's pibble (a button
// of four frames, or one frame; "mood" happy smiles); the shine that turns about it; the sparkle of a new
// chapter, fading to nothing on its last frame; the speech bubble on the "side" (left or right) of the
// player, its tail towards it.
void drawChapterMap(const PictureRequest& request, int frame, Canvas& canvas);
void drawTrailPicture(const PictureRequest& request, int frame, Canvas& canvas);
void drawChapterPhoto(const PictureRequest& request, int frame, Canvas& canvas);
void drawPlayerFigure(const PictureRequest& request, int frame, Canvas& canvas);
void drawPlayerShine(const PictureRequest& request, int frame, Canvas& canvas);
void drawChapterSparkle(const PictureRequest& request, int frame, Canvas& canvas);
void drawMapBubble(const PictureRequest& request, int frame, Canvas& canvas);

// The menus' pictures (PicturesMenus.cpp). The pause screen: a dimmed evening sky with pibbles asleep on
// clouds under the caption; the celebration after the last VIB chapter: pibbles cheering on a hill under
// a rainbow round a golden trophy whose cup covers the "shine" rectangle (x y width height), where the game
// blinks its glints; the glint itself, flaring up and settling over its frames; a slider's groove along
// the picture's longer side, which the knob's centre travels ("knob" is the knob's length along it).
void drawPauseScene(const PictureRequest& request, int frame, Canvas& canvas);
void drawCelebration(const PictureRequest& request, int frame, Canvas& canvas);
void drawGlint(const PictureRequest& request, int frame, Canvas& canvas);
void drawSliderTrack(const PictureRequest& request, int frame, Canvas& canvas);
// The help's picture of a "pibble" (plain, clown, party, stubborn, chained, vib or collectable) of a
// "look" (or the "collectable" number), composed from the game's pibble pictures and shrunk to its square.
void drawHelpIcon(const PictureRequest& request, int frame, Canvas& canvas);

// The selection scene's pictures (PicturesSelection.cpp). The title screen: the game's name over a sunny
// meadow with pibbles about it, two of them on clouds each inside its rectangle of the entry's "sitters"
// (titleScreenKnown), the middle kept calm for the mode buttons; a big mode button ("mode"
// action, relax or vib) showing its pibble above its caption, in the four button states; a soft glow of
// the entry's colour fading out to the picture's edges ("ring" true leaves its middle clear); a row of a
// list or an input field, sunk into the dialog, in the four button states; the visitor, a travelling pibble
// with its hat and suitcase, drawn about the picture's middle.
void drawTitleScreen(const PictureRequest& request, int frame, Canvas& canvas);
void drawModeButton(const PictureRequest& request, int frame, Canvas& canvas);
void drawSoftGlow(const PictureRequest& request, int frame, Canvas& canvas);
void drawListRow(const PictureRequest& request, int frame, Canvas& canvas);
void drawVisitor(const PictureRequest& request, int frame, Canvas& canvas);
// A page of the first start's comic (StripPictures.cpp): "page" 1 to 4, the pibbles' story in panels on
// cream paper with the page's dots along the bottom, whose right end stays free for the next button; 0 is
// the bare paper.
void drawComicPage(const PictureRequest& request, int frame, Canvas& canvas);

// A glossy rounded button body in a state (0 normal, 1 pointer over, 2 pressed: lower, with less shadow, 3
// disabled), and the colour a button of the colour takes in the state.
void drawButtonBody(Canvas& canvas, Rgb colour, int state, float radius);
Rgb buttonStateColour(Rgb colour, int state);

// Checks made before drawing, so that an entry the painter cannot honour fails with a message.
bool knownSymbol(const std::string& name);
bool floaterFits(const PictureRequest& request, std::string& error);
bool pageCornerKnown(const PictureRequest& request, std::string& error);
bool pageTurnKnown(const PictureRequest& request, std::string& error);
bool collageKnown(const PictureRequest& request, std::string& error);
bool carrotKnown(const PictureRequest& request, std::string& error);
bool chapterMapKnown(const PictureRequest& request, std::string& error);
bool celebrationKnown(const PictureRequest& request, std::string& error);
bool sliderTrackKnown(const PictureRequest& request, std::string& error);
bool helpIconKnown(const PictureRequest& request, std::string& error);
bool modeButtonKnown(const PictureRequest& request, std::string& error);
bool comicPageKnown(const PictureRequest& request, std::string& error);
bool titleScreenKnown(const PictureRequest& request, std::string& error);

// A golden padlock hanging at (x, y), its body below that point and its shackle above; `open` (0..1)
// lifts the shackle out of the lock. `scale` 1 is the size it has on a chained pibble.
void drawPadlock(Canvas& canvas, float x, float y, float open, int alpha, float scale = 1);

// The caption centred on (x, y), faded by the opacity (0..1).
void placeCaption(const PictureRequest& request, Canvas& canvas, float x, float y, float opacity = 1);

} // namespace mkmedia
