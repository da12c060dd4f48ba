#include "game/frontend/DialogHowToPlay.h"

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "game/field/FieldSounds.h"
#include "game/field/PlayField.h"
#include "game/foundation/GameIds.h"

namespace game {

namespace {

const kernel::ClassRegistrar registrar("DialogHowToPlay", DialogHowToPlay::createInstance);

} // namespace

DialogHowToPlay::DialogHowToPlay(kernel::NodeValue& settings) : DialogPibble(settings) {
    bindCallback(ids::buttonPlay, this, onPlay, listenerList());
}

kernel::Object* DialogHowToPlay::createInstance(kernel::Value& settings) {
    return settings.isNode() ? new DialogHowToPlay(settings.asNode()) : nullptr;
}

void DialogHowToPlay::onPlay(void* dialog, ui::GameNode* sender) {
    playFieldSound(ids::soundClickPlay);
    if (PlayField* field = PlayField::instance()) {
        field->announceReady();
    }
    closeSelf(dialog, sender);
}

} // namespace game
