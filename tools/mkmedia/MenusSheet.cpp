#include "tools/mkmedia/MenusSheet.h"

#include "tools/mkmedia/Dice.h"
#include "tools/mkmedia/SheetFrames.h"
#include "tools/mkmedia/SheetWriter.h"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace mkmedia {

namespace {

constexpr int sceneWidth = 640;
constexpr int sceneHeight = 480;
// The dialog frame's pale inside, the ground the widgets are shown on.
constexpr Rgb dialogGround = 0xFFF8EC;
constexpr Rgb darkGround = 0x3A2A50;

// The pictures in the manifest.
constexpr const char* frameFiles[] = {
    "images/dialog/topleft.png",    "images/dialog/top.png",    "images/dialog/topright.png",
    "images/dialog/left.png",       "images/dialog/center.png", "images/dialog/right.png",
    "images/dialog/bottomleft.png", "images/dialog/bottom.png", "images/dialog/bottomright.png"};
constexpr const char* sliderTrackFile = "images/menus/slider_track.png";
constexpr const char* sliderKnobFile = "images/menus/slider_knob.png";
constexpr const char* scrollTrackFile = "images/menus/scroll_track.png";
constexpr const char* scrollKnobFile = "images/menus/scroll_knob.png";
constexpr const char* scrollUpFile = "images/menus/scroll_up.png";
constexpr const char* scrollDownFile = "images/menus/scroll_down.png";
constexpr const char* switchFile = "images/hint/switch.png";
constexpr const char* pauseFile = "images/pause/background.jpg";
constexpr const char* gameEndFile = "images/gameend/background.jpg";
constexpr const char* glintFile = "images/gameend/blinkshine.png";
constexpr const char* levelFile = "images/backgrounds/meadow.jpg";
constexpr const char* helpIconFiles[] = {"images/help/plain.png",      "images/help/clown.png",
                                         "images/help/party.png",      "images/help/stubborn.png",
                                         "images/help/chained.png",    "images/help/vib.png",
                                         "images/help/collectable.png"};
constexpr const char* headerFont = "fonts/round_24";
constexpr const char* textFont = "fonts/dialog_18";
constexpr const char* helpFont = "fonts/help_16";
constexpr const char* pauseFont = "fonts/pause_28";
// The match particles of the colours 1 to 6, which the game end's bursts take.
constexpr const char* particleLooks[] = {"yellow", "blue", "red", "white", "green", "purple"};

// Where the dialogs lay out their parts (media/properties/dialogs.xml): a point in the dialog and the point
// of the picture that lies on it.
struct At {
    int x;
    int y;
};
enum class Anchor { TopLeft, Top, BottomRight };

struct Placed {
    const char* file;
    At at;
    Anchor anchor;
};

// The in-game menu, 256 x 344: its header, then its buttons one below the other about the middle.
constexpr At menuSize{256, 344};
constexpr Placed menuButtons[] = {{"images/buttons/help.png", {128, 68}, Anchor::Top},
                                  {"images/buttons/album.png", {128, 116}, Anchor::Top},
                                  {"images/buttons/settings.png", {128, 164}, Anchor::Top},
                                  {"images/buttons/mainmenu.png", {128, 212}, Anchor::Top},
                                  {"images/buttons/continue.png", {128, 276}, Anchor::Top}};
// The settings, 440 x 320: captions and sliders, check boxes and their captions, the buttons.
constexpr At settingsSize{440, 320};
constexpr At effectsCaption{40, 76};
constexpr At musicCaption{40, 120};
constexpr At effectsSlider{180, 72};
constexpr At musicSlider{180, 116};
constexpr At fullScreenSwitch{40, 164};
constexpr At hintsSwitch{40, 204};
constexpr int switchCaptionX = 74;
constexpr Placed settingsButtons[] = {{"images/buttons/credits.png", {28, 256}, Anchor::TopLeft},
                                      {"images/buttons/ok.png", {160, 256}, Anchor::TopLeft},
                                      {"images/buttons/cancel.png", {292, 256}, Anchor::TopLeft}};
// The help, 520 x 424: the header, the scroll panel (its window 444 wide, the bar right of it, the bar's
// buttons above and below its groove), the contents label inside it, the page turners and OK.
constexpr At helpSize{520, 424};
constexpr At scrollPanel{28, 62};
constexpr int scrollWindowWidth = 444;
constexpr At contents{4, 4};
constexpr int contentsWidth = 420;
constexpr int lineHeight = 26;
constexpr Placed helpButtons[] = {{"images/album/button_prev.png", {28, 360}, Anchor::TopLeft},
                                  {"images/album/button_next.png", {76, 360}, Anchor::TopLeft},
                                  {"images/buttons/ok.png", {372, 360}, Anchor::TopLeft}};
constexpr At pageIndex{244, 368};
// The pause's text and the game end's button, on the screen.
constexpr At pauseContinue{320, 404};
constexpr Placed gameEndNext{"images/buttons/next.png", {612, 456}, Anchor::BottomRight};
// The glint area of the game end, and the play scene's panels and buttons.
constexpr int glintArea[] = {370, 98, 84, 72};
constexpr At scorePanel{8, 8};
constexpr At levelPanel{236, 8};
constexpr Placed playButtons[] = {{"images/play/button_hint.png", {400, 6}, Anchor::TopLeft},
                                  {"images/play/button_pause.png", {452, 6}, Anchor::TopLeft},
                                  {"images/play/button_menu.png", {504, 6}, Anchor::TopLeft}};

// A page of the help as its markup lays it out: a paragraph with its picture or none.
struct Paragraph {
    const char* picture;
    const char* text;
};
constexpr Paragraph helpPage[] = {
    {"images/help/clown.png", "A line of five brings a clown. A clown matches every colour, so it can finish "
                              "any line, but it cannot be clicked."},
    {"images/help/party.png",
     "A line of six or more brings a party pibble. Match it with pibbles of its "
     "colour, and every pibble of that colour joins the party and leaves the field."},
    {"images/help/stubborn.png", "A stubborn pibble will not move when you click it. Line it up with pibbles "
                                 "of its colour to get rid of it."},
    {"images/help/chained.png", "A chained pibble stays in its place, even when the pibbles below it go, and "
                                "cannot be clicked. A match breaks its chain and leaves it free."},
};

void put(Canvas& target, const Canvas& picture, At at, Anchor anchor = Anchor::TopLeft) {
    const int x = anchor == Anchor::Top           ? at.x - picture.width() / 2
                  : anchor == Anchor::BottomRight ? at.x - picture.width()
                                                  : at.x;
    const int y = anchor == Anchor::BottomRight ? at.y - picture.height() : at.y;
    target.stamp(picture.image(), x, y);
}

// A knob's place along a track of `length` for a value of the range, as the slider truncates it.
int knobPlace(int length, int knob, float fraction) {
    return static_cast<int>(static_cast<float>(length - knob) * fraction);
}

class MenusSheet {
public:
    MenusSheet(const Context& context, const Pictures& pictures, Writer& writer,
               const std::function<Canvas(const std::string& look)>& pibble, std::string& error)
        : context(context), pictures(pictures), writer(writer), pibble(pibble), error(error) {}

