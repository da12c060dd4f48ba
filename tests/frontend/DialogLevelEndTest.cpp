// The level-end dialog over a scene that plays a mode, with a window, so that every frame is painted as in
// the game: the carrot's entry, the letters' jumps, the composed carrot, its bites with their sounds and
// crumbs; then, by kind and mode, going on by itself, the continue button or the try-again question; what
// each answer asks of the scene; the kind each dialog keeps; letters laid out anew and missing parts.
#include "game/frontend/DialogLevelEnd.h"

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ResourceGroup.h"
#include "engine/kernel/ResourceManager.h"
#include "engine/kernel/ScalarValue.h"
#include "engine/kernel/ValueDocument.h"
#include "engine/kernel/VectorValue.h"
#include "engine/platform/Application.h"
#include "engine/ui/Button.h"
#include "engine/ui/FullScreenHandler.h"
#include "engine/ui/Label.h"
#include "engine/ui/SoundSample.h"
#include "engine/ui/SoundSystem.h"
#include "game/field/PlayField.h"
#include "game/field/SpriteLabel.h"
#include "game/foundation/GameGlobals.h"
#include "game/foundation/PibbleScene.h"
#include "host/Window.h"

#include "EncodedImages.h"
#include "FrontendWorld.h"
#include "SoundFiles.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <utility>

namespace {

using frontendtest::FrontendWorld;
using game::DialogLevelEnd;
namespace ids = game::ids;

constexpr int stepMs = 10;
// The carrot's parts are 60 x 20 and stand on their right middle; crumbs are six frames of 4 x 4.
constexpr int carrotW = 60;
constexpr int carrotH = 20;
constexpr std::uint32_t frontColour = 0xFF30A030u;

// Letters of the test font are 4 x 8; buttons without images are a quarter of their declared height.
const char* const declarations = R"(<dialogs><Node id="dialogs">
  <DialogLevelEnd id="DIALOG_LEVELEND" width="640" height="480" autoenlarge="false"><Vector id="components">
    <Sprite name="SPRITE_WHITEBAR" width="300" height="10" anchorpoint="center"/>
    <Sprite name="SPRITE_CARROT_BACK" image="TEST_CARROT" section="dialogs" anchorpoint="right"/>
    <Sprite name="SPRITE_CARROT" anchorpoint="center"/>
    <Sprite name="SPRITE_CARROT_FRONT" image="TEST_CARROT" section="dialogs" anchorpoint="right"/>
    <SpriteLabel name="LABEL_HDR" font="FONT_OOGIEBOOGIE_20" section="preloading" buffer="false"/>
    <Label name="LABEL_TXT" width="300" font="FONT_OOGIEBOOGIE_20" section="preloading" anchorpoint="top"/>
    <Label name="LABEL_TRYAGAIN" x="320" y="300" font="FONT_OOGIEBOOGIE_20" section="preloading"/>
    <Button name="BUTTON_CONTINUE" x="100" y="100" width="80" height="80" anchorpoint="center"/>
    <Button name="BUTTON_YES" x="200" y="400" width="80" height="80"/>
    <Button name="BUTTON_NO" x="360" y="400" width="80" height="80"/></Vector></DialogLevelEnd>
  <DialogLevelEnd id="DIALOG_LEVELEND_BARE" width="640" height="480"/>
  <DialogPibble id="DIALOG_YESNO" width="200" height="80"><Vector id="components">
    <Label name="HEADER"/><Label name="MESSAGE"/><Button name="BUTTON_YES"/><Button name="BUTTON_NO"/>
  </Vector></DialogPibble></Node>
<FullScreenHandler id="DEFAULT_FSH" x="640" y="0"><Button id="button_minimize" width="20" height="64"/>
  <Button id="button_restore" width="20" height="64"/><Button id="button_quit" width="24" height="64"/>
</FullScreenHandler></dialogs>)";

// A scene that plays a mode and notes which of its level-end operations were asked for.
class ModeScene : public game::PibbleScene {
public:
    std::int32_t playingMode() const override { return mode; }
    void advanceWithFade() override { calls.emplace_back("advance"); }
    void retryLevelWithFade() override { calls.emplace_back("retry"); }
    void gameFinishedForMode() override { calls.emplace_back("finished"); }
    void gameFailedForMode() override { calls.emplace_back("failed"); }

