#pragma once
// Inside the host only: what changed in the game's picture since it was last shown. The engine redraws its
// whole back buffer every frame, but at rest most of it comes out the same; comparing it with the last
// picture (a copy, or the window's own pixels where they hold the picture's bytes) costs far less than
// sending it all to the window, so only the changed parts are sent.

#include "host/Types.h"

#include <SDL.h>

#include <cstdint>
#include <vector>

namespace host {

class FrameChanges {
public:
    // The picture is compared in tiles of this many pixels across and rows down; a changed tile is sent
    // whole. Neighbouring changed tiles in a band make one rectangle, and rectangles of equal span in
    // consecutive bands are joined.
    static constexpr int tileWidth = 64;
    static constexpr int tileHeight = 16;

    // The rectangles of the picture (width x height pixels of 2 or 4 bytes, rows pitch bytes apart; the
    // padding past each row is never looked at) that differ from the last picture compared, which the copy
    // then takes over. Everything when the size or depth changed or after forget; none when nothing did.
    // written: the only part of the picture that may have changed (null: any); tiles outside it are not
    // looked at.
    const std::vector<SDL_Rect>& compare(const BYTE* pixels, LONG pitch, int width, int height,
                                         int bytesPerPixel, const SDL_Rect* written = nullptr);
    // The same against pixels the caller keeps as last shown, in the picture's own format (the window's
    // pixels where they are the picture's bytes): nothing is copied, the caller copies the rectangles
    // reported there before the next comparison. The own copy is let go; a change from one way to the
    // other reports the whole picture.
    const std::vector<SDL_Rect>& compareWithShown(const BYTE* pixels, LONG pitch, int width, int height,
                                                  int bytesPerPixel, const SDL_Rect* written,
                                                  const BYTE* shownPixels, LONG shownPitch);

    // The next comparison reports the whole picture (the window's content was lost or moved).
    void forget() { known = false; }

private:
    // Where the last picture is kept: the own copy, or the caller's pixels.
    struct Last {
        const BYTE* pixels;
        std::size_t pitch;
        bool own;
    };
    const std::vector<SDL_Rect>& compareWith(const BYTE* pixels, LONG pitch, int width, int height,
                                             int bytesPerPixel, const SDL_Rect* written, Last last);
    void takeWhole(const BYTE* pixels, LONG pitch);
    bool tileDiffers(const BYTE* pixels, LONG pitch, const Last& last, int tile, int top, int rows) const;
    void compareBand(const BYTE* pixels, LONG pitch, const Last& last, int top, int rows, int firstTile,
                     int endTile);
    // The index of the rectangle that now covers the run of tiles.
    std::size_t addRun(int firstTile, int endTile, int top, int rows);

    std::vector<BYTE> copy;
    std::vector<SDL_Rect> changed;
    // The rectangles that reach down to the band being compared.
    std::vector<std::size_t> reachingBand;
    std::vector<std::size_t> reachingNext;
    int width = 0;
    int height = 0;
    int bytes = 0;
    bool known = false;
    bool knownInCopy = true;
};

} // namespace host
