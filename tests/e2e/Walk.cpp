#include "Walk.h"

#include "PictureSearch.h"
#include "PointerShape.h"

#include <cstdio>
#include <thread>

namespace e2e {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

// Sanitised debug builds are slow; each bound, in the time the game could run (GameTime), is far above what
// a working game needs.
constexpr int loadingSeconds = 120;
constexpr int levelEndSeconds = 90;
// Clicks may chain combos over the field, and win a level on the way.
constexpr int clickingSeconds = 150;
constexpr int pollMs = 200;
// Following the bot's lines: the output is read this often, the screen looked at for asides this often.
constexpr auto readOutputEvery = std::chrono::milliseconds(5);
constexpr auto lookForAsidesEvery = std::chrono::seconds(1);
// A press that brought nothing is made again after this long, while its button still shows enabled.
constexpr auto pressAgainAfter = std::chrono::seconds(5);
// The album's turn from the contents to a page takes about a second, in which a press is not taken.
constexpr auto pressEntryAgainAfter = std::chrono::seconds(2);
// A hint fades out after its OK, the album through black after its close button: neither is answered twice.
constexpr auto asideFadeTime = std::chrono::seconds(3);

// The typed code that wins the running level, as the selection scene registers it.
constexpr const char* winningCode = "plinkmarrowtidesx";
// The contents entry pressed in the album and the page it turns to: the ACTION highscores.
constexpr const char* contentsEntry = "LABEL_ACTION";
constexpr const char* contentsEntryPicture = "ALBUM_LEFTPAGE_PICTURE_3";
// Into an entry's text, whose hit area starts at the label's place.
constexpr Point intoEntry{24, 9};

// Into the score panel, where the pointer rests off the field.
constexpr int offPanelEdge = 12;
// A pointed pibble that shows no hand for this long has turned special (only plain pibbles show it): the
// pointer moves on to another.
constexpr auto pointElsewhereAfter = std::chrono::seconds(3);

constexpr int clicksPerLevel = 3;
constexpr auto playedPerLevel = std::chrono::milliseconds(1500);

Point offset(Point a, Point b) {
    return {a.x + b.x, a.y + b.y};
}

// The time a level was shown, counted between looks that both saw it: a hint, the album or a level end in
// between does not count.
struct PlayedTime {
    Clock::duration total{};
    std::optional<Clock::time_point> seen;

    // Whether the level shows now.
    bool look(bool shown) {
        if (!shown) {
            seen.reset();
            return false;
        }
        const Clock::time_point now = Clock::now();
        total += seen ? now - *seen : Clock::duration{};
        seen = now;
        return true;
    }
};

} // namespace

Walk::Walk(Game& game, unsigned long window, Rect picture, Declarations& data, Expectations expected,
           fs::path scratch)
    : game(game), window(window), picture(picture), data(data), expected(std::move(expected)),
      scratch(std::move(scratch)), selectionBackground(loadPicture(this->expected.selectionBackground)) {}

// --- Looking and pressing.

Screenshot Walk::screenshot() const {
    return Screenshot::takeRoot((scratch / "screen.xwd").string());
}

Screenshot Walk::waitFor(const std::string& what, int seconds, const Probe& done, bool answerAsides) {
    GameTime time(game.process(), seconds);
    while (true) {
        // Asked before the look, so a game that ends while the probe waits for its end is not a failure.
        const bool running = game.running();
        lastShot = screenshot();
        try {
            if (done(lastShot)) {
                return lastShot;
            }
        } catch (const Failure& failure) {
            throw Failure{failure.reason + keepLastScreen()};
        }
        if (!running) {
            fail("the game ended (" + game.describeEnd() + ") while the walk waited for " + what);
        }
        if (time.spent()) {
            fail("waited in vain for " + what + " (" + time.told() + ")" + keepLastScreen());
        }
        if (answerAsides) {
            answerAside(lastShot);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(pollMs));
    }
}

