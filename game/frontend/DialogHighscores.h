#pragma once

#include "engine/kernel/TextConversion.h"
#include "game/frontend/DialogAlbumPage.h"

#include <cstdint>

namespace platform {
class ScoreTable;
}

namespace ui {
class Button;
class GameNode;
class Label;
class StyleLabel;
} // namespace ui

namespace game {

// A highscore page of the album (pages 2 to 4, one per game mode): ten rows of rank, name, level and
// score, the new entry of a finished game highlighted and congratulated, and a button that clears the
// table after a question.
class DialogHighscores : public DialogAlbumPage {
public:
    static constexpr int rows = 10;

    explicit DialogHighscores(kernel::NodeValue& settings);

    // 0 VIB, 1 ACTION, 2 RELAX.
    void setMode(std::int32_t value) { mode = value; }
    std::int32_t getMode() const { return mode; }
    // The row to highlight; -1 for none.
    void setHighlight(std::int32_t row) { highlight = row; }
    std::int32_t getHighlight() const { return highlight; }

    void fill() override;
    void onAppeared() override;
    // A cell's markup as the highlighted row shows it: in the highlight's font and colour.
    static kernel::WideString highlighted(const kernel::WideString& markup);
    static void onClearButton(void* page, ui::GameNode* sender);
    // Ten rows of "-", on the page and in the saved scores.
    void clearHighscores();

    static kernel::Object* createInstance(kernel::Value& settings);

    static constexpr kernel::ClassInfo classInfo{&DialogAlbumPage::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    static void onClearConfirmed(void* page, ui::GameNode* sender);
    void showTitle();
    // The mode's table; null for a mode outside 0..2 or a table that is missing.
    platform::ScoreTable* scoreTable() const;
    platform::ScoreTable* emptiedTable();

    ui::Button* buttonClear = nullptr;
    std::int32_t mode = 0;
    std::int32_t highlight = -1;
    // The rows the last fill or clear wrote.
    std::int32_t shownRows = 0;
    ui::Label* labelMode = nullptr;
    ui::Label* labelName = nullptr;
    ui::Label* labelScore = nullptr;
    ui::Label* labelLevel = nullptr;
    ui::StyleLabel* labelContentRank = nullptr;
    ui::StyleLabel* labelContentName = nullptr;
    ui::StyleLabel* labelContentScore = nullptr;
    ui::StyleLabel* labelContentLevel = nullptr;
};

} // namespace game
