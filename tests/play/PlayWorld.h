#pragma once
// A play scene run headless: the field's tuning and the scene's, every sound of "gamesounds" as a real
// sample on SDL's dummy driver (a test asks which were played since it last asked), small pictures for the
// signs and particles, a few declarations (the play scene with its parts, the score floater's label, the
// hint and the rules page, each only when the test wants it), a scene manager, a current player, a seeded
// generator and a session record. The scene runs frame by frame through the scene manager.
//
// The scene is the plain play scene's frame playing as mode 1 unless the test asks for a mode's own scene.

#include "engine/graphics/ImagePainter.h"
#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/ResourceGroup.h"
#include "engine/kernel/ResourceManager.h"
#include "engine/kernel/ScalarValue.h"
#include "engine/platform/DataGathering.h"
#include "engine/platform/PlayerManager.h"
#include "engine/ui/DialogManager.h"
#include "engine/ui/SceneManager.h"
#include "engine/ui/SoundSample.h"
#include "engine/ui/SoundSystem.h"
#include "engine/ui/Sprite.h"
#include "engine/ui/WidgetSupport.h"
#include "game/field/FieldRenderer.h"
#include "game/field/Pibble.h"
#include "game/field/PlayField.h"
#include "game/foundation/GameGlobals.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/LevelFile.h"
#include "game/foundation/PibblePlayer.h"
#include "game/foundation/Random.h"
#include "game/play/PlayScene.h"

#include "../field/FieldGame.h"
#include "ResourceFolder.h"
#include "SoundFiles.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace playtest {

// The scene's tuning as the game has it: READY and GO in the middle of a field of (59, 60) to (581, 472).
inline const std::pair<const char*, int> playTuning[] = {
    {game::ids::cfgRectComboOutMinX, 59},      {game::ids::cfgRectComboOutMaxX, 581},
    {game::ids::cfgRectComboOutMinY, 60},      {game::ids::cfgRectComboOutMaxY, 472},
    {game::ids::cfgRectComboInMinX, 170},      {game::ids::cfgRectComboInMaxX, 470},
    {game::ids::cfgRectComboInMinY, 150},      {game::ids::cfgRectComboInMaxY, 380},
    {game::ids::cfgEndLevelWait, 1000},        {game::ids::cfgFloaterType, 3},
    {game::ids::cfgFloaterClownOffsetY, -110}, {game::ids::cfgFloaterPartyOffsetY, -110}};

// The components the scene finds, without pictures.
inline const char* const sceneComponents =
    R"(<Vector id="components">
         <Label name="LABEL_SCORE_VALUE" x="148" y="14" />
         <Label name="LABEL_LEVEL_VALUE" x="306" y="14" />
         <Button name="BUTTON_HINT" x="400" y="6" width="48" height="48" />
         <Sprite name="HINT_BLOCK" x="400" y="6" width="48" height="48" visible="false" />
         <Button name="BUTTON_PAUSE" x="452" y="6" width="48" height="48" />
         <Button name="BUTTON_MENU" x="504" y="6" width="48" height="48" />
         <Sprite name="SPRITE_TIMEBAR" x="70" y="468" width="500" height="10" />
         <Sprite name="SPRITE_TIMEBAR_DARK" x="70" y="468" width="500" height="10" visible="false" />
         <Label name="LABEL_DEBUGINFO_SHADOW" x="5" y="441" />
         <Label name="LABEL_DEBUGINFO" x="4" y="440" />
       </Vector>)";

// The declarations a test can add beside the scene.
inline const char* const hintDeclaration =
    R"(<DialogHint id="DIALOG_HINT" width="520" height="120"><Vector id="components">
         <Label name="LABEL_HINT" x="150" y="26" width="220" height="0" wrapstyle="wordwrap" />
         <Switch name="SWITCH" x="162" y="34" width="24" height="24" />
         <Label name="LABEL_SHOW" x="192" y="38" />
         <Button name="BUTTON_OK" x="260" y="66" width="120" height="40" />
       </Vector></DialogHint>)";
inline const char* const rulesDeclaration =
    R"(<DialogHowToPlay id="DIALOG_HOWTOPLAY" width="520" height="380"><Vector id="components">
         <Button name="BUTTON_PLAY" x="200" y="316" width="120" height="40" />
       </Vector></DialogHowToPlay>)";