    Section pieces() {
        Section section{
            "The menus' pieces: the volume slider at 0, 128 and 255 (knob at rest, over, held) and "
            "disabled; the scroll bar at the top, middle and bottom; the check box; the help's "
            "pibbles; the glint's frames on the trophy",
            {}};
        Tile sliders{"volume slider", {}};
        const float values[] = {0, 128, 255, 128};
        for (int i = 0; i < 4; ++i) {
            sliders.frames.push_back(on(slider(values[i] / 255, i), dialogGround));
        }
        section.tiles.push_back(std::move(sliders));
        Tile scroll{"scroll bar", {}};
        for (const float at : {0.0f, 0.5f, 1.0f}) {
            scroll.frames.push_back(on(scrollBar(at, at == 0.5f ? 1 : 0), dialogGround));
        }
        section.tiles.push_back(std::move(scroll));
        Tile box{"check box, off and on", {}};
        for (int frame = 0; frame < 8; ++frame) {
            box.frames.push_back(on(frameOf(pictures, switchFile, frame), dialogGround));
        }
        section.tiles.push_back(std::move(box));
        Tile icons{"the help's pibbles", {}};
        for (const char* file : helpIconFiles) {
            icons.frames.push_back(on(frameOf(pictures, file), dialogGround));
        }
        section.tiles.push_back(std::move(icons));
        Tile glints{"the glint's six frames, on the trophy", {}};
        const Canvas trophy =
            jpegScene(context, gameEndFile)
                .cut(glintArea[0] - 20, glintArea[1] - 20, glintArea[2] + 40, glintArea[3] + 40);
        for (int frame = 0; frame < 6; ++frame) {
            Canvas shown(trophy.width(), trophy.height());
            shown.copyFrom(trophy, 0, 0);
            const Canvas glint = frameOf(pictures, glintFile, frame);
            // Beside the star, on the plain gold where most glints fall.
            shown.stamp(glint.image(), shown.width() * 3 / 10 - glint.width() / 2,
                        shown.height() * 2 / 5 - glint.height() / 2);
            glints.frames.push_back(shown);
        }
        section.tiles.push_back(std::move(glints));
        Tile dark{"the glint at night", {}};
        for (int frame = 0; frame < 6; ++frame) {
            dark.frames.push_back(on(frameOf(pictures, glintFile, frame), darkGround));
        }
        section.tiles.push_back(std::move(dark));
        return section;
    }