std::string Walk::keepLastScreen() const {
    if (!failureScreen.empty() && writePpm(lastShot, picture, failureScreen.string())) {
        return "; the last screen seen is in " + failureScreen.string();
    }
    return "";
}

void Walk::press(const std::string& what, const Picture& button, const Probe& done, int seconds,
                 bool answerAsides) {
    std::optional<Clock::time_point> pressed;
    waitFor(
        what, seconds,
        [&](const Screenshot& shot) {
            if (done(shot)) {
                return true;
            }
            if (const std::optional<Point> at = enabledAt(shot, button);
                at && (!pressed || Clock::now() - *pressed > pressAgainAfter)) {
                const Point middle = middleOf(button, *at);
                click(picture, middle.x, middle.y);
                pressed = Clock::now();
            }
            return false;
        },
        answerAsides);
}

// What play shows on its own and a player closes to go on: a hint over the field (its OK), the album that a
// photographed collectable opens at its page (its close button), and the message of a first photograph.
void Walk::answerAside(const Screenshot& shot) {
    if (lastAsideAnswer && Clock::now() - *lastAsideAnswer < asideFadeTime) {
        return;
    }
    for (const auto& [what, button] :
         {std::pair<const char*, const Picture*>{"a hint with its OK",
                                                 &data.picture("DIALOG_HINT", "BUTTON_OK")},
          {"the album a collectable opened", &data.picture("DIALOG_ALBUM", "BUTTON_MENU")},
          {"a message with its OK", &data.picture("DIALOG_MESSAGE", "BUTTON_OK")}}) {
        if (const std::optional<Point> at = enabledAt(shot, *button)) {
            const Point middle = middleOf(*button, *at);
            click(picture, middle.x, middle.y);
            lastAsideAnswer = Clock::now();
            progress(std::string("closed ") + what);
            return;
        }
    }
}

// The normal state, or the one under the pointer.
std::optional<Point> Walk::enabledAt(const Screenshot& shot, const Picture& button) const {
    for (int frame = 0; frame < std::min(button.frames, 2); ++frame) {
        if (const std::optional<Point> at = findFrame(shot, picture, button, frame)) {
            return at;
        }
    }
    return std::nullopt;
}

bool Walk::shows(const Screenshot& shot, const Picture& art, int frame) const {
    return findFrame(shot, picture, art, frame).has_value();
}

// Widgets cover parts of the background.
bool Walk::selectionShown(const Screenshot& shot) const {
    const Picture background{"the selection scene's background", selectionBackground};
    return shareShown(shot, picture, background, 0, {0, 0}, 4) > 0.5;
}

bool Walk::playing(const Screenshot& shot, const Mode& mode) {
    return enabledAt(shot, data.picture(mode.scene, "BUTTON_MENU")).has_value();
}

// --- The loading scene and the first start.

// The question comes in the frame in which loading finishes, in front of the bar: a first start in a window
// waits for it and answers it; any other start must never show it.
void Walk::waitForLoadingToFinish(bool questionExpected) {
    const Picture bar{"the loading bar", loadPicture(expected.barImage)};
    const Picture& no = data.picture("DIALOG_YESNO", "BUTTON_NO");
    std::optional<Clock::time_point> answered;
    double shown = 0;
    const std::string what = questionExpected ? "the full-screen question after loading, and its answer"
                                              : "the loading bar to fill";
    const Screenshot shot = waitFor(what, loadingSeconds, [&](const Screenshot& current) {
        if (const std::optional<Point> at = enabledAt(current, no)) {
            if (!questionExpected) {
                fail("the full-screen question was asked, though the game starts full screen or with a "
                     "profile");
            }
            if (!answered || Clock::now() - *answered > pressAgainAfter) {
                const Point middle = middleOf(no, *at);
                click(picture, middle.x, middle.y);
                answered = Clock::now();
            }
            return false;
        }
        // While loading, the bar is cut off where loading has come.
        shown =
            shareShown(current, picture, bar, 0, {expected.bar.x, expected.bar.y}, 1, bar.width() * 3 / 4);
        return shown > wholeShare && (answered || !questionExpected);
    });
    if (questionExpected) {
        progress("answered the full-screen question \"no\"");
    }
    const int colours = distinctColours(shot, picture);
    if (colours < 16) {
        fail("the loading scene looks blank");
    }
    progress("loading finished: the bar's right end shows " + std::to_string(int(shown * 100)) +
             " % of its picture; " + std::to_string(colours) + " colours on the screen");
}

