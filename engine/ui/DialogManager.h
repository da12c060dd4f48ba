#pragma once

#include "engine/kernel/Object.h"
#include "engine/kernel/SmartPtr.h"
#include "engine/kernel/ValueDocument.h"

#include <string>

namespace ui {

// Reads the declarations of every scene, dialog, painter and tool-tip once and builds objects from them
// through the ObjectFactory, by the class name that each declaration carries as its type.
class DialogManager : public kernel::Object {
public:
    // The file the run function reads.
    static constexpr const char* defaultFileName = "media/properties/dialogs.xml";
    // The top-level Node that holds the scene and dialog declarations.
    static constexpr const char* dialogsNodeName = "dialogs";

    // Reads the file at once; a missing or broken file leaves the document empty, or as far as it was read.
    static DialogManager* create(const std::string& fileName);
    // Null before create.
    static DialogManager* instance();
    static void destroy();

    // Built from the child of "dialogs" named name; null when nothing can be built. The object is new
    // and unowned: its holder adds the first reference.
    kernel::Object* createDialog(const std::string& name);
    // The same for a top-level declaration.
    kernel::Object* createObject(const std::string& name);

    kernel::ValueDocument& getDocument() const { return *document; }
    // The declaration of a scene or dialog, or the fallback empty Node.
    kernel::NodeValue& findDeclaration(const std::string& name) const;
    const std::string& getFileName() const { return fileName; }

    static constexpr kernel::ClassInfo classInfo{&kernel::Object::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    explicit DialogManager(const std::string& fileName);

    static kernel::Object* build(kernel::NodeValue& declaration);

    std::string fileName;
    kernel::SmartPtr<kernel::ValueDocument> document;
};

} // namespace ui
