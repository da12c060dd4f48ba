#pragma once

#include "engine/kernel/InputListener.h"
#include "engine/kernel/ListenerGroup.h"
#include "engine/kernel/SmartPtr.h"
#include "engine/platform/InputDispatcher.h"
#include "engine/ui/Scene.h"

#include <cstdint>
#include <map>
#include <string>

namespace game {

// Hears every character typed, whatever scene is current and whatever dialog is open, keeps the tail of
// the typed text that could still become a registered code, and calls a code's handler once it is typed
// whole in the scene it asks for. It is an input dispatcher of its own, ticked by the frame timer after the
// scene manager, the application and the sound system, so a handler runs after the current scene's frame.
// Characters are never taken: every other listener still gets them.
class CheatCodeManager : public platform::InputDispatcher {
public:
    // The current scene and the code's key letter.
    using Handler = void (*)(ui::Scene* scene, char key);

    struct Entry {
        // None: typing the code only clears what was typed.
        Handler handler = nullptr;
        char key = 0;
        // None: any scene.
        kernel::SmartPtr<ui::Scene> scene;
    };

    // Registers with the application's event dispatcher and appends itself to the frame timer's listeners,
    // where there are such. While a manager exists, it is returned unchanged.
    static CheatCodeManager* create();
    // Null before create and after destroy.
    static CheatCodeManager* instance();
    // Leaves the event dispatcher and the frame timer, and lets the codes and their scenes go at once.
    static void destroy();

    // Stores the entry under the code, replacing one stored before. Codes are matched byte for byte; an
    // empty code is never typed and is not stored.
    void registerCode(const std::string& code, Handler handler, char key, ui::Scene* requiredScene);
    // One typed character: appended, then the typed text is trimmed from the front until it is a code or
    // the beginning of one (firing a complete code on the way) or empty.
    void typeCharacter(std::uint32_t character);
    // Fires the code that typed is, when its scene is current (typed is then cleared); true when typed is,
    // or may still become, a code.
    bool match();

    const std::string& getTyped() const { return typed; }
    const std::map<std::string, Entry>& getCodes() const { return codes; }

    static constexpr kernel::ClassInfo classInfo{&platform::InputDispatcher::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    // The manager's ear in its own listener group: characters go to the manager, key releases to nobody.
    class KeyListener : public kernel::InputListener {
    public:
        explicit KeyListener(CheatCodeManager& manager) : manager(manager) {}
        bool onKeyUp(std::uint32_t /*keyCode*/) override { return false; }
        bool onChar(std::uint32_t charCode) override {
            manager.typeCharacter(charCode);
            return false;
        }

    private:
        CheatCodeManager& manager;
    };

    CheatCodeManager();
    ~CheatCodeManager() override;

    void startListening();
    void stopListening();
    void trim();
    bool fireIfComplete();
    bool beginsACode() const;

    KeyListener keyListener{*this};
    kernel::ListenerGroup listenerGroup;
    std::map<std::string, Entry> codes;
    std::string typed;
};

} // namespace game
