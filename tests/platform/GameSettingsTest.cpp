#include "engine/platform/GameSettings.h"
#include "engine/kernel/NodeValue.h"
#include "engine/kernel/SmartPtr.h"

#include "ScratchRegistry.h"

#include <gtest/gtest.h>

#include <string>

using platform::GameOptions;
using platform::GameSettings;
using namespace testsupport;

namespace {

constexpr const char* registryPath = "Software\\Tarvo\\Games\\pibbles";

// The game's record: the engine's options with its own volume defaults.
class GameRecord : public GameOptions {
public:
    GameRecord() {
        setSoundVolume(255);
        setMusicVolume(39);
    }
};

// Destroys the singleton however the test ends.
struct SettingsGuard {
    ~SettingsGuard() { GameSettings::destroy(); }
};

GameSettings& makeSettings() {
    GameSettings* settings = GameSettings::create(std::make_unique<GameRecord>());
    settings->setRegistryPath("Software/Tarvo/Games/pibbles");
    return *settings;
}

void store(const RegistryValues& values) {
    for (const auto& [name, entry] : values) {
        ASSERT_EQ(ScratchRegistry::set(registryPath, name, entry), status(host::ERROR_SUCCESS));
    }
}

// A saved node holds its flags as "true"/"false", which load as 0: only numbers load the flags.
TEST(GameSettings, TheNodeFormOfTheFlagsDoesNotReadBack) {
    const SettingsGuard guard;
    GameSettings& settings = *GameSettings::create(nullptr);
    EXPECT_EQ(&settings, GameSettings::instance());
    EXPECT_TRUE(settings.getOptions().getUseHints());
    const kernel::SmartPtr<kernel::NodeValue> node(new kernel::NodeValue("n", ""));
    settings.writeFlags(*node);
    ASSERT_EQ(node->childCount(), 9);
    EXPECT_EQ(node->getValue("soundvolume").typeName(), "Integer");
    GameRecord record;
    record.load(*node);
    EXPECT_FALSE(record.getUseHints());
    EXPECT_EQ(record.getSoundVolume(), 128);
}

TEST(GameSettings, TheGameRecordSurvivesWriteAndRead) {
    const ScratchRegistry registry;
    const SettingsGuard guard;
    GameSettings& settings = makeSettings();
    EXPECT_EQ(settings.getRegistryPath(), registryPath);
    settings.getOptions().setFullScreen(true);
    settings.getOptions().setUseHints(false);
    settings.getOptions().setSoundVolume(-5);
    EXPECT_TRUE(settings.writeRegistry());
    EXPECT_EQ(ScratchRegistry::values(registryPath), (RegistryValues{{"fullscreen", dwordEntry(1)},
                                                                     {"fullscreenwarning", dwordEntry(1)},
                                                                     {"usehardware", dwordEntry(1)},
                                                                     {"usehints", dwordEntry(0)},
                                                                     {"soundvolume", dwordEntry(-5)},
                                                                     {"musicvolume", dwordEntry(39)}}));

    GameSettings::destroy();
    GameSettings& again = makeSettings();
    again.readRegistry();
    EXPECT_TRUE(again.getOptions().getFullScreen());
    EXPECT_FALSE(again.getOptions().getUseHints());
    EXPECT_EQ(again.getOptions().getSoundVolume(), -5);
    EXPECT_EQ(again.getOptions().getMusicVolume(), 39);
    // Nothing stored the flag: the previous run counts as ended correctly, and this one as not yet.
    EXPECT_FALSE(again.getShutdownCorrect());
}

// Writing the settings again as they stand writes nothing (a disk that refuses every write is not even
// asked); a changed option is written, and the next run reads what the last one wrote.
TEST(GameSettings, OnlyChangedSettingsAreWrittenAndTheNextRunReadsThem) {
    const ScratchRegistry registry;
    const SettingsGuard guard;
    GameSettings& settings = makeSettings();
    ASSERT_TRUE(settings.writeRegistry());
    const std::string before = TempDir::read(registry.file());

    host::testing::failCall("writeFileAtomically:open", EACCES, 1);
    EXPECT_TRUE(settings.writeRegistry());
    EXPECT_EQ(TempDir::read(registry.file()), before);
    settings.getOptions().setMusicVolume(200);
    EXPECT_FALSE(settings.writeRegistry());
    EXPECT_TRUE(settings.writeRegistry());
    settings.getOptions().setFullScreen(true);
    EXPECT_TRUE(settings.writeRegistry());

    GameSettings::destroy();
    GameSettings& next = makeSettings();
    next.readRegistry();
    EXPECT_EQ(next.getOptions().getMusicVolume(), 200);
    EXPECT_EQ(next.getOptions().getSoundVolume(), 255);
    EXPECT_TRUE(next.getOptions().getFullScreen());
}

// A settings file cut short (a full disk under another program, a crash of the file system) keeps every
// option that it still holds.
TEST(GameSettings, ACutFileKeepsTheOptionsItStillHolds) {
    const ScratchRegistry registry;
    const SettingsGuard guard;
    GameSettings& settings = makeSettings();
    settings.getOptions().setFullScreen(true);
    settings.getOptions().setSoundVolume(17);
    settings.getOptions().setMusicVolume(200);
    ASSERT_TRUE(settings.writeRegistry());
    const std::string whole = TempDir::read(registry.file());
    registry.replaceFile(whole.substr(0, whole.size() - 20));

    GameSettings::destroy();
    GameSettings& next = makeSettings();
    next.readRegistry();
    EXPECT_TRUE(next.getOptions().getFullScreen());
    EXPECT_EQ(next.getOptions().getSoundVolume(), 17);
    EXPECT_EQ(next.getOptions().getMusicVolume(), 200);
}

TEST(GameSettings, TheFlagsOfThePreviousRunAreRead) {
    const struct {
        const char* what;
        RegistryValues values;
        bool fullScreen;
        bool dontUseRegistry = false;
        bool fatalError = false;
    } cases[] = {
        {"failed run", {{"fullscreen", dwordEntry(1)}, {"shutdowncorrect", textEntry("false")}}, false},
        {"number 0 is true", {{"fullscreen", dwordEntry(1)}, {"shutdowncorrect", dwordEntry(0)}}, true},
        {"empty text is false", {{"fullscreen", dwordEntry(1)}, {"shutdowncorrect", textEntry("")}}, false},
        {"other flags",
         {{"dontuseregistry", dwordEntry(0)}, {"fatalerror", textEntry("no")}},
         false,
         true,
         true},
        {"no key", {}, false},
    };
    for (const auto& entry : cases) {
        SCOPED_TRACE(entry.what);
        const ScratchRegistry registry;
        const SettingsGuard guard;
        store(entry.values);
        GameSettings& settings = makeSettings();
        settings.readRegistry();
        EXPECT_EQ(settings.getOptions().getFullScreen(), entry.fullScreen);
        EXPECT_FALSE(settings.getShutdownCorrect());
        EXPECT_EQ(settings.getDontUseRegistry(), entry.dontUseRegistry);
        EXPECT_EQ(settings.getFatalError(), entry.fatalError);
    }
}

TEST(GameSettings, ValuesThatDoNotFitOrOfOtherTypesAreIgnored) {
    const ScratchRegistry registry;
    const SettingsGuard guard;
    // 260 bytes is the reader's limit: a text of 259 characters and its zero still fits.
    store({{"soundvolume", {host::REG_BINARY, dwordEntry(7).data}},
           {"musicvolume", textEntry(std::string(260, '1'))},
           {std::string(260, 'n'), dwordEntry(1)},
           {"fullscreenwarning", textEntry(std::string(259, '0'))}});
    GameSettings& settings = makeSettings();
    settings.readRegistry();
    EXPECT_EQ(settings.getOptions().getSoundVolume(), 255);
    EXPECT_EQ(settings.getOptions().getMusicVolume(), 39);
    EXPECT_FALSE(settings.getOptions().getFullScreenWarning());
}

TEST(GameSettings, AFailedWriteIsReported) {
    const ScratchRegistry registry;
    const SettingsGuard guard;
    GameSettings& settings = makeSettings();
    host::testing::failCall("RegSetValueEx", host::ERROR_WRITE_FAULT, 1);
    EXPECT_FALSE(settings.writeRegistry());
    EXPECT_EQ(ScratchRegistry::values(registryPath).size(), 5u);
    EXPECT_TRUE(settings.writeRegistry());
    EXPECT_EQ(ScratchRegistry::values(registryPath).size(), 6u);
}

} // namespace
