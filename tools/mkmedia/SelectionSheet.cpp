#include "tools/mkmedia/SelectionSheet.h"

#include "tools/mkmedia/SheetFrames.h"
#include "tools/mkmedia/SheetWriter.h"

#include <algorithm>
#include <iterator>

namespace mkmedia {

namespace {

constexpr int sceneWidth = 640;
constexpr int sceneHeight = 480;
constexpr Rgb dialogGround = 0xFFF8EC;
constexpr Rgb skyGround = 0x9FDCF8;
constexpr int buttonStates = 4;
constexpr int comicPages = 4;
// The name a player would have, and one long enough to be shortened.
constexpr const char* playerName = "Rosalind";

// The pictures in the manifest.
constexpr const char* titleFile = "images/selection/background.jpg";
constexpr const char* highlightFile = "images/selection/vib_highlight.png";
constexpr const char* rowFile = "images/profile/row.png";
constexpr const char* fieldFile = "images/profile/field.png";
constexpr const char* markerFile = "images/profile/marker.png";
constexpr const char* cursorFile = "images/profile/cursor.png";
constexpr const char* paperFile = "images/strip/paper.jpg";
constexpr const char* shineFile = "images/strip/next_shine.png";
constexpr const char* nextFile = "images/buttons/next.png";
constexpr const char* visitorFile = "images/pibbles/visitor.png";
constexpr const char* frameFiles[] = {
    "images/dialog/topleft.png",    "images/dialog/top.png",    "images/dialog/topright.png",
    "images/dialog/left.png",       "images/dialog/center.png", "images/dialog/right.png",
    "images/dialog/bottomleft.png", "images/dialog/bottom.png", "images/dialog/bottomright.png"};
constexpr const char* headerFont = "fonts/round_24";
constexpr const char* textFont = "fonts/dialog_18";
constexpr const char* welcomeFont = "fonts/welcome_22";
constexpr const char* welcomeGlowFont = "fonts/welcome_22_glow";
constexpr const char* changeNameFont = "fonts/changename_18";
constexpr const char* changeNameGlowFont = "fonts/changename_18_glow";
constexpr const char* rowFont = "fonts/playername_20";
constexpr const char* inputFont = "fonts/nameinput_20";

// Where the declarations lay out their parts (media/properties/dialogs.xml).
struct At {
    int x;
    int y;
};
enum class Anchor { TopLeft, Top, Center, BottomRight };

struct Placed {
    const char* file;
    At at;
    Anchor anchor;
};

// The main menu: the welcome line's top middle, the change-name text's middle, the glow and the mode buttons
// about their middles, the smaller buttons by their top left corners.
constexpr At welcomeTop{320, 96};
constexpr At changeNameMiddle{320, 162};
constexpr Placed vibHighlight{highlightFile, {320, 282}, Anchor::Center};
constexpr Placed modeButtons[] = {{"images/selection/mode_action.png", {124, 282}, Anchor::Center},
                                  {"images/selection/mode_vib.png", {320, 282}, Anchor::Center},
                                  {"images/selection/mode_relax.png", {516, 282}, Anchor::Center}};
constexpr Placed smallButtons[] = {{"images/selection/button_help.png", {34, 400}, Anchor::TopLeft},
                                   {"images/selection/button_album.png", {182, 400}, Anchor::TopLeft},
                                   {"images/selection/button_settings.png", {330, 400}, Anchor::TopLeft},
                                   {"images/selection/button_leave.png", {478, 400}, Anchor::TopLeft}};
// The difficulty question, 400 x 184.
constexpr At difficultySize{400, 184};
constexpr Placed difficultyButtons[] = {{"images/buttons/normal.png", {70, 124}, Anchor::TopLeft},
                                        {"images/buttons/hard.png", {210, 124}, Anchor::TopLeft}};
// The players, 440 x 360: five rows 42 apart, the names in them, the marker left of the chosen row by the
// tuning offset, the buttons along the bottom.
constexpr At profileSize{440, 360};
constexpr At firstRow{82, 64};
constexpr int rowStep = 42;
constexpr At nameInRow{14, 4};
constexpr At markerOffset{-44, 0};
constexpr Placed profileButtons[] = {{"images/buttons/ok.png", {28, 292}, Anchor::TopLeft},
                                     {"images/buttons/new.png", {160, 292}, Anchor::TopLeft},
                                     {"images/buttons/delete.png", {292, 292}, Anchor::TopLeft}};
// A new player's name, 400 x 232: the message, the field with the typed name and its cursor, the buttons;
// without a player yet the OK button stands alone in the middle.
constexpr At createSize{400, 232};
constexpr At createMessage{200, 60};
constexpr At nameField{40, 96};
constexpr At nameInput{54, 103};
constexpr Placed createButtons[] = {{"images/buttons/ok.png", {70, 164}, Anchor::TopLeft},
                                    {"images/buttons/cancel.png", {210, 164}, Anchor::TopLeft}};
constexpr Placed firstOk{"images/buttons/ok.png", {200, 164}, Anchor::Top};
// The comic's button in the page's free corner, its shine about the button's middle.
constexpr Placed comicNext{nextFile, {612, 464}, Anchor::BottomRight};
constexpr Placed comicShine{shineFile, {552, 444}, Anchor::Center};

void put(Canvas& target, const Canvas& picture, At at, Anchor anchor = Anchor::TopLeft) {
    int x = at.x;
    int y = at.y;
    switch (anchor) {
    case Anchor::Top:
        x -= picture.width() / 2;
        break;
    case Anchor::Center:
        x -= picture.width() / 2;
        y -= picture.height() / 2;
        break;
    case Anchor::BottomRight:
        x -= picture.width();
        y -= picture.height();
        break;
    case Anchor::TopLeft:
        break;
    }
    target.stamp(picture.image(), x, y);
}

class SelectionSheet {
public:
    SelectionSheet(const Context& context, const Pictures& pictures, Writer& writer, std::string& error)
        : context(context), pictures(pictures), writer(writer), error(error) {}

