#include "host/FrameChanges.h"

#include <algorithm>
#include <cstring>

namespace host {

const std::vector<SDL_Rect>& FrameChanges::compare(const BYTE* pixels, LONG pitch, int pictureWidth,
                                                   int pictureHeight, int bytesPerPixel,
                                                   const SDL_Rect* written) {
    const std::size_t rowBytes = static_cast<std::size_t>(pictureWidth) * bytesPerPixel;
    return compareWith(pixels, pitch, pictureWidth, pictureHeight, bytesPerPixel, written,
                       Last{copy.data(), rowBytes, true});
}

const std::vector<SDL_Rect>& FrameChanges::compareWithShown(const BYTE* pixels, LONG pitch, int pictureWidth,
                                                            int pictureHeight, int bytesPerPixel,
                                                            const SDL_Rect* written, const BYTE* shownPixels,
                                                            LONG shownPitch) {
    if (knownInCopy) {
        known = false;
        copy = std::vector<BYTE>();
    }
    return compareWith(pixels, pitch, pictureWidth, pictureHeight, bytesPerPixel, written,
                       Last{shownPixels, static_cast<std::size_t>(shownPitch), false});
}

const std::vector<SDL_Rect>& FrameChanges::compareWith(const BYTE* pixels, LONG pitch, int pictureWidth,
                                                       int pictureHeight, int bytesPerPixel,
                                                       const SDL_Rect* written, Last last) {
    changed.clear();
    if (pictureWidth <= 0 || pictureHeight <= 0) {
        return changed;
    }
    if (!known || knownInCopy != last.own || pictureWidth != width || pictureHeight != height ||
        bytesPerPixel != bytes) {
        width = pictureWidth;
        height = pictureHeight;
        bytes = bytesPerPixel;
        knownInCopy = last.own;
        if (last.own) {
            takeWhole(pixels, pitch);
        }
        known = true;
        changed.push_back(SDL_Rect{0, 0, width, height});
        return changed;
    }
    SDL_Rect area{0, 0, width, height};
    if (written != nullptr && !SDL_IntersectRect(written, &area, &area)) {
        return changed;
    }
    reachingBand.clear();
    const int firstTile = area.x / tileWidth;
    const int endTile = (area.x + area.w + tileWidth - 1) / tileWidth;
    for (int top = area.y / tileHeight * tileHeight; top < area.y + area.h; top += tileHeight) {
        compareBand(pixels, pitch, last, top, std::min(tileHeight, height - top), firstTile, endTile);
    }
    return changed;
}

void FrameChanges::takeWhole(const BYTE* pixels, LONG pitch) {
    const std::size_t rowBytes = static_cast<std::size_t>(width) * bytes;
    copy.resize(rowBytes * height);
    for (int y = 0; y < height; ++y) {
        std::memcpy(copy.data() + y * rowBytes, pixels + static_cast<std::ptrdiff_t>(y) * pitch, rowBytes);
    }
    known = true;
}

bool FrameChanges::tileDiffers(const BYTE* pixels, LONG pitch, const Last& last, int tile, int top,
                               int rows) const {
    const std::size_t rowBytes = static_cast<std::size_t>(width) * bytes;
    const std::size_t offset = static_cast<std::size_t>(tile) * tileWidth * bytes;
    const std::size_t span = std::min(static_cast<std::size_t>(tileWidth) * bytes, rowBytes - offset);
    for (int y = top; y < top + rows; ++y) {
        if (std::memcmp(pixels + static_cast<std::ptrdiff_t>(y) * pitch + offset,
                        last.pixels + y * last.pitch + offset, span) != 0) {
            return true;
        }
    }
    return false;
}

void FrameChanges::compareBand(const BYTE* pixels, LONG pitch, const Last& last, int top, int rows,
                               int firstTile, int endTile) {
    std::vector<std::size_t>& reachingThisBand = reachingNext;
    reachingThisBand.clear();
    int runStart = -1;
    for (int tile = firstTile; tile <= endTile; ++tile) {
        const bool differs = tile < endTile && tileDiffers(pixels, pitch, last, tile, top, rows);
        if (differs && runStart < 0) {
            runStart = tile;
        } else if (!differs && runStart >= 0) {
            reachingThisBand.push_back(addRun(runStart, tile, top, rows));
            runStart = -1;
        }
    }
    // The changed parts become the copy's; shown pixels are the caller's to bring up to date.
    const std::size_t rowBytes = static_cast<std::size_t>(width) * bytes;
    if (last.own) {
        for (const std::size_t index : reachingThisBand) {
            const SDL_Rect& rect = changed[index];
            const std::size_t offset = static_cast<std::size_t>(rect.x) * bytes;
            for (int y = top; y < top + rows; ++y) {
                std::memcpy(copy.data() + y * rowBytes + offset,
                            pixels + static_cast<std::ptrdiff_t>(y) * pitch + offset,
                            static_cast<std::size_t>(rect.w) * bytes);
            }
        }
    }
    std::swap(reachingBand, reachingNext);
}

std::size_t FrameChanges::addRun(int firstTile, int endTile, int top, int rows) {
    const int x = firstTile * tileWidth;
    const int w = std::min(endTile * tileWidth, width) - x;
    // A rectangle of the band above with the same span grows down instead.
    for (const std::size_t index : reachingBand) {
        SDL_Rect& above = changed[index];
        if (above.x == x && above.w == w) {
            above.h += rows;
            return index;
        }
    }
    changed.push_back(SDL_Rect{x, top, w, rows});
    return changed.size() - 1;
}

} // namespace host
