#pragma once

#include "game/frontend/DialogAlbumPage.h"

#include <cstdint>

namespace game {

class SpriteLabel;

// A credits page of the album's credits mode: a header and an information text from the text list
// "CREDITS" (two entries a page), whose letters fade in one after another; the album turns on after the
// page's display time.
class DialogCredits : public DialogAlbumPage {
public:
    explicit DialogCredits(kernel::NodeValue& settings);
    ~DialogCredits() override;

    void setPage(std::int32_t n);
    // 250 ms, the wait before the letters, one letter step per letter, and the wait after them (ms).
    std::int32_t displayTime() const;

    void resetSprites() override;
    void appear() override;
    void disappear() override;

    SpriteLabel* getInfo() const { return labelInfo; }
    SpriteLabel* getHeader() const { return labelHeader; }

    static kernel::Object* createInstance(kernel::Value& settings);

    static constexpr kernel::ClassInfo classInfo{&DialogAlbumPage::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    SpriteLabel* labelInfo = nullptr;
    SpriteLabel* labelHeader = nullptr;
    std::int32_t preDelay = 0;
    std::int32_t letterDelay = 0;
    std::int32_t letterFadeIn = 0;
    std::int32_t postDelay = 0;
};

} // namespace game
