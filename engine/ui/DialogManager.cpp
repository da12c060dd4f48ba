#include "engine/ui/DialogManager.h"

#include "engine/kernel/ObjectFactory.h"

#include <utility>

namespace ui {

namespace {
DialogManager* theDialogManager = nullptr;
}

DialogManager* DialogManager::create(const std::string& fileName) {
    if (theDialogManager == nullptr) {
        theDialogManager = new DialogManager(fileName);
        theDialogManager->addRef();
    }
    return theDialogManager;
}

DialogManager* DialogManager::instance() {
    return theDialogManager;
}

void DialogManager::destroy() {
    if (DialogManager* manager = std::exchange(theDialogManager, nullptr)) {
        manager->release();
    }
}

DialogManager::DialogManager(const std::string& fileName)
    : fileName(fileName), document(new kernel::ValueDocument(fileName)) {
    document->load();
}

kernel::Object* DialogManager::createDialog(const std::string& name) {
    return build(findDeclaration(name));
}

kernel::Object* DialogManager::createObject(const std::string& name) {
    return build(document->getNode(name));
}

kernel::NodeValue& DialogManager::findDeclaration(const std::string& name) const {
    return document->getNode(dialogsNodeName).getNode(name);
}

kernel::Object* DialogManager::build(kernel::NodeValue& declaration) {
    // A missing declaration is the fallback Node, whose empty type name no class may claim.
    if (declaration.typeName().empty()) {
        return nullptr;
    }
    return kernel::ObjectFactory::instance()->createObject(declaration);
}

} // namespace ui
