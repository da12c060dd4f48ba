#pragma once
// The first start's comic in a test: its declaration (a full-screen comic with the page at the top left and
// the next button of 60 x 40 at the bottom right under its shine) and its four pages as real PNG files of
// 64 x 48, page n in grey 40n, declared in a definitions file of their own as the game declares "strip" and
// the smaller sections the comic asks the loader for, which share its pictures (nothing loaded until asked
// for).

#include "engine/kernel/ResourceGroup.h"
#include "engine/kernel/ResourceManager.h"
#include "engine/kernel/ValueDocument.h"
#include "engine/kernel/VectorValue.h"
#include "game/foundation/GameIds.h"
#include "game/frontend/DialogStrip.h"

#include "AlbumWorld.h"

#include <cstdint>
#include <set>
#include <string>

namespace striptest {

inline const char* const stripDeclaration =
    R"(<DialogStrip id="DIALOG_STRIP" width="640" height="480" autoenlarge="false"><Vector id="components">
       <Sprite name="STRIP" x="0" y="0"/>
       <Button name="BUTTON_NEXT" x="560" y="420" width="60" height="160"/>
       <Sprite name="BUTTON_NEXT_SHINE" x="560" y="420" width="60" height="40"/></Vector></DialogStrip>)";

constexpr int pageWidth = 64;
constexpr int pageHeight = 48;

inline std::uint16_t pageGrey(int n) {
    return static_cast<std::uint16_t>(40 * n);
}

inline std::string pageId(int n) {
    return game::ids::stripPagePrefix + std::to_string(n);
}

inline std::string section(const std::string& name, const std::string& declarations) {
    return "<Node name=\"" + name + "\" auto=\"false\">" + declarations + "</Node>";
}

// The pages named broken are files that hold no image.
inline void addStripPages(const std::set<int>& broken = {}) {
    std::string declarations;
    std::string readingSections;
    for (int n = 1; n <= game::ids::stripPages; ++n) {
        const std::string bytes = broken.count(n) != 0 ? std::string("not a picture")
                                                       : albumtest::png(pageWidth, pageHeight, pageGrey(n));
        const std::string declaration =
            "<Image id=\"" + pageId(n) + "\" file=\"" +
            albumtest::writeFile("media/images/strip/" + pageId(n) + ".png", bytes) + "\"/>";
        declarations += declaration;
        readingSections += section(n == 1 ? std::string(game::DialogStrip::openingSection)
                                          : game::DialogStrip::pageSection(n - 1),
                                   declaration);
    }
    const kernel::SmartPtr<kernel::ValueDocument> document = new kernel::ValueDocument(
        albumtest::writeFile("media/properties/strip.xml", R"(<Resources><Vector id="Sections">)" +
                                                               section(game::ids::groupStrip, declarations) +
                                                               readingSections + "</Vector></Resources>"));
    document->load();
    kernel::VectorValue& sections = document->getVector("Sections");
    for (std::int32_t i = 0; i < sections.childCount(); ++i) {
        kernel::ResourceManager::instance()->addGroup(new kernel::ResourceGroup(*sections.at(i)));
    }
}

inline kernel::Resource* page(int n) {
    return kernel::ResourceManager::instance()->findResource(pageId(n), game::ids::groupStrip);
}

inline bool pageLoaded(int n) {
    const kernel::Resource* resource = page(n);
    return resource != nullptr && resource->isLoaded();
}

} // namespace striptest