    std::int32_t mode = game::gameModeAction;
    std::vector<std::string> calls;
};

// After bite n the carrot's 4 (n + 1) rightmost columns are transparent; the mask's colour is not taken.
std::string biteMaskPng(int n) {
    testsupport::PngPicture mask;
    mask.width = carrotW;
    mask.height = carrotH;
    mask.colourType = PNG_COLOR_TYPE_RGBA;
    for (int i = 0; i < carrotW * carrotH; ++i) {
        const std::uint16_t alpha = i % carrotW < carrotW - 4 * (n + 1) ? 255 : 0;
        mask.samples.insert(mask.samples.end(), {0x12, 0x34, 0x56, alpha});
    }
    return testsupport::encodePng(mask);
}

using Held = std::map<std::string, kernel::SmartPtr<testsupport::HeldResource>>;

Held addSection(const std::string& name, const std::map<std::string, kernel::Object*>& objects) {
    kernel::NodeValue declaration(name, "Node");
    declaration.setChild(new kernel::ScalarValue("name", name, kernel::Typing::Untyped));
    const kernel::SmartPtr<kernel::ResourceGroup> group = new kernel::ResourceGroup(declaration);
    Held held;
    for (const auto& [id, object] : objects) {
        group->addResource(id, (held[id] = new testsupport::HeldResource(object, id)).get());
    }
    kernel::ResourceManager::instance()->addGroup(group.get());
    return held;
}

class DialogLevelEndTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        game::resetGameGlobals();
        app = platform::Application::create("level end test", 640, 480, false, 0, 101);
        ui::SoundSystem::create(44100, 32);
        std::map<std::string, kernel::Object*> images{{"TEST_CARROT", carrotImage.get()}};
        addBiteMasks();
        for (int j = 0; j < DialogLevelEnd::crumbKinds; ++j) {
            images[ids::carrotCrumbPrefix + std::to_string(j)] = crumbImage.get();
        }
        addSection(ids::groupDialogs, images);
        // The crumbs are looked up where the play scenes' pictures are.
        addSection(ids::groupScenePlay, images);
        std::map<std::string, kernel::Object*> samples;
        for (int n = 1; n <= ids::biteSounds; ++n) {
            samples[ids::soundBiteCarrotPrefix + std::to_string(n)] = nullptr;
        }
        sounds = addSection(ids::groupGameSounds, samples);
        playedSounds();
        for (const auto& [key, text] :
             std::map<std::string, std::u16string>{{ids::textGameFinishedHeader, u"Yum"},
                                                   {ids::textGameFailedHeader, u"Oops"},
                                                   {ids::textChapterFinishedHeader, u"Yay"},
                                                   {ids::textGameFailedAction, u"Too slow"},
                                                   {ids::textGameFailedRelax, u"No moves"},
                                                   {ids::textGameFailedVib, u"Out of time"},
                                                   {ids::textGameFailedTryAgain, u"Again"},
                                                   {ids::textQuit, u"Quit"}}) {
            FrontendWorld::setText(key, text);
        }
        ui::RegisterScene("PLAY", scene);
        world.startIn("PLAY");
    }
    void TearDown() override {
        dialog = nullptr;
        letters.clear();
        scene->removeAllDialogs();
        ui::FullScreenHandler::destroyDefault();
        game::PlayField::destroy();
        ui::SoundSystem::destroy();
        platform::closeApplicationDisplay();
        platform::Application::destroy();
    }

    DialogLevelEnd* open(int kind, std::int32_t mode) {
        scene->mode = mode;
        scene->calls.clear();
        ui::Dialog* made = game::DialogPibble::openLevelEnd(kind);
        EXPECT_TRUE(made != nullptr && made->isKindOf(DialogLevelEnd::classInfo));
        dialog = static_cast<DialogLevelEnd*>(made);
        letters = dialog->getHeader()->glyphs();
        clock = 0;
        seen = Timeline();
        seen.letterShown.assign(letters.size(), -1);
        seen.letterTop.assign(letters.size(), INT_MAX);
        return dialog.get();
    }
    void frame(int ms = stepMs) {
        world.frame(static_cast<std::uint32_t>(ms));
        clock += ms;
        record();
    }
    void run(int ms, int step = stepMs) {
        for (int t = 0; t < ms; t += step) {
            frame(step);
        }
    }
    bool runUntil(const std::function<bool()>& condition, int maxMs, int step = stepMs) {
        for (int t = 0; t < maxMs && !condition(); t += step) {
            frame(step);
        }
        return condition();
    }
    bool isOpen() const { return scene->isDialogOpen(ids::dialogLevelEnd); }
    static bool still(const ui::GameNode* node) { return node->getModifierList().empty(); }
    bool arrived() const {
        return dialog->getButtonContinue()->isVisible() && still(dialog->getButtonContinue());
    }
    bool bitesDone() const { return dialog->getBiteCount() == DialogLevelEnd::bites; }
    std::vector<std::string> calls() const { return scene->calls; }

    static std::pair<int, int> centreOf(const ui::Sprite* sprite) {
        const graphics::PointF& anchor = sprite->getAnchorPoint();
        return {sprite->getAbsoluteX() - static_cast<int>(anchor.getX()) + sprite->getWidth() / 2,
                sprite->getAbsoluteY() - static_cast<int>(anchor.getY()) + sprite->getHeight() / 2};
    }
    // A press and release on the sprite through the scene's input, as the window delivers them.
    void clickOn(const ui::Sprite* sprite) {
        const auto [x, y] = centreOf(sprite);
        scene->getInputDispatcher()->onLeftDown(x, y, host::MK_LBUTTON, false);
        scene->getInputDispatcher()->onLeftUp(x, y, 0);
    }
    // The pointer moved there as the window reports it; the frame delivers the move before the update.
    void pointTo(std::pair<int, int> at) {
        scene->getInputDispatcher()->onWindowMessage(host::WM_MOUSEMOVE, 0,
                                                     host::MAKELPARAM(at.first, at.second));
        frame();
    }
    host::HCURSOR cursor(std::uintptr_t id) const {
        return host::LoadCursor(nullptr, host::MAKEINTRESOURCE(id));
    }

    // The bite sounds played since the last call; a sound that played gets a fresh sample to be seen again.
    std::vector<int> playedSounds() {
        std::vector<int> numbers;
        for (auto& [name, resource] : sounds) {
            const auto* sample = static_cast<const ui::SoundSample*>(resource->get());
            if (sample == nullptr || sample->getLastPlayStart() != ui::SoundSample::PlayStart::None) {
                numbers.push_back(sample != nullptr ? name.back() - '0' : 0);
                const kernel::SmartPtr<ui::SoundSample> fresh = new ui::SoundSample();
                EXPECT_EQ(fresh->load(wavFile, 0), 0);
                resource->hold(fresh.get());
            }
        }
        std::erase(numbers, 0);
        return numbers;
    }
    int opaqueInFirstRow() const {
        const auto* image = static_cast<const graphics::MemoryImage32*>(dialog->getCarrot()->getImage());
        return static_cast<int>(std::count_if(image->pixels32(), image->pixels32() + carrotW,
                                              [](std::uint32_t pixel) { return pixel >> 24 == 0xFF; }));
    }

    struct Timeline {
        std::vector<int> letterShown;
        std::vector<int> letterTop;
        int composedAt = -1;
        std::vector<int> biteAt;
        std::vector<int> opaque; // the carrot's opaque pixels in its first row after each bite
        // The sounds of each frame; a bite's frame ends with a 0.
        std::vector<std::vector<int>> sounds;
        int answeredAt = -1;
    };
    void record() {
        if (!dialog) {
            return;
        }
        for (std::size_t k = 0; k < letters.size(); ++k) {
            if (letters[k]->isVisible() && !letters[k]->isDead()) {
                seen.letterShown[k] = seen.letterShown[k] < 0 ? clock : seen.letterShown[k];
                seen.letterTop[k] = std::min(seen.letterTop[k], letters[k]->getY());
            }
        }
        if (seen.composedAt < 0 && dialog->getCarrot()->isVisible()) {
            seen.composedAt = clock;
        }
        std::vector<int> played = playedSounds();
        if (static_cast<int>(seen.biteAt.size()) < dialog->getBiteCount()) {
            seen.biteAt.push_back(clock);
            seen.opaque.push_back(dialog->getCarrot()->getImage() != nullptr ? opaqueInFirstRow() : -1);
            played.push_back(0);
        }
        seen.sounds.push_back(played);
        if (seen.answeredAt < 0 && (!scene->calls.empty() || !isOpen())) {
            seen.answeredAt = clock;
        }
    }

    // The bites' masks: PNG files declared in their own section as the game declares them, the files named
    // broken holding no picture.
    void addBiteMasks(const std::vector<int>& broken = {}) {
        std::string declarations;
        for (int n = 0; n < DialogLevelEnd::bites; ++n) {
            const std::string id = ids::carrotMaskPrefix + std::to_string(n);
            const bool damaged = std::find(broken.begin(), broken.end(), n) != broken.end();
            // Named from the working folder, as the game names its files.
            const std::string file =
                files.write(id + ".png", damaged ? std::string("no picture") : biteMaskPng(n));
            declarations +=
                "<Image id=\"" + id + "\" file=\"" + std::filesystem::relative(file).string() + "\"/>";
        }
        const kernel::SmartPtr<kernel::ValueDocument> document = new kernel::ValueDocument(
            files.write("bites.xml", std::string(R"(<Resources><Vector id="Sections"><Node name=")") +
                                         DialogLevelEnd::biteMaskSection + R"(" auto="false">)" +
                                         declarations + "</Node></Vector></Resources>"));
        document->load();
        kernel::ResourceManager::instance()->removeGroup(DialogLevelEnd::biteMaskSection, true);
        kernel::VectorValue& sections = document->getVector("Sections");
        for (std::int32_t i = 0; i < sections.childCount(); ++i) {
            kernel::ResourceManager::instance()->addGroup(new kernel::ResourceGroup(*sections.at(i)));
        }
    }
    bool anyMaskLoaded() const {
        for (int n = 0; n < DialogLevelEnd::bites; ++n) {
            const kernel::Resource* mask = kernel::ResourceManager::instance()->findResource(
                ids::carrotMaskPrefix + std::to_string(n), DialogLevelEnd::biteMaskSection);
            if (mask == nullptr || mask->isLoaded()) {
                return true;
            }
        }
        return false;
    }

    testsupport::TempDir files;
    std::string wavFile = files.write("bite.wav", testsupport::wav(testsupport::tone(200)));
    testsupport::Image32 carrotImage = testsupport::filled32(carrotW, carrotH, frontColour);
    testsupport::Image32 crumbImage = testsupport::filled32(4, 24, 0xFFFF8000u);
    Held sounds;
    FrontendWorld world{declarations};
    ModeScene* scene = new ModeScene();
    platform::Application* app = nullptr;
    kernel::SmartPtr<DialogLevelEnd> dialog;
    std::vector<kernel::SmartPtr<ui::Sprite>> letters;
    Timeline seen;
    int clock = 0;
};

