#include "engine/ui/FullScreenHandler.h"

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/platform/Application.h"
#include "engine/platform/EventDispatcher.h"
#include "engine/platform/FrameTimer.h"
#include "engine/platform/GameSettings.h"
#include "engine/platform/InputDispatcher.h"
#include "engine/ui/Button.h"
#include "engine/ui/DialogManager.h"
#include "engine/ui/Scene.h"
#include "engine/ui/SceneManager.h"
#include "engine/ui/SoundSystem.h"
#include "engine/ui/UiIds.h"
#include "host/System.h"

#include <utility>

namespace ui {

namespace {

const kernel::ClassRegistrar registerFullScreenHandler("FullScreenHandler",
                                                       FullScreenHandler::createInstance);

FullScreenHandler* theDefaultHandler = nullptr;

platform::EventDispatcher* windowEvents() {
    const platform::Application* application = platform::Application::instance();
    return application != nullptr ? application->getEventDispatcher() : nullptr;
}

bool isFullScreen() {
    const platform::Application* application = platform::Application::instance();
    return application != nullptr && application->isFullScreen();
}

// The scene that the next frame shows: the pending one while a switch waits.
Scene* sceneOnScreen() {
    const SceneManager* manager = SceneManager::instance();
    if (manager == nullptr) {
        return nullptr;
    }
    return manager->nextScene() != nullptr ? manager->nextScene() : manager->currentScene();
}

void storeFullScreenOption(bool fullScreen) {
    platform::GameSettings* settings = platform::GameSettings::instance();
    if (settings == nullptr) {
        return;
    }
    settings->getOptions().setFullScreen(fullScreen);
    // The switch itself has happened; only the next start may not remember it.
    if (!settings->writeRegistry()) {
        host::ReportProblem("FullScreenHandler: the full-screen option was not stored\n");
    }
}

int widthOf(const Button* button) {
    return button != nullptr ? button->getWidth() : 0;
}

} // namespace

FullScreenHandler::FullScreenHandler(kernel::NodeValue& settings) : GameNode(settings) {
    registerListeners();
    buttonMinimize = makeButton(settings, "button_minimize");
    buttonRestore = makeButton(settings, "button_restore");
    buttonQuit = makeButton(settings, "button_quit");
    layOutButtons();
    bindButtons();
    // A new handler takes over from the default one.
    if (theDefaultHandler != nullptr) {
        theDefaultHandler->apply(enabled, false, nullptr);
    }
}

FullScreenHandler::~FullScreenHandler() {
    unregisterListeners();
    releaseButtons();
    group.reset();
}

kernel::Object* FullScreenHandler::createInstance(kernel::Value& settings) {
    return new FullScreenHandler(settings.isNode() ? settings.asNode() : kernel::DUMMY_NODE());
}

// The dispatcher is ticked after every frame listener registered before it, so after the frame has been
// presented.
void FullScreenHandler::registerListeners() {
    platform::EventDispatcher* events = windowEvents();
    if (events != nullptr) {
        events->addListener(this);
    }
    group = std::make_unique<kernel::ListenerGroup>();
    dispatcher = new platform::InputDispatcher();
    dispatcher->addListener(group.get());
    if (platform::FrameTimer* timer = platform::FrameTimer::instance()) {
        timer->addListener(dispatcher.get());
    }
    if (events != nullptr) {
        events->addListener(dispatcher.get());
    }
}

// Neither the window nor the frame timer may reach the handler or its group once it is gone. The timer
// holds the dispatcher and lets it go at its next turn.
void FullScreenHandler::unregisterListeners() {
    if (platform::EventDispatcher* events = windowEvents()) {
        events->removeListener(this);
        events->removeListener(dispatcher.get());
    }
    dispatcher->removeListener(group.get());
    if (dispatcher->isRegistered()) {
        dispatcher->setRemoveRequested(true);
    }
}

// A declaration that is missing or makes no button leaves that button out.
kernel::SmartPtr<Button> FullScreenHandler::makeButton(kernel::NodeValue& settings, const char* name) {
    kernel::Value* declaration = settings.findChild(name);
    if (declaration == nullptr || !declaration->isNode()) {
        return nullptr;
    }
    const kernel::SmartPtr<kernel::Object> made =
        kernel::ObjectFactory::instance()->createObject(*declaration);
    if (!made || !made->isKindOf(Button::classInfo)) {
        return nullptr;
    }
    kernel::SmartPtr<Button> button = static_cast<Button*>(made.get());
    button->joinGroup(*group, button.get(), false);
    addChild(button.get());
    return button;
}

// Right-aligned at the handler's position: minimise, restore, quit from left to right.
void FullScreenHandler::layOutButtons() {
    const int quitLeft = -widthOf(buttonQuit.get());
    const int restoreLeft = quitLeft - widthOf(buttonRestore.get());
    const int minimizeLeft = restoreLeft - widthOf(buttonMinimize.get());
    if (buttonMinimize) {
        buttonMinimize->setX(minimizeLeft);
    }
    if (buttonRestore) {
        buttonRestore->setX(restoreLeft);
    }
    if (buttonQuit) {
        buttonQuit->setX(quitLeft);
    }
}

void FullScreenHandler::bindButtons() {
    const std::pair<Button*, WidgetCallback::Function> bindings[] = {
        {buttonMinimize.get(), onMinimizeClicked},
        {buttonRestore.get(), onRestoreClicked},
        {buttonQuit.get(), onQuitClicked},
    };
    for (const auto& [button, function] : bindings) {
        if (button != nullptr) {
            button->bind(this, function);
        }
    }
}

// The buttons leave the group before it goes, so it never lists a freed button.
void FullScreenHandler::releaseButtons() {
    for (kernel::SmartPtr<Button>* button : {&buttonMinimize, &buttonRestore, &buttonQuit}) {
        if (*button) {
            (*button)->leaveListenerGroups();
            button->reset();
        }
    }
}

FullScreenHandler* FullScreenHandler::createDefault() {
    DialogManager* declarations = DialogManager::instance();
    if (theDefaultHandler != nullptr || declarations == nullptr) {
        return theDefaultHandler;
    }
    const kernel::SmartPtr<kernel::Object> made = declarations->createObject(ids::defaultFullScreenHandler);
    if (made && made->isKindOf(classInfo)) {
        theDefaultHandler = static_cast<FullScreenHandler*>(made.get());
        theDefaultHandler->addRef();
    }
    return theDefaultHandler;
}

FullScreenHandler* FullScreenHandler::defaultHandler() {
    return theDefaultHandler;
}

bool FullScreenHandler::defaultButtonsContain(int x, int y) {
    const FullScreenHandler* handler = theDefaultHandler;
    if (handler == nullptr || !handler->isVisible()) {
        return false;
    }
    for (const Button* button :
         {handler->getButtonMinimize(), handler->getButtonRestore(), handler->getButtonQuit()}) {
        if (button != nullptr && button->containsPoint(x, y)) {
            return true;
        }
    }
    return false;
}

void FullScreenHandler::destroyDefault() {
    if (FullScreenHandler* handler = std::exchange(theDefaultHandler, nullptr)) {
        handler->detachFromParent();
        handler->release();
    }
}

void FullScreenHandler::setActive(bool enabled, bool interactive, Scene* scene) {
    if (theDefaultHandler != nullptr) {
        theDefaultHandler->apply(enabled, interactive, scene);
    }
}

// An inactive group serves only its current member, which the handler never sets: the buttons then take
// no input.
void FullScreenHandler::apply(bool enable, bool interactive, Scene* scene) {
    enabled = enable;
    const bool full = isFullScreen();
    setVisible(enable && full);
    group->setActive(interactive && full);
    if (!enable || !full) {
        return;
    }
    if (Scene* target = scene != nullptr ? scene : sceneOnScreen()) {
        target->getRootNode()->addChild(this);
    }
}

void FullScreenHandler::onAppEvent(std::uint32_t message, std::uint32_t wParam, std::uint32_t) {
    SoundSystem* sound = SoundSystem::instance();
    switch (message) {
    case platform::EventDispatcher::fullScreenChanged:
        storeFullScreenOption(wParam != 0);
        if (theDefaultHandler != nullptr) {
            theDefaultHandler->apply(enabled, true, nullptr);
        }
        break;
    case platform::EventDispatcher::minimised:
        if (sound != nullptr) {
            sound->mute();
        }
        break;
    case platform::EventDispatcher::restored:
        if (sound != nullptr) {
            sound->restore();
        }
        break;
    default:
        break;
    }
}

void FullScreenHandler::onMinimizeClicked(void*, GameNode*) {
    if (platform::Application* application = platform::Application::instance()) {
        application->minimise();
    }
}

void FullScreenHandler::onRestoreClicked(void*, GameNode*) {
    if (platform::Application* application = platform::Application::instance()) {
        application->toggleFullScreen();
    }
}

void FullScreenHandler::onQuitClicked(void*, GameNode*) {
    const SceneManager* manager = SceneManager::instance();
    if (manager == nullptr) {
        return;
    }
    // Held: the scene may give up its last other reference while it answers.
    if (const kernel::SmartPtr<Scene> scene = manager->currentScene()) {
        scene->onCloseRequest();
    }
}

} // namespace ui
