#pragma once
// What the album needs around it in a test: its declarations (the book and its pages, each page a plain
// album page with one button, the credits page the real one, without labels), its pictures as real PNG
// files declared in a definitions file of their own and read as the game reads one, the collectables file
// that gives the album order, the credits texts, and the album manager itself.

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/PropertyStore.h"
#include "engine/kernel/Rect.h"
#include "engine/kernel/ResourceGroup.h"
#include "engine/kernel/ResourceManager.h"
#include "engine/kernel/ScalarValue.h"
#include "engine/kernel/ValueDocument.h"
#include "engine/kernel/VectorValue.h"
#include "game/foundation/GameIds.h"
#include "game/frontend/AlbumPictures.h"
#include "game/frontend/DialogAlbum.h"

#include "EncodedImages.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace albumtest {

// The turning strips are 16 frames of 48 x 34.
constexpr int stripWidth = 48;
constexpr int stripFrameHeight = 34;

inline std::string pageDeclaration(const char* kind, const char* id) {
    return std::string("<") + kind + " id=\"" + id +
           R"(" x="300" y="55" width="200" height="310"><Vector id="components">
             <Sprite name="PAGE_SPRITE" x="10" y="10" width="20" height="20"/>
             <Button name="PAGE_BUTTON" x="40" y="40" width="20" height="20"/></Vector></)" +
           kind + ">";
}

// The book, and its pages; the collectables page has its polaroid.
inline std::string albumDeclarations() {
    std::string text = R"(<DialogAlbum id="DIALOG_ALBUM" width="560" height="420"><Vector id="components">
        <Sprite name="SPRITE_BACKGROUND" x="0" y="0" width="560" height="420" image="IMAGE_ALBUM_BOOK"
                section="album"/>
        <Sprite name="SPRITE_LEFTPAGE" x="60" y="55" width="200" height="310" visible="false"/>
        <Sprite name="SPRITE_PREVIOUSPAGE" x="40" y="40" visible="false"/>
        <Sprite name="SPRITE_NEXTPAGE" x="40" y="40" visible="false"/>
        <Sprite name="SPRITE_CORNER_LEFT" x="40" y="320" width="60" height="60" visible="false"/>
        <Sprite name="SPRITE_CORNER_RIGHT" x="460" y="320" width="60" height="60" visible="false"/>
        <Sprite name="SPRITE_BOOKMARKER" x="440" y="4" width="36" height="64"/>
        <Button name="BUTTON_BOOKMARKER" x="440" y="4" width="36" height="64" visible="false"/>
        <Button name="BUTTON_PREV" x="8" y="370" width="40" height="40"/>
        <Button name="BUTTON_NEXT" x="512" y="370" width="40" height="40"/>
        <Button name="BUTTON_MENU" x="512" y="8" width="40" height="40"/></Vector></DialogAlbum>)";
    text += pageDeclaration("DialogAlbumPage", "DIALOG_TOC");
    text += pageDeclaration("DialogAlbumPage", "DIALOG_STATISTICS");
    text += pageDeclaration("DialogAlbumPage", "DIALOG_HIGHSCORES");
    text += R"(<DialogCollectables id="DIALOG_COLLECTABLES" x="300" y="55" width="200" height="310">
        <Vector id="components"><Sprite name="COLLECTABLE_POLAROID" x="25" y="20" width="150" height="170"
                image="IMAGE_POLAROID" section="album"/>
        </Vector></DialogCollectables>)";
    text += R"(<DialogCredits id="DIALOG_CREDITS" x="300" y="55" width="200" height="310"/>)";
    return text;
}

inline std::string png(int width, int height, std::uint16_t grey) {
    testsupport::PngPicture picture;
    picture.width = width;
    picture.height = height;
    picture.samples.assign(static_cast<std::size_t>(width) * height, grey);
    return testsupport::encodePng(picture);
}

// Where frame f of the test's turning strips shows its block (none in frame 9; frame 14's reaches the bottom
// edge and frame 15's the right edge, past which the largest block's window cannot lie).
inline kernel::Rect turnBlock(int f) {
    switch (f) {
    case 9:
        return {};
    case 14:
        return {3, 20, 10, 14};
    case 15:
        return {38, 2, 10, 21};
    default:
        return {2 * f, f % 6, 10 + f % 4, 21};
    }
}

// A turning strip: each frame clear but for its block, whose top and left edges are half transparent and
// whose colours change from pixel to pixel, so that a frame drawn from a wrong place shows.
inline std::string turnStripPng(std::uint16_t shade) {
    testsupport::PngPicture picture;
    picture.width = stripWidth;
    picture.height = stripFrameHeight * 16;
    picture.colourType = PNG_COLOR_TYPE_RGBA;
    for (int y = 0; y < picture.height; ++y) {
        const kernel::Rect block = turnBlock(y / stripFrameHeight);
        const int row = y % stripFrameHeight;
        for (int x = 0; x < stripWidth; ++x) {
            const bool inside = x >= block.x && x < block.right() && row >= block.y && row < block.bottom();
            const std::uint16_t alpha = !inside ? 0 : (x == block.x || row == block.y ? 128 : 255);
            picture.samples.insert(picture.samples.end(), {shade, static_cast<std::uint16_t>((x * 5) & 255),
                                                           static_cast<std::uint16_t>((y * 3) & 255), alpha});
        }
    }
    return testsupport::encodePng(picture);
}

