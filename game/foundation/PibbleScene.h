#pragma once

#include "engine/platform/AppEventListener.h"
#include "engine/ui/Scene.h"
#include "game/foundation/GameGlobals.h"
#include "game/foundation/GameIds.h"

#include <cstdint>

namespace kernel {
class NodeValue;
class Value;
} // namespace kernel

namespace game {

// The base of the game's own scenes. While current it hears the window's focus changes (a play scene
// pauses and the music fades), entering it switches the default full-screen handler on, and the first
// load of any game scene installs the default tool-tip.
class PibbleScene : public ui::Scene, public platform::AppEventListener {
public:
    static constexpr const char* pauseDialogName = ids::dialogPause;

    // Opens "DIALOG_PAUSE" in the current scene when the scene is a play scene. The play scenes and the
    // game's dialogs are built on top of this class, so the layer that knows both installs it; without
    // one, losing the focus only fades the music.
    using PauseOnFocusLossHook = void (*)(PibbleScene& scene);
    static void setPauseOnFocusLossHook(PauseOnFocusLossHook hook);

    PibbleScene() = default;
    explicit PibbleScene(kernel::NodeValue& settings);
    ~PibbleScene() override;

    void onEnter() override;
    void onLeave() override;
    // The scene's load.
    void load() override { createDefaultToolTip(); }
    // Installs the default tool-tip when the scene manager has none yet, then loads the scene.
    virtual void createDefaultToolTip();

    void onAppEvent(std::uint32_t message, std::uint32_t wParam, std::uint32_t lParam) override;

    // Hints, pauses and field announcements wait while this is true.
    bool hasOpenDialog() const { return !getOpenDialogs().empty(); }

    // What the field asks of the scene it plays in; the play scenes fill them, every other scene has
    // nothing to add. The scene's own values of a stored game go into the level's "properties".
    virtual void saveProperties(kernel::NodeValue& /*properties*/) {}
    // The play time not yet added to the player's seconds played is added now.
    virtual void flushPlayTime() {}
    // A collectable was earned and queued for the field.
    virtual void onCollectableUnlocked(std::int32_t /*id*/) {}
    // The mode the scene plays (GameGlobals.h); the other scenes play none.
    virtual std::int32_t playingMode() const { return gameModeNone; }
    // Writes the running game to the current player's saved game of the scene's mode.
    virtual void saveGame() {}
    // The last save of the running game did not reach the disk: leaving now would lose the play since the
    // save before it, so the player is told first.
    virtual bool gameSaveFailed() const { return false; }
    // Leaving the running game (for another scene, or out of the program): the step is taken once the game
    // is kept as it stands. A play scene lets a move in progress end first; the other scenes keep no game
    // and take the step at once.
    virtual void leaveGame(void (*step)()) { step(); }
    // The level-end dialog's choices in the VIB mode: on to the next level (or the chapter's or the game's
    // end) through a fade to black, and the lost level again through the same fade. The other scenes have
    // no such level course.
    virtual void advanceWithFade() {}
    virtual void retryLevelWithFade() {}
    // The level-end dialog continued: after a won level (the mode's next level) and after a lost one (the
    // mode's game over).
    virtual void gameFinishedForMode() {}
    virtual void gameFailedForMode() {}
    // The chapter map's choice: the VIB scene plays this chapter and level from now on. The other scenes
    // have no chapters.
    virtual void setVibChapterAndLevel(std::int32_t /*chapter*/, std::int32_t /*level*/) {}

    // What the typed codes ask of the scene that plays a level; every other scene plays none and does
    // nothing. The running level ends at once as won or as lost, as if the scene's own test had found it so.
    virtual bool playsLevel() const { return false; }
    virtual void finishLevelNow() {}
    virtual void failLevelNow() {}
    // The photograph of the collectable is taken as when a match has removed its pibble.
    virtual void takeCollectablePhoto(std::int32_t /*collectableId*/) {}
    // A plain pibble of the field, drawn at random, becomes a party pibble; only while the field is idle.
    virtual void makeRandomPartyPibble() {}
    // The profile dialogs changed the players: the selection scene shows the current player's name again.
    // The other scenes greet nobody.
    virtual void updateWelcomeText() {}

    // The scene manager's current scene when it is one of the game's; null otherwise.
    static PibbleScene* current();

    static kernel::Object* createInstance(kernel::Value& settings);

    static constexpr kernel::ClassInfo classInfo{&ui::Scene::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    static void installDefaultToolTip();
    void listenToApplication(bool listen);
    void onFocusLost();
    void onFocusGained();
};

} // namespace game
