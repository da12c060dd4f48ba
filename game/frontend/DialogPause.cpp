#include "game/frontend/DialogPause.h"

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/platform/Application.h"
#include "engine/ui/CallbackModifier.h"
#include "engine/ui/DelayModifier.h"
#include "engine/ui/FadeModifier.h"
#include "engine/ui/Scene.h"
#include "engine/ui/Sprite.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/GameUtilities.h"

namespace game {

namespace {

const kernel::ClassRegistrar registrar("DialogPause", DialogPause::createInstance);

constexpr int opaque = 255;

} // namespace

DialogSection DialogPause::pictures{ids::groupScenePause};

DialogPause::DialogPause(kernel::NodeValue& settings) : ui::Dialog(pictures.readFor(settings)) {
    addModifier(new ui::FadeModifier(0, opaque, propertyInt(ids::cfgPauseFadeIn)));
}

DialogPause::~DialogPause() {
    pictures.letGo();
}

kernel::Object* DialogPause::createInstance(kernel::Value& settings) {
    return settings.isNode() ? new DialogPause(settings.asNode()) : nullptr;
}

void DialogPause::activate() {
    shown = true;
    ui::Dialog::activate();
    playSound(ids::soundPause, ids::groupGameSounds);
}

void DialogPause::deactivate() {
    if (!shown) {
        return;
    }
    shown = false;
    playSound(ids::soundUnpause, ids::groupGameSounds);
    ui::Dialog::deactivate();
}

bool DialogPause::overContinue(int x, int y) {
    ui::GameNode* label = findComponent(ids::labelPauseContinue);
    return label != nullptr && label->isKindOf(ui::Sprite::classInfo) &&
           static_cast<ui::Sprite*>(label)->containsPoint(x, y);
}

void DialogPause::onMouseMove(int x, int y, std::uint32_t keyFlags) {
    ui::Dialog::onMouseMove(x, y, keyFlags);
    platform::setApplicationCursor(overContinue(x, y) ? platform::cursorHand : platform::cursorArrow);
}

// The wait blocks the close until the fade is over; a second click queues its own sequence behind the
// first, whose close leaves it nothing to do.
bool DialogPause::onLeftButtonUp(int x, int y, std::uint32_t keyFlags) {
    ui::Dialog::onLeftButtonUp(x, y, keyFlags);
    const int fadeOut = propertyInt(ids::cfgPauseFadeOut);
    addModifier(new ui::FadeModifier(opaque, 0, fadeOut));
    addModifier(new ui::DelayModifier(fadeOut));
    addModifier(new ui::CallbackModifier(this, onFadedOut));
    return true;
}

void DialogPause::onFadedOut(void* dialog, ui::GameNode* /*node*/) {
    static_cast<DialogPause*>(dialog)->close();
}

// Removing the dialog closes it too: closing it first as well would take it down twice. The dialog's name
// is its key in the scene.
void DialogPause::close() {
    ui::Scene* scene = currentScene();
    if (scene == nullptr || scene->findDialog(getName()) != this) {
        return;
    }
    scene->removeDialog(getName());
    platform::setApplicationCursor(platform::cursorArrow);
}

} // namespace game
