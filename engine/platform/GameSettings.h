#pragma once

#include "engine/kernel/Object.h"
#include "engine/kernel/Value.h"
#include "engine/platform/GameOptions.h"

#include <memory>
#include <string>

namespace platform {

// The options record and the flags of the previous run, kept in the current user's registry under a key
// that the run function names. Main thread only.
class GameSettings : public kernel::Object {
public:
    // Makes the settings around the game's options record (the engine's own when none is given). When the
    // settings exist already they are returned and the record is dropped.
    static GameSettings* create(std::unique_ptr<GameOptions> options);
    // Null before create.
    static GameSettings* instance();
    static void destroy();

    // Stored with every '/' turned into '\'.
    void setRegistryPath(const std::string& path);
    const std::string& getRegistryPath() const { return registryPath; }

    GameOptions& getOptions() const { return *options; }
    bool getDontUseRegistry() const { return dontUseRegistry; }
    bool getShutdownCorrect() const { return shutdownCorrect; }
    bool getFatalError() const { return fatalError; }

    // One value per option: the flags as REG_DWORD 0 or 1, the volumes as REG_DWORD. True when every value
    // was written.
    [[nodiscard]] virtual bool writeRegistry();
    // The options and the three flags of the previous run. A missing key leaves everything as it was.
    // Afterwards shutdownCorrect is false in memory; when it was stored false, full screen is switched off.
    virtual void readRegistry();
    // The options, then the three flags as named Booleans.
    virtual void writeFlags(kernel::Value& node) const;
    // The options, then each flag that the node holds: true unless its text is empty or "false".
    virtual void readFlags(kernel::Value& node);

    static constexpr kernel::ClassInfo classInfo{&kernel::Object::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    explicit GameSettings(std::unique_ptr<GameOptions> options);

    [[nodiscard]] bool writeOption(kernel::Value& child) const;
    void readRegistryValues(kernel::NodeValue& node) const;

    std::unique_ptr<GameOptions> options;
    std::string registryPath;
    bool dontUseRegistry = false;
    bool shutdownCorrect = true;
    bool fatalError = false;
};

} // namespace platform
