#include "engine/platform/GameSettings.h"

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/RegistryInt.h"
#include "engine/kernel/RegistryString.h"
#include "engine/kernel/ScalarValue.h"
#include "engine/kernel/SingleInstance.h"
#include "engine/kernel/SmartPtr.h"
#include "engine/kernel/TextConversion.h"
#include "host/Registry.h"

#include <cstring>
#include <utility>

namespace platform {
namespace {

// The name the settings node has always had in stored data.
constexpr const char* settingsNodeName = "GameSettngs";
constexpr const char* dontUseRegistryKey = "dontuseregistry";
constexpr const char* shutdownCorrectKey = "shutdowncorrect";
constexpr const char* fatalErrorKey = "fatalerror";

// The size of the name and data buffers of the reading: longer values are skipped.
constexpr host::DWORD bufferSize = 260;

GameSettings* theSettings = nullptr;

void readFlag(const kernel::NodeValue& node, const char* key, bool& flag) {
    if (node.hasChild(key)) {
        flag = node.getValue(key).asBool();
    }
}

// The text of a REG_SZ or the signed decimal of a REG_DWORD; false for any other value.
bool valueText(host::DWORD type, const host::BYTE* data, host::DWORD size, std::string* text) {
    if (type == host::REG_SZ) {
        const auto* chars = reinterpret_cast<const char*>(data);
        *text = std::string(chars, ::strnlen(chars, size));
        return true;
    }
    if (type == host::REG_DWORD && size == 4) {
        const std::uint32_t bits =
            data[0] | (data[1] << 8) | (data[2] << 16) | (std::uint32_t{data[3]} << 24);
        *text = std::to_string(static_cast<std::int32_t>(bits));
        return true;
    }
    return false;
}

} // namespace

GameSettings* GameSettings::create(std::unique_ptr<GameOptions> options) {
    return kernel::createSingleInstance(theSettings, [&] { return new GameSettings(std::move(options)); });
}

GameSettings* GameSettings::instance() {
    return theSettings;
}

void GameSettings::destroy() {
    kernel::destroySingleInstance(theSettings);
}

GameSettings::GameSettings(std::unique_ptr<GameOptions> options)
    : options(options ? std::move(options) : std::make_unique<GameOptions>()) {}

void GameSettings::setRegistryPath(const std::string& path) {
    registryPath = path;
    for (char& c : registryPath) {
        if (c == '/') {
            c = '\\';
        }
    }
}

bool GameSettings::writeRegistry() {
    const kernel::SmartPtr<kernel::NodeValue> node(new kernel::NodeValue(settingsNodeName, ""));
    options->save(*node);
    bool allWritten = true;
    for (const kernel::SmartPtr<kernel::Value>& child : node->children()) {
        allWritten = writeOption(*child) && allWritten;
    }
    return allWritten;
}

bool GameSettings::writeOption(kernel::Value& child) const {
    const std::string path = registryPath + "\\" + child.name();
    const kernel::ScalarValue& scalar = child.asScalar();
    if (child.typeName() == "String") {
        kernel::RegistryString value(path, HKEY_CURRENT_USER, "");
        value.setValue(kernel::narrowString(scalar.text()));
        return value.write() == host::ERROR_SUCCESS;
    }
    kernel::RegistryInt value(path, HKEY_CURRENT_USER);
    value.setValue(child.typeName() == "Boolean" ? (scalar.asBool() ? 1 : 0) : scalar.asInt());
    return value.write() == host::ERROR_SUCCESS;
}

void GameSettings::readRegistry() {
    const kernel::SmartPtr<kernel::NodeValue> node(new kernel::NodeValue(settingsNodeName, ""));
    readRegistryValues(*node);
    readFlags(*node);
    if (shutdownCorrect) {
        shutdownCorrect = false;
    } else {
        options->setFullScreen(false);
    }
}

void GameSettings::readRegistryValues(kernel::NodeValue& node) const {
    host::HKEY key = nullptr;
    if (host::RegOpenKeyEx(HKEY_CURRENT_USER, registryPath.c_str(), 0, host::KEY_QUERY_VALUE, &key) !=
        host::ERROR_SUCCESS) {
        return;
    }
    host::DWORD count = 0;
    if (host::RegQueryInfoKey(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr,
                              nullptr, nullptr, nullptr) != host::ERROR_SUCCESS) {
        count = 0;
    }
    for (host::DWORD index = 0; index < count; ++index) {
        char name[bufferSize];
        host::DWORD nameLength = bufferSize;
        host::BYTE data[bufferSize];
        host::DWORD dataLength = bufferSize;
        host::DWORD type = 0;
        std::string text;
        if (host::RegEnumValue(key, index, name, &nameLength, nullptr, &type, data, &dataLength) ==
                host::ERROR_SUCCESS &&
            valueText(type, data, dataLength, &text)) {
            node.setChild(
                new kernel::ScalarValue(std::string(name, nameLength), text, kernel::Typing::Untyped));
        }
    }
    host::RegCloseKey(key);
}

void GameSettings::writeFlags(kernel::Value& node) const {
    options->save(node);
    kernel::NodeValue& target = node.asNode();
    target.addBoolean(dontUseRegistryKey, dontUseRegistry, kernel::Typing::Typed);
    target.addBoolean(shutdownCorrectKey, shutdownCorrect, kernel::Typing::Typed);
    target.addBoolean(fatalErrorKey, fatalError, kernel::Typing::Typed);
}

void GameSettings::readFlags(kernel::Value& node) {
    options->load(node);
    const kernel::NodeValue& source = node.asNode();
    readFlag(source, dontUseRegistryKey, dontUseRegistry);
    readFlag(source, shutdownCorrectKey, shutdownCorrect);
    readFlag(source, fatalErrorKey, fatalError);
}

} // namespace platform