// The play scene's frame alone, playing as mode 1 with the hint button allowed: what every mode adds to
// it is left out.
class FramePlayScene : public game::PlayScene {
public:
    explicit FramePlayScene(kernel::NodeValue& settings) : game::PlayScene(settings) {}
    static kernel::Object* createInstance(kernel::Value& settings) {
        return settings.isNode() ? new FramePlayScene(settings.asNode()) : nullptr;
    }
    void onEnter() override {
        gameMode = game::gameModeAction;
        hintEnabled = true;
        game::PlayScene::onEnter();
    }
    static constexpr kernel::ClassInfo classInfo{&game::PlayScene::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }
};
inline const kernel::ClassRegistrar framePlaySceneRegistrar("PlaySceneFrame", FramePlayScene::createInstance);

// Which scene the world declares: its class, the name it is declared and registered under, and its mode.
struct SceneKind {
    const char* className;
    const char* name;
    std::int32_t mode;
};
inline void PrintTo(const SceneKind& kind, std::ostream* out) {
    *out << kind.className;
}
inline constexpr SceneKind frameScene{"PlaySceneFrame", game::ids::scenePlayAction, game::gameModeAction};
inline constexpr SceneKind actionScene{"PlaySceneAction", game::ids::scenePlayAction, game::gameModeAction};
inline constexpr SceneKind relaxScene{"PlaySceneRelax", game::ids::scenePlayRelax, game::gameModeRelax};

// A level of layout rows with the colour digits of each (the queue's first); without digits it starts
// recoloured for its moves.
inline std::string levelText(const std::vector<std::string>& layout,
                             const std::vector<std::string>& colours = {}, int moves = 0) {
    std::string extra;
    if (!colours.empty()) {
        extra = "<Vector id=\"colors\">";
        for (const std::string& digits : colours) {
            extra += "<Row data=\"" + digits + "\" />";
        }
        extra += "</Vector>";
    }
    return fieldtest::levelXml(layout, extra, moves);
}

// The bodies of pibbles take the pointer in a square above their feet.
inline constexpr int bodySide = 30;
inline constexpr int bodyAboveFeet = 21;

inline testsupport::Image32 bodyMask() {
    std::vector<std::uint32_t> pixels(
        static_cast<std::size_t>(game::Pibble::frameWidth * game::Pibble::frameHeight), 0);
    const int left = static_cast<int>(game::Pibble::anchorX) - bodySide / 2;
    const int top = static_cast<int>(game::Pibble::anchorY) - bodyAboveFeet - bodySide / 2;
    for (int y = top; y < top + bodySide; ++y) {
        for (int x = left; x < left + bodySide; ++x) {
            pixels[static_cast<std::size_t>(y * game::Pibble::frameWidth + x)] = 0xFFFFFFFFu;
        }
    }
    return testsupport::image32Of(game::Pibble::frameWidth, game::Pibble::frameHeight, pixels);
}

// The field rests at idle with nothing running and its scan done.
inline bool fieldAtRest(const game::PlayField* field) {
    return field != nullptr && field->state() == game::fieldState::idle && !field->animationsRunning() &&
           !field->hasEffectAnimations() && !field->isRescanPending();
}

// Clicks the cell where its pibble's body (bodyMask) takes the pointer; false when no point of it does.
inline bool clickPibble(game::PlayField& field, std::int32_t row, std::int32_t column) {
    const int x = field.columnX(row, column);
    for (int above = bodyAboveFeet; above <= bodyAboveFeet + 10; ++above) {
        std::int32_t hitRow = 0;
        std::int32_t hitColumn = 0;
        const int y = field.rowY(row, column) - above;
        if (field.cellAtPoint(x, y, hitRow, hitColumn) && hitRow == row && hitColumn == column) {
            field.onLeftButtonDown(x, y, 0, false);
            return true;
        }
    }
    return false;
}