TEST_F(DialogLevelEndTest, AFinishedLevelEatsTheCarrotAndGoesOnASecondAfterTheLastBite) {
    ASSERT_NE(open(game::levelEndFinished, game::gameModeAction), nullptr);
    EXPECT_EQ(game::levelEndKind(), game::levelEndFinished);
    ui::Sprite* front = dialog->getCarrotFront();
    ui::Sprite* carrot = dialog->getCarrot();
    // Laid out: the carrot's parts off screen to the left, the letters hidden, the rest hidden and off.
    ASSERT_EQ(letters.size(), 3u);
    EXPECT_FALSE(dialog->getHeader()->needsLayout()) << "laid out when shown, not again at the paint";
    EXPECT_EQ(front->getX(), -carrotW);
    EXPECT_FALSE(carrot->isVisible() || dialog->getText()->isVisible() ||
                 dialog->getWhiteBar()->isVisible() || dialog->getButtonContinue()->isVisible() ||
                 dialog->getButtonYes()->isEnabled());
    std::vector<int> baseY;
    for (const auto& letter : letters) {
        EXPECT_FALSE(letter->isVisible());
        baseY.push_back(letter->getY());
    }

    ASSERT_TRUE(runUntil([this] { return dialog->getBiteCount() == 1; }, 3000));
    // The carrot slid in (250 ms) and squashed (2 x 100 ms) to stand with its middle at 320; then the
    // letters jumped 200 ms apart, 100 px up and down again.
    EXPECT_EQ(front->getX(), carrotW / 2 + 320);
    EXPECT_EQ(dialog->getCarrotBack()->getX(), carrotW / 2 + 320);
    for (std::size_t k = 0; k < letters.size(); ++k) {
        EXPECT_NEAR(seen.letterShown[k], 450 + 200 * static_cast<int>(k), 2 * stepMs) << k;
        EXPECT_EQ(seen.letterTop[k], baseY[k] - 100) << k;
        // Back on the ground, now held by its top left corner for the composed carrot.
        EXPECT_EQ(letters[k]->getY() + letters[k]->getHeight(), baseY[k]) << k;
    }
    EXPECT_EQ(dialog->getHeader()->glyphs(), letters) << "the paints kept the letters that jump";
    // The front was cut away up to the last letter's right edge.
    const int rightEdge = letters.back()->getAbsoluteX() + letters.back()->getWidth();
    ASSERT_NE(front->getClipRect(), nullptr);
    EXPECT_EQ(front->getClipRect()->x, rightEdge);
    EXPECT_EQ(front->getClipRect()->right(), 640);

    // Composed once the last letter was down: the front with the letters on it, in place of its parts.
    EXPECT_NEAR(seen.composedAt, seen.letterShown.back() + 500, 3 * stepMs);
    EXPECT_FALSE(front->isVisible() || dialog->getCarrotBack()->isVisible() ||
                 dialog->getHeader()->isVisible());
    const auto* image = static_cast<const graphics::MemoryImage32*>(carrot->getImage());
    ASSERT_TRUE(image != nullptr && image->getWidth() == carrotW && image->getHeight() == carrotH);
    const auto lettered = [&](int x, int y) {
        return std::any_of(letters.begin(), letters.end(), [&](const kernel::SmartPtr<ui::Sprite>& letter) {
            const int left = letter->getX() + carrotW / 2 + 10;
            const int top = letter->getY() + carrotH / 2;
            return x >= left && x < left + letter->getWidth() && y >= top && y < top + letter->getHeight();
        });
    };
    int changedOnLetters = 0;
    for (int y = 0; y < carrotH; ++y) {
        for (int x = 0; x < carrotW; ++x) {
            const bool changed = (image->pixels32()[image->pixelIndex(x, y)] ^ frontColour) & 0xFFFFFFu;
            EXPECT_TRUE(!changed || lettered(x, y)) << x << "," << y;
            changedOnLetters += changed ? 1 : 0;
        }
    }
    EXPECT_GE(changedOnLetters, 3) << "every letter drawn";
    // The first bite's crumbs: six frames each, from (530, 220), the later ones unseen while they wait.
    const std::vector<kernel::SmartPtr<ui::Sprite>> crumbs = dialog->getCrumbs();
    ASSERT_EQ(crumbs.size(), 3u);
    EXPECT_TRUE(crumbs[0]->getFrameCount() == 6 && crumbs[0]->getHeight() == 4 && crumbs[0]->getX() == 530 &&
                crumbs[0]->getY() == 220 && crumbs[2]->getAlpha() == 0);

    ASSERT_TRUE(runUntil([this] { return seen.answeredAt >= 0; }, 5000));
    // Thirteen bites 200 ms apart, each taking its mask's alpha, with the sounds in their fixed order.
    ASSERT_EQ(seen.biteAt.size(), 13u);
    for (std::size_t i = 0; i < seen.biteAt.size(); ++i) {
        EXPECT_NEAR(seen.biteAt[i] - (i == 0 ? seen.composedAt : seen.biteAt[i - 1]), 200, stepMs) << i;
        EXPECT_EQ(seen.opaque[i], carrotW - 4 * static_cast<int>(i + 1)) << i;
    }
    std::vector<int> heard;
    for (const std::vector<int>& inFrame : seen.sounds) {
        heard.insert(heard.end(), inFrame.begin(), inFrame.end());
    }
    EXPECT_EQ(heard,
              (std::vector<int>{0, 2, 0, 3, 0, 4, 0, 2, 0, 3, 0, 4, 0, 1, 0, 3, 0, 4, 0, 1, 0, 2, 0, 4, 0}))
        << "bite by bite, nothing between";
    EXPECT_EQ(image, carrot->getImage()) << "composed once";
    EXPECT_EQ(image->pixels32()[0] & 0xFFFFFFu, frontColour & 0xFFFFFFu) << "the bites keep the colours";
    // Each crumb fell along its own curve to below the screen, where it stays.
    const int ends[] = {530 + 160, 530 - 160, 530 + 480};
    for (std::size_t j = 0; j < 3; ++j) {
        EXPECT_TRUE(crumbs[j]->getX() == ends[j] && crumbs[j]->getY() == 484 &&
                    crumbs[j]->getParent() == dialog.get())
            << j;
    }
    EXPECT_EQ(dialog->getCrumbs().size(), 39u);
    EXPECT_FALSE(anyMaskLoaded()) << "each mask let go after its bite";
    // A second after the last bite the dialog closes and the mode's next level follows, once.
    EXPECT_NEAR(seen.answeredAt, seen.biteAt.back() + 1000, 2 * stepMs);
    EXPECT_EQ(calls(), std::vector<std::string>{"finished"});
    EXPECT_FALSE(isOpen());
    run(1000, 50);
    EXPECT_EQ(calls(), std::vector<std::string>{"finished"});
}

