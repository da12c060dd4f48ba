#pragma once

#include "engine/kernel/SmartPtr.h"
#include "engine/ui/Sprite.h"

namespace graphics {
class ImageBase;
}

namespace ui {
class GameNode;
}

namespace game {

class DialogAlbum;

// One turning sheet of the album: a strip of 16 frames played at 40 ms a frame. Sheets of one turn are
// chained: each starts its follower at its middle (213 ms), and the last one done opens the next page.
class PageTurner : public ui::Sprite {
public:
    static constexpr int frames = 16;
    static constexpr int frameMs = 40;
    static constexpr int middleMs = 213;
    static constexpr int turnMs = frames * frameMs;

    explicit PageTurner(DialogAlbum& album);
    ~PageTurner() override;

    // Links the two sheets both ways: next follows this one.
    void attach(PageTurner* follower);
    // A fresh hidden sheet showing the strip where the book places it; it starts at once when the sheet
    // before it is past its middle.
    void turnPage(const ui::Sprite* place, graphics::ImageBase* strip);
    void startTurn();

    bool hasReachedMiddle() const { return reachedMiddle; }
    PageTurner* getNext() const { return next; }
    PageTurner* getPrevious() const { return previous; }
    ui::Sprite* getPageSprite() const { return pageSprite.get(); }

    static constexpr kernel::ClassInfo classInfo{&ui::Sprite::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    static void onMiddle(void* sheet, ui::GameNode* node);
    static void onTurnDone(void* sheet, ui::GameNode* node);

    DialogAlbum& album;
    kernel::SmartPtr<ui::Sprite> pageSprite;
    // The neighbours of the same turn; a turn holds all its sheets (the album's children) while it runs.
    PageTurner* previous = nullptr;
    PageTurner* next = nullptr;
    bool reachedMiddle = false;
};

} // namespace game
