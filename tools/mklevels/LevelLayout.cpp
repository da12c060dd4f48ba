#include "tools/mklevels/LevelLayout.h"

#include <limits>
#include <string_view>
#include <vector>

namespace mklevels {

namespace {

// Random cells weighed against each other for each pibble placed: enough to spread them, few enough that
// the field does not look drawn with a ruler.
constexpr int candidatesPerPibble = 8;

struct Place {
    int row;
    int column;
};

bool isLocked(char cell) {
    return std::string_view("sScC").find(cell) != std::string_view::npos;
}

bool isChained(char cell) {
    return cell == letter::chained || cell == letter::vibChained;
}

// What a kind of pibble asks of its cell.
bool fits(const LevelLayout& layout, const Place& at, char kind) {
    if (layout.at(at.row, at.column) != letter::plain) {
        return false;
    }
    if (isChained(kind)) {
        return layout.hasFreeLine(at.row, at.column);
    }
    return kind == letter::clown || kind == letter::party || layout.shape().inLineOfThree(at.row, at.column);
}

class Placer {
public:
    Placer(const LevelPlan& plan, LevelDice& dice, LevelLayout& layout)
        : plan(plan), dice(dice), layout(layout) {}

    bool place(char kind, int count) {
        for (int left = count; left > 0;) {
            const bool pair = plan.symmetric && left >= 2;
            std::vector<Place> cells = candidates(kind, pair ? Pairing::pairs : Pairing::single);
            if (cells.empty() && pair) {
                cells = candidates(kind, Pairing::any);
            }
            if (cells.empty()) {
                return false;
            }
            const Place chosen = farthest(cells);
            put(chosen, kind);
            --left;
            const Place mirror{chosen.row, layout.shape().mirrorColumn(chosen.column)};
            if (pair && mirror.column != chosen.column && fits(layout, mirror, kind)) {
                put(mirror, kind);
                --left;
            }
        }
        return true;
    }

private:
    enum class Pairing { pairs, single, any };

    // Pairs: the left cell of two mirrored cells that both fit. A single pibble of a symmetric level stands
    // on the middle column where it can.
    std::vector<Place> candidates(char kind, Pairing pairing) const {
        std::vector<Place> found;
        std::vector<Place> middle;
        for (int row = 1; row <= layout.rows(); ++row) {
            for (int column = 1; column <= layout.columns(); ++column) {
                const Place at{row, column};
                const int mirror = layout.shape().mirrorColumn(column);
                if (!fits(layout, at, kind)) {
                    continue;
                }
                if (pairing == Pairing::pairs) {
                    if (column < mirror && fits(layout, {row, mirror}, kind)) {
                        found.push_back(at);
                    }
                    continue;
                }
                found.push_back(at);
                if (column == mirror) {
                    middle.push_back(at);
                }
            }
        }
        return plan.symmetric && pairing == Pairing::single && !middle.empty() ? middle : found;
    }

    // The best of a few random cells: the one farthest from every special pibble placed so far.
    Place farthest(const std::vector<Place>& cells) {
        Place best = cells[static_cast<std::size_t>(dice.below(static_cast<int>(cells.size())))];
        int bestDistance = distanceToPlaced(best);
        for (int i = 1; i < candidatesPerPibble; ++i) {
            const Place other = cells[static_cast<std::size_t>(dice.below(static_cast<int>(cells.size())))];
            const int distance = distanceToPlaced(other);
            if (distance > bestDistance) {
                best = other;
                bestDistance = distance;
            }
        }
        return best;
    }

    int distanceToPlaced(const Place& at) const {
        int nearest = std::numeric_limits<int>::max();
        for (const Place& other : placed) {
            const int rows = other.row - at.row;
            const int columns = other.column - at.column;
            nearest = std::min(nearest, rows * rows + columns * columns);
        }
        return nearest;
    }

    void put(const Place& at, char kind) {
        layout.set(at.row, at.column, kind);
        placed.push_back(at);
    }

    const LevelPlan& plan;
    LevelDice& dice;
    LevelLayout& layout;
    std::vector<Place> placed;
};

} // namespace

LevelLayout::LevelLayout(const FieldShape& outline) : outline(outline) {
    for (int row = 1; row <= rows(); ++row) {
        for (int column = 1; column <= columns(); ++column) {
            set(row, column, outline.isCell(row, column) ? letter::plain : letter::hole);
        }
    }
}

char LevelLayout::at(int row, int column) const {
    if (row < 1 || row > rows() || column < 1 || column > columns()) {
        return letter::hole;
    }
    return letters[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(column - 1)];
}

void LevelLayout::set(int row, int column, char cell) {
    if (row >= 1 && row <= rows() && column >= 1 && column <= columns()) {
        letters[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(column - 1)] = cell;
    }
}

int LevelLayout::count(char cell) const {
    int found = 0;
    for (int row = 1; row <= rows(); ++row) {
        for (int column = 1; column <= columns(); ++column) {
            found += at(row, column) == cell ? 1 : 0;
        }
    }
    return found;
}

std::string LevelLayout::fileRow(int row) const {
    std::string text(1, letter::queue);
    for (int column = 1; column <= columns(); ++column) {
        text += at(row, column);
    }
    return text + letter::queue;
}

bool LevelLayout::hasFreeLine(int row, int column) const {
    if (at(row, column) == letter::hole) {
        return false;
    }
    const auto movable = [&](int r, int c) {
        const char cell = at(r, c);
        return cell != letter::hole && !isLocked(cell);
    };
    for (int start = -2; start <= 0; ++start) {
        bool across = true;
        bool down = true;
        for (int i = start; i < start + 3; ++i) {
            if (i != 0) {
                across = across && movable(row, column + i);
                down = down && movable(row + i, column);
            }
        }
        if (across || down) {
            return true;
        }
    }
    return false;
}

Placing placeSpecials(const LevelPlan& plan, LevelDice& dice, LevelLayout& layout, std::string& error) {
    const std::pair<char, int> kinds[] = {
        {letter::vibChained, plan.vibChained},
        {letter::vibStubborn, plan.vibStubborn},
        {letter::vib, plan.vibs - plan.vibChained - plan.vibStubborn},
        {letter::chained, plan.chained},
        {letter::stubborn, plan.stubborn},
        {letter::clown, plan.clowns},
        {letter::party, plan.parties},
    };
    const std::string outline =
        std::to_string(layout.shape().cellCount()) + " cells of shape \"" + plan.shape + "\"";
    if (plan.specials() > layout.shape().cellCount()) {
        error = std::to_string(plan.specials()) + " special pibbles do not fit the " + outline;
        return Placing::impossible;
    }
    Placer placer(plan, dice, layout);
    for (const auto& [kind, count] : kinds) {
        // Where the cells left are depends on where the others went.
        if (!placer.place(kind, count)) {
            error = "no cell left for a '" + std::string(1, kind) + "' among the " + outline;
            return Placing::retry;
        }
    }
    // A pibble placed later may have taken the last free line of a chained one.
    for (int row = 1; row <= layout.rows(); ++row) {
        for (int column = 1; column <= layout.columns(); ++column) {
            if (isChained(layout.at(row, column)) && !layout.hasFreeLine(row, column)) {
                error = "the chained pibble at row " + std::to_string(row) + ", column " +
                        std::to_string(column) + " could never be freed";
                return Placing::retry;
            }
        }
    }
    return Placing::done;
}

} // namespace mklevels
