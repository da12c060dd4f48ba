// The data of the in-game menu, the pause, the settings, the help and the end of the VIB game, where their
// code reads it by rules of its own: the help's pages pair up and their markup names what is there (and,
// laid out with the generated fonts and pictures, never runs text into a picture or cuts a picture off);
// the plop steps with the volume; each slider's knob rides its groove; the dialogs over the whole screen
// fill it; the game end's glints blink on its trophy.
#include "ContentCheck.h"

#include "engine/graphics/ImageBase.h"
#include "engine/kernel/PathUtil.h"
#include "engine/kernel/PropertyStore.h"
#include "engine/kernel/ResourceManager.h"
#include "engine/ui/Dialog.h"
#include "engine/ui/DialogManager.h"
#include "engine/ui/Label.h"
#include "engine/ui/SceneManager.h"
#include "engine/ui/StyleLabel.h"
#include "engine/ui/TextLine.h"

#include "BuiltArt.h"

#include <algorithm>
#include <memory>
#include <regex>
#include <sstream>

namespace content {
namespace {

using kernel::NodeValue;
using kernel::SmartPtr;
using kernel::Value;
using namespace game::ids;

// The rectangle in which the game-end dialog blinks its glints.
constexpr const char* glintArea = "370 98 84 72";

// A tag of a markup text: "[name]" or "[name=value]".
struct Tag {
    std::string name;
    std::string value;
};

std::vector<Tag> tagsOf(const std::string& markup) {
    std::vector<Tag> tags;
    static const std::regex tag(R"(\[([^\]=]*)(=([^\]]*))?\])");
    for (auto it = std::sregex_iterator(markup.begin(), markup.end(), tag); it != std::sregex_iterator();
         ++it) {
        tags.push_back({(*it)[1].str(), (*it)[3].str()});
    }
    return tags;
}

std::vector<std::string> commaParts(const std::string& value) {
    std::vector<std::string> parts;
    std::istringstream in(value);
    for (std::string part; std::getline(in, part, ',');) {
        parts.push_back(part);
    }
    return parts;
}

TEST(HelpPages, HeadersAndContentsPairUpAndThePageFormatTakesTwoNumbers) {
    const StoredSettings settings;
    const std::vector<kernel::WideString> headers = settings.texts(helpHeaders);
    const std::vector<kernel::WideString> contents = settings.texts(helpContents);
    ASSERT_FALSE(headers.empty()) << helpHeaders;
    EXPECT_EQ(headers.size(), contents.size()) << "a page without its header or its text";
    for (std::size_t page = 0; page < headers.size(); ++page) {
        EXPECT_FALSE(headers[page].empty()) << helpHeaders << "[" << page << "]";
        EXPECT_TRUE(page >= contents.size() || !contents[page].empty()) << helpContents << "[" << page << "]";
    }
    // The indicator is formatted with the page's number and the count of pages, and nothing else.
    const std::string format = kernel::narrowString(settings.store->textMapLookup(textPageFormat));
    const std::regex conversion("%[^%]|%$");
    std::vector<std::string> conversions;
    for (auto it = std::sregex_iterator(format.begin(), format.end(), conversion);
         it != std::sregex_iterator(); ++it) {
        conversions.push_back(it->str());
    }
    EXPECT_EQ(conversions, (std::vector<std::string>{"%d", "%d"})) << format;
}

// Fonts and pictures of the markup are fetched while the help is shown, with the front end's groups and the
// help's own in; a tag left open would stay in force on the next page the label shows.
TEST(HelpPages, MarkupNamesWhatIsThereAndClosesWhatItOpens) {
    const StoredSettings settings;
    const Resources resources;
    const std::set<std::string> known = {"br",     "color",     "/color",     "font",   "/font",
                                         "image",  "wrapstyle", "/wrapstyle", "alignv", "/alignv",
                                         "alignh", "/alignh",   "tabs",       "tab"};
    std::set<std::string> loaded = frontEndGroups();
    loaded.insert(game::ids::groupHelp);
    std::vector<std::string> found;
    int page = 0;
    for (const kernel::WideString& text : settings.texts(helpContents)) {
        const std::string where = std::string(helpContents) + "[" + std::to_string(page++) + "]";
        std::map<std::string, int> open;
        for (const Tag& tag : tagsOf(kernel::narrowString(text))) {
            if (!known.contains(tag.name)) {
                found.push_back(where + ": no tag \"" + tag.name + "\"");
                continue;
            }
            if (tag.name.front() == '/') {
                --open[tag.name.substr(1)];
            } else if (tag.name != "br" && tag.name != "image" && tag.name != "tabs" && tag.name != "tab") {
                ++open[tag.name];
            }
            const std::vector<std::string> parts = commaParts(tag.value);
            const char* type = tag.name == "font" ? "Font" : tag.name == "image" ? "Image" : nullptr;
            if (type == nullptr) {
                continue;
            }
            const DeclaredResource* resource =
                parts.size() >= 2 ? resources.find(parts[1], parts[0]) : nullptr;
            if (resource == nullptr || resource->type != type) {
                found.push_back(where + ": no " + type + " \"" + tag.value + "\"");
            } else if (!loaded.contains(parts[1])) {
                found.push_back(where + ": \"" + tag.value + "\" is not loaded while the help is shown");
            }
        }
        for (const auto& [name, count] : open) {
            if (count != 0) {
                found.push_back(where + ": [" + name + "] opened " + std::to_string(count) +
                                " more times than closed");
            }
        }
    }
    EXPECT_TRUE(found.empty()) << joined(found);
}

class HelpLayout : public Authored {
protected:
    // The contents label as the help dialog declares it inside its scroll panel.
    NodeValue& contentsDeclaration() {
        for (const SmartPtr<Value>& part :
             component(dialogHelp, scrollPanel).getVector("panelcomponents").children()) {
            if (part->isNode() && key(part->asNode(), "name") == labelContents) {
                return part->asNode();
            }
        }
        ADD_FAILURE() << scrollPanel << " holds no " << labelContents;
        return kernel::DUMMY_NODE();
    }
};

// Each page laid out by the game's own markup label: a picture's text flows beside it and a paragraph after
// it never runs into it; no two pictures and no two runs of text overlap; nothing reaches past the label's
// sides or below its height, which the scroll panel takes as its content's.
TEST_F(HelpLayout, TextFlowsBesidePicturesAndNothingIsCut) {
    if (!RunTreeResources::made()) {
        GTEST_SKIP() << "the runnable tree's media are not generated";
    }
    const StoredSettings settings;
    const RunTreeResources loaded;
    NodeValue& declaration = contentsDeclaration();
    ASSERT_TRUE(RunTreeResources::load(key(declaration, "font"), key(declaration, "section")));
    const std::vector<kernel::WideString> pages = settings.texts(helpContents);
    for (const kernel::WideString& text : pages) {
        for (const Tag& tag : tagsOf(kernel::narrowString(text))) {
            const std::vector<std::string> parts = commaParts(tag.value);
            if ((tag.name == "font" || tag.name == "image") && parts.size() >= 2) {
                EXPECT_TRUE(RunTreeResources::load(parts[0], parts[1])) << tag.value;
            }
        }
    }
    std::vector<std::string> found;
    for (std::size_t page = 0; page < pages.size(); ++page) {
        const SmartPtr<kernel::Object> made = kernel::ObjectFactory::instance()->createObject(declaration);
        ASSERT_TRUE(made && made->isKindOf(ui::StyleLabel::classInfo));
        auto* label = static_cast<ui::StyleLabel*>(made.get());
        label->setText(pages[page]);
        const std::string where = "page " + std::to_string(page + 1) + ": ";
        const Box whole{0, 0, label->getWidth(), label->getHeight()};
        const std::vector<Tag> tags = tagsOf(kernel::narrowString(pages[page]));
        EXPECT_EQ(label->getImages().size(),
                  static_cast<std::size_t>(std::count_if(tags.begin(), tags.end(),
                                                         [](const Tag& tag) { return tag.name == "image"; })))
            << where << "a picture is missing";
        std::vector<Box> pictures;
        for (const SmartPtr<ui::Sprite>& image : label->getImages()) {
            const Box box{image->getX(), image->getY(), image->getWidth(), image->getHeight()};
            for (const Box& other : pictures) {
                if (box.overlaps(other)) {
                    found.push_back(where + "the picture " + box.described() + " lies over " +
                                    other.described());
                }
            }
            if (box.x < 0 || box.x + box.w > whole.w || box.y + box.h > whole.h) {
                found.push_back(where + "the picture " + box.described() + " is cut off by " +
                                whole.described());
            }
            pictures.push_back(box);
        }
        // The label copies each run's picture whole, transparent pixels and all: a run's picture reaching
        // into another's would blot the letters there out.
        std::vector<std::pair<std::string, Box>> runs;
        for (const SmartPtr<ui::TextLine>& line : label->getLines()) {
            for (const SmartPtr<ui::Label>& piece : line->pieces) {
                const graphics::ImageBase* drawn = piece->getImage();
                const Box box{piece->getX(), piece->getY(), drawn != nullptr ? drawn->getWidth() : 0,
                              drawn != nullptr ? drawn->getHeight() : 0};
                const std::string words =
                    "\"" + kernel::narrowString(piece->getText()) + "\" " + box.described();
                for (const Box& picture : pictures) {
                    if (box.overlaps(picture)) {
                        found.push_back(where + words + " runs into a picture");
                    }
                }
                for (const auto& [other, otherBox] : runs) {
                    if (box.overlaps(otherBox)) {
                        found.push_back(where + words + " lies over " + other);
                    }
                }
                if (box.x < 0 || box.x + box.w > whole.w) {
                    found.push_back(where + words + " reaches past the sides");
                }
                runs.emplace_back(words, box);
            }
        }
    }
    EXPECT_TRUE(found.empty()) << joined(found);
}

using BuiltMenus = BuiltArt;

// Every component of a framed dialog lies inside the frame's rim, and no two of them share a pixel; over
// the whole screen they keep to the screen. Sizes are those of the generated pictures and of the labels'
// longest texts.
TEST_F(BuiltMenus, ComponentsKeepInsideTheirFrameAndApart) {
    // The frame's shadow margin and rim: what lies inside it is the dialog's pale body.
    constexpr int rim = 8;
    std::map<std::string, ui::Dialog*> dialogs;
    for (const char* name : {dialogMenu, dialogSettings, dialogHelp, dialogPause, dialogGameEnd}) {
        dialogs[name] = build(name);
        ASSERT_NE(dialogs[name], nullptr) << name;
    }
    const std::vector<kernel::WideString> pages = settings->texts(helpHeaders);
    longest(*dialogs[dialogHelp], labelHeader, pages);
    longest(*dialogs[dialogHelp], labelIndex, {u"Page 10 of 10"});
    dialogs[dialogHelp]
        ->findComponentAs<ui::StyleLabel>(labelContents)
        ->setText(settings->texts(helpContents)[2]);
    std::vector<std::string> found;
    for (const auto& [name, dialog] : dialogs) {
        const bool framed = name != dialogPause && name != dialogGameEnd;
        const Box inside = framed ? Box{rim, rim, dialog->getWidth() - 2 * rim, dialog->getHeight() - 2 * rim}
                                  : Box{0, 0, screenWidth, screenHeight};
        std::vector<std::pair<std::string, Box>> boxes;
        for (ui::GameNode* node = dialog->getContentNode()->getFirstChild(); node != nullptr;
             node = node->getNextSibling()) {
            if (!node->isKindOf(ui::Sprite::classInfo) || node->getName() == gameEndBackground) {
                continue;
            }
            const Box box = drawnBox(static_cast<const ui::Sprite&>(*node));
            const std::string what = name + " " + node->getName() + " " + box.described();
            if (box.w <= 0 || box.h <= 0) {
                found.push_back(what + ": nothing to show");
            }
            if (box.x < inside.x || box.y < inside.y || box.x + box.w > inside.x + inside.w ||
                box.y + box.h > inside.y + inside.h) {
                found.push_back(what + ": outside " + inside.described());
            }
            for (const auto& [other, otherBox] : boxes) {
                if (box.overlaps(otherBox)) {
                    found.push_back(what + ": over " + other);
                }
            }
            boxes.emplace_back(node->getName(), box);
        }
    }
    EXPECT_TRUE(found.empty()) << joined(found);
}

using SettingsData = Authored;

// The settings play "SOUND_PLOP" with 1 for the lowest eighth of the volume up to 8 for the highest: each
// step is there, and sounds higher than the one below it.
TEST_F(SettingsData, EveryPlopIsThereEachHigherThanTheLast) {
    double previous = -1e9;
    for (int n = 1; n <= plopSounds; ++n) {
        const std::string id = soundPlopPrefix + std::to_string(n);
        const DeclaredResource* sound = resources.find(groupSounds, id);
        ASSERT_TRUE(sound != nullptr && sound->type == "Sound") << id;
        const ManifestEntry* made = manifest.maker(kernel::normaliseResourcePath(sound->file));
        ASSERT_NE(made, nullptr) << id;
        EXPECT_EQ(made->get("kind"), "plop") << id;
        const double pitch = std::atof(made->get("pitch").c_str());
        EXPECT_GT(pitch, previous) << id;
        previous = pitch;
    }
}

// The knob's middle travels the groove its picture draws: the groove's "knob" is the knob's length along
// it, and the knob is as thick as the groove's picture, so it sits on the groove wherever it is. The
// volumes run over 0 to 255.
TEST_F(SettingsData, EachSliderKnobRidesItsGroove) {
    const auto check = [&](const NodeValue& slider, const std::string& what) {
        SCOPED_TRACE(what);
        const ManifestEntry* track = pictureOf(slider);
        const ManifestEntry* knob = slider.hasChild("button") ? pictureOf(slider.getNode("button")) : nullptr;
        ASSERT_TRUE(track != nullptr && knob != nullptr);
        EXPECT_EQ(track->get("kind"), "slidertrack");
        const bool vertical = slider.hasChild("vertical") && slider.getValue("vertical").asBool();
        EXPECT_GT(number(*track, vertical ? "height" : "width"),
                  number(*track, vertical ? "width" : "height"))
            << "the groove runs along the slider";
        EXPECT_EQ(number(*track, "knob"), number(*knob, vertical ? "height" : "width"));
        EXPECT_EQ(number(*knob, vertical ? "width" : "height"),
                  number(*track, vertical ? "width" : "height"));
    };
    for (const char* volume : {sliderSoundVolume, sliderMusicVolume}) {
        const NodeValue& slider = component(dialogSettings, volume);
        EXPECT_EQ(slider.typeName(), "Slider") << volume;
        EXPECT_EQ(slider.getValue("minvalue").asInt(), 0) << volume;
        EXPECT_EQ(slider.getValue("maxvalue").asInt(), 255) << volume;
        check(slider, volume);
    }
    const NodeValue& panel = component(dialogHelp, scrollPanel);
    ASSERT_TRUE(panel.hasChild("scrollbar_vertical"));
    check(panel.getNode("scrollbar_vertical"), "the help's scroll bar");
}

using ScreenDialogs = Authored;

// The pause and the end of the game cover the whole screen with their pictures.
TEST_F(ScreenDialogs, FillTheScreen) {
    for (const char* dialog : {dialogPause, dialogGameEnd}) {
        const NodeValue& node = declaration(dialog);
        EXPECT_EQ(node.getValue("width").asInt(), screenWidth) << dialog;
        EXPECT_EQ(node.getValue("height").asInt(), screenHeight) << dialog;
    }
    const ManifestEntry* pause =
        pictureOf(key(declaration(dialogPause), "section"), key(declaration(dialogPause), "background"));
    const ManifestEntry* end = pictureOf(component(dialogGameEnd, gameEndBackground));
    for (const ManifestEntry* picture : {pause, end}) {
        ASSERT_NE(picture, nullptr);
        EXPECT_EQ(number(*picture, "width"), screenWidth) << picture->get("file");
        EXPECT_EQ(number(*picture, "height"), screenHeight) << picture->get("file");
    }
    EXPECT_EQ(key(component(dialogGameEnd, gameEndBackground), "x"), "0");
    EXPECT_EQ(key(component(dialogGameEnd, gameEndBackground), "y"), "0");
}

// The dialog blinks its glints at random points of a fixed rectangle: the picture's trophy lies there, and
// the glint is cut into six frames one below the other; its bursts fall as the match particles 1 to 6.
TEST_F(ScreenDialogs, GlintsBlinkOnTheTrophy) {
    const ManifestEntry* end = pictureOf(component(dialogGameEnd, gameEndBackground));
    ASSERT_NE(end, nullptr);
    EXPECT_EQ(end->get("kind"), "celebration");
    EXPECT_EQ(end->get("shine"), glintArea);
    const ManifestEntry* glint = pictureOf(groupScenePlay, imageBlinkShine);
    ASSERT_NE(glint, nullptr);
    EXPECT_EQ(glint->get("frames"), "6");
    EXPECT_NE(glint->get("orientation"), "horizontal");
    for (int k = 1; k <= gameEndParticleKinds; ++k) {
        pictureOf(groupScenePlay, imageParticlePrefix + std::to_string(k));
    }
}

} // namespace
} // namespace content