    Section inPlace() {
        Canvas menu = playScene();
        putDialog(menu, menuDialog());
        Canvas settings = playScene();
        putDialog(settings, settingsDialog());
        Canvas help = playScene();
        putDialog(help, helpDialog());
        Canvas pause = jpegScene(context, pauseFile);
        writeCentred(pause, pauseFont, "Click here to continue", pauseContinue);
        return {
            "The menus in place over a game: the menu, the settings, the help's page of special pibbles, the "
            "pause, and the end of the VIB game with its glints and a burst",
            {{"the menu", {menu}},
             {"the settings", {settings}},
             {"the help", {help}},
             {"the pause", {pause}},
             {"the end of the game", {gameEnd()}}}};
    }

private:
    // The groove with its knob at a fraction of the range, the knob in the given state.
    Canvas slider(float fraction, int state) {
        Canvas track = frameOf(pictures, sliderTrackFile);
        const Canvas knob = frameOf(pictures, sliderKnobFile, state);
        put(track, knob, {knobPlace(track.width(), knob.width(), fraction), 0});
        return track;
    }

    // The bar as the scroll panel builds it: the up button, the groove with the knob, the down button.
    Canvas scrollBar(float fraction, int state) {
        const Canvas up = frameOf(pictures, scrollUpFile, state);
        const Canvas down = frameOf(pictures, scrollDownFile, state);
        const Canvas track = frameOf(pictures, scrollTrackFile);
        const Canvas knob = frameOf(pictures, scrollKnobFile, state);
        Canvas bar(track.width(), up.height() + track.height() + down.height());
        put(bar, up, {0, 0});
        put(bar, track, {0, up.height()});
        put(bar, knob, {0, up.height() + knobPlace(track.height(), knob.height(), fraction)});
        put(bar, down, {0, up.height() + track.height()});
        return bar;
    }

    Canvas box(At size) const {
        std::vector<Canvas> pieces;
        for (const char* file : frameFiles) {
            pieces.push_back(frameOf(pictures, file));
        }
        return paintedFrame(pieces, size.x, size.y);
    }

    void writeCentred(Canvas& canvas, const char* font, const std::string& text, At top) {
        const kernel::SmartPtr<graphics::MemoryImage32> line = writer.line(font, text, error);
        if (line) {
            canvas.stamp(*line, top.x - line->getWidth() / 2, top.y - writer.pad(font, error));
        }
    }
    void writeLeft(Canvas& canvas, const char* font, const std::string& text, At top) {
        writer.write(canvas, font, text, top.x, top.y, false, error);
    }

    // A level being played: its background, a field of pibbles on its panes, the score and the level on
    // their panels and the buttons at the top right.
    Canvas playScene() {
        Canvas scene = jpegScene(context, levelFile);
        constexpr int cell = 44;
        const char* looks[] = {"yellow", "blue", "red", "white", "green", "purple", "orange"};
        for (int row = 0; row < 9; ++row) {
            for (int column = 0; column <= 10; ++column) {
                const int left = column == 0 ? 59 : 125 + (column - 1) * cell;
                const Canvas figure = pibble(looks[(row * 3 + column * 5 + row * column) % 7]);
                scene.stamp(figure.image(), left + (column == 0 ? 30 : cell / 2) - 48,
                            60 + (row + 1) * cell - 101);
            }
        }
        put(scene, frameOf(pictures, "images/play/panel.png"), scorePanel);
        put(scene, frameOf(pictures, "images/play/panel_small.png"), levelPanel);
        writer.write(scene, "fonts/round_20", "Score", scorePanel.x + 12, scorePanel.y + 9, false, error);
        writer.write(scene, "fonts/round_24", "1250", 218, 14, true, error);
        writer.write(scene, "fonts/round_20", "Level", levelPanel.x + 10, levelPanel.y + 9, false, error);
        writer.write(scene, "fonts/round_24", "3", 386, 14, true, error);
        for (const Placed& button : playButtons) {
            put(scene, frameOf(pictures, button.file), button.at, button.anchor);
        }
        return scene;
    }

    static void putDialog(Canvas& scene, const Canvas& dialog) {
        scene.stamp(dialog.image(), (sceneWidth - dialog.width()) / 2, (sceneHeight - dialog.height()) / 2);
    }

    Canvas menuDialog() {
        Canvas dialog = box(menuSize);
        writeCentred(dialog, headerFont, "Menu", {menuSize.x / 2, 22});
        // The pointer over the second button.
        for (std::size_t i = 0; i < std::size(menuButtons); ++i) {
            const Placed& button = menuButtons[i];
            put(dialog, frameOf(pictures, button.file, i == 1 ? 1 : 0), button.at, button.anchor);
        }
        return dialog;
    }