// A mask that cannot be read leaves its own bite's cut out; the bites before and after it cut as ever.
TEST_F(DialogLevelEndTest, ADamagedBiteMaskLeavesOnlyItsOwnCutOut) {
    addBiteMasks({5});
    ASSERT_NE(open(game::levelEndFinished, game::gameModeAction), nullptr);
    ASSERT_TRUE(runUntil([this] { return seen.answeredAt >= 0; }, 5000));
    ASSERT_EQ(seen.opaque.size(), 13u);
    for (std::size_t i = 0; i < seen.opaque.size(); ++i) {
        EXPECT_EQ(seen.opaque[i], carrotW - 4 * (i == 5 ? 5 : static_cast<int>(i + 1))) << i;
    }
    EXPECT_FALSE(anyMaskLoaded());
}

TEST_F(DialogLevelEndTest, GoingOnByItselfAsksTheSceneByKindAndMode) {
    struct Case {
        int kind;
        std::int32_t mode;
        std::vector<std::string> calls;
    };
    const Case cases[] = {{game::levelEndFinished, game::gameModeRelax, {"finished"}},
                          {game::levelEndFinished, game::gameModeVib, {"advance"}},
                          {game::levelEndChapterFinished, game::gameModeVib, {}},
                          {game::levelEndFinished, game::gameModeNone, {"finished"}}};
    for (const Case& one : cases) {
        SCOPED_TRACE(std::to_string(one.kind) + " in mode " + std::to_string(one.mode));
        ASSERT_NE(open(one.kind, one.mode), nullptr);
        EXPECT_EQ(dialog->getHeader()->getText(), one.kind == game::levelEndFinished ? u"Yum" : u"Yay");
        ASSERT_TRUE(runUntil([this] { return bitesDone(); }, 4000, 50));
        run(900, 50);
        EXPECT_TRUE(isOpen());
        EXPECT_TRUE(runUntil([this] { return !isOpen(); }, 200, 50)) << "a second after the last bite";
        EXPECT_EQ(calls(), one.calls);
    }
}

