// The art manifest: media/mkmedia.xml, what the generator makes at build time.
#include "ContentCheck.h"

#include "engine/kernel/PathUtil.h"

#include <algorithm>
#include <cctype>

namespace content {
namespace {

using kernel::SmartPtr;

const std::set<std::string> imageKinds = {
    "background", "logo",       "bar",       "frame",    "button",    "fshbutton", "checkbox", "panel",
    "icon",       "pibble",     "sparkle",   "particle", "partystar", "floater",   "lock",     "book",
    "ribbon",     "pagecorner", "checkmark", "polaroid", "pageturn",  "collage"};
// The album's left pages and the credits' pages that have a collage.
constexpr int albumPages = 34;
constexpr int creditsCollages = 4;
// The pibbles' looks the generator knows, by the game's colours 1 to 8.
const std::set<std::string> pibbleLooks = {"yellow", "blue",   "red",    "white",
                                           "green",  "purple", "orange", "clown"};
// The dialog frame's nine pieces and the hint bubble's, which stand in for some of them.
const std::set<std::string> frameParts = [] {
    std::set<std::string> parts = {"topleft", "top",        "topright", "left",       "center",
                                   "right",   "bottomleft", "bottom",   "bottomright"};
    parts.insert({"left_top", "left_edge", "left_bottom", "left_arrowup", "left_arrowdown"});
    parts.insert({"right_top", "right_edge", "right_bottom", "right_arrowup", "right_arrowdown"});
    parts.insert({"bar_bottomleft", "bar_bottom", "bar_bottomright"});
    return parts;
}();
const std::set<std::string> soundKinds = {
    "jingle",  "click",   "over", "plop",     "swoosh", "chime",    "match",     "jump",       "fall",
    "hop",     "wrong",   "tap",  "honk",     "blower", "grumble",  "rattle",    "shutter",    "camera",
    "stomp",   "sigh",    "horn", "flourish", "combo",  "confetti", "slide",     "chainbreak", "poof",
    "sparkle", "fanfare", "aww",  "tick",     "blip",   "bookopen", "bookclose", "pageturn",   "magic"};
const std::set<std::string> musicKinds = {"loading", "selection", "game"};
// The level end's and the chapter map's pictures and sounds.
const std::set<std::string> levelEndAndMapImageKinds = {
    "carrot",       "carrotbite",   "crumb",       "whitebar",       "chaptermap",  "trail",
    "chapterphoto", "playerfigure", "playershine", "chaptersparkle", "speechbubble"};
const std::set<std::string> levelEndAndMapSoundKinds = {"crunch", "chapterfanfare", "photopop", "arrive"};
// The menus' pictures and the pause's sounds.
const std::set<std::string> menuImageKinds = {"pausescene", "celebration", "glint", "slidertrack",
                                              "helpicon"};
const std::set<std::string> menuSoundKinds = {"chimedown", "chimeup"};
// The selection scene's and its dialogs' pictures, the comic's pages and the name field's sound.
const std::set<std::string> selectionImageKinds = {"titlescreen", "modebutton", "softglow",
                                                   "listrow",     "visitor",    "comicpage"};
const std::set<std::string> selectionSoundKinds = {"keytap"};
const std::set<std::string> modes = {"action", "relax", "vib"};
constexpr int comicPages = 4;

bool isPositiveInteger(const std::string& value) {
    return !value.empty() && value.size() < 6 &&
           std::all_of(value.begin(), value.end(), [](unsigned char c) { return std::isdigit(c) != 0; }) &&
           std::stoi(value) > 0;
}

// A blank's advance as the generator takes it: none at all (the letters' overhang alone sets the words
// apart) up to 64 pixels.
bool isSpaceWidth(const std::string& value) {
    return value == "0" || (isPositiveInteger(value) && std::stoi(value) <= 64);
}

bool inRange(const ManifestEntry& entry, const std::string& name, int last) {
    return isPositiveInteger(entry.get(name)) && std::stoi(entry.get(name)) <= last;
}

// What the album's kinds need to know: which corner, which way a sheet turns, whose collage.
void checkAlbumPicture(const ManifestEntry& entry, const std::string& where,
                       std::vector<std::string>& found) {
    const std::string kind = entry.get("kind");
    if (kind == "pagecorner" && entry.get("side") != "left" && entry.get("side") != "right") {
        found.push_back(where + ": a page corner's side is left or right");
    }
    if (kind == "pageturn" && entry.get("direction") != "forward" && entry.get("direction") != "backward") {
        found.push_back(where + ": a page turn's direction is forward or backward");
    }
    if (kind == "collage" &&
        inRange(entry, "page", albumPages) == inRange(entry, "credits", creditsCollages)) {
        found.push_back(where + ": a collage is for one album page 1 to " + std::to_string(albumPages) +
                        " or one credits page 1 to " + std::to_string(creditsCollages));
    }
    if (entry.attributes.contains("light") && entry.get("light") != "true") {
        found.push_back(where + ": light is \"true\" or left out");
    }
}

bool isColour(const std::string& value) {
    return value.size() == 7 && value[0] == '#' &&
           std::all_of(value.begin() + 1, value.end(), [](unsigned char c) { return std::isxdigit(c) != 0; });
}

TEST(ArtManifest, EntriesAreWellFormed) {
    const Manifest manifest;
    std::vector<std::string> found = manifest.problems;
    std::set<std::string> fonts;
    for (const ManifestEntry& entry : manifest.entries) {
        if (entry.element == "font") {
            fonts.insert(entry.get("file"));
        }
    }
    for (const ManifestEntry& entry : manifest.entries) {
        const std::string file = entry.get("file");
        const std::string kind = entry.get("kind");
        const std::string where = "<" + entry.element + " file=\"" + file + "\">";
        if (file.empty() || file.find("..") != std::string::npos || file.front() == '/') {
            found.push_back(where + ": needs a relative file below media/");
        }
        if (entry.element == "font") {
            if (!isPositiveInteger(entry.get("size"))) {
                found.push_back(where + ": size");
            }
            for (const char* colour : {"color", "outline"}) {
                if (!isColour(entry.get(colour))) {
                    found.push_back(where + ": " + colour + " is no #RRGGBB");
                }
            }
            if (entry.attributes.contains("lineheight") && entry.get("lineheight") != "full") {
                found.push_back(where + ": lineheight is \"full\" or left out");
            }
            if (entry.attributes.contains("space") && !isSpaceWidth(entry.get("space"))) {
                found.push_back(where + ": space is a number of pixels");
            }
            if (entry.attributes.contains("glyphs") && entry.get("glyphs").empty()) {
                found.push_back(where + ": glyphs lists the font's characters or is left out");
            }
        } else if (entry.element == "image") {
            if (!imageKinds.contains(kind) && !levelEndAndMapImageKinds.contains(kind) &&
                !menuImageKinds.contains(kind) && !selectionImageKinds.contains(kind)) {
                found.push_back(where + ": kind \"" + kind + "\"");
            }
            if (!isPositiveInteger(entry.get("width")) || !isPositiveInteger(entry.get("height"))) {
                found.push_back(where + ": width and height");
            }
            if (entry.attributes.contains("frames") && !isPositiveInteger(entry.get("frames"))) {
                found.push_back(where + ": frames");
            }
            if ((kind == "button" || kind == "fshbutton") &&
                entry.get("frames") != std::to_string(buttonFrames)) {
                found.push_back(where + ": a button has four frames");
            }
            if (kind == "frame" && !frameParts.contains(entry.get("part"))) {
                found.push_back(where + ": a frame piece names its part");
            }
            checkAlbumPicture(entry, where, found);
            if (kind == "modebutton" &&
                (!modes.contains(entry.get("mode")) || entry.get("frames") != std::to_string(buttonFrames))) {
                found.push_back(where + ": a mode button is of mode action, relax or vib, in four frames");
            }
            if (kind == "comicpage" && entry.get("page") != "0" && !inRange(entry, "page", comicPages)) {
                found.push_back(where + ": a comic page is page 1 to " + std::to_string(comicPages) +
                                " or the bare paper 0");
            }
            if (kind == "pibble" && entry.get("part").empty()) {
                found.push_back(where + ": a pibble picture names its part");
            }
            if (entry.attributes.contains("look") && !pibbleLooks.contains(entry.get("look"))) {
                found.push_back(where + ": no pibble look \"" + entry.get("look") + "\"");
            }
            if (entry.attributes.contains("collectable") &&
                (!isPositiveInteger(entry.get("collectable")) ||
                 std::stoi(entry.get("collectable")) > game::ids::collectableCount)) {
                found.push_back(where + ": a collectable pibble is 1 to " +
                                std::to_string(game::ids::collectableCount));
            }
            if (entry.attributes.contains("orientation") && entry.get("orientation") != "horizontal" &&
                entry.get("orientation") != "vertical") {
                found.push_back(where + ": orientation is horizontal or vertical");
            }
            if (entry.attributes.contains("color") && !isColour(entry.get("color"))) {
                found.push_back(where + ": color is no #RRGGBB");
            }
            if (entry.attributes.contains("font") && !fonts.contains(entry.get("font"))) {
                found.push_back(where + ": no font entry " + entry.get("font"));
            }
            const std::string extension = kernel::fileExtensionLower(file);
            if (extension != "png" && extension != "jpg" && !(kind == "icon" && extension == "bmp")) {
                found.push_back(where + ": a picture is a PNG or a JPEG file");
            }
        } else if (entry.element == "sound") {
            const std::string extension = kernel::fileExtensionLower(file);
            const bool knownSound = soundKinds.contains(kind) || levelEndAndMapSoundKinds.contains(kind) ||
                                    menuSoundKinds.contains(kind) || selectionSoundKinds.contains(kind);
            if (!knownSound || (extension != "wav" && extension != "ogg")) {
                found.push_back(where + ": a sound is a WAV or an OGG file of a known kind");
            }
        } else if (entry.element == "music") {
            if (!musicKinds.contains(kind) || kernel::fileExtensionLower(file) != "ogg") {
                found.push_back(where + ": music is an OGG file of a known kind");
            }
        } else {
            found.push_back(where + ": the generator makes no such thing");
        }
    }
    EXPECT_TRUE(found.empty()) << joined(found);
}

// Nothing is generated that nobody loads.
TEST(ArtManifest, EveryEntryIsUsed) {
    const Manifest manifest;
    const Resources resources;
    const Settings settings;
    std::set<std::string> used = {iconFile};
    for (const auto& [group, members] : resources.groups) {
        for (const auto& [id, resource] : members) {
            for (const std::string& file : {resource.file, resource.mask, resource.format}) {
                used.insert(kernel::normaliseResourcePath(file));
            }
        }
    }
    for (const SmartPtr<kernel::ValueDocument>& document : {settings.defaults, settings.texts}) {
        for (const auto& [id, value] : document->namedChildren()) {
            if (startsWith(id, "MUSIC_")) {
                used.insert(text(*value));
            }
        }
    }
    // A font entry that only gives a picture's caption its look.
    for (const ManifestEntry& entry : manifest.entries) {
        if (entry.element == "image" && entry.attributes.contains("font")) {
            used.insert("media/" + entry.get("font") + ".png");
            used.insert("media/" + entry.get("font") + ".xml");
        }
    }
    ASSERT_NE(manifest.maker(iconFile), nullptr) << "the window's icon";
    for (const auto& [file, entry] : manifest.outputs) {
        EXPECT_TRUE(used.contains("media/" + file)) << file << " is generated but nothing names it";
    }
}

} // namespace
} // namespace content
