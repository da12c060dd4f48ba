#include "game/run/RunGame.h"

#include "engine/kernel/Logger.h"
#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/PropertyStore.h"
#include "engine/kernel/ResourceManager.h"
#include "engine/kernel/ScalarValue.h"
#include "engine/kernel/SmartPtr.h"
#include "engine/kernel/TextConversion.h"
#include "engine/kernel/ValueDocument.h"
#include "engine/kernel/VectorValue.h"
#include "engine/kernel/ZipArchive.h"
#include "engine/platform/Application.h"
#include "engine/platform/DataGathering.h"
#include "engine/platform/FrameTimer.h"
#include "engine/platform/GameSettings.h"
#include "engine/platform/HighScoreManager.h"
#include "engine/platform/PlayerManager.h"
#include "engine/platform/ScoreTable.h"
#include "engine/ui/DialogManager.h"
#include "engine/ui/FrameCheck.h"
#include "engine/ui/FullScreenHandler.h"
#include "engine/ui/Scene.h"
#include "engine/ui/SceneManager.h"
#include "engine/ui/SoundSystem.h"
#include "engine/ui/UiIds.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/GameUtilities.h"
#include "game/foundation/LevelCatalogue.h"
#include "game/foundation/PibbleHighscoreEntry.h"
#include "game/foundation/PibbleOptions.h"
#include "game/foundation/Random.h"
#include "game/frontend/AlbumPictures.h"
#include "game/frontend/CheatCodeManager.h"
#include "game/frontend/DialogProgress.h"
#include "game/play/PlayBot.h"
#include "game/play/PlaySceneVIB.h"
#include "host/Sound.h"
#include "host/System.h"
#include "host/Threads.h"
#include "host/Window.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace game {
namespace {

constexpr int gameWidth = 640;
constexpr int gameHeight = 480;
// The desktop's own colour depth.
constexpr int desktopDepth = 0;
constexpr int iconResource = 101;
constexpr int soundRate = 44100;
constexpr int soundChannels = 32;
constexpr int framesPerSecond = 60;
constexpr const char* registryPathPrefix = "Software\\Tarvo\\Games\\";

testing::StepObserver stepObserver = nullptr;

void announce(const char* step) {
    if (stepObserver != nullptr) {
        stepObserver(step);
    }
}

// Start-up settings and texts go into the property store; the document itself is only the reader.
void readStartupSettings(kernel::ValueDocument& settings) {
    announce("PropertyStore::create");
    kernel::PropertyStore::create();
    announce("read start-up settings");
    settings.addFile("media/properties/default.xml");
    settings.addFile("locale/properties/text.xml");
    settings.load();
    kernel::ObjectFactory::instance()->createChildren(settings);
    settings.clearAll();
}

void createLogAndFileSource() {
    announce("Logger::create");
    kernel::Logger::create();
    announce("ZipArchive::create");
    // Plain files on disk unless a resource declares another source.
    kernel::ZipArchive::create("", 1);
}

bool mayRun() {
    announce("Application::checkSingleInstance");
    return !platform::Application::checkSingleInstance(propertyString(kernel::ids::gameName));
}

// Only the copy that goes on to run: a second copy would delete the log the running one writes.
void removeEarlierLogs() {
    if (const kernel::Logger* logger = kernel::Logger::instance()) {
        logger->removeEarlierLogs();
    }
}

// A seed in the environment makes the game's own draws the same from run to run, for the benchmarks and
// tests that watch the running game; without it the clock seeds them.
void seedFromEnvironment() {
    const char* text = std::getenv(seedVariable);
    if (text == nullptr || text[0] == '\0') {
        return;
    }
    char* end = nullptr;
    const unsigned long long seed = std::strtoull(text, &end, 10);
    if (*end != '\0' || text[0] == '-') {
        host::OutputDebugString(
            (std::string(seedVariable) + ": \"" + text + "\" is no whole number; the clock seeds the game\n")
                .c_str());
        return;
    }
    Random::instance()->setSeed(seed);
}

void createServices() {
    announce("SceneManager::create");
    ui::SceneManager::create();
    announce("Random::create");
    Random::create();
    seedFromEnvironment();
}

platform::GameOptions& readStoredSettings() {
    announce("GameSettings::create");
    platform::GameSettings* settings = platform::GameSettings::create(std::make_unique<PibbleOptions>());
    settings->setRegistryPath(registryPathPrefix + propertyString(ids::gameId));
    settings->readRegistry();
    return settings->getOptions();
}

std::uint8_t volumeOf(std::int32_t stored) {
    return static_cast<std::uint8_t>(std::clamp(stored, 0, 255));
}

void openWindow(const platform::GameOptions& options) {
    const bool fullScreen =
        decideFullScreen(host::GetSystemMetrics(host::SM_CXSCREEN), host::GetSystemMetrics(host::SM_CYSCREEN),
                         options.getFullScreen());
    announce("Application::create");
    platform::Application* application = platform::Application::create(
        propertyString(kernel::ids::gameName), gameWidth, gameHeight, fullScreen, desktopDepth, iconResource);
    application->setCursorShape(platform::cursorAppStarting);
}

void startSound(const platform::GameOptions& options) {
    announce("SoundSystem::create");
    ui::SoundSystem* sound = ui::SoundSystem::create(soundRate, soundChannels);
    sound->setMusicVolume(volumeOf(options.getMusicVolume()));
    sound->setSfxVolume(volumeOf(options.getSoundVolume()));
}

using Resources = std::vector<std::pair<std::string, std::string>>;

// The keys of a declared node that name a picture (an image or a font) in the node's "section".
constexpr const char* pictureKeys[] = {"scenebackground", "background", "image", "font"};

void collectPictures(kernel::Value& declared, Resources& found) {
    if (declared.isNode() && declared.asNode().hasChild("section")) {
        const kernel::NodeValue& node = declared.asNode();
        const std::string section = kernel::narrowString(node.getValue("section").text());
        for (const char* key : pictureKeys) {
            if (node.hasChild(key)) {
                found.emplace_back(kernel::narrowString(node.getValue(key).text()), section);
            }
        }
    }
    // A Node keeps its typed children (its component lists among them) in its own ordered list.
    const kernel::VectorValue* list = declared.isNode()     ? &declared.asNode()
                                      : declared.isVector() ? &declared.asVector()
                                                            : nullptr;
    if (list != nullptr) {
        for (const kernel::SmartPtr<kernel::Value>& child : list->children()) {
            if (child) {
                collectPictures(*child, found);
            }
        }
    }
}

bool isStartUpGroup(const std::string& section) {
    return std::find(std::begin(ids::startUpGroups), std::end(ids::startUpGroups), section) !=
           std::end(ids::startUpGroups);
}

// Start-up builds the scenes with their components and the full-screen handler with its buttons, from the
// two start-up groups, and the first of those scenes is the first picture: what their declarations name
// there is what the first frame needs. (A scene's background of another group is fetched when the scene is
// first entered, once its group is in.)
Resources builtAtStartUp() {
    ui::DialogManager& declarations = *ui::DialogManager::instance();
    Resources found;
    for (const char* scene : ids::scenes) {
        collectPictures(declarations.findDeclaration(scene), found);
    }
    collectPictures(declarations.getDocument().getNode(ui::ids::defaultFullScreenHandler), found);
    std::erase_if(found, [](const auto& resource) { return !isStartUpGroup(resource.second); });
    return found;
}

// Each resource once, in the order first named (the same font serves many labels).
Resources withoutRepeats(Resources named) {
    Resources once;
    for (auto& resource : named) {
        if (std::find(once.begin(), once.end(), resource) == once.end()) {
            once.push_back(std::move(resource));
        }
    }
    return once;
}

// What start-up builds is read and decoded behind the main thread's back while that thread goes on with what
// needs no picture (the display's connection, the window): a starter thread reads the declarations and the
// resource list, then a few helpers decode the pictures, each taking the next one not yet taken. At the
// finish the main thread takes its share of what is left and waits for the helpers, so the wait is about
// the longest share rather than the sum.
class StartupLoad {
public:
    StartupLoad() = default;
    StartupLoad(const StartupLoad&) = delete;
    StartupLoad& operator=(const StartupLoad&) = delete;
    ~StartupLoad() { finish(); }