void Walk::leaveLoadingScene() {
    click(picture, gameWidth / 2, gameHeight / 2);
}

// Each press turns one page: the button is disabled until the next page has faded in.
void Walk::pageThroughStrip() {
    const Picture& next = data.picture("DIALOG_STRIP", "BUTTON_NEXT");
    constexpr int pages = 4;
    for (int page = 1; page <= pages; ++page) {
        const std::string number = std::to_string(page);
        const Screenshot shot =
            waitFor("the comic strip's next button on page " + number, sceneSeconds,
                    [&](const Screenshot& current) { return enabledAt(current, next).has_value(); });
        const Point middle = middleOf(next, *enabledAt(shot, next));
        click(picture, middle.x, middle.y);
        waitFor("the comic strip to take the press on page " + number, sceneSeconds,
                [&](const Screenshot& current) { return !enabledAt(current, next); });
    }
    progress("paged through the comic strip's " + std::to_string(pages) + " pages");
}

void Walk::createProfile(const std::string& name) {
    const Picture& ok = data.picture("DIALOG_PROFILECREATE", "BUTTON_OK");
    waitFor("the profile dialog with its OK button disabled until a name is typed", sceneSeconds,
            [&](const Screenshot& shot) { return shows(shot, ok, Picture::disabledFrame); });
    typeInto(window, name);
    press(
        "the typed name to enable OK in the profile dialog, and OK to close it", ok,
        [&](const Screenshot& shot) {
            return !enabledAt(shot, ok) && !shows(shot, ok, Picture::disabledFrame) && selectionShown(shot);
        },
        sceneSeconds);
    progress("typed the name \"" + name + "\" into the profile dialog");
}

// The selection scene shows the arrow; the play scenes show the hand instead only over a plain pibble of a
// field that waits for a click. Learnt once two looks in a row agree.
void Walk::waitForSelectionScene() {
    unsigned long shape = 0;
    waitFor("the selection scene, with the arrow pointer", sceneSeconds, [&](const Screenshot& shot) {
        const unsigned long before = shape;
        shape = pointerShape();
        return selectionShown(shot) && shape != 0 && shape == before;
    });
    arrowShape = shape;
    progress("selection scene reached");
}

bool Walk::handOverPibble() const {
    const unsigned long shape = pointerShape();
    return shape != 0 && shape != arrowShape;
}

void Walk::pointOffField(const Mode& mode) {
    const Point panel = data.place(mode.scene, "SPRITE_SCORE_PANEL");
    pointAt(picture, panel.x + offPanelEdge, panel.y + offPanelEdge);
}

// --- Playing a mode.

void Walk::startNewGame(const Mode& mode) {
    levelEnding = false;
    const Picture& play = data.picture("DIALOG_HOWTOPLAY", "BUTTON_PLAY");
    press(
        mode.name + " on the selection scene, up to the how-to-play page",
        data.picture("SCENE_SELECTION", mode.button),
        [&](const Screenshot& shot) { return enabledAt(shot, play).has_value(); }, sceneSeconds);
    press(
        "play on the how-to-play page, up to the level's start", play,
        [&](const Screenshot& shot) { return playing(shot, mode); }, sceneSeconds, true);
    progress(mode.name + ": pressed play on the how-to-play page; the level runs");
}

