#pragma once
// The codes of the play field that the field, its pibbles and animations, the play scenes and the saved
// games share: cells, colours, pibble flags, running-animation bits, game event types, the pibble's layers,
// head styles, the field's states and directions. Plain numbers, stored in levels and saved games as they
// stand here.

#include <cstdint>

namespace game {

// Cells are (row, column). The level gives how many rows and field columns are used.
namespace cell {
inline constexpr std::int32_t firstRow = 1;
inline constexpr std::int32_t lastRow = 9;
inline constexpr std::int32_t rowCount = 9;
// The queue column at the left of the field; the only one that ever holds pibbles.
inline constexpr std::int32_t queueLeft = 0;
inline constexpr std::int32_t firstColumn = 1;
inline constexpr std::int32_t lastColumn = 10;
// A second queue column at the right: it keeps its geometry but never holds a pibble.
inline constexpr std::int32_t queueRight = 11;
inline constexpr std::int32_t columnCount = 12;
// The row code of a column's waiting pibbles above the field.
inline constexpr std::int32_t waiting = 64;
// The row (or column) code of a pibble moved off the field.
inline constexpr std::int32_t offField = 128;
} // namespace cell

// Colour codes; 1 to 7 are real colours.
namespace colour {
inline constexpr std::int32_t none = 0;
inline constexpr std::int32_t yellow = 1;
inline constexpr std::int32_t blue = 2;
inline constexpr std::int32_t red = 3;
inline constexpr std::int32_t white = 4;
inline constexpr std::int32_t green = 5;
inline constexpr std::int32_t purple = 6;
inline constexpr std::int32_t orange = 7;
// The clown's: it matches every colour.
inline constexpr std::int32_t clown = 8;
inline constexpr std::int32_t firstReal = yellow;
inline constexpr std::int32_t lastReal = orange;
} // namespace colour

// The special kinds of a pibble, one bit each.
namespace pibbleFlag {
inline constexpr std::int32_t vib = 1;
inline constexpr std::int32_t clown = 4;
inline constexpr std::int32_t party = 8;
inline constexpr std::int32_t stubborn = 16;
inline constexpr std::int32_t chained = 32;
// The kinds that make a pibble special (a collectable does too).
inline constexpr std::int32_t special = clown | party | stubborn | chained;
} // namespace pibbleFlag

// One bit per kind of pibble animation, set in the pibble while an animation of that kind runs.
namespace animationBit {
inline constexpr std::uint32_t jump = 1;
inline constexpr std::uint32_t jumpSecond = 2;
inline constexpr std::uint32_t dechain = 4;
inline constexpr std::uint32_t clownGlow = 8;
inline constexpr std::uint32_t vibShine = 16;
inline constexpr std::uint32_t alpha = 32;
inline constexpr std::uint32_t party = 64;
inline constexpr std::uint32_t blink = 128;
inline constexpr std::uint32_t focus = 256;
inline constexpr std::uint32_t hop = 512;
inline constexpr std::uint32_t stubborn = 1024;
inline constexpr std::uint32_t dust = 2048;
// The head shake and the unhappy pibble.
inline constexpr std::uint32_t look = 4096;
inline constexpr std::uint32_t hole = 8192;
inline constexpr std::uint32_t holeRise = 16384;
inline constexpr std::uint32_t stubbornMatch = 32768;
inline constexpr std::uint32_t partyStars = 65536;
inline constexpr std::uint32_t vibMatch = 131072;
inline constexpr std::uint32_t comboGlow = 262144;
// The animations that move the pibble's parts apart: it is then drawn part by part.
inline constexpr std::uint32_t moving = jump | jumpSecond | hop | focus | look | hole | holeRise;
inline constexpr std::uint32_t holes = hole | holeRise;
} // namespace animationBit

// The game events the field sends to its listeners.
namespace eventType {
inline constexpr std::int32_t paused = 1;
inline constexpr std::int32_t frozen = 2;
inline constexpr std::int32_t go = 3;
inline constexpr std::int32_t levelFinished = 4;
inline constexpr std::int32_t levelFailed = 5;
inline constexpr std::int32_t pibbleClicked = 6;
inline constexpr std::int32_t queueClicked = 7;
inline constexpr std::int32_t clownClicked = 8;
inline constexpr std::int32_t partyClicked = 9;
inline constexpr std::int32_t stubbornClicked = 10;
inline constexpr std::int32_t chainedClicked = 11;
inline constexpr std::int32_t collectableClicked = 12;
inline constexpr std::int32_t vibClicked = 13;
inline constexpr std::int32_t clownAppeared = 14;
inline constexpr std::int32_t partyAppeared = 15;
inline constexpr std::int32_t stubbornAppeared = 16;
inline constexpr std::int32_t chainedAppeared = 17;
inline constexpr std::int32_t collectableAppeared = 18;
inline constexpr std::int32_t unhappyAppeared = 19;
inline constexpr std::int32_t match = 20;
inline constexpr std::int32_t hintUsed = 21;
inline constexpr std::int32_t hintAvailable = 22;
inline constexpr std::int32_t partyPoints = 23;
inline constexpr std::int32_t resumed = 30;
inline constexpr std::int32_t idleReminder = 31;
inline constexpr std::int32_t noMatchReminder = 32;
inline constexpr std::int32_t ready = 40;
} // namespace eventType

// The words of a match event (type 20), by index.
namespace matchWord {
inline constexpr int comboStep = 0;
inline constexpr int vibs = 1;
inline constexpr int clowns = 2;
inline constexpr int parties = 3;
inline constexpr int chained = 4;
inline constexpr int stubborn = 5;
inline constexpr int pibbles = 6;
inline constexpr int specials = 7;
inline constexpr int collectables = 8;
inline constexpr int points = 9;
inline constexpr int score = 10;
inline constexpr int x = 11;
inline constexpr int y = 12;
inline constexpr int colour = 13;
inline constexpr int collectableRow = 14;
inline constexpr int collectableColumn = 15;
inline constexpr int collectablePibble = 16;
inline constexpr int count = 17;
} // namespace matchWord

// The pibble's layer sprites, in the order they are drawn.
namespace pibbleLayer {
inline constexpr int vibStatic = 0;
inline constexpr int shadow = 1;
inline constexpr int dust = 2;
inline constexpr int hole = 3;
inline constexpr int swoosh = 4;
inline constexpr int vibMatch = 5;
inline constexpr int stubbornMatch = 6;
inline constexpr int comboMatch = 7;
inline constexpr int partyBack = 8;
inline constexpr int ears = 9;
inline constexpr int feet = 10;
inline constexpr int body = 11;
inline constexpr int head = 12;
inline constexpr int blink = 13;
inline constexpr int vibShine = 14;
inline constexpr int dechain = 15;
inline constexpr int stubborn = 16;
inline constexpr int partyHat = 17;
inline constexpr int clownGlow = 18;
inline constexpr int count = 19;
} // namespace pibbleLayer

// The pibble's head.
namespace headStyle {
inline constexpr std::int32_t normal = 0;
inline constexpr std::int32_t happy = 1;
inline constexpr std::int32_t unhappy = 2;
} // namespace headStyle

// The field's states; the play scenes read them and end a level in the last.
namespace fieldState {
inline constexpr std::int32_t loaded = 0;
inline constexpr std::int32_t ready = 1;
inline constexpr std::int32_t idle = 2;
inline constexpr std::int32_t checkMove = 3;
inline constexpr std::int32_t removeMatches = 4;
inline constexpr std::int32_t refill = 5;
inline constexpr std::int32_t partyMatch = 6;
inline constexpr std::int32_t settle = 7;
inline constexpr std::int32_t endOfMove = 8;
inline constexpr std::int32_t levelOver = 9;
inline constexpr std::int32_t count = 10;
} // namespace fieldState

// Which way a pibble moves.
namespace direction {
inline constexpr std::int32_t none = 0;
inline constexpr std::int32_t up = 1;
inline constexpr std::int32_t right = 2;
inline constexpr std::int32_t down = 3;
inline constexpr std::int32_t left = 4;
inline constexpr std::int32_t upRight = 5;
inline constexpr std::int32_t downRight = 6;
inline constexpr std::int32_t downLeft = 7;
inline constexpr std::int32_t upLeft = 8;
} // namespace direction

} // namespace game