    void start() {
        starter = host::CreateThread(nullptr, 0, &StartupLoad::starterMain, this, 0, nullptr);
        if (starter == nullptr) {
            prepare();
        }
    }

    // Every picture is in when it returns (none when the load never started).
    void finish() {
        if (starter != nullptr) {
            host::WaitForSingleObject(starter, host::INFINITE);
            host::CloseHandle(std::exchange(starter, nullptr));
        }
        if (manager == nullptr) {
            return;
        }
        loadShare();
        for (host::HANDLE helper : helpers) {
            host::WaitForSingleObject(helper, host::INFINITE);
            host::CloseHandle(helper);
        }
        helpers.clear();
        manager = nullptr;
    }

private:
    // Helpers beyond a few gain nothing: the wait is then the largest picture's.
    static constexpr int mostThreads = 4;

    // The declarations and the resource list, read first, name the pictures.
    void prepare() {
        ui::DialogManager::create(ui::DialogManager::defaultFileName);
        kernel::ResourceManager* resources = kernel::ResourceManager::create();
        resources->addDefinitionPath("media/properties/resources.xml");
        resources->loadDefinitions();
        resources->setActive();
        wanted = withoutRepeats(builtAtStartUp());
        manager = resources;
        for (int i = 0; i < threadCount(); ++i) {
            if (host::HANDLE helper =
                    host::CreateThread(nullptr, 0, &StartupLoad::helperMain, this, 0, nullptr)) {
                helpers.push_back(helper);
            }
        }
    }

