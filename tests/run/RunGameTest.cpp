#include "game/run/RunGame.h"
#include "game/foundation/PibbleHighscoreEntry.h"
#include "game/foundation/Random.h"
#include "game/frontend/CheatCodeManager.h"

#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/PathUtil.h"
#include "engine/kernel/Resource.h"
#include "engine/kernel/ResourceManager.h"
#include "engine/platform/Application.h"
#include "engine/platform/FrameTimer.h"
#include "engine/platform/HighScoreManager.h"
#include "engine/platform/ScoreTable.h"
#include "engine/ui/Scene.h"
#include "engine/ui/SoundSystem.h"
#include "host/Files.h"
#include "host/System.h"
#include "host/Testing.h"
#include "host/Threads.h"
#include "host/Window.h"

#include "EncodedImages.h"
#include "Eventually.h"
#include "ResourceFolder.h"
#include "RuntimeDir.h"
#include "ScratchRegistry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

using platform::HighScoreManager;
using platform::ScoreTable;

std::vector<std::string> record;

void note(const char* step) {
    record.emplace_back(step);
}

// A scene that writes its entry, its leaving and its end into the record.
class RecordingScene : public ui::Scene {
public:
    explicit RecordingScene(kernel::NodeValue& settings) : Scene(settings) {}
    ~RecordingScene() override { record.emplace_back("scene destroyed"); }
    void onEnter() override {
        record.push_back("enter " + getName());
        Scene::onEnter();
    }
    void onLeave() override {
        record.push_back("leave " + getName());
        Scene::onLeave();
    }
};

kernel::Object* makeRecordingScene(kernel::Value& settings) {
    return new RecordingScene(settings.asNode());
}
const kernel::ClassRegistrar registerRecordingScene("RecordingScene", makeRecordingScene);

// Closes the window as a player would, once the first scene has run for a few frames.
class CloseAfterFrames : public platform::SceneComponent {
public:
    void onFrame(std::uint32_t) override {
        if (++frames == 3) {
            host::PostMessage(platform::Application::instance()->getWindowHandle(), host::WM_CLOSE, 0, 0);
        }
    }

private:
    int frames = 0;
};

void closeSoon(const char* step) {
    note(step);
    if (std::string(step) == "message loop") {
        platform::FrameTimer::instance()->addListener(new CloseAfterFrames());
    }
}

std::string sceneDeclarations(int count) {
    const char* names[] = {"SCENE_LOADING", "SCENE_SELECTION", "SCENE_PLAY_VIB", "SCENE_PLAY_RELAX",
                           "SCENE_PLAY_ACTION"};
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += std::string("<RecordingScene id=\"") + names[i] + "\"/>";
    }
    return text;
}

const std::vector<std::string> startUp = {"PropertyStore::create",
                                          "read start-up settings",
                                          "Logger::create",
                                          "ZipArchive::create",
                                          "start loading what start-up builds",
                                          "Application::checkSingleInstance",
                                          "SceneManager::create",
                                          "Random::create",
                                          "GameSettings::create",
                                          "Application::create",
                                          "SoundSystem::create",
                                          "load what start-up builds",
                                          "HighScoreManager::create",
                                          "PlayerManager::create",
                                          "LevelCatalogue::create",
                                          "FrameTimer::create",
                                          "CheatCodeManager::create",
                                          "create scenes"};

std::vector<std::string> shutDown(int scenes, bool leaving) {
    std::vector<std::string> steps = {"leave current scene"};
    if (leaving) {
        steps.emplace_back("leave SCENE_LOADING");
    }
    for (const char* step : {"HighScoreManager::save", "PlayerManager::saveAll", "closeApplicationDisplay",
                             "CheatCodeManager::destroy", "FullScreenHandler::destroyDefault",
                             "LevelCatalogue::destroy", "FrameTimer::destroy", "SceneManager::destroy"}) {
        steps.emplace_back(step);
    }
    steps.insert(steps.end(), scenes, "scene destroyed");
    for (const char* step :
         {"PlayerManager::destroy", "DialogManager::destroy", "Application::destroy",
          "ResourceManager::destroy", "SoundSystem::destroy", "HighScoreManager::destroy",
          "GameSettings::destroy", "PropertyStore::destroy", "ObjectFactory::destroy", "Random::destroy",
          "DataGathering::destroy", "ZipArchive::destroy", "AlbumPictures::destroy"}) {
        steps.emplace_back(step);
    }
    return steps;
}

