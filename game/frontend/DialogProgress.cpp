#include "game/frontend/DialogProgress.h"

#include "engine/graphics/ImageFactory.h"
#include "engine/graphics/ImagePainter.h"
#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/PropertyStore.h"
#include "engine/platform/Application.h"
#include "engine/platform/PointerPosition.h"
#include "engine/ui/Button.h"
#include "engine/ui/CallbackModifier.h"
#include "engine/ui/DelayModifier.h"
#include "engine/ui/FadeModifier.h"
#include "engine/ui/Label.h"
#include "engine/ui/ModifierFrame.h"
#include "engine/ui/Path.h"
#include "engine/ui/PathModifier.h"
#include "engine/ui/PulseModifier.h"
#include "engine/ui/RectModifier.h"
#include "engine/ui/ResizeModifier.h"
#include "engine/ui/Scene.h"
#include "engine/ui/SoundModifier.h"
#include "engine/ui/SoundSystem.h"
#include "engine/ui/VisibilityModifier.h"
#include "engine/ui/WidgetSupport.h"
#include "game/field/PlayField.h"
#include "game/foundation/GameGlobals.h"
#include "game/foundation/GameUtilities.h"
#include "game/foundation/LevelCatalogue.h"
#include "game/foundation/PibblePlayer.h"
#include "game/foundation/PibbleScene.h"
#include "game/frontend/AlbumPictures.h"
#include "game/frontend/FailedSaveNotice.h"
#include "game/frontend/TransitionScene.h"

#include <algorithm>
#include <string>
#include <vector>

