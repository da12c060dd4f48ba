#pragma once
// The files the game reads and writes, as the end-to-end run checks them: levels and saved games (one
// format), the player's profile and the session record. Compared as values, never as pictures.

#include "GameData.h"

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace e2e {

// A level or a saved game: its properties, its background values and its grids, each grid as text (one
// string per row, or per entry of the collectables and name lists).
struct LevelGrid {
    std::map<std::string, std::string> properties;
    std::map<std::string, std::string> background;
    std::map<std::string, std::vector<std::string>> grids;

    int rows() const;
    // The field's columns, without the two queue columns.
    int columns() const;
    // 0 for a missing or non-numeric value, as the game reads it.
    int property(const std::string& key) const;
};

// Fails when the file cannot be read or holds no layout.
LevelGrid readLevel(const std::filesystem::path& file);

// The first difference between the grids, in words; empty when every grid is equal.
std::string gridDifference(const LevelGrid& expected, const LevelGrid& found);

// Points of the game's picture on the level's plain pibbles (field columns only, no VIB pibble), where a
// click makes a move.
std::vector<Point> plainPibblePoints(const LevelGrid& level);

// The untyped values of the player's profile, by key; fails when the profile was not written.
std::map<std::string, std::string> readProfile(const std::filesystem::path& file);

// A profile with nothing played yet, made the current player in the list, as the game writes them; its
// continue flag names the mode whose game ran when the game last ended (-1 none).
void writeProfile(const std::filesystem::path& players, const std::string& name, int continuedMode);

struct PlayingSession {
    int startTime = 0;
    int endTime = 0;
    int players = 0;
    bool fullScreen = false;
    int bitDepth = 0;
};

// The playing sessions of the session record; fails when the record was not written.
std::vector<PlayingSession> readPlayingSessions(const std::filesystem::path& file);

} // namespace e2e