class PlayWorld {
public:
    // The dialogs the test wants beside the play scene and the score floater's label.
    explicit PlayWorld(const std::string& extraDeclarations = {}, const SceneKind& kind = frameScene)
        : sceneKind(kind) {
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        for (const auto& [key, value] : fieldtest::fieldTuning) {
            fieldtest::FieldWorld::setInt(key, value);
        }
        for (const auto& [key, value] : playTuning) {
            fieldtest::FieldWorld::setInt(key, value);
        }
        fieldtest::FieldWorld::setDouble(game::ids::cfgScoreUpdateFrequency, 16.0);
        folder.write("media/properties/collectables.xml", "<Rules><Vector id=\"collectables\" /></Rules>");
        ui::SoundSystem::create(44100, 32);
        wavFile = folder.write("tone.wav", testsupport::wav(testsupport::tone(200)));
        addSounds();
        addSigns();
        ui::DialogManager::create(folder.write(
            "dialogs.xml", "<Dialogs><Node id=\"dialogs\"><" + std::string(kind.className) + " id=\"" +
                               kind.name + "\" width=\"640\" height=\"480\">" + sceneComponents + "</" +
                               kind.className + ">" + extraDeclarations +
                               "</Node><SpriteLabel id=\"LABEL_FLOATER\" anchorpoint=\"center\" "
                               "buffer=\"false\" /></Dialogs>"));
        game::Random::create()->setSeed(4711);
        platform::PlayerManager::create()->addPlayer(new game::PibblePlayer("Ann"));
        platform::DataGathering::create("pibbles", "", {[] { return 1000; }, {}});
        manager = ui::SceneManager::create();
        kernel::Object* made = ui::DialogManager::instance()->createDialog(kind.name);
        EXPECT_TRUE(made != nullptr && made->isKindOf(game::PlayScene::classInfo));
        scene = static_cast<game::PlayScene*>(made);
        ui::RegisterScene(kind.name, scene);
    }
    ~PlayWorld() {
        if (game::PlayField::instance() != nullptr) {
            scene->onLeave();
        }
        ui::SceneManager::destroy();
        (void)platform::DataGathering::destroy();
        platform::PlayerManager::destroy();
        game::Random::destroy();
        ui::DialogManager::destroy();
        ui::SoundSystem::destroy();
        game::resetGameGlobals();
    }
    PlayWorld(const PlayWorld&) = delete;
    PlayWorld& operator=(const PlayWorld&) = delete;

    // The scene becomes current; its entry runs in the frame of the switch.
    void enter() {
        manager->changeScene(sceneKind.name);
        frame();
    }
    void frame(std::uint32_t ms = 16) {
        manager->onFrame(ms);
        if (game::FieldRenderer* renderer = game::FieldRenderer::instance();
            renderer != nullptr && fieldPainter) {
            renderer->paint(*fieldPainter);
        }
    }
    // Without a window the scene paints nothing, and the field's pibbles join its layers only when the field
    // is painted: from now on each frame paints the field, so the pibbles' animations run as in the game.
    // What is painted does not matter, so the picture is small.
    void paintField() {
        fieldScreen = testsupport::filled32(8, 8, 0);
        fieldPainter = fieldScreen->createPainter();
    }
    void frames(int count, std::uint32_t ms = 16) {
        for (int i = 0; i < count; ++i) {
            frame(ms);
        }
    }
    // Entered past the rules page, READY and GO over; the field is kept busy, so it never counts as at rest
    // and the level never ends by itself.
    void startPlaying() {
        player().setSeenHowToPlay(sceneKind.mode, true);
        enter();
        field()->incRunningAnimations();
        for (int i = 0; i < 200 && field()->state() != game::fieldState::idle; ++i) {
            frame();
        }
        ASSERT_EQ(field()->state(), game::fieldState::idle);
    }
    game::PlayField* field() const { return game::PlayField::instance(); }
    game::PibblePlayer& player() const { return *game::currentPlayer(); }
    // A level of rows of layout letters laid out on the field (see fieldtest::levelXml).
    kernel::SmartPtr<game::LevelFile> level(const std::vector<std::string>& rows,
                                            const std::string& extra = {}) {
        return new game::LevelFile(
            folder.write("level" + std::to_string(++levels) + ".xml", fieldtest::levelXml(rows, extra)));
    }

