#pragma once
// What the field tests share: a property store and a resource manager made for each test, and pictures
// handed to the manager as a section of its own, already loaded.

#include "engine/kernel/PropertyStore.h"
#include "engine/kernel/ResourceGroup.h"
#include "engine/kernel/ResourceManager.h"
#include "engine/kernel/ScalarValue.h"
#include "game/field/PibbleImages.h"

#include "ResourceFolder.h"
#include "RuntimeDir.h"
#include "TestImages.h"

#include <map>
#include <string>

namespace fieldtest {

using testsupport::Image32;

class FieldWorld {
public:
    FieldWorld() {
        kernel::PropertyStore::create();
        kernel::ResourceManager::create();
    }
    ~FieldWorld() {
        game::clearPibbleImageCaches();
        kernel::ResourceManager::destroy();
        kernel::PropertyStore::destroy();
    }
    FieldWorld(const FieldWorld&) = delete;
    FieldWorld& operator=(const FieldWorld&) = delete;

    // Pictures with their alpha flag set, as decoded PNG files have it.
    static kernel::SmartPtr<kernel::ResourceGroup> addSection(const std::string& name,
                                                              const std::map<std::string, Image32>& images) {
        kernel::NodeValue declaration(name, "Node");
        declaration.setChild(new kernel::ScalarValue("name", name, kernel::Typing::Untyped));
        kernel::SmartPtr<kernel::ResourceGroup> group = new kernel::ResourceGroup(declaration);
        for (const auto& [id, image] : images) {
            image->setAlphaMode(true);
            group->addResource(id, new testsupport::HeldResource(image.get(), id + ".png"));
        }
        kernel::ResourceManager::instance()->addGroup(group);
        return group;
    }
    static void setDouble(const std::string& key, double value) {
        kernel::PropertyStore::instance()->doubleRef(key) = value;
    }
    static void setInt(const std::string& key, int value) {
        kernel::PropertyStore::instance()->intRef(key) = value;
    }

private:
    testsupport::RuntimeDir runtime;
};

} // namespace fieldtest
