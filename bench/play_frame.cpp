// The cost of a busy play frame: the ACTION scene on its full field of ten columns by nine rows, run headless
// in the runnable tree with the game's own data and art (SDL's dummy drivers, the real renderer and painters
// into the application's back buffer). Play is kept busy: whenever the field rests a possible move is
// clicked, so pibbles drop, jump in, get removed, fall and refill, with the cascades that follow; every few
// rests a party pibble is made (as the typed code does), so its three big stars fly in over the field and a
// later move sets off its party match; every few frames a big combo's points, sign and particle burst are
// added on top, and the score counter keeps counting. The player's hints are off: a hint is a dialog that
// stops play, and a stopped field would be measured instead of a busy one.
//
// Each iteration is one frame of 16 ms: the scene's update, its paint and the cleaner. "max_ms" is the
// slowest frame seen (wall clock), "max_cpu_ms" the most processor time the main thread spent on one frame
// (what a busy machine cannot inflate), "over_2ms" how many frames took longer than 2 ms; "stars_max_ms" is
// the slowest frame while big party stars were in flight, "star_frames" how many frames had them,
// "cascade_frames" how many ran while a move's matches were being removed or refilled and
// "star_cascade_frames" how many had both (a group of six making a party pibble). The level's start
// (laying out the field, then the frames until it rests) is not among them: "start_max_cpu_ms" is its
// slowest step.
//
// Run from a release tree whose runnable tree is built (the default target builds it):
//   cmake --build build/bench --target play_frame && build/bench/bench/play_frame

#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/PropertyStore.h"
#include "engine/kernel/ResourceManager.h"
#include "engine/kernel/ValueDocument.h"
#include "engine/platform/Application.h"
#include "engine/platform/PlayerManager.h"
#include "engine/ui/DialogManager.h"
#include "engine/ui/Scene.h"
#include "engine/ui/SceneManager.h"
#include "engine/ui/SceneRootNode.h"
#include "engine/ui/Sprite.h"
#include "game/field/PlayField.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/LevelFile.h"
#include "game/foundation/PibblePlayer.h"
#include "game/foundation/Random.h"
#include "game/play/PlayScene.h"
#include "host/Time.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

namespace {

constexpr std::uint32_t frameMs = 16;
constexpr int burstEvery = 40;
// Every this many rests of the field a party pibble is made.
constexpr int partyEvery = 6;

double threadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// The game's data and the groups a play scene uses, loaded on the loader thread.
class PlayData {
public:
    PlayData() {
        std::filesystem::current_path(PIBBLES_RUN_DIR);
        kernel::PropertyStore::create();
        kernel::SmartPtr<kernel::ValueDocument> settings = new kernel::ValueDocument("");
        settings->addFile("media/properties/default.xml");
        settings->addFile("locale/properties/text.xml");
        settings->load();
        kernel::ObjectFactory::instance()->createChildren(*settings);
        kernel::ResourceManager* resources = kernel::ResourceManager::create();
        resources->addDefinitionPath("media/properties/resources.xml");
        resources->loadDefinitions();
        resources->setActive();
        for (const char* group : {game::ids::groupPreloading, game::ids::groupSceneLoad,
                                  game::ids::groupDialogs, game::ids::groupButtons, game::ids::groupPibbles,
                                  game::ids::groupScenePlay, game::ids::groupBackgrounds}) {
            // Measured without its pictures, the frame would tell nothing.
            if (!resources->loadGroup(group)) {
                std::fprintf(stderr, "play_frame: the group %s has nothing to load\n", group);
            }
        }
        while (!resources->isLoadingDone()) {
            host::Sleep(10);
        }
    }
    ~PlayData() {
        kernel::ResourceManager::destroy();
        kernel::PropertyStore::destroy();
    }
};

// The ACTION scene entered with its level laid out and play begun.
class BusyGame {
public:
    explicit BusyGame(int depth) {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        if (depth == 16) {
            setenv("PIBBLES_DEPTH", "16", 1);
        } else {
            unsetenv("PIBBLES_DEPTH");
        }
        platform::Application::create("play frame", 640, 480, false, 0, 101);
        ui::DialogManager::create(ui::DialogManager::defaultFileName);
        game::Random::create()->setSeed(20261207);
        game::PibblePlayer* player = new game::PibblePlayer("Bench");
        player->setShowHints(false);
        for (std::int32_t mode : {game::gameModeVib, game::gameModeAction, game::gameModeRelax}) {
            player->setSeenHowToPlay(mode, true);
        }
        platform::PlayerManager::create()->addPlayer(player);
        manager = ui::SceneManager::create();
        kernel::Object* made = ui::DialogManager::instance()->createDialog(game::ids::scenePlayAction);
        scene = static_cast<game::PlayScene*>(made);
        ui::RegisterScene(game::ids::scenePlayAction, scene);
        manager->changeScene(game::ids::scenePlayAction);
        manager->onFrame(frameMs);
        // The level laid out anew and its first frames until the field rests, each timed as a frame.
        double cpuStart = threadCpuMs();
        field()->restart(new game::LevelFile("media/levels/level_action.xml"));
        field()->announceReady();
        startSlowest = threadCpuMs() - cpuStart;
        for (int i = 0; i < 200 && field()->state() != game::fieldState::idle; ++i) {
            cpuStart = threadCpuMs();
            manager->onFrame(frameMs);
            startSlowest = std::max(startSlowest, threadCpuMs() - cpuStart);
        }
    }
    ~BusyGame() {
        scene->onLeave();
        ui::SceneManager::destroy();
        platform::PlayerManager::destroy();
        game::Random::destroy();
        ui::DialogManager::destroy();
        platform::closeApplicationDisplay();
        platform::Application::destroy();
    }

