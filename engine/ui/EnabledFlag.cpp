#include "engine/ui/EnabledFlag.h"

namespace ui {

EnabledFlag::~EnabledFlag() = default;

void EnabledFlag::setEnabled(bool value) {
    if (value == enabled) {
        return;
    }
    enabled = value;
    onEnabledChanged();
}

} // namespace ui
