#include "game/play/PlayBot.h"

#include "engine/platform/Application.h"
#include "engine/platform/FrameTimer.h"
#include "engine/ui/Button.h"
#include "engine/ui/Dialog.h"
#include "game/field/MatchScan.h"
#include "game/field/Pibble.h"
#include "game/field/PlayField.h"
#include "game/foundation/FieldCodes.h"
#include "game/foundation/GameGlobals.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/GameUtilities.h"
#include "game/play/PlayScene.h"
#include "host/System.h"
#include "host/Window.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>
#include <vector>

namespace game {
namespace {

// Where the bot tries to take hold of a pibble, relative to its feet: its body first, then outwards in
// steps of a few pixels over the whole picture.
struct Offset {
    int x;
    int y;
};
constexpr int bodyAboveFeet = 25;
constexpr int searchStep = 3;

const std::vector<Offset>& pibbleOffsets() {
    static const std::vector<Offset> offsets = [] {
        std::vector<Offset> all;
        const int left = -static_cast<int>(Pibble::anchorX);
        const int top = -static_cast<int>(Pibble::anchorY);
        for (int y = top; y < top + Pibble::frameHeight; y += searchStep) {
            for (int x = left; x < left + Pibble::frameWidth; x += searchStep) {
                all.push_back({x, y});
            }
        }
        const auto distance = [](const Offset& o) {
            return o.x * o.x + (o.y + bodyAboveFeet) * (o.y + bodyAboveFeet);
        };
        std::stable_sort(all.begin(), all.end(),
                         [&](const Offset& a, const Offset& b) { return distance(a) < distance(b); });
        return all;
    }();
    return offsets;
}

PlayScene* currentPlayScene() {
    ui::Scene* scene = currentScene();
    if (scene == nullptr || !scene->isKindOf(PlayScene::classInfo) ||
        scene->getState() != ui::Scene::State::Current) {
        return nullptr;
    }
    return static_cast<PlayScene*>(scene);
}

bool takesPresses(const ui::Button& button) {
    return button.isVisible() && button.isEnabled() &&
           static_cast<const kernel::InputListener&>(button).isEnabled() && button.getModifierList().empty();
}

// Which button of which dialog the bot answers.
struct Answer {
    const char* dialog;
    const char* button;
    bool (*applies)();
};
constexpr std::array<Answer, 2> answers{{
    {ids::dialogHint, ids::buttonOk, [] { return true; }},
    {ids::dialogLevelEnd, ids::buttonContinue, [] { return levelEndKind() == levelEndFinished; }},
}};

void report(const std::string& text) {
    host::OutputDebugString(("PlayBot: " + text + "\n").c_str());
}

} // namespace

PlayBot::PlayBot(std::uint32_t seed) : generator(seed) {}

PlayBot* PlayBot::startWhenAsked() {
    const char* text = std::getenv(seedVariable);
    platform::FrameTimer* timer = platform::FrameTimer::instance();
    if (text == nullptr || text[0] == '\0' || timer == nullptr) {
        return nullptr;
    }
    char* end = nullptr;
    const unsigned long seed = std::strtoul(text, &end, 10);
    if (*end != '\0' || text[0] == '-') {
        report(std::string("the seed \"") + text + "\" is no whole number; the game plays without the bot");
        return nullptr;
    }
    auto* bot = new PlayBot(static_cast<std::uint32_t>(seed));
    timer->addListener(bot);
    report("plays with the seed " + std::to_string(static_cast<std::uint32_t>(seed)));
    return bot;
}

void PlayBot::onFrame(std::uint32_t ms) {
    const PlayScene* scene = currentPlayScene();
    reportScene(scene);
    reportDialog(scene);
    if (scene == nullptr) {
        restingMs = 0;
        awaitingAnswer = false;
        chainRunning = false;
        return;
    }
    if (ui::Button* button = buttonToPress(*scene)) {
        thinkAndPress(*button, ms);
        return;
    }
    pressedButton.reset();
    const PlayField* field = scene->getField();
    followChain(field, scene->hasOpenDialog() ? 0 : ms);
    if (field == nullptr || scene->hasOpenDialog() || !waitsForClick(*scene, *field)) {
        restingMs = 0;
        awaitingAnswer = false;
        return;
    }
    thinkAndMove(*field, ms);
}

// Whoever drives the game learns from these lines when play has begun and when it has been left.
void PlayBot::reportScene(const PlayScene* scene) {
    const std::string name = scene != nullptr ? scene->getName() : std::string();
    if (name == sceneName) {
        return;
    }
    if (!sceneName.empty()) {
        report("left " + sceneName);
    }
    if (!name.empty()) {
        report("playing in " + name);
    }
    sceneName = name;
}

// With the dialog's name go the places of its buttons as the dialog shows them, for a driver that answers
// the dialogs the bot leaves alone.
void PlayBot::reportDialog(const PlayScene* scene) {
    const ui::Dialog* dialog = scene != nullptr && !scene->getOpenDialogs().empty()
                                   ? scene->getOpenDialogs().front().get()
                                   : nullptr;
    const std::string name = dialog != nullptr ? dialog->getName() : std::string();
    if (name == dialogName) {
        return;
    }
    dialogName = name;
    if (dialog == nullptr) {
        report("no dialog");
        return;
    }
    std::string line = "dialog " + name;
    appendButtons(*dialog, line);
    report(line);
}

void PlayBot::appendButtons(const ui::GameNode& node, std::string& line) {
    for (const ui::GameNode* child = node.getFirstChild(); child != nullptr;
         child = child->getNextSibling()) {
        if (!child->isVisible() || child->isDead()) {
            continue;
        }
        int x = 0;
        int y = 0;
        if (child->isKindOf(ui::Button::classInfo) &&
            pointOnButton(*static_cast<const ui::Button*>(child), x, y)) {
            line += " " + child->getName() + " " + std::to_string(x) + " " + std::to_string(y);
        }
        appendButtons(*child, line);
    }
}

// A button that is sliding or fading in is not pressed yet.
ui::Button* PlayBot::buttonToPress(const PlayScene& scene) {
    const auto& open = scene.getOpenDialogs();
    if (open.empty()) {
        return nullptr;
    }
    ui::Dialog* newest = open.front().get();
    for (const Answer& answer : answers) {
        if (newest != scene.findDialog(answer.dialog) || !answer.applies()) {
            continue;
        }
        ui::GameNode* node = newest->findChild(answer.button);
        if (node != nullptr && node->isKindOf(ui::Button::classInfo) && newest->isVisible() &&
            takesPresses(*static_cast<ui::Button*>(node))) {
            return static_cast<ui::Button*>(node);
        }
    }
    return nullptr;
}

// What the field itself asks of a click, and what the scene needs to have seen the field at rest first.
bool PlayBot::waitsForClick(const PlayScene& scene, const PlayField& field) {
    return !scene.isInputBlocked() && field.isInputEnabled() && !field.isPaused() && !field.isFrozen() &&
           field.state() == fieldState::idle && !field.animationsRunning() && !field.isRescanPending();
}

void PlayBot::thinkAndPress(ui::Button& button, std::uint32_t ms) {
    if (pressedButton.get() == &button) {
        // Pressed already: the dialog goes in its own time, and a press it missed is made again.
        waitedMs += ms;
        if (waitedMs < answerMs) {
            return;
        }
        pressedButton.reset();
    }
    restingMs += ms;
    if (restingMs < thinkingMs) {
        return;
    }
    restingMs = 0;
    int x = 0;
    int y = 0;
    if (pointOnButton(button, x, y) && clickAt(x, y)) {
        pressedButton = &button;
        waitedMs = 0;
        ++presses;
        report("pressed " + button.getName() + " at (" + std::to_string(x) + ", " + std::to_string(y) + ")");
    }
}

void PlayBot::thinkAndMove(const PlayField& field, std::uint32_t ms) {
    if (awaitingAnswer) {
        waitedMs += ms;
        if (waitedMs < answerMs) {
            return;
        }
        awaitingAnswer = false;
        report("the last click changed nothing; looking again");
    }
    restingMs += ms;
    if (restingMs < thinkingMs) {
        return;
    }
    restingMs = 0;
    Cell move;
    int x = 0;
    int y = 0;
    if (!pickMove(field, generator, move) || !pointOnPibble(field, move, x, y) || !clickAt(x, y)) {
        return;
    }
    ++moves;
    lastMove = move;
    chainRunning = true;
    chainBusy = false;
    chainSteps = 0;
    chainMs = 0;
    awaitingAnswer = true;
    waitedMs = 0;
    report("move " + std::to_string(moves) + ": row " + std::to_string(move.row) + ", column " +
           std::to_string(move.column) + " at (" + std::to_string(x) + ", " + std::to_string(y) + ")");
}

// The steps are read while the field works (it counts them until the move ends); the time runs until it
// rests and takes clicks again, which is the time the player waits, but not while a dialog (a hint, the
// album showing a photograph) holds the player. A level's end stops the count.
void PlayBot::followChain(const PlayField* field, std::uint32_t ms) {
    if (!chainRunning) {
        return;
    }
    if (field == nullptr || field->state() == fieldState::levelOver) {
        chainRunning = false;
        if (field != nullptr) {
            report("level over; score " + std::to_string(field->getScore()));
        }
        return;
    }
    chainMs += ms;
    chainSteps = std::max(chainSteps, field->getComboStep());
    if (field->state() != fieldState::idle) {
        if (!chainBusy) {
            report("move " + std::to_string(moves) + " runs");
        }
        chainBusy = true;
        return;
    }
    if (chainBusy && !field->animationsRunning()) {
        chainRunning = false;
        report("chain: " + std::to_string(chainSteps) + " steps in " + std::to_string(chainMs) +
               " ms; score " + std::to_string(field->getScore()));
    } else if (!chainBusy && chainMs >= answerMs) {
        chainRunning = false;
    }
}

bool PlayBot::pickMove(const PlayField& field, std::mt19937& generator, Cell& move) {
    const std::vector<Cell> possible = possibleMoveCells(field.board());
    if (possible.empty()) {
        return false;
    }
    move = possible[std::uniform_int_distribution<std::size_t>(0, possible.size() - 1)(generator)];
    return true;
}

bool PlayBot::pointOnPibble(const PlayField& field, const Cell& place, int& x, int& y) {
    const Pibble* pibble = field.pibbleAt(place.row, place.column);
    if (pibble == nullptr) {
        return false;
    }
    const int feetX = pibble->getAbsoluteX();
    const int feetY = pibble->getAbsoluteY();
    for (const Offset& offset : pibbleOffsets()) {
        std::int32_t row = 0;
        std::int32_t column = 0;
        if (field.cellAtPoint(feetX + offset.x, feetY + offset.y, row, column) && row == place.row &&
            column == place.column) {
            x = feetX + offset.x;
            y = feetY + offset.y;
            return true;
        }
    }
    return false;
}

bool PlayBot::pointOnButton(const ui::Button& button, int& x, int& y) {
    const graphics::PointF& anchor = button.getAnchorPoint();
    x = static_cast<int>(static_cast<float>(button.getAbsoluteX()) - anchor.getX()) + button.getWidth() / 2;
    y = static_cast<int>(static_cast<float>(button.getAbsoluteY()) - anchor.getY()) + button.getHeight() / 2;
    return button.containsPoint(x, y);
}

bool PlayBot::clickAt(int x, int y) {
    const platform::Application* application = platform::Application::instance();
    host::HWND window = application != nullptr ? application->getWindowHandle() : nullptr;
    if (window == nullptr) {
        return false;
    }
    const host::LPARAM place = host::MAKELPARAM(x, y);
    return host::PostMessage(window, host::WM_MOUSEMOVE, 0, place) &&
           host::PostMessage(window, host::WM_LBUTTONDOWN, host::MK_LBUTTON, place) &&
           host::PostMessage(window, host::WM_LBUTTONUP, 0, place);
}

} // namespace game
