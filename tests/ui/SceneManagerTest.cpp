#include "engine/ui/SceneManager.h"
#include "engine/kernel/InputListener.h"
#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/ui/DialogManager.h"
#include "engine/ui/Scene.h"
#include "engine/ui/SceneTransition.h"
#include "host/Window.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using ui::Scene;
using ui::SceneManager;

namespace {

std::vector<std::string> events;

class ProbeScene : public Scene {
public:
    ProbeScene() = default;
    explicit ProbeScene(kernel::NodeValue& settings) : Scene(settings) {}
    void onEnter() override {
        events.push_back(getName() + " enter");
        Scene::onEnter();
    }
    void onLeave() override {
        events.push_back(getName() + " leave");
        Scene::onLeave();
    }
    void onUpdate(std::uint32_t) override { events.push_back(getName() + " update"); }
};

const kernel::ClassRegistrar registerProbe("ProbeScene", [](kernel::Value& settings) -> kernel::Object* {
    return new ProbeScene(settings.asNode());
});

// Kills itself in its first update and reports its end.
class MortalNode : public ui::GameNode {
public:
    explicit MortalNode(bool* gone) : gone(gone) {}
    ~MortalNode() override { *gone = true; }
    void onUpdate(std::uint32_t) override { kill(); }
    bool* gone;
};

// Takes no key, so every group up to an exclusive one hears it.
class KeyRecorder : public kernel::InputListener {
public:
    explicit KeyRecorder(std::string name) : name(std::move(name)) {}
    bool onKeyDown(std::uint32_t) override {
        events.push_back(name);
        return false;
    }
    std::string name;
};

// Counts the left-button releases that reach it.
class ClickRecorder : public kernel::InputListener {
public:
    bool onLeftButtonUp(int, int, std::uint32_t) override {
        ++clicks;
        return true;
    }
    int clicks = 0;
};

const char* const declarations = R"(<dialogs>
  <Node id="dialogs">
    <Dialog id="DIALOG_A"><Vector id="components"><NoSuchClass/><Sprite name="kept"/></Vector></Dialog>
    <NoSuchClass id="DIALOG_UNKNOWN"/>
    <ProbeScene id="SCENE_DECLARED"><Vector id="scenecomponents"><Sprite name="late"/><NoSuchClass/></Vector></ProbeScene>
  </Node>
  <Dialog id="DEFAULT_TOOLTIP"/>
</dialogs>)";

class SceneManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        events.clear();
        manager = SceneManager::create();
        for (const char* name : {"A", "B"}) {
            ui::RegisterScene(name, new ProbeScene());
        }
    }
    void TearDown() override {
        SceneManager::destroy();
        ui::DialogManager::destroy();
    }
    void frame() { manager->onFrame(16); }
    Scene* scene(const char* name) const { return manager->findScene(name); }
    ui::DialogManager* readDeclarations(const std::string& text) {
        return ui::DialogManager::create(dir.write("dialogs.xml", text));
    }

    SceneManager* manager = nullptr;
    testsupport::TempDir dir;
};

TEST_F(SceneManagerTest, SwitchesRunOverThreeFramesExceptTheFirst) {
    manager->changeScene("A");
    frame();
    EXPECT_EQ(events, (std::vector<std::string>{"A enter", "A update"}));
    manager->changeScene("B");
    events.clear();
    frame();
    EXPECT_EQ(events, std::vector<std::string>{"B enter"});
    EXPECT_EQ(scene("A")->getState(), Scene::State::Current);
    events.clear();
    frame();
    EXPECT_EQ(events, (std::vector<std::string>{"A leave", "B update"}));
    EXPECT_EQ(scene("A")->getState(), Scene::State::NotCurrent);
    EXPECT_EQ(manager->currentScene(), scene("B"));
}

TEST_F(SceneManagerTest, UnknownNameChangesNothingAndDeadScenesLeaveTheRegistry) {
    manager->changeScene("A");
    manager->changeScene("NOWHERE");
    EXPECT_EQ(manager->nextScene(), scene("A"));
    scene("B")->kill();
    frame();
    EXPECT_EQ(manager->currentScene(), scene("A"));
    EXPECT_EQ(manager->findScene("NOWHERE"), nullptr);
    EXPECT_EQ(manager->findScene("B"), nullptr);
}

