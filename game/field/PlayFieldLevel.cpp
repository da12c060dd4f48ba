// A level on the field: its grid laid out, its pibbles and decorations placed and started, and the snapshot
// of a running game written back into it.
#include "game/field/PlayField.h"

#include "game/field/CollectablesManager.h"
#include "game/field/FieldGridLayer.h"
#include "game/field/FieldItemSprite.h"
#include "game/field/FieldRenderer.h"
#include "game/field/LevelElementSprite.h"
#include "game/field/Pibble.h"
#include "game/foundation/LevelFile.h"
#include "game/foundation/PibblePlayer.h"
#include "game/foundation/PibbleScene.h"
#include "host/System.h"

#include <string>

namespace game {

namespace {

// Levels are data: what a level asks for that cannot be is said, with the file, and the nearest sound value
// is used.
void reportLevel(const LevelFile& level, const std::string& what) {
    host::OutputDebugString(("PlayField: " + level.getPath() + ": " + what + "\n").c_str());
}

} // namespace

void PlayField::restart(LevelFile* level) {
    reset();
    loadLevel(level);
}

void PlayField::loadLevel(LevelFile* level) {
    if (level == nullptr) {
        return;
    }
    setState(fieldState::loaded);
    fieldBackdrop->setImage(level->backgroundImage());
    layOutGrid(*level);
    score = level->score();
    timeLeft = level->timeLeft();
    timeMax = level->time();
    placeFieldPibbles(*level);
    placeQueuePibbles(*level);
    placeElements(*level);
    recolour(level->numMoves());
    renderer->invalidateAll(true);
    levelFile = level;
    rescanPending = true;
}

void PlayField::layOutGrid(const LevelFile& level) {
    grid->setRows(level.rowCount());
    grid->setColumns(level.columnCount());
    setNumColors(level.numColors());
    if (numColors() != level.numColors()) {
        reportLevel(level, "numcolors " + std::to_string(level.numColors()) + " is outside 1.." +
                               std::to_string(colour::lastReal) + "; " + std::to_string(numColors()) +
                               " used");
    }
    grid->setGeometry(FieldGridLayer::Geometry::of(level));
    grid->relayout();
    renderer->setTopRowGround(grid->cellY(cell::firstRow));
}

// A colour digit above the pibbles' colours (8 is the clown's, 9 has no picture) takes the level's highest
// colour. A clown's digit does not matter: it takes the clown's colour.
std::int32_t PlayField::cellColour(const LevelFile& level, std::int32_t row, std::int32_t column) const {
    const std::int32_t colour = level.colourAt(row, column);
    if (colour <= colour::lastReal || level.isClownCell(row, column)) {
        return colour;
    }
    reportLevel(level, "row " + std::to_string(row) + ", column " + std::to_string(column) + ": colour " +
                           std::to_string(colour) + " is no pibble's; " + std::to_string(numColors()) +
                           " used");
    return numColors();
}

// An empty cell holds a removed pibble without a colour: a colour would make the hole a pibble of that
// colour to the rules. A collectable the player does not have queued, or an id that stands for none (a
// profile may queue anything), is left out.
void PlayField::placeFieldPibbles(const LevelFile& level) {
    const PibblePlayer* player = currentPlayer();
    for (std::int32_t row = cell::firstRow; row <= rowCount(); ++row) {
        for (std::int32_t column = cell::firstColumn; column <= columnCount(); ++column) {
            const kernel::SmartPtr<Pibble> pibble = collectables->createPibble(row, column);
            const bool empty = level.isEmptyCell(row, column);
            const std::int32_t collectable = level.collectableAt(row, column);
            pibble->setColour(empty ? colour::none : cellColour(level, row, column));
            pibble->setGender(level.genderAt(row, column));
            pibble->setStyle(level.styleAt(row, column));
            const bool carried = CollectablesManager::isCollectableId(collectable) && player != nullptr &&
                                 player->isCollectableQueued(collectable);
            pibble->setCollectableId(carried ? collectable : 0);
            pibble->setRemoved(empty);
            pibble->setFlag(pibbleFlag::vib, level.isVibCell(row, column));
            pibble->setFlag(pibbleFlag::clown, level.isClownCell(row, column));
            pibble->setFlag(pibbleFlag::party, level.isPartyCell(row, column));
            pibble->setFlag(pibbleFlag::stubborn, level.isStubbornCell(row, column));
            pibble->setFlag(pibbleFlag::chained, level.isChainedCell(row, column));
            pibble->setNameIndex(level.nameIndexAt(row, column));
            grid->setCellAt(row, column, pibble.get());
            startKind(*pibble, row, column);
        }
    }
}

// The starters also remember the pibble for its announcement, so the last of each kind is announced once
// play has begun. A VIB clown ('L') starts as a VIB, but is still a clown: it takes the clown's colour, so it
// looks like one and matches as the wildcard.
void PlayField::startKind(Pibble& pibble, std::int32_t row, std::int32_t column) {
    if (pibble.isVib()) {
        makeVib(row, column);
        if (pibble.isClown()) {
            pibble.setClown(true);
        }
    } else if (pibble.isParty()) {
        makeParty(row, column);
    } else if (pibble.isStubborn()) {
        makeStubborn(row, column);
    } else if (pibble.isClown()) {
        makeClown(row, column);
    }
    if (pibble.isChained()) {
        makeChained(row, column);
    }
}

void PlayField::placeQueuePibbles(const LevelFile& level) {
    for (std::int32_t row = cell::firstRow; row <= rowCount(); ++row) {
        if (level.isEmptyCell(row, cell::queueLeft)) {
            grid->setCellAt(row, cell::queueLeft, nullptr);
            continue;
        }
        const kernel::SmartPtr<Pibble> pibble = collectables->createPibble(row, cell::queueLeft);
        pibble->setColour(cellColour(level, row, cell::queueLeft));
        pibble->setGender(level.genderAt(row, cell::queueLeft));
        pibble->setStyle(level.styleAt(row, cell::queueLeft));
        pibble->setNameIndex(level.nameIndexAt(row, cell::queueLeft));
        grid->setCellAt(row, cell::queueLeft, pibble.get());
    }
}

void PlayField::placeElements(const LevelFile& level) {
    const LevelFile::CellPosition x = [this](std::int32_t row, std::int32_t column) {
        return columnX(row, column);
    };
    const LevelFile::CellPosition y = [this](std::int32_t row, std::int32_t column) {
        return rowY(row, column);
    };
    for (std::int32_t index = 0; index < level.elementCount(); ++index) {
        const kernel::SmartPtr<LevelElementSprite> element =
            new LevelElementSprite(level.element(index, x, y));
        elements.push_back(element);
        if (element->isBackground()) {
            renderer->addBackgroundItem(element.get());
        } else {
            renderer->addFieldItem(element.get());
        }
    }
}

// The snapshot.

void PlayField::storeToLevel() {
    if (!levelFile) {
        return;
    }
    levelFile->storeProperties([](kernel::NodeValue& properties) {
        if (PibbleScene* scene = PibbleScene::current()) {
            scene->saveProperties(properties);
        }
    });
    storeGrid();
}

void PlayField::storeGrid() {
    for (std::int32_t row = cell::firstRow; row <= rowCount(); ++row) {
        for (std::int32_t column = cell::firstColumn; column <= columnCount(); ++column) {
            storeCell(row, column);
        }
        storeCell(row, cell::queueLeft);
    }
}

// A cell without a pibble is stored empty, so no earlier snapshot's pibble stays behind in it.
void PlayField::storeCell(std::int32_t row, std::int32_t column) {
    LevelFile::StoredCell stored;
    if (const Pibble* pibble = pibbleAt(row, column)) {
        stored.removed = pibble->isRemoved();
        stored.vib = pibble->isVib();
        stored.party = pibble->isParty();
        stored.clown = pibble->isClown();
        stored.chained = pibble->isChained();
        stored.stubborn = pibble->isStubborn();
        stored.colour = pibble->getColour();
        stored.gender = pibble->getGender();
        stored.style = pibble->getStyle();
        stored.collectable = pibble->getCollectableId();
        stored.nameIndex = pibble->getNameIndex();
    } else {
        stored.removed = true;
    }
    levelFile->storeCell(row, column, stored);
}

void PlayField::writeLevelXml(kernel::NodeValue& node) {
    if (levelFile) {
        levelFile->writeXml(node);
    }
}

} // namespace game
