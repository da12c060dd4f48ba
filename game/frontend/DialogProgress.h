#pragma once

#include "engine/kernel/SmartPtr.h"
#include "engine/kernel/ValueDocument.h"
#include "game/foundation/GameIds.h"
#include "game/frontend/DialogPibble.h"
#include "game/frontend/DialogSection.h"

#include <array>
#include <cstdint>

namespace ui {
class Button;
class GameNode;
class Label;
class Path;
class Sprite;
} // namespace ui

namespace game {

// The VIB chapter map: a button for the chapter the player reached, photos of the chapters before it, the
// path lines between them and a head that stands on the player's chapter. Clicking the head's chapter (or
// the head, or its hint bubble) starts that chapter at its first level; clicking another reached chapter
// walks the head there along the paths of "media/properties/progress.xml". Opened after a chapter's last
// level with a pending chapter, the map walks the head on to it (unlocking it when it is new); the
// pending chapter is committed when the player leaves the map for the selection scene.
class DialogProgress : public DialogPibble {
public:
    static constexpr std::int32_t chapterCount = ids::chapterCount;
    // A walk's time per path: between two chapters the player chose, and onto a chapter just finished.
    static constexpr int walkMs = 750;
    static constexpr int arrivalWalkMs = 2800;
    // The head stands this long before its hint bubble opens.
    static constexpr int hintDelayMs = 1500;
    // The chapter-finished carrot plays over the map this long before the shine at the old chapter.
    static constexpr int shineDelayMs = 6500;

    // The components, the layout for the player's progress and the pending chapter, one of the three
    // openings, and the bindings.
    explicit DialogProgress(kernel::NodeValue& settings);
    ~DialogProgress() override;
    // "sceneprogress": read as a map is made (the loader may be asked ahead), let go with the last map.
    static DialogSection pictures;

    // With a pending chapter the chapter-finished level end covers the map and the music fades out;
    // otherwise the selection music plays.
    void show() override;
    // The game music again; the pending chapter is over.
    void hide() override;
    void onUpdate(std::uint32_t elapsedMs) override;
    // A press on the hint bubble starts the head's chapter.
    bool onLeftButtonDown(int x, int y, std::uint32_t keyFlags, bool doubleClick) override;

    // The head's chapter starts; another chapter is walked to. Nothing while the head moves.
    void chooseChapter(std::int32_t chapter);
    // One path per chapter step, each taking msPerPath, after the awaited node (when given) has finished.
    void walkHead(std::int32_t from, std::int32_t to, int msPerPath, ui::GameNode* awaited);
    // The smoothed way from chapter a to the neighbouring chapter b (run backwards when b < a); null when
    // the file has no point for it.
    kernel::SmartPtr<ui::Path> pathSegment(std::int32_t a, std::int32_t b) const;
    // Puts the current scene at the pending chapter's first level with the score kept and saves the game;
    // nothing without a pending chapter. The pending chapter stays set.
    static void startPendingChapter();

    std::int32_t getHeadChapter() const { return headChapter; }
    std::int32_t getWalkFrom() const { return walkFrom; }
    std::int32_t getWalkTo() const { return walkTo; }
    std::int32_t getIdleTime() const { return idleTime; }
    ui::Button* getHead() const { return head; }

    static kernel::Object* createInstance(kernel::Value& settings);

    static constexpr kernel::ClassInfo classInfo{&DialogPibble::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    using Buttons = std::array<ui::Button*, chapterCount + 1>;

    void findComponents();
    void layOutChapters(std::int32_t highest, std::int32_t pending);
    void openWithUnlock(std::int32_t chapter);
    void openWithReturn(std::int32_t chapter);
    void openPlain();
    void flashShine();
    void popInPhoto(std::int32_t chapter);
    void revealLine(std::int32_t chapter);
    void bindButtons();
    void fadeOutHint();
    void openHintBubble();
    void updateCursor();
    bool headMoving() const;
    void startChapter(std::int32_t chapter);
    void arrive();

    static void onChapterButton(void* map, ui::GameNode* sender);
    static void onHeadButton(void* map, ui::GameNode* sender);
    static void onBookButton(void* map, ui::GameNode* sender);
    static void onMenuButton(void* map, ui::GameNode* sender);

    // Indexed by chapter; entry 0 stays null.
    std::array<ui::Sprite*, chapterCount + 1> lines{};
    Buttons chapterButtons{};
    Buttons photos{};
    ui::Sprite* buttonAppear = nullptr;
    ui::Sprite* playerShine = nullptr;
    ui::Button* buttonMenu = nullptr;
    ui::Button* head = nullptr;
    ui::Sprite* headSmile = nullptr;
    ui::Button* buttonBook = nullptr;
    ui::Sprite* hintBackground = nullptr;
    ui::Label* hintLabel = nullptr;
    ui::Label* chooseLabel = nullptr;
    ui::Label* chooseLabelBlur = nullptr;
    std::int32_t headChapter = 1;
    std::int32_t walkFrom = 0;
    std::int32_t walkTo = 0;
    std::int32_t idleTime = 0;
    // A walk with no point to follow: the head goes straight to the chapter when it arrives.
    bool jumpOnArrival = false;
    kernel::SmartPtr<kernel::ValueDocument> pathDocument;
};

} // namespace game
