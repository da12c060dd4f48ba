#pragma once

#include "game/frontend/DialogAlbumPage.h"

#include <cstdint>
#include <string>

namespace ui {
class Label;
class Sprite;
} // namespace ui

namespace game {

// A collectable's page of the album (pages 5 to 34): its polaroid (the photograph once claimed), name,
// description and claim date, or the condition that unlocks it, and a check mark while it waits to be put
// on the field.
class DialogCollectables : public DialogAlbumPage {
public:
    explicit DialogCollectables(kernel::NodeValue& settings);

    // The collectable shown (1 to 30); a claimed one shows its photograph.
    void setCollectable(std::int32_t id);
    std::int32_t getCollectable() const { return collectableId; }
    ui::Sprite* polaroid() const { return polaroidSprite; }

    void fill() override;
    void appear() override;
    void disappear() override;

    static kernel::Object* createInstance(kernel::Value& settings);

    static constexpr kernel::ClassInfo classInfo{&DialogAlbumPage::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    // The parts that must stay hidden lose their fades.
    void keepHiddenParts();
    bool isClaimed() const;
    bool isQueued() const;
    // The claim's moment in local time by the data's format; empty while unclaimed.
    std::string claimDate() const;

    std::int32_t collectableId = 0;
    ui::Sprite* polaroidSprite = nullptr;
    ui::Sprite* spriteCheck = nullptr;
    ui::Label* labelDescr = nullptr;
    ui::Label* labelCondition = nullptr;
    ui::Label* labelDatetime = nullptr;
    ui::Label* labelHeader = nullptr;
};

} // namespace game
