#include "game/frontend/DialogHighscores.h"

#include "engine/graphics/BitmapFont.h"
#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/PropertyStore.h"
#include "engine/platform/HighScoreManager.h"
#include "engine/platform/ScoreTable.h"
#include "engine/ui/Button.h"
#include "engine/ui/Label.h"
#include "engine/ui/StyleLabel.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/GameUtilities.h"
#include "game/foundation/PibbleHighscoreEntry.h"
#include "host/System.h"

#include <algorithm>
#include <iterator>

namespace game {

namespace {

const kernel::ClassRegistrar registrar("DialogHighscores", DialogHighscores::createInstance);

// The score tables of the game modes, by mode.
constexpr const char* placeholder = "-";
constexpr const char16_t* rowEnd = u" \n";
constexpr const char16_t* rankEnd = u".";
constexpr const char16_t* ellipsis = u"...";

template <class Kind> Kind* componentOf(DialogHighscores& dialog, const char* name) {
    ui::GameNode* found = dialog.findComponent(name);
    return found != nullptr && found->isKindOf(Kind::classInfo) ? static_cast<Kind*>(found) : nullptr;
}

bool isMode(std::int32_t mode) {
    return mode >= 0 && mode < static_cast<std::int32_t>(std::size(ids::scoreTables));
}

// Names and levels come from the scores file and the player's typing: a bracket would open a tag, a
// backslash would escape the closing tag after it or make "\n" a line break, and a line break would shift
// the column against the others. The labels know no escape for a backslash, so it shows as a slash.
kernel::WideString plainCell(const kernel::WideString& text) {
    kernel::WideString cell;
    for (const char16_t character : text) {
        if (character == u'[') {
            cell += u"\\[";
        } else if (character == u'\\') {
            cell += u'/';
        } else if (character < u' ') {
            cell += u' ';
        } else {
            cell += character;
        }
    }
    return cell;
}

// A name wider than its column loses letters at its end before a "...", so that as much of it shows as
// fits; the label itself would keep only its first letter. The blank that ends each row counts too.
kernel::WideString fittedName(const kernel::WideString& name, const ui::StyleLabel* column) {
    const graphics::BitmapFont* font = column != nullptr ? column->getFont() : nullptr;
    const auto fits = [&](const kernel::WideString& text) {
        return font->textWidth(text + rowEnd[0]) <= column->getWidth();
    };
    if (font == nullptr || fits(name)) {
        return name;
    }
    kernel::WideString kept = name;
    while (!kept.empty() && (kept.back() == u' ' || !fits(kept + ellipsis))) {
        kept.pop_back();
    }
    return kept + ellipsis;
}

// A damaged file's negative score shows as no score, like 0.
kernel::WideString scoreText(int score) {
    return score > 0 ? groupDigits(static_cast<std::uint32_t>(score)) : widen(placeholder);
}

std::string levelOf(const platform::HighScoreEntry& entry) {
    return entry.isKindOf(PibbleHighscoreEntry::classInfo)
               ? static_cast<const PibbleHighscoreEntry&>(entry).getLevelNr()
               : std::string();
}

kernel::WideString rankColumn(int rows) {
    kernel::WideString column;
    for (int row = 0; row < rows; ++row) {
        column += intToWideString(row + 1) + rankEnd + u"\n";
    }
    return column;
}

void setMarkup(ui::StyleLabel* label, const kernel::WideString& text) {
    if (label != nullptr) {
        label->setText(text);
    }
}

} // namespace

DialogHighscores::DialogHighscores(kernel::NodeValue& settings) : DialogAlbumPage(settings) {
    buttonClear = componentOf<ui::Button>(*this, ids::buttonClear);
    labelMode = componentOf<ui::Label>(*this, ids::labelMode);
    labelName = componentOf<ui::Label>(*this, ids::labelName);
    labelScore = componentOf<ui::Label>(*this, ids::labelScore);
    labelLevel = componentOf<ui::Label>(*this, ids::labelLevel);
    labelContentRank = componentOf<ui::StyleLabel>(*this, ids::labelContentRank);
    labelContentName = componentOf<ui::StyleLabel>(*this, ids::labelContentName);
    labelContentScore = componentOf<ui::StyleLabel>(*this, ids::labelContentScore);
    labelContentLevel = componentOf<ui::StyleLabel>(*this, ids::labelContentLevel);
    bindCallback(ids::buttonClear, this, onClearButton, listenerList());
}

kernel::Object* DialogHighscores::createInstance(kernel::Value& settings) {
    return settings.isNode() ? new DialogHighscores(settings.asNode()) : nullptr;
}

// The generated fonts keep their own colours, so the new entry's row changes font as well as colour.
kernel::WideString DialogHighscores::highlighted(const kernel::WideString& markup) {
    return u"[font=" + widen(ids::fontScoresHilite) + u"," + widen(ids::groupPreloading) + u"][color=" +
           widen(propertyString(ids::highscoreHiliteColor)) + u"]" + markup + u"[/color][/font]";
}

void DialogHighscores::fill() {
    showTitle();
    const platform::ScoreTable* table = scoreTable();
    shownRows = table != nullptr ? std::min(table->getEntryCount(), static_cast<int>(rows)) : 0;
    kernel::WideString rank;
    kernel::WideString name;
    kernel::WideString level;
    kernel::WideString score;
    for (int row = 0; row < shownRows; ++row) {
        const platform::HighScoreEntry& entry = *table->getEntry(row);
        const auto cell = [lit = row == highlight](const kernel::WideString& text) {
            return lit ? highlighted(text) : text;
        };
        rank += cell(intToWideString(row + 1) + rankEnd) + u"\n";
        name += cell(plainCell(fittedName(widen(entry.getPlayerName()), labelContentName))) + rowEnd;
        level += cell(plainCell(widen(levelOf(entry)))) + rowEnd;
        score += cell(plainCell(scoreText(entry.getScore()))) + rowEnd;
    }
    setMarkup(labelContentRank, rank);
    setMarkup(labelContentName, name);
    setMarkup(labelContentLevel, level);
    setMarkup(labelContentScore, score);
}

// Only a highlighted row that is shown is a new entry to congratulate on.
void DialogHighscores::onAppeared() {
    if (highlight >= 0 && highlight < shownRows) {
        showMessage(ids::textHighscore, ids::textHighscoreHeader);
    }
}

void DialogHighscores::onClearButton(void* page, ui::GameNode*) {
    showYesNo(ids::textClearHighscores, ids::textClearHighscoresHeader, page, onClearConfirmed, nullptr,
              nullptr);
}

void DialogHighscores::onClearConfirmed(void* page, ui::GameNode*) {
    static_cast<DialogHighscores*>(page)->clearHighscores();
    closeDialog(ids::textClearHighscores);
}

// The rank column is written again too, since the table may have held fewer rows than ten, and the
// highlighted entry is gone with the rest.
void DialogHighscores::clearHighscores() {
    showTitle();
    platform::ScoreTable* table = emptiedTable();
    kernel::WideString column;
    for (int row = 0; row < rows; ++row) {
        if (table != nullptr) {
            table->addScore(new PibbleHighscoreEntry(placeholder, 0, placeholder));
        }
        column += widen(placeholder) + rowEnd;
    }
    platform::HighScoreManager* manager = platform::HighScoreManager::instance();
    if (manager != nullptr && !manager->save()) {
        host::ReportProblem("DialogHighscores: the cleared scores could not be saved\n");
    }
    highlight = -1;
    shownRows = rows;
    setMarkup(labelContentRank, rankColumn(rows));
    setMarkup(labelContentName, column);
    setMarkup(labelContentLevel, column);
    setMarkup(labelContentScore, column);
}

void DialogHighscores::showTitle() {
    if (labelMode != nullptr) {
        labelMode->setText(isMode(mode) ? kernel::PropertyStore::getText(ids::gameModeTitles[mode])
                                        : kernel::WideString());
    }
}

platform::ScoreTable* DialogHighscores::scoreTable() const {
    const platform::HighScoreManager* manager = platform::HighScoreManager::instance();
    return manager != nullptr && isMode(mode) ? manager->getTable(ids::scoreTables[mode]) : nullptr;
}

// A table that is missing, or too small to keep ten rows, is replaced by a fresh one of ten, so the saved
// scores hold the ten rows the page shows.
platform::ScoreTable* DialogHighscores::emptiedTable() {
    platform::HighScoreManager* manager = platform::HighScoreManager::instance();
    if (manager == nullptr || !isMode(mode)) {
        return nullptr;
    }
    platform::ScoreTable* table = manager->getTable(ids::scoreTables[mode]);
    if (table != nullptr && table->getMaxEntries() >= rows) {
        table->clear();
        return table;
    }
    const kernel::SmartPtr<platform::ScoreTable> fresh(new platform::ScoreTable(rows, true));
    manager->addTable(ids::scoreTables[mode], fresh);
    return fresh.get();
}

} // namespace game