    Canvas settingsDialog() {
        Canvas dialog = box(settingsSize);
        writeCentred(dialog, headerFont, "Settings", {settingsSize.x / 2, 22});
        writeLeft(dialog, textFont, "Effects", effectsCaption);
        writeLeft(dialog, textFont, "Music", musicCaption);
        put(dialog, slider(1.0f, 0), effectsSlider);
        put(dialog, slider(39.0f / 255, 1), musicSlider);
        put(dialog, frameOf(pictures, switchFile, 0), fullScreenSwitch);
        writeLeft(dialog, textFont, "Full screen", {switchCaptionX, fullScreenSwitch.y});
        put(dialog, frameOf(pictures, switchFile, 4), hintsSwitch);
        writeLeft(dialog, textFont, "Show hints", {switchCaptionX, hintsSwitch.y});
        for (const Placed& button : settingsButtons) {
            put(dialog, frameOf(pictures, button.file), button.at, button.anchor);
        }
        return dialog;
    }

    // The width of a line of text as the label measures it: without the pad round its letters.
    int widthOf(const std::string& text) {
        const kernel::SmartPtr<graphics::MemoryImage32> line = writer.line(helpFont, text, error);
        return line ? line->getWidth() - 2 * writer.pad(helpFont, error) : 0;
    }

    // The paragraphs in lines of words that fit, each beside its picture while the picture reaches down
    // that far, with a blank line after each.
    Canvas helpContents(int height) {
        Canvas page(scrollWindowWidth, height);
        int y = contents.y;
        for (const Paragraph& paragraph : helpPage) {
            const Canvas picture = frameOf(pictures, paragraph.picture);
            const int pictureBottom = y + picture.height();
            put(page, picture, {contents.x, y});
            std::istringstream words(paragraph.text);
            std::string line;
            for (std::string word; words >> word;) {
                const int left = y < pictureBottom ? picture.width() + 1 : 0;
                const std::string longer = line.empty() ? word : line + " " + word;
                if (!line.empty() && left + widthOf(longer) > contentsWidth) {
                    writeLeft(page, helpFont, line, {contents.x + left, y});
                    y += lineHeight;
                    line = word;
                } else {
                    line = longer;
                }
            }
            writeLeft(page, helpFont, line, {contents.x + (y < pictureBottom ? picture.width() + 1 : 0), y});
            y += 2 * lineHeight;
        }
        return page;
    }

    Canvas helpDialog() {
        Canvas dialog = box(helpSize);
        writeCentred(dialog, headerFont, "Special pibbles", {helpSize.x / 2, 20});
        const Canvas bar = scrollBar(0.0f, 0);
        put(dialog, helpContents(bar.height()), scrollPanel);
        put(dialog, bar, {scrollPanel.x + scrollWindowWidth, scrollPanel.y});
        for (const Placed& button : helpButtons) {
            put(dialog, frameOf(pictures, button.file), button.at, button.anchor);
        }
        writeCentred(dialog, textFont, "Page 3 of 6", pageIndex);
        return dialog;
    }

    // The end of the game: glints on the trophy in their frames, and a burst of particles falling.
    Canvas gameEnd() {
        Canvas scene = jpegScene(context, gameEndFile);
        const int glints[][3] = {{385, 112, 3}, {438, 150, 5}, {412, 126, 1}};
        for (const auto& [x, y, frame] : glints) {
            const Canvas glint = frameOf(pictures, glintFile, frame);
            scene.stamp(glint.image(), x - glint.width() / 2, y - glint.height() / 2);
        }
        Dice dice(0x9A17u);
        for (int i = 0; i < 20; ++i) {
            const Canvas particle = Pictures::frame(pictures.find("particle", particleLooks[i % 6], ""), 0);
            const int x = 170 + static_cast<int>(dice.between(-60, 60));
            const int y = 200 + static_cast<int>(dice.between(-50, 70));
            scene.stamp(particle.image(), x - particle.width() / 2, y - particle.height() / 2);
        }
        put(scene, frameOf(pictures, gameEndNext.file), gameEndNext.at, gameEndNext.anchor);
        return scene;
    }

    const Context& context;
    const Pictures& pictures;
    Writer& writer;
    const std::function<Canvas(const std::string& look)>& pibble;
    std::string& error;
};

} // namespace

bool addMenuSections(const std::vector<Entry>& entries, const Context& context, const Pictures& pictures,
                     const std::function<Canvas(const std::string& look)>& pibble,
                     std::vector<Section>& sections, std::string& error) {
    if (pictures.file(sliderTrackFile) == nullptr) {
        return true;
    }
    Writer writer(entries, context);
    error.clear();
    MenusSheet sheet(context, pictures, writer, pibble, error);
    sections.push_back(sheet.pieces());
    sections.push_back(sheet.inPlace());
    return error.empty();
}

} // namespace mkmedia