// Every picture of the section "albumpictures" as a PNG file, declared as the game declares them (nothing
// loaded until asked for), and the section added to the resource manager as its definitions reader adds
// one.
inline std::string writeFile(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

// Resource files are named relative to the working folder, as the game names them.
inline void addAlbumPictures() {
    std::vector<std::pair<std::string, std::string>> images;
    for (int n = 1; n <= 34; ++n) {
        images.emplace_back(game::ids::albumLeftPagePrefix + std::to_string(n), png(20, 31, 10 + n));
    }
    for (int n = 1; n <= 4; ++n) {
        images.emplace_back(game::ids::creditsLeftPagePrefix + std::to_string(n), png(20, 31, 60 + n));
    }
    for (int n = 1; n <= 30; ++n) {
        const std::string name = game::ids::collectablePicturePrefix + std::to_string(n);
        images.emplace_back(name, png(15, 17, 100 + n));
        images.emplace_back(name + game::ids::collectablePictureLightSuffix, png(15, 17, 150 + n));
    }
    std::string declarations;
    for (const auto& [id, bytes] : images) {
        declarations += "<Image id=\"" + id + "\" file=\"" +
                        writeFile("media/images/album/" + id + ".png", bytes) + "\"/>";
    }
    // Each turning strip in a section of its own.
    std::string strips;
    for (const auto& [id, section, shade] :
         {std::tuple{"ALBUM_TURN_FORWARD", game::AlbumPictures::forwardStripSection, 200},
          std::tuple{"ALBUM_TURN_BACKWARD", game::AlbumPictures::backwardStripSection, 100}}) {
        strips += std::string(R"(<Node name=")") + section + R"(" auto="false"><Image id=")" + id +
                  R"(" file=")" +
                  writeFile(std::string("media/images/album/") + id + ".png", turnStripPng(shade)) +
                  R"(" framecount="16"/></Node>)";
    }
    const kernel::SmartPtr<kernel::ValueDocument> document = new kernel::ValueDocument(
        writeFile("media/properties/albumpictures", R"(<Resources><Vector id="Sections">)" + strips +
                                                        R"(<Node name="albumpictures" auto="false">)" +
                                                        declarations + "</Node></Vector></Resources>"));
    document->load();
    kernel::VectorValue& sections = document->getVector("Sections");
    for (std::int32_t i = 0; i < sections.childCount(); ++i) {
        kernel::ResourceManager::instance()->addGroup(new kernel::ResourceGroup(*sections.at(i)));
    }
}

// The book and the polaroid as PNG files in the album's own section, declared as the game declares them:
// the book reads the section as it is made. Without it the two sprites stand without pictures.
inline void addAlbumSection() {
    const std::string book = writeFile("media/images/album/book.png", png(560, 420, 90));
    const std::string polaroid = writeFile("media/images/album/polaroid.png", png(150, 170, 240));
    const kernel::SmartPtr<kernel::ValueDocument> document = new kernel::ValueDocument(writeFile(
        "media/properties/album.xml",
        std::string(R"(<Resources><Vector id="Sections"><Node name=")") + game::ids::groupAlbum +
            R"(" auto="false"><Image id="IMAGE_ALBUM_BOOK" file=")" + book +
            R"("/><Image id="IMAGE_POLAROID" file=")" + polaroid + R"("/></Node></Vector></Resources>)"));
    document->load();
    kernel::ResourceManager::instance()->addGroup(
        new kernel::ResourceGroup(*document->getVector("Sections").at(0)));
}

// The collectables file in the working folder: each pair is a collectable id and its album position.
inline void writeCollectables(const std::vector<std::pair<int, int>>& order) {
    std::string entries;
    for (const auto& [id, position] : order) {
        entries += "<Node pibbleid=\"" + std::to_string(id) + "\" albumorderid=\"" +
                   std::to_string(position) + "\"/>";
    }
    std::filesystem::create_directories("media/properties");
    std::ofstream("media/properties/collectables.xml")
        << "<Collectables><Vector id=\"collectables\">" << entries << "</Vector></Collectables>";
}

// Collectable n at album position 31 - n.
inline std::vector<std::pair<int, int>> reversedOrder() {
    std::vector<std::pair<int, int>> order;
    for (int id = 1; id <= 30; ++id) {
        order.emplace_back(id, 31 - id);
    }
    return order;
}

inline void setCredits(int entries) {
    kernel::SmartPtr<kernel::VectorValue>& list =
        kernel::PropertyStore::instance()->vectorRef(game::ids::creditsList);
    list = new kernel::VectorValue(game::ids::creditsList);
    for (int i = 0; i < entries; ++i) {
        list->append(new kernel::ScalarValue(std::to_string(i), kernel::WideString(u"entry"),
                                             kernel::Typing::Untyped));
    }
}

inline bool isLoaded(const std::string& name, const std::string& section = game::ids::groupAlbumPictures) {
    const kernel::Resource* resource = kernel::ResourceManager::instance()->findResource(name, section);
    return resource != nullptr && resource->isLoaded();
}

inline bool isStripLoaded(bool forward) {
    return forward ? isLoaded("ALBUM_TURN_FORWARD", game::AlbumPictures::forwardStripSection)
                   : isLoaded("ALBUM_TURN_BACKWARD", game::AlbumPictures::backwardStripSection);
}

} // namespace albumtest