    game::PlayField* field() const { return game::PlayField::instance(); }

    // Keeps play going: a click when the field rests (now and then a party pibble first), a big combo's
    // show now and then.
    void keepBusy(int frame) {
        game::PlayField& board = *field();
        if (board.state() == game::fieldState::idle && !board.animationsRunning()) {
            if (++rests % partyEvery == 0 && board.makeRandomPartyPibble()) {
                return;
            }
            clickAMove(board);
        }
        if (frame % burstEvery == 0) {
            game::GameEvent match = game::GameEvent::of(game::eventType::match);
            match.words[game::matchWord::comboStep] = 3;
            match.words[game::matchWord::pibbles] = 11;
            match.words[game::matchWord::points] = 2490;
            match.words[game::matchWord::x] = 200 + (frame * 37) % 300;
            match.words[game::matchWord::y] = 150 + (frame * 53) % 250;
            match.words[game::matchWord::colour] = 1 + frame % 7;
            board.broadcast(match);
            board.setScore(board.getScore() + 2490);
        }
    }

    // Whether big party stars are over the scene: they fly in the scene's root.
    bool starsInFlight() const {
        kernel::ResourceManager* resources = kernel::ResourceManager::instance();
        const kernel::Object* star =
            resources->getResource(game::ids::imageBigPartyStar, game::ids::groupScenePlay);
        for (ui::GameNode* node = scene->getRootNode()->getFirstChild(); node != nullptr;
             node = node->getNextSibling()) {
            if (node->isKindOf(ui::Sprite::classInfo) && !node->isDead() &&
                static_cast<const ui::Sprite*>(node)->getImage() == star) {
                return true;
            }
        }
        return false;
    }

    bool cascading() const {
        const std::int32_t state = field()->state();
        return state == game::fieldState::removeMatches || state == game::fieldState::refill ||
               state == game::fieldState::partyMatch || state == game::fieldState::settle;
    }

    ui::SceneManager* manager = nullptr;
    game::PlayScene* scene = nullptr;
    // The most processor time of the main thread on one step of the level's start.
    double startSlowest = 0.0;

private:
    int rests = 0;

    // The first cell marked as a move, clicked where its pibble takes the pointer.
    static void clickAMove(game::PlayField& board) {
        for (std::int32_t row = 1; row <= board.rowCount(); ++row) {
            for (std::int32_t column = 1; column <= board.columnCount(); ++column) {
                if (board.moveMark(row, column) == 0) {
                    continue;
                }
                const int x = board.columnX(row, column);
                for (int above = 30; above <= 70; above += 10) {
                    std::int32_t hitRow = 0;
                    std::int32_t hitColumn = 0;
                    const int y = board.rowY(row, column) - above;
                    if (board.cellAtPoint(x, y, hitRow, hitColumn) && hitRow == row && hitColumn == column) {
                        board.onLeftButtonDown(x, y, 0, false);
                        return;
                    }
                }
            }
        }
    }
};

void BM_BusyPlayFrame(benchmark::State& state) {
    static PlayData data;
    BusyGame game(static_cast<int>(state.range(0)));
    double slowest = 0.0;
    double slowestCpu = 0.0;
    double slowestWithStars = 0.0;
    double over = 0;
    double starFrames = 0;
    double cascadeFrames = 0;
    double starsInCascade = 0;
    int frame = 0;
    for (auto _ : state) {
        game.keepBusy(++frame);
        const double cpuStart = threadCpuMs();
        const auto start = std::chrono::steady_clock::now();
        game.manager->onFrame(frameMs);
        const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        const double cpu = threadCpuMs() - cpuStart;
        state.PauseTiming();
        slowest = std::max(slowest, took.count());
        slowestCpu = std::max(slowestCpu, cpu);
        over += took.count() > 2.0 ? 1 : 0;
        const bool stars = game.starsInFlight();
        if (stars) {
            ++starFrames;
            slowestWithStars = std::max(slowestWithStars, took.count());
        }
        cascadeFrames += game.cascading() ? 1 : 0;
        starsInCascade += stars && game.cascading() ? 1 : 0;
        state.ResumeTiming();
    }
    state.counters["over_2ms"] = over;
    state.counters["max_ms"] = slowest;
    state.counters["max_cpu_ms"] = slowestCpu;
    state.counters["stars_max_ms"] = slowestWithStars;
    state.counters["star_frames"] = starFrames;
    state.counters["cascade_frames"] = cascadeFrames;
    state.counters["star_cascade_frames"] = starsInCascade;
    state.counters["start_max_cpu_ms"] = game.startSlowest;
    state.counters["particles"] = static_cast<double>(game.scene->particleTotal());
    state.SetLabel(std::to_string(state.range(0)) + "-bit screen");
}
BENCHMARK(BM_BusyPlayFrame)->Arg(32)->Arg(16)->Unit(benchmark::kMicrosecond)->Iterations(1500);

} // namespace

BENCHMARK_MAIN();
