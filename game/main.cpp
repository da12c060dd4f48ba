// The program entry. The working directory is the data root (scripts/play starts the game in the run
// tree), as every path the game reads and writes is relative to it.

#include "game/run/RunGame.h"

int main() {
    return game::RunGame();
}