    // The sounds played since the last call, by name.
    std::set<std::string> played() {
        std::set<std::string> names;
        for (const auto& [name, resource] : sounds) {
            const auto* sample = static_cast<ui::SoundSample*>(resource->get());
            if (sample != nullptr && sample->getLastPlayStart() != ui::SoundSample::PlayStart::None) {
                names.insert(name);
            }
            kernel::SmartPtr<ui::SoundSample> fresh = new ui::SoundSample();
            fresh->load(wavFile, 0);
            resource->hold(fresh.get());
        }
        return names;
    }

    // The sprites under the node that show the picture of "sceneplay", in their order.
    static std::vector<ui::Sprite*> spritesShowing(const ui::GameNode* node, const std::string& picture) {
        const graphics::ImageBase* image = ui::findImage(picture, game::ids::groupScenePlay);
        std::vector<ui::Sprite*> found;
        for (ui::GameNode* child = node->getFirstChild(); child != nullptr; child = child->getNextSibling()) {
            if (image != nullptr && child->isKindOf(ui::Sprite::classInfo) &&
                static_cast<ui::Sprite*>(child)->getImage() == image) {
                found.push_back(static_cast<ui::Sprite*>(child));
            }
        }
        return found;
    }

    // Where the sprite is drawn now: its stretched rectangle while it has one, else its picture about its
    // anchor; empty while it is shrunk to nothing.
    static kernel::Rect drawnArea(const ui::Sprite& sprite) {
        if (const kernel::Rect* stretched = sprite.getDisplayRect()) {
            return *stretched;
        }
        return {sprite.getX() - sprite.getAnchorPoint().getRoundedX(),
                sprite.getY() - sprite.getAnchorPoint().getRoundedY(), sprite.getWidth(), sprite.getHeight()};
    }
    static bool within(const kernel::Rect& inner, const kernel::Rect& outer) {
        return inner.isEmpty() || (inner.x >= outer.x && inner.y >= outer.y &&
                                   inner.right() <= outer.right() && inner.bottom() <= outer.bottom());
    }

    fieldtest::FieldWorld world;
    testsupport::WorkingFolder folder;
    ui::SceneManager* manager = nullptr;
    game::PlayScene* scene = nullptr;
    // The play scenes' group, with the signs over the field; a test adds what else it needs there.
    kernel::SmartPtr<kernel::ResourceGroup> scenePlayGroup;

private:
    void addSounds() {
        kernel::NodeValue declaration(game::ids::groupGameSounds, "Node");
        declaration.setChild(
            new kernel::ScalarValue("name", game::ids::groupGameSounds, kernel::Typing::Untyped));
        kernel::SmartPtr<kernel::ResourceGroup> group = new kernel::ResourceGroup(declaration);
        std::vector<const char*> names(std::begin(game::ids::playSounds), std::end(game::ids::playSounds));
        names.push_back(game::ids::soundMatchWrong);
        names.push_back(game::ids::soundCamera);
        names.push_back(game::ids::soundRemoveCollectable);
        for (const char* name : names) {
            group->addResource(name, sounds[name] = new testsupport::HeldResource(nullptr));
        }
        kernel::ResourceManager::instance()->addGroup(group);
        played();
    }
    void addSigns() {
        std::map<std::string, testsupport::Image32> images;
        for (const char* sign : {game::ids::floaterClown, game::ids::floaterParty, game::ids::floaterReady,
                                 game::ids::floaterGo}) {
            images[sign] = testsupport::filled32(40, 20, 0xFF808080u);
        }
        for (int step = 1; step <= game::ids::comboFloaters; ++step) {
            images[game::ids::floaterComboPrefix + std::to_string(step)] =
                testsupport::filled32(60, 30, 0xFF808080u);
        }
        for (int colour = 1; colour <= game::ids::particleColours; ++colour) {
            images[game::ids::imageParticlePrefix + std::to_string(colour)] =
                testsupport::filled32(8, 8, 0xFFFFFFFFu);
        }
        scenePlayGroup = fieldtest::FieldWorld::addSection(game::ids::groupScenePlay, images);
    }

    SceneKind sceneKind;
    testsupport::Image32 fieldScreen;
    kernel::SmartPtr<graphics::ImagePainter> fieldPainter;
    std::string wavFile;
    std::map<std::string, kernel::SmartPtr<testsupport::HeldResource>> sounds;
    int levels = 0;
};

} // namespace playtest