std::vector<std::string> operator+(std::vector<std::string> first, const std::vector<std::string>& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

// Each run goes in a child process of its own: a run ends by destroying the object factory with every
// registration in it, and the single-instance lock stays held until the process ends.
class GameRun : public ::testing::Test {
protected:
    GameRun() {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        dir.write("media/properties/default.xml", "<Settings><String id=\"GAME_NAME\" value=\"" + gameName +
                                                      "\"/><String id=\"GAME_ID\" value=\"" + gameName +
                                                      "\"/></Settings>");
        dir.write("locale/properties/text.xml", "<Texts/>");
        // "preloading" holds a file that fails to load and "sceneload" is not declared at all: neither may
        // hold the start-up up.
        dir.write("media/properties/resources.xml",
                  "<Resources><Vector id=\"Sections\"><Node name=\"preloading\" auto=\"false\">"
                  "<Xmlfile id=\"GONE\" file=\"media/gone.xml\"/></Node></Vector></Resources>");
    }

    void declareScenes(int count) const {
        dir.write("media/properties/dialogs.xml",
                  "<Dialogs><Node id=\"dialogs\">" + sceneDeclarations(count) + "</Node></Dialogs>");
    }

    // In the child: runs the game, checks the steps and what else is asked, and ends the process with 0
    // when all held. The child's folders go first, as no destructor runs at its end.
    void runExpecting(const std::vector<std::string>& expected,
                      const std::function<bool()>& alsoHolds) const {
        const int result = game::RunGame();
        const bool passed = result == 0 && record == expected && alsoHolds();
        if (!passed) {
            std::fprintf(stderr, "result %d, steps:\n", result);
            for (const std::string& step : record) {
                std::fprintf(stderr, "  %s\n", step.c_str());
            }
        }
        std::error_code ignored;
        std::filesystem::remove_all(runtime.path(), ignored);
        std::filesystem::remove_all(registry.dir().path(), ignored);
        std::filesystem::remove_all(dir.path(), ignored);
        std::exit(passed ? 0 : 1);
    }

    // What a whole run leaves behind: all three tables, the player list and the stored settings.
    bool filesWritten() const {
        const std::string scores = testsupport::TempDir::read(dir.file("players/scores.xml"));
        bool written = std::filesystem::exists(dir.file("players/players.plrs")) &&
                       std::filesystem::exists(registry.file());
        for (const char* table : {"\"VIB\"", "\"ACTION\"", "\"RELAX\""}) {
            written = written && scores.find(table) != std::string::npos;
        }
        if (!written) {
            std::fprintf(stderr, "files missing; scores:\n%s\n", scores.c_str());
        }
        return written;
    }

    const std::string gameName = "RunGameTest";
    testsupport::RuntimeDir runtime;
    testsupport::ScratchRegistry registry;
    testsupport::WorkingFolder dir;
};

TEST_F(GameRun, StartsInOrderRunsTheFirstSceneAndShutsDownInOrder) {
    declareScenes(5);
    game::testing::setStepObserver(closeSoon);
    const std::vector<std::string> expected =
        startUp + std::vector<std::string>{"SceneManager::changeScene", "FullScreenHandler::createDefault",
                                           "AlbumPictures::create",     "message loop",
                                           "enter SCENE_LOADING",       "DataGathering::create"} +
        shutDown(5, true);
    EXPECT_EXIT(runExpecting(expected, [&] { return filesWritten(); }), ::testing::ExitedWithCode(0), "");
}

// A first start writes the registry (the session record's file name) only once the first frame is on screen:
// the write is flushed to the disk, and nothing before the first frame waits for it.
TEST_F(GameRun, AFirstStartWritesTheRegistryOnlyAfterTheFirstFrame) {
    declareScenes(5);
    static const testsupport::ScratchRegistry* stored = &registry;
    game::testing::setStepObserver([](const char* step) {
        closeSoon(step);
        const std::string name(step);
        if (name == "message loop" || name == "leave current scene") {
            record.push_back(name + (std::filesystem::exists(stored->file()) ? ": registry written"
                                                                             : ": registry untouched"));
        }
    });
    std::vector<std::string> ending = shutDown(5, true);
    ending.insert(ending.begin() + 1, "leave current scene: registry written");
    const std::vector<std::string> expected = startUp +
                                              std::vector<std::string>{"SceneManager::changeScene",
                                                                       "FullScreenHandler::createDefault",
                                                                       "AlbumPictures::create",
                                                                       "message loop",
                                                                       "message loop: registry untouched",
                                                                       "enter SCENE_LOADING",
                                                                       "DataGathering::create"} +
                                              ending;
    EXPECT_EXIT(runExpecting(expected, [] { return true; }), ::testing::ExitedWithCode(0), "");
}

// A seed in the environment replaces the clock's, so the game's draws can be played again.
bool seededFromEnvironment = false;

TEST_F(GameRun, ASeedInTheEnvironmentSeedsTheGamesGenerator) {
    declareScenes(5);
    game::testing::setStepObserver([](const char* step) {
        closeSoon(step);
        if (std::string(step) == "GameSettings::create") {
            seededFromEnvironment = game::Random::instance()->getSeed() == game::Random(4242).getSeed();
        }
    });
    const std::vector<std::string> expected =
        startUp + std::vector<std::string>{"SceneManager::changeScene", "FullScreenHandler::createDefault",
                                           "AlbumPictures::create",     "message loop",
                                           "enter SCENE_LOADING",       "DataGathering::create"} +
        shutDown(5, true);
    EXPECT_EXIT(
        {
            setenv(game::seedVariable, "4242", 1);
            runExpecting(expected, [] { return seededFromEnvironment; });
        },
        ::testing::ExitedWithCode(0), "");
}

// Without the sound library the game runs as it does without an audio device: silent, through its first
// scene to an orderly end that writes everything.
TEST_F(GameRun, WithoutTheSoundLibraryTheGameRunsSilent) {
    declareScenes(5);
    game::testing::setStepObserver([](const char* step) {
        closeSoon(step);
        if (std::string(step) == "message loop") {
            record.emplace_back(ui::SoundSystem::canStorePcm() ? "sound up" : "silent");
        }
    });
    const std::vector<std::string> expected = startUp +
                                              std::vector<std::string>{"SceneManager::changeScene",
                                                                       "FullScreenHandler::createDefault",
                                                                       "AlbumPictures::create",
                                                                       "message loop",
                                                                       "silent",
                                                                       "enter SCENE_LOADING",
                                                                       "DataGathering::create"} +
                                              shutDown(5, true);
    const auto withoutTheLibrary = [&] {
        host::testing::failCall("dlopen:mixer");
        runExpecting(expected, [&] { return filesWritten(); });
    };
    EXPECT_EXIT(withoutTheLibrary(), ::testing::ExitedWithCode(0), "the mixer library .* cannot be opened");
}

// A code typed into the window reaches the code manager, which is ticked as the fourth frame listener, after
// the scene manager has entered the first scene; the manager is gone once the run has ended.
void codeHeard(ui::Scene* scene, char key) {
    record.push_back("code " + std::string(1, key) + " typed in " +
                     (scene != nullptr ? scene->getName() : "none"));
}

void typeACode(const char* step) {
    closeSoon(step);
    const std::string name(step);
    if (name == "create scenes") {
        record.push_back("frame listeners " +
                         std::to_string(platform::FrameTimer::instance()->listenerCount()));
        game::CheatCodeManager::instance()->registerCode("zq", codeHeard, 'k', nullptr);
    }
    if (name == "message loop") {
        const host::HWND window = platform::Application::instance()->getWindowHandle();
        for (const char c : std::string("xzq")) {
            host::PostMessage(window, host::WM_CHAR, static_cast<host::WPARAM>(c), 0);
        }
    }
}

TEST_F(GameRun, ATypedCodeIsHeardAfterTheFirstSceneIsEntered) {
    declareScenes(5);
    game::testing::setStepObserver(typeACode);
    std::vector<std::string> expected = startUp;
    expected.emplace_back("frame listeners 4");
    expected = expected +
               std::vector<std::string>{"SceneManager::changeScene", "FullScreenHandler::createDefault",
                                        "AlbumPictures::create",     "message loop",
                                        "enter SCENE_LOADING",       "code k typed in SCENE_LOADING",
                                        "DataGathering::create"} +
               shutDown(5, true);
    EXPECT_EXIT(runExpecting(expected, [] { return game::CheatCodeManager::instance() == nullptr; }),
                ::testing::ExitedWithCode(0), "");
}

// What start-up builds (the scenes with their components, the full-screen handler), as the declarations
// name it, and what else the two start-up groups hold.
const std::vector<std::pair<const char*, const char*>> builtAtStartUp = {{"BACKGROUND", "sceneload"},
                                                                         {"LOGO", "sceneload"},
                                                                         {"TEXT", "preloading"},
                                                                         {"MENU", "preloading"},
                                                                         {"FSH_QUIT", "sceneload"}};
const std::vector<std::pair<const char*, const char*>> loadedLater = {
    {"LATER_1", "preloading"}, {"LATER_2", "preloading"}, {"LATER_3", "sceneload"}};

bool allLoaded(const std::vector<std::pair<const char*, const char*>>& resources) {
    for (const auto& [name, section] : resources) {
        const kernel::Resource* resource = kernel::ResourceManager::instance()->findResource(name, section);
        if (resource == nullptr || !resource->isLoaded() || resource->hasError()) {
            return false;
        }
    }
    return true;
}

// Right after the start-up's resource step what start-up builds is in; by the time loading is done, so is
// the rest of both groups, which the first scene's progress waits for.
void checkThePictures(const char* step) {
    closeSoon(step);
    const std::string name(step);
    if (name == "HighScoreManager::create") {
        record.emplace_back(allLoaded(builtAtStartUp) ? "what start-up builds is in"
                                                      : "what start-up builds is missing");
    }
    if (name == "leave current scene") {
        kernel::ResourceManager& resources = *kernel::ResourceManager::instance();
        const bool done = testsupport::eventually([&] { return resources.isLoadingDone(); });
        record.emplace_back(done && allLoaded(builtAtStartUp) && allLoaded(loadedLater)
                                ? "start-up groups in"
                                : "start-up groups missing");
    }
}

TEST_F(GameRun, WhatStartUpBuildsIsLoadedFirstAndTheRestOfItsGroupsBehindIt) {
    testsupport::PngPicture picture;
    picture.width = 64;
    picture.height = 48;
    picture.samples.assign(64 * 48, 90);
    const std::string png = testsupport::encodePng(picture);
    std::string preloading;
    std::string sceneload;
    for (const auto* resources : {&builtAtStartUp, &loadedLater}) {
        for (const auto& [name, section] : *resources) {
            const std::string file = std::string("media/") + name + ".png";
            dir.write(file, png);
            (std::string(section) == "preloading" ? preloading : sceneload) +=
                std::string("<Image id=\"") + name + "\" file=\"" + file + "\"/>";
        }
    }
    dir.write("media/properties/resources.xml",
              "<Resources><Vector id=\"Sections\"><Node name=\"preloading\" auto=\"false\">" + preloading +
                  "</Node><Node name=\"sceneload\" auto=\"false\">" + sceneload +
                  "</Node></Vector></Resources>");
    dir.write(
        "media/properties/dialogs.xml",
        "<Dialogs><Node id=\"dialogs\"><RecordingScene id=\"SCENE_LOADING\" scenebackground=\"BACKGROUND\" "
        "section=\"sceneload\"><Vector id=\"components\"><Sprite name=\"logo\" image=\"LOGO\" "
        "section=\"sceneload\"/><Sprite name=\"text\" image=\"TEXT\" section=\"preloading\"/></Vector>"
        "</RecordingScene><RecordingScene id=\"SCENE_SELECTION\"><Vector id=\"components\"><Sprite "
        "name=\"menu\" image=\"MENU\" section=\"preloading\"/></Vector></RecordingScene>" +
            sceneDeclarations(5).substr(sceneDeclarations(2).size()) +
            "</Node><FullScreenHandler id=\"DEFAULT_FSH\"><Button id=\"button_quit\" image=\"FSH_QUIT\" "
            "section=\"sceneload\"/></FullScreenHandler></Dialogs>");
    game::testing::setStepObserver(checkThePictures);
    std::vector<std::string> expected = startUp;
    expected.insert(std::find(expected.begin(), expected.end(), "HighScoreManager::create") + 1,
                    "what start-up builds is in");
    std::vector<std::string> ending = shutDown(5, true);
    ending.insert(ending.begin() + 1, "start-up groups in");
    expected = expected +
               std::vector<std::string>{"SceneManager::changeScene", "FullScreenHandler::createDefault",
                                        "AlbumPictures::create",     "message loop",
                                        "enter SCENE_LOADING",       "DataGathering::create"} +
               ending;
    EXPECT_EXIT(runExpecting(expected, [] { return true; }), ::testing::ExitedWithCode(0), "");
}

// A run that never shows a frame makes its session record at the shutdown, which writes it.
const std::vector<std::string> sessionRecordAtShutdown =
    std::vector<std::string>{"DataGathering::create"} + shutDown(3, false);

TEST_F(GameRun, AMissingSceneEndsTheRunCleanlyWithAnError) {
    declareScenes(3);
    game::testing::setStepObserver(note);
    EXPECT_EXIT(runExpecting(startUp + sessionRecordAtShutdown, [] { return true; }),
                ::testing::ExitedWithCode(0), "Error: The scene \"SCENE_PLAY_RELAX\" cannot be made");
}

// A full disk at the end of the run: each save of the shutdown says that it failed, and which file.
void diskFullAtShutdown(const char* step) {
    note(step);
    if (std::string(step) == "leave current scene") {
        host::testing::recordDebugOutput(true);
        host::testing::failCall("writeFileAtomically:write", ENOSPC);
    }
    // Only a record that changes is written, and other runs leave the very same one in the same folder:
    // gone just before, it must be written.
    if (std::string(step) == "DataGathering::destroy") {
        std::filesystem::remove(host::systemPath((kernel::applicationDirectory() + "\\gd.xml").c_str()));
    }
}

TEST_F(GameRun, SavesThatFailAtShutdownAreHeard) {
    declareScenes(3);
    game::testing::setStepObserver(diskFullAtShutdown);
    const auto allHeard = [] {
        const std::string output = host::testing::takeDebugOutput();
        bool heard = true;
        for (const char* report :
             {"scores.xml\" failed: No space left on device", "Shutdown: the highscores could not be saved",
              "Shutdown: the player list or the current profile could not be saved",
              "gd.xml\" failed: No space left on device",
              "Shutdown: the session record could not be saved"}) {
            heard = heard && output.find(report) != std::string::npos;
        }
        if (!heard) {
            std::fprintf(stderr, "debug output:\n%s\n", output.c_str());
        }
        return heard;
    };
    EXPECT_EXIT(runExpecting(startUp + sessionRecordAtShutdown, allHeard), ::testing::ExitedWithCode(0), "");
}

TEST_F(GameRun, ASecondCopyEndsAtOnceWithoutAWindow) {
    declareScenes(5);
    game::testing::setStepObserver(note);
    const auto secondCopy = [&] {
        // The first copy's lock, as that copy takes it.
        host::CreateMutex(nullptr, host::TRUE, gameName.c_str());
        const auto check = std::find(startUp.begin(), startUp.end(), "Application::checkSingleInstance");
        const std::vector<std::string> upToTheCheck(startUp.begin(), check + 1);
        runExpecting(upToTheCheck, [] { return platform::Application::instance() == nullptr; });
    };
    EXPECT_EXIT(secondCopy(), ::testing::ExitedWithCode(0), "");
}

// The logs of earlier runs are deleted only by the copy that goes on to run: a second copy, which ends at
// the single-instance check, leaves the running copy's log alone.
TEST_F(GameRun, OnlyTheCopyThatRunsEmptiesTheLogFolder) {
    declareScenes(5);
    // In the child: the program's folder, which holds the log folder, is below the working folder the child
    // removes.
    const std::string program = dir.file("program/pibbles");
    const std::string running = dir.write("program/log/running.log", "Saving \"save.xml\" failed\n");
    const auto logKept = [&] {
        return testsupport::TempDir::read(running) == "Saving \"save.xml\" failed\n";
    };
    const auto secondCopy = [&] {
        host::testing::useModuleFileName(program);
        game::testing::setStepObserver(note);
        host::CreateMutex(nullptr, host::TRUE, gameName.c_str());
        const auto check = std::find(startUp.begin(), startUp.end(), "Application::checkSingleInstance");
        runExpecting(std::vector<std::string>(startUp.begin(), check + 1), logKept);
    };
    EXPECT_EXIT(secondCopy(), ::testing::ExitedWithCode(0), "");

    const auto onlyCopy = [&] {
        host::testing::useModuleFileName(program);
        game::testing::setStepObserver(closeSoon);
        const std::vector<std::string> expected =
            startUp +
            std::vector<std::string>{"SceneManager::changeScene", "FullScreenHandler::createDefault",
                                     "AlbumPictures::create",     "message loop",
                                     "enter SCENE_LOADING",       "DataGathering::create"} +
            shutDown(5, true);
        runExpecting(expected, [&] { return !std::filesystem::exists(running); });
    };
    EXPECT_EXIT(onlyCopy(), ::testing::ExitedWithCode(0), "");
}

TEST(GameRunChoices, ADesktopNoLargerThanTheGameForcesFullScreen) {
    EXPECT_TRUE(game::decideFullScreen(640, 480, false));
    EXPECT_TRUE(game::decideFullScreen(320, 200, false));
    EXPECT_FALSE(game::decideFullScreen(800, 480, false));
    EXPECT_TRUE(game::decideFullScreen(800, 480, true));
    EXPECT_FALSE(game::decideFullScreen(640, 600, false));
}

TEST(GameRunChoices, OnlyTheMissingModeTablesAreMadeWithTenPlaceholders) {
    testsupport::WorkingFolder dir;
    {
        HighScoreManager* manager = HighScoreManager::create();
        const kernel::SmartPtr<ScoreTable> action(new ScoreTable(5, false));
        action->addScore(new platform::HighScoreEntry("Ann", 700));
        manager->addTable("ACTION", action);
        ASSERT_TRUE(manager->save());
        HighScoreManager::destroy();
    }
    HighScoreManager* manager = HighScoreManager::create();
    manager->load();
    game::addMissingScoreTables(*manager);

    const ScoreTable* action = manager->getTable("ACTION");
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(action->getEntryCount(), 1);
    EXPECT_EQ(action->getMaxEntries(), 5);
    EXPECT_FALSE(action->isDescending());
    EXPECT_EQ(action->getEntry(0)->getPlayerName(), "Ann");
    for (const char* name : {"VIB", "RELAX"}) {
        const ScoreTable* table = manager->getTable(name);
        ASSERT_NE(table, nullptr) << name;
        EXPECT_EQ(table->getEntryCount(), 10);
        EXPECT_EQ(table->getMaxEntries(), 10);
        EXPECT_TRUE(table->isDescending());
        for (int i = 0; i < table->getEntryCount(); ++i) {
            EXPECT_EQ(table->getEntry(i)->getPlayerName(), "-");
            EXPECT_EQ(table->getEntry(i)->getScore(), 0);
        }
    }
    HighScoreManager::destroy();
}

} // namespace