void Walk::continueSavedGame(const Mode& mode) {
    levelEnding = false;
    const Picture& yes = data.picture("DIALOG_YESNO", "BUTTON_YES");
    const Picture& play = data.picture("DIALOG_HOWTOPLAY", "BUTTON_PLAY");
    press(
        mode.name + " on the selection scene, up to the question whether to continue",
        data.picture("SCENE_SELECTION", mode.button),
        [&](const Screenshot& shot) { return enabledAt(shot, yes).has_value(); }, sceneSeconds);
    press(
        "yes to continuing, up to the saved level's start", yes,
        [&](const Screenshot& shot) {
            if (enabledAt(shot, play)) {
                fail(mode.name + ": the how-to-play page showed again, though the player has seen it");
            }
            return playing(shot, mode);
        },
        sceneSeconds);
    progress(mode.name + ": continued the saved game; the level runs");
}

// Each click waits for the hand over the pointed pibble: the field waits for a click, as a player sees it.
// Play time counts only while the level runs: between two looks that both saw it running.
void Walk::clickPibbles(const Mode& mode) {
    const std::vector<Point> points = plainPibblePoints(mode.firstLevel);
    if (points.empty()) {
        fail(mode.name + ": the level has no plain pibble to click");
    }
    int clicks = 0;
    std::size_t next = 0;
    std::optional<Clock::time_point> pointed;
    PlayedTime played;
    waitFor(
        mode.name + ": a few clicks on pibbles while the level runs", clickingSeconds,
        [&](const Screenshot& shot) {
            noteLevelEnd(shot, mode);
            if (!played.look(playing(shot, mode))) {
                return false;
            }
            // A level the clicks won by themselves ends them too: the field's combos can run on for long.
            if ((clicks >= clicksPerLevel || levelsWon[mode.saveFolder] > 0) &&
                played.total >= playedPerLevel) {
                return true;
            }
            const Clock::time_point now = Clock::now();
            if (pointed && handOverPibble()) {
                capture("xdotool click 1");
                ++clicks;
                pointed.reset();
            } else if (!pointed || now - *pointed > pointElsewhereAfter) {
                // Spread over the field, a different pibble each time.
                next = (next + 7) % points.size();
                pointAt(picture, points[next].x, points[next].y);
                pointed = now;
            }
            return false;
        },
        true);
    pointOffField(mode);
    progress(mode.name + ": clicked " + std::to_string(clicks) + " pibbles");
}

// The bot's moves are the game's own; the time counts only while the level is shown, so a hint or the album
// that opened meanwhile (answered here) does not shorten it.
void Walk::letTheBotPlay(const Mode& mode, int seconds) {
    PlayedTime played;
    waitFor(
        mode.name + ": " + std::to_string(seconds) + " s of the bot's play", seconds + levelEndSeconds,
        [&](const Screenshot& shot) {
            noteLevelEnd(shot, mode);
            return played.look(playing(shot, mode)) && played.total >= std::chrono::seconds(seconds);
        },
        true);
    pointOffField(mode);
    progress(mode.name + ": the bot played " + std::to_string(seconds) + " s");
}

void Walk::followTheBot(const std::string& what, const std::function<bool(const std::string&)>& done) {
    GameTime time(game.process(), levelEndSeconds);
    Clock::time_point looked = Clock::now();
    while (!done(game.output())) {
        if (!game.running()) {
            fail("the game ended (" + game.describeEnd() + ") while the walk waited for " + what);
        }
        if (time.spent()) {
            lastShot = screenshot();
            fail("waited in vain for " + what + " (" + time.told() + ")" + keepLastScreen());
        }
        if (Clock::now() - looked >= lookForAsidesEvery) {
            lastShot = screenshot();
            answerAside(lastShot);
            looked = Clock::now();
        }
        std::this_thread::sleep_for(readOutputEvery);
    }
}

