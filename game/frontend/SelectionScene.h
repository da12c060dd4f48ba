#pragma once

#include "engine/kernel/SmartPtr.h"
#include "engine/ui/Button.h"
#include "engine/ui/Label.h"
#include "engine/ui/Sprite.h"
#include "engine/ui/TextButton.h"
#include "game/foundation/PibbleScene.h"

#include <cstdint>
#include <string>

namespace kernel {
class NodeValue;
class Value;
} // namespace kernel

namespace ui {
class GameNode;
class Scene;
} // namespace ui

namespace game {

// The game's main menu. From it the player starts one of the three modes (asked first whether to continue
// a saved game, and which difficulty once the mode's hard difficulty is unlocked), changes the player,
// opens the settings, the help and the album, and leaves the game. Its first entry in a run makes a
// profile when there is none or offers to continue the game that ran when the program last ended; each
// later entry announces at most one newly unlocked hard difficulty. It also registers the typed codes.
class SelectionScene : public PibbleScene {
public:
    // The scene's keys; then the codes are registered with the code manager, when there is one.
    explicit SelectionScene(kernel::NodeValue& settings);
    ~SelectionScene() override;

    static kernel::Object* createInstance(kernel::Value& settings);

    // The scene's load slot, run on the first entry: the default tool-tip, the components and the buttons.
    void load() override { bind(); }
    void bind();
    void onEnter() override;
    // No saved game is offered for continuing once the player has left the menu.
    void onLeave() override;

    // The welcome line with the player's name, and the change-name button, shown only with a profile.
    void updateWelcomeText() override;
    // The first-time explanations of the special pibbles are shown again in the next game.
    void resetSeenFlags();

    // The buttons' handlers; the receiver is the scene.
    static void onActionClicked(void* scene, ui::GameNode* sender);
    static void onRelaxClicked(void* scene, ui::GameNode* sender);
    static void onVibClicked(void* scene, ui::GameNode* sender);
    static void onHelpClicked(void* scene, ui::GameNode* sender);
    static void onAlbumClicked(void* scene, ui::GameNode* sender);
    static void onSettingsClicked(void* scene, ui::GameNode* sender);
    static void onLeaveClicked(void* scene, ui::GameNode* sender);
    static void onChangeNameClicked(void* scene, ui::GameNode* sender);
    // The answers of the questions the scene asks.
    static void onLeaveYes(void* scene, ui::GameNode* sender);
    static void onContinueSavegame(void* scene, ui::GameNode* sender);
    static void onNewGame(void* scene, ui::GameNode* sender);
    static void onDifficultyNormal(void* scene, ui::GameNode* sender);
    static void onDifficultyHard(void* scene, ui::GameNode* sender);
    static void onAutoContinueYes(void* scene, ui::GameNode* sender);

    // The handler of every code the scene registers, by the code's key letter; the scene is the current
    // one. Nothing happens without a profile.
    static void onCheatCode(ui::Scene* scene, char key);

    // The play scene the next start goes to; empty until a mode is chosen.
    const std::string& getPendingScene() const { return pendingScene; }
    bool isFirstEnter() const { return firstEnter; }
    // Null when the declaration lacks the component.
    ui::Sprite* getVibHighlight() const { return vibHighlight.get(); }
    ui::Button* getActionButton() const { return actionButton.get(); }
    ui::Button* getRelaxButton() const { return relaxButton.get(); }
    ui::Button* getVibButton() const { return vibButton.get(); }
    ui::Button* getHelpButton() const { return helpButton.get(); }
    ui::Button* getAlbumButton() const { return albumButton.get(); }
    ui::Button* getSettingsButton() const { return settingsButton.get(); }
    ui::Button* getLeaveButton() const { return leaveButton.get(); }
    ui::TextButton* getChangeNameButton() const { return changeNameButton.get(); }
    ui::Label* getChangeNameBlurLabel() const { return changeNameBlurLabel.get(); }
    ui::Label* getWelcomeLabel() const { return welcomeLabel.get(); }
    ui::Label* getWelcomeBlurLabel() const { return welcomeBlurLabel.get(); }

    static constexpr kernel::ClassInfo classInfo{&PibbleScene::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

    // The widest the welcome line may be (pixels): the room under the game's name between the two pibbles
    // on their clouds. Its font shows a name of twelve usual letters whole, glow and all; only names of
    // the widest letters are shortened.
    static constexpr int welcomeWidth = 370;

private:
    void registerCheatCodes();
    void findComponents();
    template <class T> kernel::SmartPtr<T> findNamed(const char* name);
    void bindButtons();

    void enterFirstTime();
    void offerAutoContinue();
    void announceHardMode();
    void playSelectionMusic();
    void releaseLoadingScene();
    void requestPlayGroups();

    void chooseMode(const char* playScene, std::int32_t mode);
    void newGame();
    void askDifficulty();
    void startPlay(std::int32_t kind, std::int32_t difficulty);

    kernel::SmartPtr<ui::Sprite> vibHighlight;
    kernel::SmartPtr<ui::Button> actionButton;
    kernel::SmartPtr<ui::Button> relaxButton;
    kernel::SmartPtr<ui::Button> vibButton;
    kernel::SmartPtr<ui::Button> helpButton;
    kernel::SmartPtr<ui::Button> albumButton;
    kernel::SmartPtr<ui::Button> settingsButton;
    kernel::SmartPtr<ui::Button> leaveButton;
    kernel::SmartPtr<ui::TextButton> changeNameButton;
    kernel::SmartPtr<ui::Label> changeNameBlurLabel;
    kernel::SmartPtr<ui::Label> welcomeLabel;
    kernel::SmartPtr<ui::Label> welcomeBlurLabel;
    std::string pendingScene;
    bool firstEnter = true;
};

} // namespace game
