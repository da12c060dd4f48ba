#pragma once
// The content check: the game's authored data (media/properties, locale/properties and the art manifest
// media/mkmedia.xml) is read as the program reads it, and every id, class, component, resource and file that
// the code asks for must be there with the right type. A lookup of the running game never fails loudly (a
// typo gives 0, an empty text or an invisible sprite), so this is where such a typo is found. What the
// suites share: the files, readers of them, and the declarations built as the game builds them.

#include "engine/kernel/NamedId.h"
#include "engine/kernel/NodeValue.h"
#include "engine/kernel/SmartPtr.h"
#include "engine/kernel/ValueDocument.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#ifndef PIBBLES_CONTENT_WITH_GAME
#define PIBBLES_CONTENT_WITH_GAME 0
#endif

namespace ui {
class Dialog;
class DialogManager;
} // namespace ui

namespace content {

inline constexpr const char* kDefaultSettings = "media/properties/default.xml";
inline constexpr const char* kTexts = "locale/properties/text.xml";
inline constexpr const char* kDialogs = "media/properties/dialogs.xml";
inline constexpr const char* kResources = "media/properties/resources.xml";
inline constexpr const char* kManifest = "media/mkmedia.xml";
// The host reads the window's icon from here.
inline constexpr const char* kIcon = "media/icon.bmp";
inline constexpr int kButtonFrames = 4;

// The ids every layer's code names (the engine's and the game's lists), and those whose declarations come
// later with the code that opens them.
std::vector<kernel::NamedId> namedIds();
std::vector<kernel::NamedId> awaitedIds();
// Loaded before the first scene is made; loaded by the time the loading scene lets the player on.
std::set<std::string> startUpGroups();
std::set<std::string> frontEndGroups();
// A class of the game's while the game's libraries are not linked in.
bool isGameClass(const std::string& type);

std::string sourcePath(const std::string& relative);
bool readFile(const std::string& path, std::string& text);
// Parses the file as the program's XML library does; an empty result means it parsed.
std::string parseProblem(const std::string& relative, TiXmlDocument& document);
kernel::SmartPtr<kernel::ValueDocument> loadDocument(const std::string& relative);
std::string text(kernel::Value& value);
std::string key(const kernel::NodeValue& node, const char* name);
bool startsWith(const std::string& value, const std::string& prefix);
std::string joined(const std::vector<std::string>& lines);

// The two start-up settings files.
struct Settings {
    kernel::SmartPtr<kernel::ValueDocument> defaults = loadDocument(kDefaultSettings);
    kernel::SmartPtr<kernel::ValueDocument> texts = loadDocument(kTexts);

    // The value as the start-up's one document holds it: the later file wins.
    kernel::Value* find(const std::string& id) const;
    bool isText(const std::string& id) const;
};

struct DeclaredResource {
    std::string type;
    std::string file;
    std::string mask;
    std::string format;
};

// The resource lists.
struct Resources {
    kernel::SmartPtr<kernel::ValueDocument> document = loadDocument(kResources);
    // Group name -> resource id -> declaration.
    std::map<std::string, std::map<std::string, DeclaredResource>> groups;
    std::map<std::string, int> groupCounts;

    Resources();
    const DeclaredResource* find(const std::string& group, const std::string& id) const;
};

struct ManifestEntry {
    std::string element;
    std::map<std::string, std::string> attributes;

    std::string get(const std::string& name) const;
};

// The art manifest.
struct Manifest {
    std::vector<ManifestEntry> entries;
    // Generated file (relative to media/) -> the entry that makes it.
    std::map<std::string, const ManifestEntry*> outputs;
    std::vector<std::string> problems;

    // The outputs point into the entries, so a manifest is never copied.
    Manifest(const Manifest&) = delete;
    Manifest& operator=(const Manifest&) = delete;
    Manifest();

    // The entry that makes the file a resource or a setting names ("media/..." from the working directory).
    const ManifestEntry* maker(const std::string& runPath) const;

private:
    void addOutput(const std::string& file, const ManifestEntry& entry);
};

// A file the program opens: authored in the source tree, or made by the generator.
bool isProvided(const std::string& runPath, const Manifest& manifest);

// The settings in the property store and the dialog file read, as at start-up.
class BuiltDeclarations : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // False (and said so) for a game class while the game's libraries are not linked in.
    static bool canBuild(const std::string& type);
    // A scene or dialog of "dialogs", built once and kept; null (and a failure) when it builds no dialog.
    ui::Dialog* dialog(const std::string& name);

    ui::DialogManager* dialogs = nullptr;
    std::map<std::string, kernel::SmartPtr<kernel::Object>> built;
};

} // namespace content