// At rest, the field waits for a click: the hand shows over a plain pibble. The pointer then leaves the
// field, so no pibble turns to look at it.
void Walk::waitForFieldAtRest(const Mode& mode) {
    const std::vector<Point> points = plainPibblePoints(mode.firstLevel);
    std::size_t next = 0;
    std::optional<Clock::time_point> pointed;
    waitFor(
        mode.name + ": the pibbles to come to rest", levelEndSeconds,
        [&](const Screenshot& shot) {
            noteLevelEnd(shot, mode);
            if (!playing(shot, mode)) {
                return false;
            }
            if (pointed && handOverPibble()) {
                return true;
            }
            if (!pointed || Clock::now() - *pointed > pointElsewhereAfter) {
                next = (next + 5) % points.size();
                pointAt(picture, points[next].x, points[next].y);
                pointed = Clock::now();
            }
            return false;
        },
        true);
    pointOffField(mode);
}

// The clicks may win a level by themselves: the level-end dialog comes and goes, and the code then wins the
// next level. Seen as the menu button disabled (as for the code's win, below) and then enabled again.
void Walk::noteLevelEnd(const Screenshot& shot, const Mode& mode) {
    if (shows(shot, disabledMenuTop(mode))) {
        levelEnding = true;
    } else if (levelEnding && playing(shot, mode)) {
        levelEnding = false;
        ++levelsWon[mode.saveFolder];
        progress(mode.name + ": the clicks won a level by themselves");
    }
}

const Picture& Walk::disabledMenuTop(const Mode& mode) {
    if (const auto known = menuTops.find(mode.scene); known != menuTops.end()) {
        return known->second;
    }
    const Picture& menu = data.picture(mode.scene, "BUTTON_MENU");
    return menuTops
        .emplace(mode.scene,
                 cropped(menu, Picture::disabledFrame, {0, 0, menu.width(), menu.frameHeight() / 2}))
        .first->second;
}

int Walk::levelReached(const Mode& mode) const {
    const auto won = levelsWon.find(mode.saveFolder);
    return 1 + (won == levelsWon.end() ? 0 : won->second);
}

// The code is typed as a player would type it, while the bot's or the clicks' move may still run: a code
// typed during a move is kept and wins the level when the move ends. The level ends: the menu button is
// disabled while the level-end dialog shows, and the carrot comes in. A hint left open over the field covers
// the lower half of the button, and the carrot's front is cut away from the left while the letters jump out
// of it: the button's upper half and the carrot's tip show longest. The button comes back enabled when the
// next level runs.
void Walk::winLevelWithCode(const Mode& mode) {
    const Picture& menuTop = disabledMenuTop(mode);
    const Picture& carrot = data.picture("DIALOG_LEVELEND", "SPRITE_CARROT_FRONT");
    const Picture carrotTip =
        cropped(carrot, 0, {carrot.width() * 3 / 4, 0, carrot.width() / 4, carrot.frameHeight()});
    typeInto(window, winningCode);
    waitFor(
        mode.name + ": the level's end after the typed code \"" + std::string(winningCode) + "\"",
        levelEndSeconds,
        [&](const Screenshot& shot) { return shows(shot, menuTop) || shows(shot, carrotTip); }, true);
    ++levelsWon[mode.saveFolder];
    progress(mode.name + ": the typed code won the level");
    waitFor(
        mode.name + ": the level-end dialog to continue into the next level", levelEndSeconds,
        [&](const Screenshot& shot) { return playing(shot, mode); }, true);
    progress(mode.name + ": the level-end dialog continued into the next level");
}

