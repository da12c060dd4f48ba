#pragma once
// Boards of the field rules written as pictures, so that tables of cases read like the field. A row reads
// "Q|cells": the row's queue pibble, then one letter per field cell:
//   Y B R W G P O   the colours 1 to 7        8   a clown (its stored colour is yellow)
//   o               a hole                    .   no pibble (also '.' for an empty queue cell)
// Kinds are a second picture of the field cells: v VIB, p party, s stubborn, c chained, k collectable.

#include "game/field/Board.h"
#include "game/field/MatchScan.h"

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace fieldtest {

inline constexpr std::string_view colourLetters = ".YBRWGPO8";

inline std::int32_t colourOf(char letter) {
    const std::size_t at = colourLetters.find(letter);
    return at == std::string_view::npos ? game::colour::none : static_cast<std::int32_t>(at);
}

inline char letterOf(std::int32_t colour) {
    return colour >= 0 && colour < static_cast<std::int32_t>(colourLetters.size()) ? colourLetters[colour]
                                                                                   : '?';
}

inline std::string_view fieldPart(std::string_view row) {
    const std::size_t bar = row.find('|');
    return bar == std::string_view::npos ? row : row.substr(bar + 1);
}

inline game::Board makeBoard(const std::vector<std::string_view>& rows, std::int32_t colours = 5) {
    const auto columns = rows.empty() ? 0 : static_cast<std::int32_t>(fieldPart(rows.front()).size());
    game::Board board(static_cast<std::int32_t>(rows.size()), columns, colours);
    std::int32_t row = game::cell::firstRow;
    for (const std::string_view text : rows) {
        if (text.find('|') != std::string_view::npos) {
            board.setQueueColour(row, colourOf(text.front()));
        }
        std::int32_t column = game::cell::firstColumn;
        for (const char letter : fieldPart(text)) {
            game::BoardCell& pibble = board.at(row, column++);
            pibble.present = letter != '.';
            pibble.removed = letter == 'o';
            pibble.colour = letter == '8' ? game::colour::yellow : colourOf(letter);
            pibble.flags = letter == '8' ? game::pibbleFlag::clown : 0;
        }
        ++row;
    }
    return board;
}

inline game::Board makeBoard(std::initializer_list<std::string_view> rows, std::int32_t colours = 5) {
    return makeBoard(std::vector<std::string_view>(rows), colours);
}

inline void markKinds(game::Board& board, const std::vector<std::string_view>& kinds) {
    std::int32_t row = game::cell::firstRow;
    for (const std::string_view text : kinds) {
        std::int32_t column = game::cell::firstColumn;
        for (const char letter : text) {
            game::BoardCell& pibble = board.at(row, column++);
            switch (letter) {
            case 'v':
                pibble.flags |= game::pibbleFlag::vib;
                break;
            case 'p':
                pibble.flags |= game::pibbleFlag::party;
                break;
            case 's':
                pibble.flags |= game::pibbleFlag::stubborn;
                break;
            case 'c':
                pibble.flags |= game::pibbleFlag::chained;
                break;
            case 'k':
                pibble.collectable = 1;
                break;
            default:
                break;
            }
        }
        ++row;
    }
}

inline void markKinds(game::Board& board, std::initializer_list<std::string_view> kinds) {
    markKinds(board, std::vector<std::string_view>(kinds));
}

// The board back as a picture (kinds left out), to compare whole boards.
inline std::vector<std::string> boardText(const game::Board& board) {
    std::vector<std::string> rows;
    for (std::int32_t row = game::cell::firstRow; row <= board.rows(); ++row) {
        std::string text{letterOf(board.queueColour(row)), '|'};
        for (std::int32_t column = game::cell::firstColumn; column <= board.columns(); ++column) {
            const game::BoardCell& pibble = board.at(row, column);
            text += !pibble.present ? '.' : pibble.removed ? 'o' : letterOf(pibble.matchColour());
        }
        rows.push_back(text);
    }
    return rows;
}

// The possible moves as a picture: x where clicking is a move.
inline std::vector<std::string> movesText(const game::Board& board, const game::BoardScan& scan) {
    std::vector<std::string> rows;
    for (std::int32_t row = game::cell::firstRow; row <= board.rows(); ++row) {
        std::string text;
        for (std::int32_t column = game::cell::firstColumn; column <= board.columns(); ++column) {
            text += scan.moveTable.get(row, column) != 0 ? 'x' : '.';
        }
        rows.push_back(text);
    }
    return rows;
}

// The groups as a picture: each cell shows the letter of the listed group holding it (a for the first).
inline std::vector<std::string> groupsText(const game::Board& board, const game::BoardScan& scan) {
    std::vector<std::string> rows(static_cast<std::size_t>(board.rows()),
                                  std::string(static_cast<std::size_t>(board.columns()), '.'));
    for (std::size_t group = 0; group < scan.groups.size(); ++group) {
        for (const game::Cell& place : scan.groups[group].cells) {
            rows[static_cast<std::size_t>(place.row - 1)][static_cast<std::size_t>(place.column - 1)] =
                static_cast<char>('a' + group % 26);
        }
    }
    return rows;
}

inline std::vector<std::string> lines(std::initializer_list<std::string_view> rows) {
    return {rows.begin(), rows.end()};
}

} // namespace fieldtest