TEST_F(DialogLevelEndTest, AFailedActionLevelGoesOnAtAClickOnceTheContinueButtonHasArrived) {
    ASSERT_NE(open(game::levelEndFailed, game::gameModeAction), nullptr);
    ui::Label* text = dialog->getText();
    ui::Button* button = dialog->getButtonContinue();
    EXPECT_EQ(dialog->getHeader()->getText(), u"Oops");
    EXPECT_EQ(text->getText(), u"Too slow");
    const int buttonY = 240 + text->getHeight();
    EXPECT_EQ(button->getY(), buttonY);
    EXPECT_EQ(dialog->getButtonYes()->getY(), -100);
    EXPECT_EQ(dialog->getButtonNo()->getY(), -100);

    // The text, its bar and the button show once the carrot is in, and slide down.
    ASSERT_TRUE(runUntil(
        [&] { return text->isVisible() && dialog->getWhiteBar()->isVisible() && button->isVisible(); },
        1000));
    EXPECT_NEAR(clock, 450, 3 * stepMs);
    // While the button moves, a click on it or anywhere does nothing, and it shows no hand.
    ASSERT_FALSE(arrived());
    clickOn(button);
    EXPECT_FALSE(dialog->onLeftButtonDown(10, 470, 0, false));
    ASSERT_TRUE(runUntil([this] { return arrived(); }, 500));
    EXPECT_EQ(button->getY(), buttonY + 105);
    pointTo(centreOf(button));
    EXPECT_EQ(app->getCursor(), cursor(host::IDC_HAND));
    pointTo({10, 470});
    EXPECT_EQ(app->getCursor(), cursor(host::IDC_ARROW));

    // It never goes on by itself.
    ASSERT_TRUE(runUntil([this] { return bitesDone(); }, 4000, 50));
    run(3000, 50);
    EXPECT_TRUE(calls().empty() && isOpen());
    EXPECT_EQ(text->getY(), 240 + 105);
    EXPECT_EQ(dialog->getWhiteBar()->getY(), 240 + 125);

    // Not on the full-screen buttons, and not while the quit question is open.
    app->setFullScreen(true);
    ASSERT_NE(ui::FullScreenHandler::createDefault(), nullptr);
    ui::FullScreenHandler::setActive(true, true, nullptr);
    app->setFullScreen(false);
    const auto [x, y] = centreOf(ui::FullScreenHandler::defaultHandler()->getButtonQuit());
    EXPECT_FALSE(dialog->onLeftButtonDown(x, y, 0, false));
    game::DialogPibble::showYesNo(ids::textQuit, ids::textQuitHeader, nullptr, nullptr, nullptr, nullptr);
    EXPECT_FALSE(dialog->onLeftButtonDown(10, 470, 0, false));
    game::DialogPibble::closeDialog(ids::textQuit);
    EXPECT_TRUE(calls().empty());

    // Anywhere else it goes on to the mode's game over, once, and the hand goes.
    pointTo(centreOf(button));
    EXPECT_EQ(app->getCursor(), cursor(host::IDC_HAND));
    EXPECT_TRUE(dialog->onLeftButtonDown(10, 470, 0, false));
    EXPECT_FALSE(dialog->onLeftButtonDown(10, 470, 0, false));
    EXPECT_EQ(calls(), std::vector<std::string>{"failed"});
    EXPECT_FALSE(isOpen());
    EXPECT_EQ(app->getCursor(), cursor(host::IDC_ARROW));

    // Pressing the button itself does the same, here after a failed RELAX level.
    ASSERT_NE(open(game::levelEndFailed, game::gameModeRelax), nullptr);
    EXPECT_EQ(dialog->getText()->getText(), u"No moves");
    ASSERT_TRUE(runUntil([this] { return arrived(); }, 1500));
    clickOn(dialog->getButtonContinue());
    EXPECT_EQ(calls(), std::vector<std::string>{"failed"});
    EXPECT_FALSE(isOpen());
}