    int threadCount() const {
        host::SYSTEM_INFO system{};
        host::GetSystemInfo(&system);
        // One processor stays with the main thread, which meanwhile reaches the display.
        const int processors = static_cast<int>(system.dwNumberOfProcessors);
        return std::clamp(std::min(processors - 1, static_cast<int>(wanted.size())), 1, mostThreads);
    }

    static host::DWORD starterMain(void* parameter) {
        static_cast<StartupLoad*>(parameter)->prepare();
        return 0;
    }

    static host::DWORD helperMain(void* parameter) {
        static_cast<StartupLoad*>(parameter)->loadShare();
        return 0;
    }

    void loadShare() {
        for (std::size_t i = next++; i < wanted.size(); i = next++) {
            (void)manager->getLoadedResource(wanted[i].first, wanted[i].second);
        }
    }

    host::HANDLE starter = nullptr;
    Resources wanted;
    kernel::ResourceManager* manager = nullptr;
    std::vector<host::HANDLE> helpers;
    std::atomic<std::size_t> next{0};
};

// A group that is not queued is loaded already (what start-up builds may be all it held) or declared nowhere.
void requestStartupGroups(kernel::ResourceManager& resources) {
    for (const char* group : ids::startUpGroups) {
        if (!resources.loadGroup(group)) {
            host::OutputDebugString(
                ("Start-up: the resource group \"" + std::string(group) + "\" has nothing left to load\n")
                    .c_str());
        }
    }
}

// Nothing can be shown before the images and fonts of what start-up builds are in, and they are all that is
// waited for: this thread and its helpers load them while the loader has nothing asked of it. The rest of the
// two start-up groups then goes to the loader thread while the first scene is on screen; requested after the
// reset, it counts in that scene's progress, so the scene finishes loading only once it is in.
void loadStartupResources(StartupLoad& load) {
    announce("load what start-up builds");
    load.finish();
    kernel::ResourceManager* resources = kernel::ResourceManager::instance();
    resources->resetProgress();
    requestStartupGroups(*resources);
    // Read only when one of its groups is first asked for.
    resources->addDefinitionPath("media/properties/albumpictures");
}

void loadScoresPlayersAndLevels() {
    announce("HighScoreManager::create");
    platform::HighScoreManager* scores = platform::HighScoreManager::create();
    scores->load();
    addMissingScoreTables(*scores);
    announce("PlayerManager::create");
    platform::PlayerManager::create()->loadAll();
    announce("LevelCatalogue::create");
    LevelCatalogue::create()->load();
}

void startFrameTimer() {
    announce("FrameTimer::create");
    platform::FrameTimer* timer = platform::FrameTimer::create();
    timer->setFps(framesPerSecond);
    timer->addListener(ui::SceneManager::instance());
    timer->addListener(platform::Application::instance());
    timer->addListener(ui::SoundSystem::instance());
    // The fourth frame listener: typed codes are handled once the frame has been presented.
    announce("CheatCodeManager::create");
    CheatCodeManager::create();
}

void reportUnbuildableScene(const std::string& name) {
    const std::string text = "The scene \"" + name + "\" cannot be made from " +
                             ui::DialogManager::defaultFileName + ".\nThe game will quit now.";
    host::MessageBox(nullptr, text.c_str(), "Error", host::MB_OK | host::MB_ICONERROR);
}

// A declaration that is missing or names no scene class would leave the game without a screen to show,
// so start-up stops there and the game shuts down in order.
bool createScenes() {
    announce("create scenes");
    for (const char* name : ids::scenes) {
        const kernel::SmartPtr<kernel::Object> made(ui::DialogManager::instance()->createDialog(name));
        if (!made || !made->isKindOf(ui::Scene::classInfo)) {
            reportUnbuildableScene(name);
            return false;
        }
        ui::RegisterScene(name, static_cast<ui::Scene*>(made.get()));
    }
    return true;
}

void showFirstScene() {
    announce("SceneManager::changeScene");
    ui::SceneManager::instance()->changeScene(ids::sceneLoading);
    announce("FullScreenHandler::createDefault");
    ui::FullScreenHandler::createDefault();
    announce("AlbumPictures::create");
    AlbumPictures::create();
}

// Nothing was shown before the first frame, so it is not held back to keep the pace: it runs unpaced, and
// the rate is set again after it unless the first scene set its own.
void stepFirstFrame(platform::FrameTimer& timer) {
    const int rate = timer.getTargetFps();
    timer.setFps(0);
    timer.step();
    if (timer.getTargetFps() == 0) {
        timer.setFps(rate);
    }
}

// Only a mode's play adds to the session record; on a first start making it writes the registry, which is
// flushed to the disk, so it waits until the first frame is on screen (or, in a run that never shows one,
// until the shutdown, which writes the record).
void startSessionRecord() {
    if (platform::DataGathering::instance() == nullptr) {
        announce("DataGathering::create");
        platform::DataGathering::create(propertyString(ids::gameId));
    }
}

void runMessageLoop() {
    announce("message loop");
    platform::FrameTimer& timer = *platform::FrameTimer::instance();
    bool firstFrame = true;
    host::MSG message{};
    while (message.message != host::WM_QUIT) {
        if (host::PeekMessage(&message, nullptr, 0, 0, host::PM_REMOVE)) {
            host::TranslateMessage(&message);
            host::DispatchMessage(&message);
        } else if (std::exchange(firstFrame, false)) {
            stepFirstFrame(timer);
            startSessionRecord();
        } else {
            timer.step();
        }
    }
}

// What the current scene keeps in memory (the player's progress, an open session) is handed over by its
// leave operation, so it runs before anything is saved; so does the leave of a transition's target.
void leaveCurrentScene() {
    commitChapterMap();
    announce("leave current scene");
    ui::SceneManager::instance()->leaveEnteredScenes();
}

// A save that fails at the end of a run has no later chance, so it is at least heard; the writer has already
// named the file and the reason.
void reportIfFailed(bool saved, const char* what) {
    if (!saved) {
        host::ReportProblem(("Shutdown: " + std::string(what) + " could not be saved\n").c_str());
    }
}

void saveScoresAndPlayers() {
    announce("HighScoreManager::save");
    reportIfFailed(platform::HighScoreManager::instance()->save(), "the highscores");
    announce("PlayerManager::saveAll");
    reportIfFailed(platform::PlayerManager::instance()->saveAll(), "the player list or the current profile");
}

// A skipped record is no failed save: without a file name that the registry took at start-up it was never to
// be written.
void destroySessionRecord() {
    reportIfFailed(platform::DataGathering::destroy() != platform::WriteResult::Failed, "the session record");
}

struct Teardown {
    const char* step;
    void (*run)();
};

// The display goes first, while the scenes still live, so no later destructor draws; the session record
// is written near the end, when nothing can add to it any more; the album's manager goes last.
constexpr Teardown teardownOrder[] = {
    {"closeApplicationDisplay", platform::closeApplicationDisplay},
    {"CheatCodeManager::destroy", CheatCodeManager::destroy},
    {"FullScreenHandler::destroyDefault", ui::FullScreenHandler::destroyDefault},
    {"LevelCatalogue::destroy", LevelCatalogue::destroy},
    {"FrameTimer::destroy", platform::FrameTimer::destroy},
    {"SceneManager::destroy", ui::SceneManager::destroy},
    {"PlayerManager::destroy", platform::PlayerManager::destroy},
    {"DialogManager::destroy", ui::DialogManager::destroy},
    {"Application::destroy", platform::Application::destroy},
    {"ResourceManager::destroy", kernel::ResourceManager::destroy},
    {"SoundSystem::destroy", ui::SoundSystem::destroy},
    {"HighScoreManager::destroy", platform::HighScoreManager::destroy},
    {"GameSettings::destroy", platform::GameSettings::destroy},
    {"PropertyStore::destroy", kernel::PropertyStore::destroy},
    {"ObjectFactory::destroy", kernel::ObjectFactory::destroy},
    {"Random::destroy", Random::destroy},
    {"DataGathering::destroy", destroySessionRecord},
    {"ZipArchive::destroy", kernel::ZipArchive::destroy},
    {"AlbumPictures::destroy", AlbumPictures::destroy},
};

void shutDown() {
    // Nothing read from here on is shown: what the loader has queued is dropped, and the join at its end
    // waits for the resource under way at most, not for the queue.
    if (kernel::ResourceManager* resources = kernel::ResourceManager::instance()) {
        resources->stopLoading();
    }
    startSessionRecord();
    leaveCurrentScene();
    saveScoresAndPlayers();
    for (const Teardown& teardown : teardownOrder) {
        announce(teardown.step);
        teardown.run();
    }
}

} // namespace