    Section menus() {
        Canvas first = menu(false, -1);
        Canvas returning = menu(true, 1);
        Canvas shortened = menu(true, -1, "Bartholomew the Great");
        return {
            "The main menu: on the first start (the VIB button in its glow), with a player (the pointer over "
            "VIB), and a long name shortened to the welcome line's width",
            {{"first start", {first}}, {"with a player", {returning}}, {"a long name", {shortened}}}};
    }

    Section dialogs() {
        Canvas difficulty = menu(true, -1);
        putDialog(difficulty, difficultyDialog());
        Canvas players = menu(true, -1);
        putDialog(players, profileDialog());
        Canvas create = menu(true, -1);
        putDialog(create, createDialog(true));
        Canvas firstName = menu(false, -1);
        putDialog(firstName, createDialog(false));
        return {
            "Over the menu: the difficulty question, the players (the second chosen), a new player's name "
            "being typed, and the first player's name (no cancel yet)",
            {{"difficulty", {difficulty}},
             {"players", {players}},
             {"a new player", {create}},
             {"the first player", {firstName}}}};
    }

    Section comic() {
        Section section{
            "The first start's comic: its four pages, and the last as the dialog shows it, the next "
            "button in its shine in the corner the pages keep free",
            {}};
        for (int page = 1; page <= comicPages; ++page) {
            section.tiles.push_back(
                {"page " + std::to_string(page),
                 {jpegScene(context, "images/strip/page_" + std::to_string(page) + ".jpg")}});
        }
        Canvas shown = jpegScene(context, "images/strip/page_4.jpg");
        put(shown, frameOf(pictures, comicNext.file), comicNext.at, comicNext.anchor);
        put(shown, frameOf(pictures, comicShine.file), comicShine.at, comicShine.anchor);
        section.tiles.push_back({"with its button", {shown}});
        section.tiles.push_back({"the bare paper", {jpegScene(context, paperFile)}});
        return section;
    }