TEST_F(DialogLevelEndTest, AFailedVibLevelAsksToTryAgainAndNeverGoesOnByItself) {
    ASSERT_NE(open(game::levelEndFailed, game::gameModeVib), nullptr);
    ui::Label* text = dialog->getText();
    ui::Label* tryAgain = dialog->getTryAgain();
    ui::Button* no = dialog->getButtonNo();
    EXPECT_EQ(text->getText(), u"Out of time");
    EXPECT_EQ(tryAgain->getText(), u"Again");
    EXPECT_EQ(no->getY(), 400);
    ASSERT_TRUE(runUntil([text] { return text->isVisible(); }, 1000));
    const int shown = clock;
    // The text stays 5.5 s and fades; the question and its buttons then fade in, enabled once it is in.
    ASSERT_TRUE(runUntil([text] { return still(text); }, 7000, 50));
    EXPECT_NEAR(clock - shown, 5500 + 250, 100);
    EXPECT_EQ(text->getAlpha(), 0);
    frame();
    EXPECT_TRUE(tryAgain->isVisible() && no->isVisible() && dialog->getButtonYes()->isVisible());
    EXPECT_FALSE(no->isEnabled());
    clickOn(no);
    ASSERT_TRUE(runUntil([no] { return no->isEnabled(); }, 500));
    EXPECT_TRUE(dialog->getButtonYes()->isEnabled());
    EXPECT_EQ(tryAgain->getAlpha(), 255);
    // The continue button never comes; clicks outside the buttons, or on its unseen place, do nothing.
    run(3000, 50);
    EXPECT_FALSE(dialog->getButtonContinue()->isVisible());
    EXPECT_FALSE(dialog->onLeftButtonDown(10, 470, 0, false));
    clickOn(dialog->getButtonContinue());
    EXPECT_TRUE(calls().empty() && isOpen());

    // No gives the level up as the continue button does.
    clickOn(no);
    EXPECT_EQ(calls(), std::vector<std::string>{"failed"});
    EXPECT_FALSE(isOpen());

    // Yes plays the level again from a score of 0.
    game::PlayField::create()->setScore(1234);
    ASSERT_NE(open(game::levelEndFailed, game::gameModeVib), nullptr);
    ASSERT_TRUE(runUntil([this] { return dialog->getButtonYes()->isEnabled(); }, 8000, 50));
    clickOn(dialog->getButtonYes());
    EXPECT_EQ(calls(), std::vector<std::string>{"retry"});
    EXPECT_EQ(game::PlayField::instance()->getScore(), 0);
    EXPECT_FALSE(isOpen());
}

