#include "engine/ui/Scene.h"

#include "engine/graphics/ImageBase.h"
#include "engine/graphics/ImagePainter.h"
#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/ResourceManager.h"
#include "engine/kernel/TextConversion.h"
#include "engine/platform/Application.h"
#include "engine/ui/DialogManager.h"
#include "engine/ui/SceneManager.h"
#include "engine/ui/ToolTip.h"
#include "host/Window.h"

#include <algorithm>

namespace ui {

namespace {

std::string readText(const kernel::NodeValue& settings, const char* key) {
    return kernel::narrowString(settings.getValue(key).text());
}

platform::EventDispatcher* windowEvents() {
    platform::Application* application = platform::Application::instance();
    return application != nullptr ? application->getEventDispatcher() : nullptr;
}

} // namespace

Scene::Scene() : sceneComponents(&kernel::DUMMY_VECTOR()) {
    buildTree();
}

Scene::Scene(kernel::NodeValue& settings) : Dialog(settings) {
    buildTree();
    setName(settings.name());
    sceneComponents = &settings.getVector("scenecomponents");
}

Scene::~Scene() {
    // A scene freed while it is entered must not stay behind as a listener of the window.
    listenToWindow(false);
    inputDispatcher.reset();
    updater.reset();
    renderer.reset();
    cleaner.reset();
    sceneComponents.reset();
    rootNode.reset();
    openDialogs.clear();
    dialogs.clear();
}

// The components move under the root, so dialogs added to the root later lie on top of them.
void Scene::buildTree() {
    rootNode = new SceneRootNode();
    rootNode->addChild(getContentNode());
    renderer = new SceneRenderer(rootNode.get());
    inputDispatcher = new platform::InputDispatcher();
    inputDispatcher->addListener(&listenerList());
    updater = new SceneUpdater(rootNode.get());
    cleaner = new SceneCleaner(rootNode.get());
}

void Scene::onEnter() {
    if (state == State::New) {
        load();
        state = State::NotCurrent;
    }
    Dialog::activate();
    handRootToToolTip();
    listenToWindow(true);
    // Whatever reached the dispatcher while the scene was away is stale.
    inputDispatcher->clearEvents();
}

void Scene::onLeave() {
    Dialog::deactivate();
    listenToWindow(false);
    // Nodes killed in the scene's last frame would otherwise wait for its next entry.
    cleaner->onFrame(0);
}

void Scene::handRootToToolTip() {
    const SceneManager* manager = SceneManager::instance();
    if (manager != nullptr && manager->toolTip() != nullptr) {
        manager->toolTip()->setRoot(rootNode.get());
    }
}

void Scene::listenToWindow(bool listen) {
    platform::EventDispatcher* events = windowEvents();
    if (events == nullptr || !inputDispatcher) {
        return;
    }
    if (listen) {
        events->addListener(inputDispatcher.get());
    } else {
        events->removeListener(inputDispatcher.get());
    }
}

void Scene::paint(graphics::ImagePainter& painter) {
    if (graphics::ImageBase* background = getSurfaceImage()) {
        painter.blit(*background, 0, 0);
    }
}

void Scene::load() {
    buildSceneComponents();
    readBackground();
}

// An element that is no Node, names no registered class or builds no node is left out.
void Scene::buildSceneComponents() {
    const kernel::SmartPtr<kernel::VectorValue> list = sceneComponents;
    for (const kernel::SmartPtr<kernel::Value>& element : list->children()) {
        if (!element || !element->isNode()) {
            continue;
        }
        const kernel::SmartPtr<kernel::Object> made =
            kernel::ObjectFactory::instance()->createObject(*element);
        if (made && made->isKindOf(GameNode::classInfo)) {
            addComponent(static_cast<GameNode*>(made.get()));
        }
    }
}

void Scene::readBackground() {
    DialogManager* declarations = DialogManager::instance();
    kernel::ResourceManager* resources = kernel::ResourceManager::instance();
    if (declarations == nullptr || resources == nullptr) {
        return;
    }
    const kernel::NodeValue& declaration = declarations->findDeclaration(getName());
    if (!declaration.hasChild("scenebackground")) {
        return;
    }
    kernel::Object* found =
        resources->getResource(readText(declaration, "scenebackground"), readText(declaration, "section"));
    if (found != nullptr && found->isKindOf(graphics::ImageBase::classInfo)) {
        setSurfaceImage(static_cast<graphics::ImageBase*>(found));
    }
}

void Scene::onCloseRequest() {
    platform::Application* application = platform::Application::instance();
    if (application != nullptr && application->getWindowHandle() != nullptr) {
        host::DefWindowProc(application->getWindowHandle(), host::WM_CLOSE, 0, 0);
    }
}

void Scene::onEndRequest() {
    Scene::onCloseRequest();
}

Dialog* Scene::createDialog(const std::string& name, bool exclusive, const std::string& key) {
    const std::string mapKey = key.empty() ? name : key;
    if (Dialog* kept = findDialog(mapKey)) {
        if (isOpen(kept)) {
            closeDialog(kept);
        }
        return kept;
    }
    DialogManager* declarations = DialogManager::instance();
    if (declarations == nullptr) {
        return nullptr;
    }
    // Held from the start, so an object of another kind is freed rather than leaked.
    const kernel::SmartPtr<kernel::Object> made = declarations->createDialog(name);
    if (!made || !made->isKindOf(Dialog::classInfo)) {
        return nullptr;
    }
    Dialog* dialog = static_cast<Dialog*>(made.get());
    dialog->listenerList().setExclusive(exclusive);
    dialog->setName(mapKey);
    dialogs[mapKey] = dialog;
    return dialog;
}

// Input order: the newest dialog is served first, the scene's own group last. A dialog shown again while
// open moves to the front instead of being listed twice.
void Scene::showDialog(Dialog* dialog) {
    if (dialog == nullptr) {
        return;
    }
    rootNode->addChild(dialog);
    dropFromOpenList(dialog);
    openDialogs.insert(openDialogs.begin(), kernel::SmartPtr<Dialog>(dialog));
    inputDispatcher->removeListener(&dialog->listenerList());
    inputDispatcher->addListener(&dialog->listenerList(), true);
    dialog->activate();
}

void Scene::closeDialog(Dialog* dialog) {
    if (dialog == nullptr) {
        return;
    }
    dialog->deactivate();
    dialog->setDead(true);
    inputDispatcher->removeListener(&dialog->listenerList());
    dropFromOpenList(dialog);
}

bool Scene::isDialogOpen(const std::string& key) const {
    const Dialog* dialog = findDialog(key);
    return dialog != nullptr && isOpen(dialog);
}

void Scene::removeDialog(const std::string& key) {
    const kernel::SmartPtr<Dialog> dialog = findDialog(key);
    if (!dialog) {
        return;
    }
    closeDialog(dialog.get());
    dialogs.erase(key);
}

void Scene::removeAllDialogs() {
    std::vector<kernel::SmartPtr<Dialog>> kept;
    for (const auto& entry : dialogs) {
        kept.push_back(entry.second);
    }
    for (const kernel::SmartPtr<Dialog>& dialog : kept) {
        closeDialog(dialog.get());
    }
    dialogs.clear();
}

Dialog* Scene::findDialog(const std::string& key) const {
    const auto found = dialogs.find(key);
    return found != dialogs.end() ? found->second.get() : nullptr;
}

bool Scene::isOpen(const Dialog* dialog) const {
    return std::find(openDialogs.begin(), openDialogs.end(), dialog) != openDialogs.end();
}

void Scene::dropFromOpenList(const Dialog* dialog) {
    const auto found = std::find(openDialogs.begin(), openDialogs.end(), dialog);
    if (found != openDialogs.end()) {
        openDialogs.erase(found);
    }
}

} // namespace ui
