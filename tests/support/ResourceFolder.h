#pragma once
// Resource files are named relative to the working folder, as the game names them: a fresh folder that is
// the working folder while it lives, and resources made by the object factory from their declarations, as
// the resource manager makes them.

#include "engine/kernel/ObjectFactory.h"
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

} // namespace testsupport