TEST_F(DialogLevelEndTest, EachDialogKeepsItsKindAndOnlyTheHolderResetsIt) {
    // A dialog gone while the kind is still its own sets it back to 0.
    ASSERT_NE(open(game::levelEndFailed, game::gameModeAction), nullptr);
    game::DialogPibble::closeDialog(ids::dialogLevelEnd);
    dialog = nullptr;
    frame();
    EXPECT_EQ(game::levelEndKind(), 0);

    // An old dialog that goes after a newer one was shown leaves the newer one's kind alone.
    ASSERT_NE(open(game::levelEndFailed, game::gameModeAction), nullptr);
    kernel::SmartPtr<DialogLevelEnd> old = dialog;
    game::DialogPibble::closeDialog(ids::dialogLevelEnd);
    ASSERT_NE(open(game::levelEndChapterFinished, game::gameModeVib), nullptr);
    ASSERT_NE(old, dialog);
    old = nullptr;
    frame();
    EXPECT_EQ(game::levelEndKind(), game::levelEndChapterFinished);
    // The global changed behind its back changes nothing: the chapter's end only closes.
    game::setLevelEndKind(game::levelEndFailed);
    ASSERT_TRUE(runUntil([this] { return !isOpen(); }, 6000, 50));
    EXPECT_TRUE(calls().empty());
}

TEST_F(DialogLevelEndTest, LettersLaidOutAnewOrMissingPartsDoNotHoldTheLevel) {
    // A header laid out again by a paint takes the jumping letters away; the carrot does not wait for them.
    ASSERT_NE(open(game::levelEndFinished, game::gameModeAction), nullptr);
    run(600);
    dialog->getHeader()->setText(u"Ok");
    frame();
    ASSERT_NE(dialog->getHeader()->glyphs(), letters);
    EXPECT_EQ(dialog->getLastGlyph(), letters.back().get()) << "held, though gone from the header";
    ASSERT_TRUE(runUntil([this] { return !isOpen(); }, 5000, 50));
    EXPECT_EQ(calls(), std::vector<std::string>{"finished"});

    // A declaration without parts still ends a finished level; failed, no click ends it.
    for (const int kind : {game::levelEndFinished, game::levelEndFailed}) {
        scene->calls.clear();
        const kernel::SmartPtr<ui::Dialog> bare =
            scene->createDialog("DIALOG_LEVELEND_BARE", true, ids::dialogLevelEnd);
        ASSERT_NE(bare, nullptr);
        game::setLevelEndKind(kind);
        scene->showDialog(bare.get());
        for (int t = 0; t < 5000; t += 50) {
            world.frame(50);
        }
        EXPECT_FALSE(bare->onLeftButtonDown(10, 10, 0, false));
        EXPECT_EQ(isOpen(), kind == game::levelEndFailed);
        EXPECT_EQ(calls(), kind == game::levelEndFinished ? std::vector<std::string>{"finished"}
                                                          : std::vector<std::string>{});
    }
}

} // namespace