bool commitChapterMap() {
    ui::SceneManager* manager = ui::SceneManager::instance();
    const ui::Scene* current = manager != nullptr ? manager->currentScene() : nullptr;
    if (current == nullptr || current->getClassInfo() != &PlaySceneVIB::classInfo ||
        !current->isDialogOpen(ids::dialogProgress)) {
        return false;
    }
    announce("DialogProgress::startPendingChapter");
    DialogProgress::startPendingChapter();
    return true;
}

bool decideFullScreen(int desktopWidth, int desktopHeight, bool fullScreenOption) {
    return (desktopWidth <= gameWidth && desktopHeight <= gameHeight) || fullScreenOption;
}

int RunGame() {
    // Sound starts after the window; its library loads meanwhile.
    host::PrepareSound();
    // Emptied once read, and kept until the very end.
    const kernel::SmartPtr<kernel::ValueDocument> settings(new kernel::ValueDocument());
    readStartupSettings(*settings);
    createLogAndFileSource();
    StartupLoad load;
    announce("start loading what start-up builds");
    load.start();
    // Another copy runs (its window was brought forward) or there is no display: the pictures' decoding
    // and the loader thread end first, the rest of what was made so far is not taken down, the process ends
    // with it. Without a display the game has failed to start, and says so in its exit code.
    if (!mayRun()) {
        load.finish();
        kernel::ResourceManager::destroy();
        return host::displayWasRefused() ? 1 : 0;
    }
    removeEarlierLogs();
    createServices();
    const platform::GameOptions& options = readStoredSettings();
    openWindow(options);
    startSound(options);
    loadStartupResources(load);
    loadScoresPlayersAndLevels();
    startFrameTimer();
    if (createScenes()) {
        showFirstScene();
        ui::FrameCheck::startWhenAsked();
        PlayBot::startWhenAsked();
        runMessageLoop();
    }
    shutDown();
    return 0;
}

namespace testing {

void setStepObserver(StepObserver observer) {
    stepObserver = observer;
}

} // namespace testing

} // namespace game
