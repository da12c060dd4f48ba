#pragma once

#include "game/frontend/DialogAlbumPage.h"

#include <array>
#include <cstdint>

namespace ui {
class Label;
class Sprite;
} // namespace ui

namespace game {

// The album's contents (page 0): five entries that turn the album to their page when pressed, each
// swapping its label for a highlighted one and asking for the hand while the pointer is over it.
class DialogTOC : public DialogAlbumPage {
public:
    // Every entry's hit area is this wide, whatever its text.
    static constexpr int entryWidth = 250;

    explicit DialogTOC(kernel::NodeValue& settings);

    void appear() override;
    void onMouseMove(int x, int y, std::uint32_t keyFlags) override;
    bool onLeftButtonDown(int x, int y, std::uint32_t keyFlags, bool doubleClick) override;

    static kernel::Object* createInstance(kernel::Value& settings);

    static constexpr kernel::ClassInfo classInfo{&DialogAlbumPage::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    struct Entry {
        ui::Label* label = nullptr;
        ui::Label* hover = nullptr;
        std::int32_t page = 0;
    };

    ui::Label* labelHighscores = nullptr;
    // Statistics, VIB, ACTION, RELAX, collectables.
    std::array<Entry, 5> entries{};
    ui::Sprite* spriteBookmarker = nullptr;
};

} // namespace game