TEST_F(SceneManagerTest, TransitionEntersTargetEarlyAndHandsOver) {
    manager->changeScene("A");
    frame();
    kernel::SmartPtr<ui::SceneTransition> transition = new ui::SceneTransition();
    manager->setTransition(transition.get());
    manager->changeScene("B");
    frame();
    ASSERT_EQ(manager->currentScene(), transition.get());
    EXPECT_EQ(transition->getSourceScene(), scene("A"));
    ASSERT_EQ(transition->getTargetScene(), scene("B"));
    transition->enterTarget();
    transition->callFinish();
    frame();
    EXPECT_EQ(manager->currentScene(), scene("B"));
    EXPECT_EQ(manager->transitionScene(), nullptr);
    EXPECT_EQ(std::count(events.begin(), events.end(), "B enter"), 1);
    EXPECT_TRUE(scene("B")->listenerList().isActive());
}

// The target is entered early and hears the window while the transition runs; a click on the fading
// picture must not press what lies under it once the target takes over (a mode started that way would
// answer the window's close with a question). A click after the hand-over is its own.
TEST_F(SceneManagerTest, AClickMadeWhileATransitionRunsNeverReachesItsTarget) {
    manager->changeScene("A");
    frame();
    manager->setTransition(new ui::SceneTransition());
    manager->changeScene("B");
    frame();
    auto* transition = static_cast<ui::SceneTransition*>(manager->currentScene());
    transition->enterTarget();
    ClickRecorder recorder;
    scene("B")->listenerList().add(&recorder, false);
    const auto click = [this] {
        constexpr std::uint32_t middle = (240u << 16) | 320u;
        scene("B")->getInputDispatcher()->onAppEvent(host::WM_LBUTTONUP, 0, middle);
    };
    click();
    frame();
    transition->callFinish();
    frame();
    frame();
    ASSERT_EQ(manager->currentScene(), scene("B"));
    EXPECT_EQ(recorder.clicks, 0);
    click();
    frame();
    EXPECT_EQ(recorder.clicks, 1);
    scene("B")->listenerList().remove(&recorder);
}

// Quitting while a transition runs: the target it has entered early is left with it, once; the scene it
// replaces, whose leave waits for the next frame, is left too.
TEST_F(SceneManagerTest, QuittingLeavesEveryEnteredSceneOnceButNoTargetNotYetEntered) {
    for (const bool targetEntered : {false, true}) {
        SCOPED_TRACE(targetEntered);
        TearDown();
        SetUp();
        manager->changeScene("A");
        frame();
        manager->setTransition(new ui::SceneTransition());
        manager->changeScene("B");
        frame();
        auto* transition = static_cast<ui::SceneTransition*>(manager->currentScene());
        if (targetEntered) {
            transition->enterTarget();
        }
        events.clear();
        manager->leaveEnteredScenes();
        manager->leaveEnteredScenes();
        const std::vector<std::string> left = targetEntered ? std::vector<std::string>{"B leave", "A leave"}
                                                            : std::vector<std::string>{"A leave"};
        EXPECT_EQ(events, left);
        EXPECT_EQ(transition->getState(), Scene::State::NotCurrent);
    }
}

TEST_F(SceneManagerTest, DeadNodesGoAtTheEndOfTheFrameAndClosedDialogsShowAgain) {
    readDeclarations(declarations);
    manager->changeScene("A");
    frame();
    Scene* a = scene("A");
    bool gone = false;
    a->addComponent(new MortalNode(&gone));
    ui::Dialog* dialog = a->createDialog("DIALOG_A");
    ASSERT_NE(dialog, nullptr);
    a->showDialog(dialog);
    a->closeDialog(dialog);
    EXPECT_EQ(dialog->getParent(), a->getRootNode());
    frame();
    EXPECT_TRUE(gone);
    EXPECT_EQ(dialog->getParent(), nullptr);
    EXPECT_FALSE(dialog->isDead());
    EXPECT_EQ(dialog->referenceCount(), 1);
    EXPECT_EQ(a->createDialog("DIALOG_A"), dialog);
    a->showDialog(dialog);
    frame();
    EXPECT_EQ(dialog->getParent(), a->getRootNode());
    EXPECT_TRUE(a->isDialogOpen("DIALOG_A"));
}

