#pragma once
// One level's numbers, taken from the rules: the level's own values, else its chapter's (grown to the
// level), else the defaults.

#include "tools/mklevels/LevelRules.h"

#include <string>

namespace mklevels {

struct LevelPlan {
    int chapter = 0;
    int level = 0;
    int rows = 0;
    int columns = 0;
    int colours = 0;
    // The possible moves the field's start colouring must offer ("nummoves").
    int moves = 0;
    // VIB pibbles, stubborn and chained ones among them.
    int vibs = 0;
    int vibStubborn = 0;
    int vibChained = 0;
    // Pibbles that are not VIBs: the stubborn and chained ones are in the way, clowns and party pibbles help.
    int stubborn = 0;
    int chained = 0;
    int clowns = 0;
    int parties = 0;
    // The level's clock as the file gives it (the game adds a quarter).
    int seconds = 0;
    std::string shape;
    std::string background;
    bool symmetric = false;

    // The pibbles a move cannot take at once: stubborn and chained ones, VIBs or not.
    int locks() const { return stubborn + chained + vibStubborn + vibChained; }
    int specials() const { return vibs + stubborn + chained + clowns + parties; }
};

// False with a message naming the chapter and level when a knob has no value anywhere, the VIBs' stubborn
// and chained ones outnumber them, or the level gets no time.
bool planLevel(const LevelRules& rules, int chapter, int level, LevelPlan& plan, std::string& error);

} // namespace mklevels
