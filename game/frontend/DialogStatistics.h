#pragma once

#include "game/frontend/DialogAlbumPage.h"

#include <array>

namespace ui {
class Label;
}

namespace game {

// The album's statistics page (page 1): nine lines of the current player's lifetime statistics, filled
// when the page comes up.
class DialogStatistics : public DialogAlbumPage {
public:
    static constexpr int lines = 9;

    explicit DialogStatistics(kernel::NodeValue& settings);

    void fill() override;

    static kernel::Object* createInstance(kernel::Value& settings);

    static constexpr kernel::ClassInfo classInfo{&DialogAlbumPage::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    // Completion, removed, matches of 5, 6 and 7, time played, biggest combo, VIB levels, collectables.
    std::array<ui::Label*, lines> captions{};
    std::array<ui::Label*, lines> values{};
};

} // namespace game
