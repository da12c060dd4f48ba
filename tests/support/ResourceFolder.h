#pragma once
// Resource files are named relative to the working folder, as the game names them: a fresh folder that is
// the working folder while it lives, and resources made by the object factory from their declarations, as
// the resource manager makes them; resources whose object is already in memory; and objects built by the
// factory from a declaration file.

#include "engine/kernel/FileAccess.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/Resource.h"
#include "engine/kernel/ValueDocument.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace testsupport {

class WorkingFolder : public TempDir {
public:
    WorkingFolder() : previous(std::filesystem::current_path()) { std::filesystem::current_path(path()); }
    ~WorkingFolder() { std::filesystem::current_path(previous); }

private:
    std::filesystem::path previous;
};

// The resource with id "res" of the declaration, or null when the factory knows no such element.
template <class T> kernel::SmartPtr<T> declareResource(const TempDir& dir, const std::string& declaration) {
    kernel::SmartPtr<kernel::ValueDocument> document =
        new kernel::ValueDocument(dir.write("resources.xml", "<Resources>" + declaration + "</Resources>"));
    document->load();
    kernel::Object* made = kernel::ObjectFactory::instance()->createObject(document->getNode("res"));
    EXPECT_TRUE(made && made->isKindOf(T::classInfo)) << declaration;
    return static_cast<T*>(made);
}

// A declared resource that is loaded from the start and hands out whatever it holds.
class HeldResource : public kernel::Resource {
public:
    explicit HeldResource(kernel::Object* held, const std::string& file = "held")
        : kernel::Resource(file), object(held) {
        markLoaded();
    }
    void load() override { markLoaded(); }
    kernel::Object* get() override { return object.get(); }
    void hold(kernel::Object* value) { object = value; }

private:
    kernel::SmartPtr<kernel::Object> object;
};

// The object declared with the id in the XML text, written to the file in the folder and built by the
// factory; null when it builds nothing of the kind.
template <class T>
kernel::SmartPtr<T> declared(const TempDir& dir, const std::string& file, const std::string& xml,
                             const std::string& id) {
    kernel::SmartPtr<kernel::ValueDocument> document(new kernel::ValueDocument(dir.write(file, xml)));
    document->setFileMode(kernel::modeFile);
    document->load();
    const kernel::SmartPtr<kernel::Object> made =
        kernel::ObjectFactory::instance()->createObject(document->getNode(id));
    return made && made->isKindOf(T::classInfo) ? static_cast<T*>(made.get()) : nullptr;
}

} // namespace testsupport
