#include "engine/ui/CallbackModifier.h"

#include <utility>

namespace ui {

CallbackModifier::CallbackModifier(void* argument, Function function)
    : argument(argument), function(std::move(function)) {}

void CallbackModifier::update(std::uint32_t elapsed) {
    (void)elapsed;
    if (isFinished()) {
        return;
    }
    // Finished before the call, so a function that runs the node's list again does not call it twice.
    finish();
    if (function) {
        function(argument, node);
    }
}

} // namespace ui
