#include "game/foundation/SavedValues.h"

#include "engine/kernel/ScalarValue.h"
#include "engine/kernel/TextConversion.h"

namespace game {

// The game writes each value as plain decimal text; anything else ("12abc", "#FF", a number clamped to fit)
// would read as some other number than the file says.
std::int32_t SavedValues::read(const char* key, std::int32_t lowest, std::int32_t highest) {
    if (!properties.hasChild(key)) {
        if (lowest > 0 || highest < 0) {
            note(std::string("\"") + key + "\" is missing");
        }
        return 0;
    }
    const kernel::ScalarValue& found = properties.getValue(key);
    const std::int32_t value = found.asInt();
    const std::string text = kernel::narrowString(found.text());
    if (text != std::to_string(value)) {
        note(std::string("\"") + key + "\" is \"" + text + "\", not a whole number");
    } else if (value < lowest || value > highest) {
        note(std::string("\"") + key + "\" is " + text + ", outside " + std::to_string(lowest) + ".." +
             std::to_string(highest));
    }
    return value;
}

void SavedValues::note(const std::string& what) {
    if (firstProblem.empty()) {
        firstProblem = what;
    }
}

} // namespace game