namespace game {

namespace {

const kernel::ClassRegistrar registrar("DialogProgress", DialogProgress::createInstance);

constexpr int screenMiddleX = 320;
constexpr int hintFadeMs = 100;
constexpr int shineFrameMs = 70;
constexpr int shineFadeMs = 250;
constexpr int shineRestMs = 250;
constexpr int photoPopMs = 250;
constexpr float photoPopScale = 1.2f;
constexpr int appearFrameMs = 200;
constexpr int chooseFadeMs = 500;
constexpr int musicFadeOutMs = 400;
// Samples per path step of a smoothed path.
constexpr int pathSteps = 10;

// The side of its picture from which a chapter's path line is drawn, by chapter.
enum class Edge { left, right, top, bottom };
constexpr std::array<Edge, DialogProgress::chapterCount + 1> lineEdges = {
    Edge::left, Edge::left, Edge::left, Edge::bottom, Edge::right, Edge::right,
    Edge::left, Edge::left, Edge::top,  Edge::left,   Edge::bottom};

bool isChapter(std::int32_t chapter) {
    return chapter >= 1 && chapter <= DialogProgress::chapterCount;
}

void placeAt(ui::GameNode* node, const ui::GameNode* where) {
    if (node != nullptr && where != nullptr) {
        node->setPosition(where->getX(), where->getY());
    }
}

ui::Modifier* blocking(ui::Modifier* modifier) {
    modifier->addFlags(ui::Modifier::blocking);
    return modifier;
}

// Appends the steps to the node, in order; nothing for a node the declaration lacks.
void animate(ui::GameNode* node, std::initializer_list<ui::Modifier*> steps) {
    for (ui::Modifier* step : steps) {
        if (node != nullptr) {
            node->addModifier(step);
        } else {
            // Never listed anywhere: released here.
            const kernel::SmartPtr<ui::Modifier> unused(step);
        }
    }
}

// A node the declaration lacks is waited for no time.
ui::Modifier* waitFor(ui::GameNode* node) {
    return node != nullptr ? new ui::DelayModifier(node) : new ui::DelayModifier(0);
}

ui::Modifier* visibility(bool visible) {
    return new ui::VisibilityModifier(visible);
}

// Decimal digits after an optional sign, or "#" and hexadecimal digits: a file cut short inside an element
// leaves the coordinate empty or holding the rest of the markup.
bool isCoordinate(const kernel::WideString& text) {
    const bool hexadecimal = !text.empty() && text.front() == u'#';
    const std::size_t first =
        hexadecimal || (!text.empty() && (text.front() == u'-' || text.front() == u'+')) ? 1 : 0;
    if (first >= text.size()) {
        return false;
    }
    return std::all_of(text.begin() + static_cast<std::ptrdiff_t>(first), text.end(),
                       [hexadecimal](char16_t c) {
                           return (c >= u'0' && c <= u'9') ||
                                  (hexadecimal && ((c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F')));
                       });
}

// A picture of the sprite's size holding its first frame; empty when the sprite has no picture.
kernel::SmartPtr<graphics::MemoryImage32> copyOfFrame(const ui::Sprite& sprite) {
    const kernel::SmartPtr<graphics::MemoryImage32> picture =
        graphics::createImage32(sprite.getWidth(), sprite.getHeight());
    if (picture && sprite.getImage() != nullptr) {
        const kernel::SmartPtr<graphics::ImagePainter> painter = picture->createPainter();
        painter->copyPixels(*sprite.getImage(), 0, 0, 0, 0, sprite.getWidth(), sprite.getHeight());
        picture->setAlphaMode(sprite.getImage()->getAlphaMode());
    }
    return picture;
}

bool inside(const ui::Sprite* sprite, int x, int y) {
    return sprite != nullptr && sprite->containsPoint(x, y);
}

bool usable(const ui::Button* button, int x, int y) {
    return button != nullptr && button->isVisible() && button->isEnabled() && button->containsPoint(x, y);
}

// The best chapter reached at the difficulty; chapter 1 without a player.
std::int32_t highestChapter() {
    const PibblePlayer* player = currentPlayer();
    const std::int32_t reached = player != nullptr ? player->highestVibChapter(currentDifficulty()) : 1;
    return std::clamp(reached, 1, DialogProgress::chapterCount);
}

// The field restarted at the chapter's first level with its score kept; false, with the field as it was,
// without a field, a catalogue or a level.
bool restartAtFirstLevel(std::int32_t chapter) {
    PlayField* field = PlayField::instance();
    LevelCatalogue* catalogue = LevelCatalogue::instance();
    if (field == nullptr || catalogue == nullptr) {
        return false;
    }
    const std::int32_t score = field->getScore();
    LevelFile* level = catalogue->loadVibLevel(chapter, 1, currentDifficulty());
    if (level == nullptr) {
        return false;
    }
    field->restart(level);
    field->setScore(score);
    return true;
}

void setSceneChapter(std::int32_t chapter) {
    if (PibbleScene* scene = PibbleScene::current()) {
        scene->setVibChapterAndLevel(chapter, 1);
    }
}

} // namespace

DialogSection DialogProgress::pictures{ids::groupSceneProgress};

DialogProgress::DialogProgress(kernel::NodeValue& settings) : DialogPibble(pictures.readFor(settings)) {
    findComponents();
    pathDocument = new kernel::ValueDocument();
    pathDocument->addFile(ids::progressFile);
    pathDocument->load();
    const std::int32_t pending = pendingChapter();
    layOutChapters(highestChapter(), pending);
    // A pending chapter without a path leading to it (chapter 1, or none at all) has nothing to walk.
    if (pending >= 2 && pending <= chapterCount) {
        if (newChapter()) {
            openWithUnlock(pending);
        } else {
            openWithReturn(pending);
        }
    } else {
        openPlain();
    }
    bindButtons();
}

DialogProgress::~DialogProgress() {
    pictures.letGo();
}

kernel::Object* DialogProgress::createInstance(kernel::Value& settings) {
    return settings.isNode() ? new DialogProgress(settings.asNode()) : nullptr;
}

void DialogProgress::findComponents() {
    for (std::int32_t n = 1; n <= chapterCount; ++n) {
        const std::string number = std::to_string(n);
        lines[n] = findComponentAs<ui::Sprite>(ids::spriteLinePrefix + number);
        chapterButtons[n] = findComponentAs<ui::Button>(ids::chapterButtonPrefix + number);
        photos[n] = findComponentAs<ui::Button>(ids::chapterPhotoPrefix + number);
    }
    buttonAppear = findComponentAs<ui::Sprite>(ids::spriteButtonAppear);
    playerShine = findComponentAs<ui::Sprite>(ids::spritePlayerShine);
    buttonMenu = findComponentAs<ui::Button>(ids::buttonMenu);
    head = findComponentAs<ui::Button>(ids::buttonHead);
    headSmile = findComponentAs<ui::Sprite>(ids::buttonHeadSmile);
    buttonBook = findComponentAs<ui::Button>(ids::buttonBook);
    hintBackground = findComponentAs<ui::Sprite>(ids::hintBackground);
    hintLabel = findComponentAs<ui::Label>(ids::hintLabel);
    chooseLabel = findComponentAs<ui::Label>(ids::labelChooseChapter);
    chooseLabelBlur = findComponentAs<ui::Label>(ids::labelChooseChapterBlur);
    for (ui::Label* label : {chooseLabel, chooseLabelBlur}) {
        if (label != nullptr) {
            label->setVisible(false);
            label->setAlpha(0);
        }
    }
    for (ui::GameNode* hidden : std::initializer_list<ui::GameNode*>{headSmile, buttonAppear, playerShine,
                                                                     hintBackground, hintLabel}) {
        showNode(hidden, false);
    }
}

// The reached chapters show their lines; the highest its button, the others their photos. While a chapter
// is pending only its button takes a click, so the player cannot wander off before it is committed.
void DialogProgress::layOutChapters(std::int32_t highest, std::int32_t pending) {
    for (std::int32_t n = 1; n <= chapterCount; ++n) {
        const bool reached = n <= highest;
        const bool current = n == highest;
        showNode(chapterButtons[n], reached && current);
        enableButton(chapterButtons[n], reached && current && (pending == 0 || pending == n));
        showNode(photos[n], reached && !current);
        enableButton(photos[n], reached && !current && pending == 0);
        showNode(lines[n], reached);
        if (reached) {
            headChapter = n;
            placeAt(head, chapterButtons[n]);
        }
    }
}

// The chapter just reached for the first time: after the carrot the old chapter shines, its photo pops in,
// the new chapter's button appears and the head walks there while the path line is drawn.
void DialogProgress::openWithUnlock(std::int32_t chapter) {
    walkHead(chapter - 1, chapter, arrivalWalkMs, chapterButtons[chapter]);
    showNode(chapterButtons[chapter], false);
    showNode(photos[chapter], false);
    showNode(lines[chapter], false);
    flashShine();
    placeAt(headSmile, head);
    animate(headSmile, {new ui::DelayModifier(shineDelayMs), visibility(true), waitFor(photos[chapter - 1]),
                        visibility(false)});
    popInPhoto(chapter - 1);
    placeAt(buttonAppear, chapterButtons[chapter]);
    animate(buttonAppear,
            {waitFor(photos[chapter - 1]), visibility(true), new ui::ModifierFrame(appearFrameMs, 1)});
    animate(chapterButtons[chapter], {waitFor(buttonAppear), visibility(true)});
    revealLine(chapter);
}

// A chapter finished again: the shine, then the walk on to the chapter after it.
void DialogProgress::openWithReturn(std::int32_t chapter) {
    walkHead(chapter - 1, chapter, arrivalWalkMs, playerShine);
    flashShine();
    placeAt(headSmile, head);
    animate(headSmile,
            {new ui::DelayModifier(shineDelayMs), visibility(true), waitFor(playerShine), visibility(false)});
}

void DialogProgress::openPlain() {
    for (ui::Label* label : {chooseLabel, chooseLabelBlur}) {
        animate(label, {blocking(visibility(true)), blocking(new ui::FadeModifier(0, 255, chooseFadeMs)),
                        new ui::PulseModifier(255, 128, 200, 200, 0, 0, 3)});
    }
}

// Where the head stands now; the selection music comes in as the shine fades.
void DialogProgress::flashShine() {
    placeAt(playerShine, head);
    animate(playerShine,
            {new ui::DelayModifier(shineDelayMs), visibility(true),
             blocking(new ui::ModifierFrame(shineFrameMs, 2)),
             blocking(new ui::FadeModifier(255, 0, shineFadeMs)),
             new ui::CallbackModifier(
                 nullptr, [](void*, ui::GameNode*) { changeMusic(propertyString(ids::musicSelection)); }),
             new ui::DelayModifier(shineRestMs)});
}

// The finished chapter's photo grows out of nothing once the shine is over: a copy of its picture does the
// growing, above it, and goes; the photo itself is shown after it.
void DialogProgress::popInPhoto(std::int32_t chapter) {
    ui::Button* photo = photos[chapter];
    if (photo == nullptr) {
        return;
    }
    enableButton(photo, false);
    photo->setVisible(false);
    const int w = photo->getWidth();
    const int h = photo->getHeight();
    const int popW = static_cast<int>(static_cast<float>(w) * photoPopScale);
    const int popH = static_cast<int>(static_cast<float>(h) * photoPopScale);
    const kernel::SmartPtr<ui::Sprite> copy =
        new ui::Sprite(photo->getX(), photo->getY(), copyOfFrame(*photo).get());
    copy->setAnchorPoint(photo->getAnchorPoint().getX(), photo->getAnchorPoint().getY());
    copy->setVisible(false);
    photo->insertAfter(copy.get());
    auto* sound = new ui::SoundModifier(nullptr);
    sound->setSoundName(ids::groupGameSounds, ids::soundPhotoAppears);
    auto* shrink = new ui::ResizeModifier(popW, popH, w, h, photoPopMs);
    shrink->addFlags(ui::Modifier::killNode);
    animate(copy.get(), {visibility(false), waitFor(playerShine), visibility(true), sound,
                         blocking(new ui::ResizeModifier(0, 0, popW, popH, photoPopMs)), shrink});
    animate(photo, {waitFor(copy.get()), new ui::CallbackModifier(nullptr, [](void*, ui::GameNode* node) {
                        node->setVisible(true);
                    })});
}

// The line grows from the side where the path leaves the chapter before, over the walk's time.
void DialogProgress::revealLine(std::int32_t chapter) {
    ui::Sprite* line = lines[chapter];
    if (line == nullptr) {
        return;
    }
    const int x = line->getAbsoluteX() - line->getAnchorPoint().getRoundedX();
    const int y = line->getAbsoluteY() - line->getAnchorPoint().getRoundedY();
    const int w = line->getWidth();
    const int h = line->getHeight();
    const Edge edge = lineEdges[static_cast<std::size_t>(chapter)];
    const kernel::Rect from = edge == Edge::right    ? kernel::Rect(x + w, y, 0, h)
                              : edge == Edge::top    ? kernel::Rect(x, y, w, 0)
                              : edge == Edge::bottom ? kernel::Rect(x, y + h, w, 0)
                                                     : kernel::Rect(x, y, 0, h);
    animate(line, {waitFor(chapterButtons[chapter]), visibility(true),
                   new ui::RectModifier(from.x, from.y, from.w, from.h, x, y, w, h, arrivalWalkMs, false)});
}

void DialogProgress::bindButtons() {
    bindCallback(ids::buttonMenu, this, onMenuButton, listenerList());
    bindCallback(ids::buttonBook, this, onBookButton, listenerList());
    bindCallback(ids::buttonHead, this, onHeadButton, listenerList());
    const kernel::WideString tip = kernel::PropertyStore::getText(ids::tooltipProgressPhoto);
    for (std::int32_t n = 1; n <= chapterCount; ++n) {
        const std::string number = std::to_string(n);
        bindCallback(ids::chapterButtonPrefix + number, this, onChapterButton, listenerList());
        bindCallback(ids::chapterPhotoPrefix + number, this, onChapterButton, listenerList());
        if (photos[n] != nullptr) {
            photos[n]->setToolTipText(photos[n]->isEnabled() ? tip : kernel::WideString());
        }
    }
}

// Showing and hiding.

void DialogProgress::show() {
    DialogPibble::show();
    if (pendingChapter() != 0) {
        DialogPibble::openLevelEnd(levelEndChapterFinished);
        playSound(ids::soundChapterFinished, ids::groupGameSounds);
        if (ui::SoundSystem* sound = ui::SoundSystem::instance()) {
            sound->setMusicFade(1.0f, 0.0f, musicFadeOutMs);
        }
    } else {
        changeMusic(propertyString(ids::musicSelection));
    }
}

void DialogProgress::hide() {
    changeMusic(propertyString(ids::musicGame));
    setProgressMapChapter(0, false);
    DialogPibble::hide();
}

// Choosing and walking.

bool DialogProgress::headMoving() const {
    return head != nullptr && !head->getModifierList().empty();
}

void DialogProgress::chooseChapter(std::int32_t chapter) {
    if (headMoving() || !isChapter(chapter)) {
        return;
    }
    if (chapter == headChapter) {
        startChapter(chapter);
    } else {
        walkHead(headChapter, chapter, walkMs, nullptr);
    }
}

// The map leaves first, so its hide ends the pending chapter before the level begins.
void DialogProgress::startChapter(std::int32_t chapter) {
    const kernel::SmartPtr<DialogProgress> keep(this);
    if (ui::Scene* scene = currentScene()) {
        scene->removeDialog(getName());
    }
    setSceneChapter(chapter);
    if (restartAtFirstLevel(chapter)) {
        PlayField::instance()->announceReady();
    }
}

void DialogProgress::startPendingChapter() {
    const std::int32_t chapter = pendingChapter();
    if (!isChapter(chapter)) {
        return;
    }
    setSceneChapter(chapter);
    // Without the chapter's level on the field there is nothing to save that belongs to the chapter.
    if (!restartAtFirstLevel(chapter)) {
        return;
    }
    PlayField::instance()->storeToLevel();
    if (PibbleScene* scene = PibbleScene::current()) {
        scene->saveGame();
    }
}

void DialogProgress::walkHead(std::int32_t from, std::int32_t to, int msPerPath, ui::GameNode* awaited) {
    fadeOutHint();
    if (head == nullptr) {
        return;
    }
    if (awaited != nullptr) {
        head->addModifier(new ui::DelayModifier(awaited));
    }
    walkFrom = from;
    walkTo = to;
    bool placed = false;
    const std::int32_t step = from < to ? 1 : -1;
    for (std::int32_t c = from; c != to; c += step) {
        const kernel::SmartPtr<ui::Path> path = pathSegment(c, c + step);
        if (!path) {
            continue;
        }
        if (!placed) {
            head->setPosition(path->pointAt(0).getRoundedX(), path->pointAt(0).getRoundedY());
            placed = true;
        }
        head->addModifier(blocking(new ui::PathModifier(path.get(), msPerPath, false, 0)));
    }
    jumpOnArrival = !placed && from != to;
    head->addModifier(blocking(new ui::CallbackModifier(
        this, [](void* map, ui::GameNode*) { static_cast<DialogProgress*>(map)->arrive(); })));
}

void DialogProgress::arrive() {
    playSound(ids::soundArrive, ids::groupGameSounds);
    headChapter = walkTo;
    idleTime = 0;
    if (jumpOnArrival && isChapter(walkTo)) {
        placeAt(head, chapterButtons[walkTo]);
    }
    jumpOnArrival = false;
}

// Elements that are not Nodes with both coordinates are no points of the path.
kernel::SmartPtr<ui::Path> DialogProgress::pathSegment(std::int32_t a, std::int32_t b) const {
    if (!pathDocument) {
        return nullptr;
    }
    const kernel::VectorValue& list = pathDocument->getVector("path" + std::to_string(std::max(a, b)));
    std::vector<std::pair<int, int>> points;
    for (std::int32_t i = 0; i < list.childCount(); ++i) {
        const kernel::Value* element = list.at(i);
        if (element == nullptr || !element->isNode()) {
            continue;
        }
        const auto& node = static_cast<const kernel::NodeValue&>(*element);
        const kernel::ScalarValue& x = node.getValue("x");
        const kernel::ScalarValue& y = node.getValue("y");
        if (isCoordinate(x.text()) && isCoordinate(y.text())) {
            points.emplace_back(x.asInt(), y.asInt());
        }
    }
    if (points.empty()) {
        return nullptr;
    }
    if (a > b) {
        std::reverse(points.begin(), points.end());
    }
    const kernel::SmartPtr<ui::Path> corners = new ui::Path();
    for (const auto& [x, y] : points) {
        corners->addPoint(x, y);
    }
    // One point is a path of its own: there is no curve through it.
    if (corners->getPointCount() < 2) {
        return corners;
    }
    const kernel::SmartPtr<ui::Path> smooth = new ui::Path();
    smooth->interpolate(*corners, 0, corners->getPointCount() - 1, pathSteps, true);
    return smooth;
}

// The hint bubble.

void DialogProgress::fadeOutHint() {
    if (hintBackground == nullptr || hintLabel == nullptr || !hintBackground->isVisible() ||
        !hintLabel->isVisible()) {
        return;
    }
    for (ui::Sprite* part : std::initializer_list<ui::Sprite*>{hintBackground, hintLabel}) {
        part->removeAllModifiers();
        animate(part, {blocking(new ui::FadeModifier(part->getAlpha(), 0, hintFadeMs)), visibility(false)});
    }
}

// Beside the head, on the side of the screen's middle.
void DialogProgress::openHintBubble() {
    hintBackground->removeAllModifiers();
    hintLabel->removeAllModifiers();
    const bool leftOfHead = head->getX() > screenMiddleX;
    if (graphics::ImageBase* picture = ui::findImage(
            leftOfHead ? ids::imageHintDialogLeft : ids::imageHintDialogRight, ids::groupSceneProgress)) {
        hintBackground->setImage(picture);
    }
    const int dx = hintBackground->getWidth() / 2 + head->getWidth() / 3;
    const int x = leftOfHead ? head->getX() - dx : head->getX() + dx;
    const int y = head->getY() - hintBackground->getHeight() / 2 - head->getHeight() / 3;
    for (ui::Sprite* part : std::initializer_list<ui::Sprite*>{hintBackground, hintLabel}) {
        part->setPosition(x, y);
        part->setAlpha(0);
        part->setVisible(true);
        part->addModifier(new ui::FadeModifier(0, 255, hintFadeMs));
    }
    idleTime = 0;
}

void DialogProgress::onUpdate(std::uint32_t elapsedMs) {
    DialogPibble::onUpdate(elapsedMs);
    updateCursor();
    if (head == nullptr || hintBackground == nullptr || hintLabel == nullptr || headMoving() ||
        hintBackground->isVisible() || hintLabel->isVisible()) {
        return;
    }
    idleTime += static_cast<std::int32_t>(elapsedMs);
    if (idleTime >= hintDelayMs) {
        openHintBubble();
    }
}

// The album over the map asks for its own pointer shapes.
void DialogProgress::updateCursor() {
    platform::Application* application = platform::Application::instance();
    const AlbumPictures* pictures = AlbumPictures::instance();
    if (application == nullptr || (pictures != nullptr && pictures->albumDialog() != nullptr)) {
        return;
    }
    const int x = platform::pointerX;
    const int y = platform::pointerY;
    bool hand = (head != nullptr && head->isEnabled() && head->containsPoint(x, y)) ||
                (hintBackground != nullptr && hintBackground->isVisible() && inside(hintBackground, x, y));
    for (std::int32_t n = 1; n <= chapterCount && !hand; ++n) {
        hand = usable(chapterButtons[n], x, y) || usable(photos[n], x, y);
    }
    application->setCursorShape(hand ? platform::cursorHand : platform::cursorArrow);
}

bool DialogProgress::onLeftButtonDown(int x, int y, std::uint32_t keyFlags, bool doubleClick) {
    if (hintBackground != nullptr && hintBackground->isVisible() && inside(hintBackground, x, y)) {
        chooseChapter(headChapter);
        return true;
    }
    return DialogPibble::onLeftButtonDown(x, y, keyFlags, doubleClick);
}

// The buttons.

void DialogProgress::onChapterButton(void* map, ui::GameNode* sender) {
    auto* self = static_cast<DialogProgress*>(map);
    for (std::int32_t n = 1; n <= chapterCount; ++n) {
        if (sender != nullptr && (sender == self->chapterButtons[n] || sender == self->photos[n])) {
            self->chooseChapter(n);
            return;
        }
    }
}

void DialogProgress::onHeadButton(void* map, ui::GameNode* /*sender*/) {
    auto* self = static_cast<DialogProgress*>(map);
    self->chooseChapter(self->headChapter);
}

void DialogProgress::onBookButton(void* map, ui::GameNode* /*sender*/) {
    AlbumPictures* pictures = AlbumPictures::instance();
    if (pictures != nullptr && !static_cast<DialogProgress*>(map)->headMoving()) {
        pictures->openAtContents();
    }
}

// Leaving for the selection scene commits the pending chapter first, so a continued game starts there; a
// commit that could not be saved is told before the way back.
void DialogProgress::onMenuButton(void* /*map*/, ui::GameNode* /*sender*/) {
    startPendingChapter();
    leaveAfterFailedSaveNotice([] {
        ChangeSceneWithTransition(ids::sceneSelection);
        DialogPibble::closeDialog(ids::dialogProgress);
    });
}

} // namespace game
