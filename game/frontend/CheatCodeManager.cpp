#include "game/frontend/CheatCodeManager.h"

#include "engine/platform/Application.h"
#include "engine/platform/EventDispatcher.h"
#include "engine/platform/FrameTimer.h"
#include "engine/ui/SceneManager.h"

namespace game {

namespace {

CheatCodeManager* current = nullptr;

// Codes are single bytes: a character beyond them is part of no code.
constexpr std::uint32_t lastByte = 0xFF;

platform::EventDispatcher* windowEvents() {
    platform::Application* application = platform::Application::instance();
    return application != nullptr ? application->getEventDispatcher() : nullptr;
}

} // namespace

CheatCodeManager* CheatCodeManager::create() {
    if (current == nullptr) {
        current = new CheatCodeManager();
        current->addRef();
        current->startListening();
    }
    return current;
}

CheatCodeManager* CheatCodeManager::instance() {
    return current;
}

// The frame timer holds the manager until its next turn; the codes (and the scenes they name) go now.
void CheatCodeManager::destroy() {
    CheatCodeManager* manager = current;
    current = nullptr;
    if (manager == nullptr) {
        return;
    }
    manager->stopListening();
    manager->codes.clear();
    manager->typed.clear();
    manager->release();
}

CheatCodeManager::CheatCodeManager() {
    listenerGroup.setCurrent(&keyListener);
    addListener(&listenerGroup);
}

CheatCodeManager::~CheatCodeManager() {
    stopListening();
    removeListener(&listenerGroup);
}

// Appended after the frame listeners already there, so the typed characters are handled once the scene,
// the application and the sound system have had their frame.
void CheatCodeManager::startListening() {
    if (platform::EventDispatcher* events = windowEvents()) {
        events->addListener(this);
    }
    if (platform::FrameTimer* timer = platform::FrameTimer::instance()) {
        timer->addListener(this);
    }
}

// The event dispatcher does not count its listeners, so it must not keep a manager that is going.
void CheatCodeManager::stopListening() {
    if (platform::EventDispatcher* events = windowEvents()) {
        events->removeListener(this);
    }
    if (isRegistered()) {
        setRemoveRequested(true);
    }
}

void CheatCodeManager::registerCode(const std::string& code, Handler handler, char key,
                                    ui::Scene* requiredScene) {
    if (code.empty()) {
        return;
    }
    codes[code] = Entry{handler, key, requiredScene};
}

void CheatCodeManager::typeCharacter(std::uint32_t character) {
    if (character > lastByte) {
        typed.clear();
        return;
    }
    typed.push_back(static_cast<char>(character));
    trim();
}

// What is left is the longest tail of the typed text that is a code or begins one; a code may fire in any
// pass.
void CheatCodeManager::trim() {
    while (!typed.empty() && !match()) {
        typed.erase(0, 1);
    }
}

bool CheatCodeManager::match() {
    return fireIfComplete() || beginsACode();
}

// A complete code typed in another scene than its own stays typed: it still begins itself.
bool CheatCodeManager::fireIfComplete() {
    const auto found = codes.find(typed);
    if (found == codes.end()) {
        return false;
    }
    const ui::SceneManager* manager = ui::SceneManager::instance();
    ui::Scene* scene = manager != nullptr ? manager->currentScene() : nullptr;
    const Entry entry = found->second;
    if (entry.scene && entry.scene.get() != scene) {
        return false;
    }
    // Held: the handler may change scenes or let the manager go.
    const kernel::SmartPtr<CheatCodeManager> keep(this);
    if (entry.handler != nullptr) {
        entry.handler(scene, entry.key);
    }
    typed.clear();
    return true;
}

bool CheatCodeManager::beginsACode() const {
    for (const auto& [code, entry] : codes) {
        if (code.compare(0, typed.size(), typed) == 0) {
            return true;
        }
    }
    return false;
}

} // namespace game