    Section pieces() {
        Section section{
            "The pieces: the mode buttons, the smaller buttons, the dialogs' new ones and a list row "
            "(normal, over, pressed, disabled), the name field, the marker, the glow behind VIB, "
            "the comic's shine, the visitor at its size and at twice it over the menu",
            {}};
        for (const Placed& mode : modeButtons) {
            section.tiles.push_back(states(mode.file, skyGround));
        }
        for (const Placed& button : smallButtons) {
            section.tiles.push_back(states(button.file, skyGround));
        }
        for (const char* file : {"images/buttons/new.png", "images/buttons/delete.png",
                                 "images/buttons/normal.png", "images/buttons/hard.png", rowFile}) {
            section.tiles.push_back(states(file, dialogGround));
        }
        section.tiles.push_back({"field, marker",
                                 {on(frameOf(pictures, fieldFile), dialogGround),
                                  on(frameOf(pictures, markerFile), dialogGround)}});
        section.tiles.push_back(
            {"glows",
             {on(frameOf(pictures, highlightFile), skyGround), on(frameOf(pictures, shineFile), 0x3A2A50)}});
        Canvas visitor = menu(true, -1);
        const Canvas figure = frameOf(pictures, visitorFile);
        put(visitor, figure, {160, 250}, Anchor::Center);
        put(visitor, twice(figure), {440, 250}, Anchor::Center);
        section.tiles.push_back({"the visitor", {visitor}});
        return section;
    }

private:
    // The menu as the scene draws it: with a player the welcome line and the change-name text over their
    // glows, without one the glow behind the VIB button; `over` is the mode button under the pointer.
    Canvas menu(bool withPlayer, int over, const std::string& name = playerName) {
        Canvas scene = jpegScene(context, titleFile);
        if (withPlayer) {
            const std::string welcome = fitted("Welcome, " + name, 370);
            writeCentred(scene, welcomeGlowFont, welcome, welcomeTop);
            writeCentred(scene, welcomeFont, welcome, welcomeTop);
            writeMiddle(scene, changeNameGlowFont, "Not you? Change the player", changeNameMiddle);
            writeMiddle(scene, changeNameFont, "Not you? Change the player", changeNameMiddle);
        } else {
            put(scene, frameOf(pictures, vibHighlight.file), vibHighlight.at, vibHighlight.anchor);
        }
        for (std::size_t i = 0; i < std::size(modeButtons); ++i) {
            const Placed& mode = modeButtons[i];
            put(scene, frameOf(pictures, mode.file, static_cast<int>(i) == over ? 1 : 0), mode.at,
                mode.anchor);
        }
        for (const Placed& button : smallButtons) {
            put(scene, frameOf(pictures, button.file), button.at, button.anchor);
        }
        return scene;
    }

    // The text shortened with "..." until the welcome font writes it within the width, as the scene does.
    std::string fitted(const std::string& text, int width) {
        if (widthOf(welcomeFont, text) <= width) {
            return text;
        }
        for (std::size_t length = text.size(); length > 0; --length) {
            const std::string shorter = text.substr(0, length - 1) + "...";
            if (widthOf(welcomeFont, shorter) <= width) {
                return shorter;
            }
        }
        return "...";
    }

    int widthOf(const char* font, const std::string& text) {
        const kernel::SmartPtr<graphics::MemoryImage32> line = writer.line(font, text, error);
        return line ? line->getWidth() - 2 * writer.pad(font, error) : 0;
    }

    void writeCentred(Canvas& canvas, const char* font, const std::string& text, At top) {
        const kernel::SmartPtr<graphics::MemoryImage32> line = writer.line(font, text, error);
        if (line) {
            canvas.stamp(*line, top.x - line->getWidth() / 2, top.y - writer.pad(font, error));
        }
    }

    void writeMiddle(Canvas& canvas, const char* font, const std::string& text, At middle) {
        const kernel::SmartPtr<graphics::MemoryImage32> line = writer.line(font, text, error);
        if (line) {
            canvas.stamp(*line, middle.x - line->getWidth() / 2, middle.y - line->getHeight() / 2);
        }
    }

    Canvas box(At size) const {
        std::vector<Canvas> parts;
        for (const char* file : frameFiles) {
            parts.push_back(frameOf(pictures, file));
        }
        return paintedFrame(parts, size.x, size.y);
    }