TEST_F(SceneManagerTest, NewestDialogHearsFirstAndAnExclusiveOneStopsTheRest) {
    readDeclarations(declarations);
    Scene* a = scene("A");
    a->onEnter();
    KeyRecorder sceneKeys("scene"), firstKeys("first"), blockingKeys("blocking"), newestKeys("newest");
    a->listenerList().add(&sceneKeys, false);
    const std::pair<const char*, KeyRecorder*> opened[] = {
        {"first", &firstKeys}, {"blocking", &blockingKeys}, {"newest", &newestKeys}};
    for (const auto& [key, recorder] : opened) {
        ui::Dialog* dialog = a->createDialog("DIALOG_A", recorder == &blockingKeys, key);
        dialog->listenerList().add(recorder, false);
        a->showDialog(dialog);
    }
    const auto pressKey = [a] {
        events.clear();
        a->getInputDispatcher()->onAppEvent(host::WM_KEYDOWN, 'K', 0);
        a->getInputDispatcher()->tick();
    };
    pressKey();
    EXPECT_EQ(events, (std::vector<std::string>{"newest", "blocking"}));
    a->removeDialog("blocking");
    pressKey();
    EXPECT_EQ(events, (std::vector<std::string>{"newest", "first", "scene"}));
    a->listenerList().remove(&sceneKeys);
    a->removeAllDialogs();
}

TEST_F(SceneManagerTest, DeclarationsBuildWhatTheyCan) {
    ui::DialogManager* dialogs = readDeclarations(declarations);
    kernel::SmartPtr<kernel::Object> one = dialogs->createDialog("DIALOG_A");
    kernel::SmartPtr<kernel::Object> two = dialogs->createDialog("DIALOG_A");
    ASSERT_TRUE(one && two);
    EXPECT_NE(one, two);
    EXPECT_NE(static_cast<ui::Dialog*>(one.get())->findComponent("kept"), nullptr);
    EXPECT_EQ(dialogs->createDialog("DIALOG_UNKNOWN"), nullptr);
    EXPECT_EQ(dialogs->createDialog("DEFAULT_TOOLTIP"), nullptr);
    EXPECT_NE(kernel::SmartPtr<kernel::Object>(dialogs->createObject("DEFAULT_TOOLTIP")), nullptr);

    kernel::SmartPtr<Scene> declared = static_cast<Scene*>(dialogs->createDialog("SCENE_DECLARED"));
    ASSERT_TRUE(declared);
    EXPECT_EQ(declared->getName(), "SCENE_DECLARED");
    declared->onEnter();
    declared->onEnter();
    EXPECT_NE(declared->findComponent("late"), nullptr);
    EXPECT_EQ(declared->getContentNode()->getFirstChild()->getNextSibling(), nullptr);
}

TEST_F(SceneManagerTest, MissingOrBrokenFilesGiveNullOrWhatWasRead) {
    ui::DialogManager::create(dir.file("absent.xml"));
    EXPECT_EQ(ui::DialogManager::instance()->createDialog("DIALOG_A"), nullptr);
    EXPECT_EQ(scene("A")->createDialog("DIALOG_A"), nullptr);
    EXPECT_FALSE(scene("A")->isDialogOpen("DIALOG_A"));
    ui::DialogManager::destroy();

    ui::DialogManager* broken =
        readDeclarations(R"(<dialogs><Node id="dialogs"><Dialog id="DIALOG_A"/><Dia)");
    EXPECT_NE(kernel::SmartPtr<kernel::Object>(broken->createDialog("DIALOG_A")), nullptr);
}

} // namespace
