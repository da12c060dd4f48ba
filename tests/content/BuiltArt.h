#pragma once
// The content check's way to the game's look: the start-up settings in the property store, the pictures and
// fonts the build generated in the runnable tree loaded as the game loads them, and the declarations built
// with them, so that tests can measure what a player sees.

#include "ContentCheck.h"

#include "engine/kernel/ResourceManager.h"
#include "engine/ui/Dialog.h"
#include "engine/ui/DialogManager.h"
#include "engine/ui/Label.h"
#include "engine/ui/SceneManager.h"

#include "RuntimeDir.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace content {

inline constexpr int screenWidth = 640;
inline constexpr int screenHeight = 480;

// The start-up settings in the property store, as the game stores them.
class StoredSettings {
public:
    StoredSettings() {
        store = kernel::PropertyStore::create();
        const kernel::SmartPtr<kernel::ValueDocument> settings = new kernel::ValueDocument();
        settings->addFile(sourcePath(defaultSettingsFile));
        settings->addFile(sourcePath(textsFile));
        settings->load();
        kernel::ObjectFactory::instance()->createChildren(*settings);
        settings->clearAll();
    }
    ~StoredSettings() { kernel::PropertyStore::destroy(); }
    StoredSettings(const StoredSettings&) = delete;
    StoredSettings& operator=(const StoredSettings&) = delete;

    // The texts of a stored list, empty when there is no such list.
    std::vector<kernel::WideString> texts(const char* list) const {
        std::vector<kernel::WideString> found;
        if (const kernel::SmartPtr<kernel::VectorValue> vector = store->vectorRef(list)) {
            for (std::int32_t index = 0; index < vector->childCount(); ++index) {
                kernel::Value* entry = vector->at(index);
                found.push_back(entry->typeName() == "Text" ? entry->asScalar().text()
                                                            : kernel::WideString());
            }
        }
        return found;
    }

    kernel::PropertyStore* store = nullptr;
};

// The generated fonts and pictures in the runnable tree, loaded as the game loads them: the tree is the
// working folder while it lives.
class RunTreeResources {
public:
    RunTreeResources() : previous(std::filesystem::current_path()) {
        std::filesystem::current_path(runPath(""));
        kernel::ResourceManager* manager = kernel::ResourceManager::create();
        manager->addDefinitionPath(sourcePath(resourcesFile));
        manager->loadDefinitions();
    }
    ~RunTreeResources() {
        kernel::ResourceManager::destroy();
        std::filesystem::current_path(previous);
    }
    RunTreeResources(const RunTreeResources&) = delete;
    RunTreeResources& operator=(const RunTreeResources&) = delete;

    static bool made() { return std::filesystem::is_regular_file(runPath("media/.generated")); }
    static bool load(const std::string& id, const std::string& group) {
        return kernel::ResourceManager::instance()->getLoadedResource(id, group) != nullptr;
    }

private:
    testsupport::RuntimeDir runtime;
    std::filesystem::path previous;
};

struct Box {
    int x;
    int y;
    int w;
    int h;
    bool overlaps(const Box& other) const {
        return x < other.x + other.w && other.x < x + w && y < other.y + other.h && other.y < y + h;
    }
    std::string described() const {
        return std::to_string(w) + " x " + std::to_string(h) + " at (" + std::to_string(x) + ", " +
               std::to_string(y) + ")";
    }
};

// Dialogs and scenes built from their declarations with the generated pictures and fonts, each dialog in
// the middle of the screen.
class BuiltArt : public Authored {
protected:
    void SetUp() override {
        if (!RunTreeResources::made()) {
            GTEST_SKIP() << "the runnable tree's media are not generated";
        }
        settings = std::make_unique<StoredSettings>();
        loaded = std::make_unique<RunTreeResources>();
        for (const auto& [group, members] : resources.groups) {
            if (loadedAtSetUp(group)) {
                loadPictures(group);
            }
        }
        ui::SceneManager::create();
        ui::DialogManager::create(sourcePath(dialogsFile));
    }
    void TearDown() override {
        built.clear();
        if (settings) {
            ui::DialogManager::destroy();
            ui::SceneManager::destroy();
        }
        loaded.reset();
        settings.reset();
    }

    // The groups whose pictures and fonts are in before anything is built: every one unless a test says.
    virtual bool loadedAtSetUp(const std::string& /*group*/) const { return true; }
    // The group's pictures and fonts, loaded as the loader loads them.
    void loadPictures(const std::string& group) {
        const auto members = resources.groups.find(group);
        if (members == resources.groups.end()) {
            return;
        }
        for (const auto& [id, resource] : members->second) {
            if (resource.type == "Image" || resource.type == "Font") {
                RunTreeResources::load(id, group);
            }
        }
    }

    ui::Dialog* build(const std::string& name) {
        const kernel::SmartPtr<kernel::Object> made = ui::DialogManager::instance()->createDialog(name);
        EXPECT_TRUE(made && made->isKindOf(ui::Dialog::classInfo)) << name;
        if (!made || !made->isKindOf(ui::Dialog::classInfo)) {
            return nullptr;
        }
        built.push_back(made);
        auto* dialog = static_cast<ui::Dialog*>(made.get());
        dialog->setPosition((screenWidth - dialog->getWidth()) / 2, (screenHeight - dialog->getHeight()) / 2);
        return dialog;
    }
    // The longest of the texts a label of the dialog shows.
    static void longest(ui::Dialog& dialog, const std::string& label,
                        const std::vector<kernel::WideString>& texts) {
        auto* found = dialog.findComponentAs<ui::Label>(label);
        ASSERT_NE(found, nullptr) << label;
        kernel::WideString widest;
        for (const kernel::WideString& text : texts) {
            widest = text.size() > widest.size() ? text : widest;
        }
        found->setText(widest);
    }

    std::unique_ptr<StoredSettings> settings;
    std::unique_ptr<RunTreeResources> loaded;
    std::vector<kernel::SmartPtr<kernel::Object>> built;
};

// Where a component is drawn in its dialog: its place less its anchor, its size.
inline Box drawnBox(const ui::Sprite& sprite) {
    return {sprite.getX() - sprite.getAnchorPoint().getRoundedX(),
            sprite.getY() - sprite.getAnchorPoint().getRoundedY(), sprite.getWidth(), sprite.getHeight()};
}

// Where a component is painted in its dialog: a buffered label is raised by its font's top pad.
inline Box paintedBox(const ui::Sprite& sprite) {
    Box box = drawnBox(sprite);
    if (sprite.isKindOf(ui::Label::classInfo)) {
        const auto& label = static_cast<const ui::Label&>(sprite);
        box.y -= label.getFont() != nullptr ? label.getFont()->getTopPad() : 0;
    }
    return box;
}

inline bool inside(const Box& inner, const Box& outer) {
    return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.w <= outer.x + outer.w &&
           inner.y + inner.h <= outer.y + outer.h;
}

// The full-screen buttons stand in the top right corner, right-aligned at (636, 4), 24 pixels each.
inline constexpr Box fullScreenButtons{560, 0, 80, 32};

} // namespace content