    static void putDialog(Canvas& scene, const Canvas& dialog) {
        scene.stamp(dialog.image(), (sceneWidth - dialog.width()) / 2, (sceneHeight - dialog.height()) / 2);
    }

    Canvas difficultyDialog() {
        Canvas dialog = box(difficultySize);
        writeCentred(dialog, headerFont, "Difficulty", {difficultySize.x / 2, 22});
        writeCentred(dialog, textFont, "How would you like to play this time?", {difficultySize.x / 2, 62});
        for (const Placed& button : difficultyButtons) {
            put(dialog, frameOf(pictures, button.file), button.at, button.anchor);
        }
        return dialog;
    }

    Canvas profileDialog() {
        Canvas dialog = box(profileSize);
        writeCentred(dialog, headerFont, "Players", {profileSize.x / 2, 22});
        const char* names[] = {"Rosalind", "Tom", "Grandpa Joe"};
        constexpr int chosen = 1;
        for (int row = 0; row < 5; ++row) {
            const At at{firstRow.x, firstRow.y + row * rowStep};
            // The pointer rests on the third row.
            put(dialog, frameOf(pictures, rowFile, row == 2 ? 1 : 0), at);
            if (row < static_cast<int>(std::size(names))) {
                writer.write(dialog, rowFont, names[row], at.x + nameInRow.x, at.y + nameInRow.y, false,
                             error);
            }
        }
        put(dialog, frameOf(pictures, markerFile),
            {firstRow.x + markerOffset.x, firstRow.y + chosen * rowStep + markerOffset.y});
        for (const Placed& button : profileButtons) {
            put(dialog, frameOf(pictures, button.file), button.at, button.anchor);
        }
        return dialog;
    }

    Canvas createDialog(bool withCancel) {
        Canvas dialog = box(createSize);
        writeCentred(dialog, headerFont, "Your name", {createSize.x / 2, 22});
        writeCentred(dialog, textFont, "Type your name and click OK.", createMessage);
        put(dialog, frameOf(pictures, fieldFile), nameField);
        const std::string typed = withCancel ? "Rosa" : "";
        writer.write(dialog, inputFont, typed, nameInput.x, nameInput.y, false, error);
        put(dialog, frameOf(pictures, cursorFile), {nameInput.x + widthOf(inputFont, typed), nameInput.y});
        if (withCancel) {
            for (const Placed& button : createButtons) {
                put(dialog, frameOf(pictures, button.file), button.at, button.anchor);
            }
        } else {
            put(dialog, frameOf(pictures, firstOk.file), firstOk.at, firstOk.anchor);
        }
        return dialog;
    }

    // The button's or row's four states side by side on the ground they are seen on.
    Tile states(const char* file, Rgb ground) const {
        Tile tile{file, {}};
        const std::string name(file);
        tile.label = name.substr(name.find_last_of('/') + 1);
        for (int state = 0; state < buttonStates; ++state) {
            tile.frames.push_back(on(frameOf(pictures, file, state), ground));
        }
        return tile;
    }

    // The picture at twice its size, each pixel doubled, as the visitor grows while it flies.
    static Canvas twice(const Canvas& picture) {
        Canvas big(picture.width() * 2, picture.height() * 2);
        for (int y = 0; y < big.height(); ++y) {
            for (int x = 0; x < big.width(); ++x) {
                big.image().pixels32()[big.image().pixelIndex(x, y)] = picture.pixel(x / 2, y / 2);
            }
        }
        return big;
    }

    const Context& context;
    const Pictures& pictures;
    Writer& writer;
    std::string& error;
};

} // namespace

bool addSelectionSections(const std::vector<Entry>& entries, const Context& context, const Pictures& pictures,
                          std::vector<Section>& sections, std::string& error) {
    if (pictures.file(modeButtons[0].file) == nullptr) {
        return true;
    }
    Writer writer(entries, context);
    error.clear();
    SelectionSheet sheet(context, pictures, writer, error);
    sections.push_back(sheet.menus());
    sections.push_back(sheet.dialogs());
    sections.push_back(sheet.comic());
    sections.push_back(sheet.pieces());
    return error.empty();
}

} // namespace mkmedia
