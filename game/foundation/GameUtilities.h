#pragma once
// Free helpers that the game's code uses everywhere. They hold no state.

#include "engine/kernel/SmartPtr.h"
#include "engine/kernel/TextConversion.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

namespace ui {
class GameNode;
class Label;
class Scene;
class SoundSample;
class Sprite;
} // namespace ui

namespace game {

// The scene manager's current scene; null before the first switch and without a manager.
ui::Scene* currentScene();

// A missing key is inserted with an empty text or 0 and reads so; without a store they read so too.
std::string propertyString(const std::string& key);
std::int32_t propertyInt(const std::string& key);
// Read from the store's double table, where "<Double>" values go: the tuning values read here are
// authored as doubles.
float propertyFloat(const std::string& key);

// Each byte becomes one unit, taken as signed (0x80..0xFF become 0xFF80..0xFFFF).
kernel::WideString widen(std::string_view text);
// Each unit's low byte.
std::string narrow(std::u16string_view text);

kernel::WideString intToWideString(int value);
// "%.<decimals>f"; decimals outside 0..30 are held within it.
kernel::WideString floatToWideString(float value, int decimals);
std::string intToString(int value);
// Leading blanks, an optional sign, then digits up to the first non-digit; no digits give 0. A value
// beyond the result's range is clamped to it.
std::int32_t StringToInt(const std::string& text);
std::int64_t StringToInt64(const std::string& text);

// Decimal digits with the text "STRING_GROUPING_DIGIT" between groups of three.
kernel::WideString groupDigits(std::uint32_t value);
// The same with a given separator.
kernel::WideString groupDigits(std::uint32_t value, std::string_view separator);

// A printf-style format from the data applied to integers: only "%d" (each takes the next value; missing
// values read as 0) and "%%" are conversions, anything else after a "%" is printed as written, so a format
// edited into asking for a string or a width cannot read what was never passed.
std::string formatIntegers(std::string_view format, std::initializer_list<std::int32_t> values);
// The moment (seconds since 1970) in local time, by the C strftime rules of the format, at most 255
// characters; empty when the moment has no local time or the text would be longer.
std::string localTimeText(std::int64_t seconds, const std::string& format);

// Shakes the node: count blocking moves to random offsets within about +-range/2 and back, lasting
// about duration ms in all. With outAndBack the node moves out, otherwise it jumps out. A count or a
// range below 1 adds nothing.
void scatterNode(ui::GameNode* node, int duration, int range, int count, bool outAndBack);

// Shows the text in the label, shortened with "..." when the label would be wider than maxWidth.
void fitTextToLabel(ui::Label* label, const std::string& text, int maxWidth);
// The steps of fitTextToLabel over any display: show sets the text and returns the width it then takes.
void fitText(const std::string& text, int maxWidth,
             const std::function<int(const kernel::WideString&)>& show);

// The game's music change: the tune playing fades out and the file's fades in after a short pause; a tune
// already playing goes on. Nothing for an empty name or without sound.
void changeMusic(const std::string& file);

// The sound of that name in that resource section; null when it is missing or not a sound.
ui::SoundSample* findSound(const char* id, const char* section);
// Plays the sound once at full volume, centred; nothing when it is missing.
void playSound(const char* id, const char* section);

// A sprite at (0, 0) covering the whole game area in one colour (0xAARRGGBB), fully opaque as a sprite.
kernel::SmartPtr<ui::Sprite> makeScreenSprite(std::uint32_t colour);

// Changes the sprite's anchor kind and moves the sprite so that its image stays where it was.
void setAnchorKeepPosition(ui::Sprite* sprite, int anchorKind);

} // namespace game
