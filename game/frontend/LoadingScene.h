#pragma once

#include "engine/kernel/SmartPtr.h"
#include "engine/ui/Label.h"
#include "engine/ui/ModifierFrame.h"
#include "engine/ui/Sprite.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/PibbleScene.h"

#include <cstdint>

namespace kernel {
class NodeValue;
class Value;
} // namespace kernel

namespace ui {
class GameNode;
}

namespace game {

// The first scene of every run: it requests the resource groups the front end needs and shows the logo, a
// loading bar and an information text while the loader thread works. When loading has finished it plays
// the jingle and the logo's one pass, then asks for what the player leaves for (the selection scene's
// background, the first start's comic), and waits for a click that leads on to the selection scene; on a
// first start in a window it asks once whether to switch to full screen. While it loads, the game runs at a
// few frames per second.
class LoadingScene : public PibbleScene {
public:
    // The scene's keys; the components are found on the first entry.
    explicit LoadingScene(kernel::NodeValue& settings);
    ~LoadingScene() override;

    // The scene's load slot, run on the first entry.
    void load() override { init(); }
    void init();
    void onEnter() override;
    // Every frame: the bar follows the progress until loading is done, then the finished state.
    void onUpdate(std::uint32_t elapsedMs) override;
    // The scene's one input handler: the left button released anywhere in the scene.
    bool onLeftButtonUp(int x, int y, std::uint32_t keyFlags) override { return onClick(x, y, keyFlags); }
    bool onClick(int x, int y, std::uint32_t keyFlags);

    // The yes handler of the full-screen question.
    static void onFullScreenYes(void* receiver, ui::GameNode* sender);
    // The loader's progress as 0..100.
    static float loadingPercent();
    // For a full-screen dialog that covers the scene for good (the first start's comic, which leads on to
    // the selection scene): the scene's own pictures go and its pulsing information text hides; its other
    // texts and the jingle stay.
    void releaseHiddenPictures();

    // Null when the declaration lacks the component.
    ui::Sprite* getLogoAnimation() const { return logoAnimation.get(); }
    ui::Sprite* getLoadingBar() const { return loadingBar.get(); }
    ui::Label* getInfoLabel() const { return infoLabel.get(); }
    ui::Label* getInfoBlurLabel() const { return infoBlurLabel.get(); }
    bool isLoadingFinished() const { return loadingFinished; }
    bool wasFullScreenAsked() const { return fullScreenQuestion; }

    static kernel::Object* createInstance(kernel::Value& settings);

    static constexpr kernel::ClassInfo classInfo{&PibbleScene::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

    static constexpr const char* partnersFile = "media/properties/partners.xml";
    static constexpr const char* selectionScene = ids::sceneSelection;
    static constexpr const char* fullScreenMessage = ids::textFullScreenMessage;
    // The logo's picture, a strip of its frames in the scene's group.
    static constexpr const char* logoImage = ids::imageLoadingLogo;
    // The logo's resting picture, shown until loading has finished.
    static constexpr int logoRestingFrame = 12;
    static constexpr int loadingFps = 5;
    static constexpr int finishedFps = 60;

private:
    void addPartners();
    void addPartner(kernel::Value& declaration);
    void findComponents();
    template <class T> kernel::SmartPtr<T> findNamed(const char* name);

    void requestGroups();
    void requestGroupsForLeaving();
    void loadGroupsForLeaving();
    void startLoadingMusic();

    void showProgress();
    void finishLoading();
    void playJingle();
    void showFinishedTexts();
    void loadAlbumOrder();
    void pulseInfoLabels();
    void playLogoOnce();
    bool isLogoPassing() const;
    void keepOnlyRestingLogo();
    void askFullScreenOnce();
    void leaveWithProfile();
    void leaveOnFirstStart();
    static void dropPictures(ui::GameNode& node);

    kernel::SmartPtr<ui::Sprite> logoAnimation;
    kernel::SmartPtr<ui::Sprite> loadingBar;
    kernel::SmartPtr<ui::Label> infoLabel;
    kernel::SmartPtr<ui::Label> infoBlurLabel;
    // The logo's one pass while it runs.
    kernel::SmartPtr<ui::ModifierFrame> logoPass;
    bool loadingFinished = false;
    // Whether the groups shown only after this scene were asked for.
    bool leavingGroupsRequested = false;
    // Whether the question was put: it closes itself, so no pointer to it is kept.
    bool fullScreenQuestion = false;
};

} // namespace game