// The game's bot plays on until the menu opens. A move that runs when the code wins the level or the menu
// opens runs out and is kept, and the next level starts with its moves: a game lost on the way (the lost
// game's dialog with its continue button, or VIB's question whether to try again, in place of the menu) is
// a fault.
void Walk::leaveThroughMenu(const Mode& mode) {
    const Picture& quit = data.picture("DIALOG_MENU", "BUTTON_QUIT");
    const Picture& yes = data.picture("DIALOG_YESNO", "BUTTON_YES");
    const Picture* lostGameWays[] = {&data.picture("DIALOG_LEVELEND", "BUTTON_CONTINUE"),
                                     &data.picture("DIALOG_LEVELEND", "BUTTON_NO")};
    press(
        mode.name + ": the menu button, up to the menu", data.picture(mode.scene, "BUTTON_MENU"),
        [&](const Screenshot& shot) {
            if (enabledAt(shot, quit)) {
                return true;
            }
            // The menu has a continue button of its own; the level-end dialog disables the scene's menu
            // button.
            for (const Picture* way : lostGameWays) {
                if (enabledAt(shot, *way) && shows(shot, disabledMenuTop(mode))) {
                    fail(mode.name + ": the game was lost on the way to the menu: the lost game's dialog " +
                         "showed instead of the menu");
                }
            }
            return false;
        },
        sceneSeconds, true);
    press(
        mode.name + ": main menu in the menu, up to the question whether to stop", quit,
        [&](const Screenshot& shot) { return enabledAt(shot, yes).has_value(); }, sceneSeconds);
    press(
        mode.name + ": yes to stopping, back to the selection scene", yes,
        [&](const Screenshot& shot) { return selectionShown(shot) && !enabledAt(shot, yes); }, sceneSeconds);
    progress(mode.name + ": left through the menu, main menu and yes");
}

// --- The album and the way out.

void Walk::visitAlbum() {
    const Picture& close = data.picture("DIALOG_ALBUM", "BUTTON_MENU");
    const Picture& page = data.resource("albumpictures", contentsEntryPicture);
    press(
        "the album button, up to the open album", data.picture("SCENE_SELECTION", "BUTTON_ALBUM"),
        [&](const Screenshot& shot) { return enabledAt(shot, close).has_value(); }, sceneSeconds);
    // The contents page lies in the book at its declared place; the book is where its close button is.
    const Point book = [&] {
        const Point closeAt = *enabledAt(lastShot, close);
        const Point declared = data.place("DIALOG_ALBUM", "BUTTON_MENU");
        return Point{closeAt.x - declared.x, closeAt.y - declared.y};
    }();
    const Point entry = offset(offset(book, data.origin("DIALOG_TOC")),
                               offset(data.place("DIALOG_TOC", contentsEntry), intoEntry));
    progress("the album is open");
    // The album takes presses once its page has faded in; until then, a press on an entry goes nowhere and
    // is made again.
    std::optional<Clock::time_point> pressed;
    waitFor("the album to turn to the page of the contents entry " + std::string(contentsEntry), sceneSeconds,
            [&](const Screenshot& shot) {
                if (shows(shot, page) && enabledAt(shot, close)) {
                    return true;
                }
                if (!pressed || Clock::now() - *pressed > pressEntryAgainAfter) {
                    click(picture, entry.x, entry.y);
                    pressed = Clock::now();
                }
                return false;
            });
    progress("pressed the album's contents entry " + std::string(contentsEntry) + "; its page shows");
    press(
        "the album's close button, back to the selection scene", close,
        [&](const Screenshot& shot) { return selectionShown(shot) && !enabledAt(shot, close); },
        sceneSeconds);
    progress("closed the album");
}

void Walk::leaveGame() {
    const Picture& yes = data.picture("DIALOG_YESNO", "BUTTON_YES");
    press(
        "quit on the selection scene, up to the question whether to leave",
        data.picture("SCENE_SELECTION", "BUTTON_LEAVE"),
        [&](const Screenshot& shot) { return enabledAt(shot, yes).has_value(); }, sceneSeconds);
    press(
        "yes to leaving, up to the game's end", yes, [&](const Screenshot&) { return !game.running(); },
        exitSeconds);
    progress("left the game with yes");
}

} // namespace e2e
