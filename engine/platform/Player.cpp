#include "engine/platform/Player.h"

#include "engine/kernel/ScalarValue.h"
#include "engine/kernel/TextConversion.h"

#include <utility>

namespace platform {
namespace {

constexpr const char* nameKey = "name";

} // namespace

std::string Player::entryName(const kernel::NodeValue& entry) {
    if (!entry.hasChild(nameKey)) {
        return entry.name();
    }
    return kernel::narrowString(entry.getValue(nameKey).text());
}

Player::Player(const kernel::NodeValue& entry) : name(entryName(entry)) {}

Player::Player(std::string name) : name(std::move(name)), changed(true) {}

void Player::save(kernel::NodeValue& entry) const {
    entry.setChild(new kernel::ScalarValue(nameKey, name, kernel::Typing::Untyped));
}

void Player::writeXml(kernel::NodeValue&) {
    changed = false;
}

void Player::readXml(kernel::NodeValue&) {
    changed = false;
}

void Player::onDeselect() {}

std::string Player::getClassName() const {
    return "Player";
}

} // namespace platform
