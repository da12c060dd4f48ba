#include "game/frontend/DialogLevelEnd.h"

#include "engine/graphics/ChannelBuffer.h"
#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/PropertyStore.h"
#include "engine/kernel/ResourceManager.h"
#include "engine/platform/Application.h"
#include "engine/platform/PointerPosition.h"
#include "engine/ui/Button.h"
#include "engine/ui/CallbackModifier.h"
#include "engine/ui/DelayModifier.h"
#include "engine/ui/FadeModifier.h"
#include "engine/ui/FullScreenHandler.h"
#include "engine/ui/Label.h"
#include "engine/ui/MoveModifier.h"
#include "engine/ui/ResizeModifier.h"
#include "engine/ui/Scene.h"
#include "engine/ui/SoundModifier.h"
#include "engine/ui/Sprite.h"
#include "engine/ui/VisibilityModifier.h"
#include "game/field/PlayField.h"
#include "game/field/SpriteLabel.h"
#include "game/foundation/GameGlobals.h"
#include "game/foundation/GameUtilities.h"
#include "game/foundation/PibbleScene.h"
#include "game/frontend/CarrotPictures.h"

#include <algorithm>
#include <initializer_list>
#include <string>
#include <utility>

namespace game {

namespace {

const kernel::ClassRegistrar registrar("DialogLevelEnd", DialogLevelEnd::createInstance);

constexpr int screenWidth = 640;
constexpr int screenHeight = 480;
constexpr int middleX = screenWidth / 2;
constexpr int middleY = screenHeight / 2;
constexpr int headerX = middleX + 10;

// The carrot's entry: a slide to the middle, then a squash and back.
constexpr int carrotSlideMs = 250;
constexpr int carrotSquashMs = 100;
constexpr int carrotSquash = 100;
// The letters: one after another, each up and down again, then a small squash.
constexpr int letterStepMs = 200;
constexpr int letterJumpMs = 200;
constexpr int letterJump = 100;
constexpr int letterSquashMs = 50;
constexpr int letterSquash = 10;
// Where the letters stand on the composed carrot, from its middle.
constexpr int letterInsetX = 10;

constexpr int biteStepMs = 200;
constexpr int continueAfterBitesMs = 1000;
// The sound number of each bite; the first bite is silent.
constexpr int biteSoundOrder[DialogLevelEnd::bites] = {0, 2, 3, 4, 2, 3, 4, 1, 3, 4, 1, 2, 4};

// The failure's explanation and what comes with it.
constexpr int slideMs = 250;
constexpr int slideDown = 105;
constexpr int whiteBarBelowText = 125;
constexpr int tryAgainAfterMs = 5500;
constexpr int fadeMs = 250;
constexpr int offScreenY = -100;

// Each bite's crumbs start further left, one after another, each flying its own way.
constexpr int crumbStartX = 530;
constexpr int crumbStepX = 30;
constexpr int crumbY = 220;
constexpr int crumbStaggerMs = 50;
constexpr int crumbDirections[DialogLevelEnd::crumbKinds] = {1, -1, 3};

// The dialog whose kind the global level-end kind holds: only that dialog may reset it.
const DialogLevelEnd* kindHolder = nullptr;

ui::Modifier* blocking(ui::Modifier* modifier) {
    modifier->addFlags(ui::Modifier::blocking);
    return modifier;
}

void hideSprite(ui::Sprite* sprite) {
    if (sprite != nullptr) {
        sprite->setVisible(false);
    }
}

void place(ui::Sprite* sprite, int x, int y, bool visible) {
    if (sprite != nullptr) {
        sprite->setPosition(x, y);
        sprite->setVisible(visible);
    }
}

// Waits for the node's modifiers to finish, then shows it.
void appearAfter(ui::Sprite& sprite, ui::GameNode* awaited) {
    if (awaited != nullptr) {
        sprite.addModifier(new ui::DelayModifier(awaited));
    }
    sprite.addModifier(new ui::VisibilityModifier(true));
}

graphics::ImageBase* dialogImage(const std::string& name) {
    kernel::ResourceManager* resources = kernel::ResourceManager::instance();
    kernel::Object* found =
        resources != nullptr ? resources->getResource(name, ids::groupScenePlay) : nullptr;
    return found != nullptr && found->isKindOf(graphics::ImageBase::classInfo)
               ? static_cast<graphics::ImageBase*>(found)
               : nullptr;
}

std::int32_t currentMode() {
    const PibbleScene* scene = PibbleScene::current();
    return scene != nullptr ? scene->playingMode() : gameModeNone;
}

// By level-end kind 1 to 3, and by game mode 0 to 2; null outside.
const char* headerKey(std::int32_t kind) {
    static constexpr const char* keys[] = {ids::textGameFinishedHeader, ids::textGameFailedHeader,
                                           ids::textChapterFinishedHeader};
    return kind >= levelEndFinished && kind <= levelEndChapterFinished ? keys[kind - levelEndFinished]
                                                                       : nullptr;
}

const char* failureKey(std::int32_t mode) {
    static constexpr const char* keys[] = {ids::textGameFailedVib, ids::textGameFailedAction,
                                           ids::textGameFailedRelax};
    return mode >= gameModeVib && mode <= gameModeRelax ? keys[mode] : nullptr;
}

bool quitQuestionOpen() {
    const ui::Scene* scene = currentScene();
    return scene != nullptr && scene->isDialogOpen(ids::textQuit);
}

} // namespace

DialogLevelEnd::DialogLevelEnd(kernel::NodeValue& settings) : DialogPibble(settings) {
    setLevelEndKind(0);
    kindHolder = nullptr;
}

DialogLevelEnd::~DialogLevelEnd() {
    if (kindHolder == this) {
        setLevelEndKind(0);
        kindHolder = nullptr;
    }
}

kernel::Object* DialogLevelEnd::createInstance(kernel::Value& settings) {
    return settings.isNode() ? new DialogLevelEnd(settings.asNode()) : nullptr;
}

// Showing: the parts, the texts, the letters' jumps, the layout, the failure's parts and the carrot's
// entry, in this order: the letters and the failure's parts wait for the carrot's entry added last.
void DialogLevelEnd::show() {
    platform::setApplicationCursor(platform::cursorArrow);
    DialogPibble::show();
    // The kind is this dialog's from now on: a later dialog may store another before this one is gone.
    kind = levelEndKind();
    kindHolder = this;
    findComponents();
    bindButtons();
    loadImages();
    resetSequence();
    setTexts();
    jumpLetters();
    layOut();
    if (kind == levelEndFailed) {
        showFailure();
    }
    slideInCarrot();
}

void DialogLevelEnd::hide() {
    platform::setApplicationCursor(platform::cursorArrow);
    DialogPibble::hide();
}

void DialogLevelEnd::findComponents() {
    whiteBar = findComponentAs<ui::Sprite>(ids::spriteWhiteBar);
    carrot = findComponentAs<ui::Sprite>(ids::spriteCarrot);
    carrotFront = findComponentAs<ui::Sprite>(ids::spriteCarrotFront);
    carrotBack = findComponentAs<ui::Sprite>(ids::spriteCarrotBack);
    buttonContinue = findComponentAs<ui::Button>(ids::buttonContinue);
    buttonYes = findComponentAs<ui::Button>(ids::buttonYes);
    buttonNo = findComponentAs<ui::Button>(ids::buttonNo);
    header = findComponentAs<SpriteLabel>(ids::labelHeader);
    text = findComponentAs<ui::Label>(ids::labelText);
    tryAgain = findComponentAs<ui::Label>(ids::labelTryAgain);
}

// "No" gives up the VIB level: it continues like the continue button.
void DialogLevelEnd::bindButtons() {
    bindCallback(ids::buttonContinue, this, onContinue, listenerList());
    bindCallback(ids::buttonNo, this, onContinue, listenerList());
    bindCallback(ids::buttonYes, this, onTryAgain, listenerList());
}

void DialogLevelEnd::loadImages() {
    for (int j = 0; j < crumbKinds; ++j) {
        crumbImages[static_cast<std::size_t>(j)] = dialogImage(ids::carrotCrumbPrefix + std::to_string(j));
    }
}

// A dialog shown again (without being closed and made afresh) starts its sequence from the beginning.
void DialogLevelEnd::resetSequence() {
    removeAllModifiers();
    for (ui::GameNode* part :
         std::initializer_list<ui::GameNode*>{whiteBar, carrot, carrotFront, carrotBack, buttonContinue,
                                              buttonYes, buttonNo, text, tryAgain}) {
        if (part != nullptr) {
            part->removeAllModifiers();
        }
    }
    for (const kernel::SmartPtr<ui::Sprite>& crumb : crumbs) {
        crumb->kill();
    }
    crumbs.clear();
    lastGlyph = nullptr;
    biteCount = 0;
    bitesStarted = false;
    answered = false;
}

// Any other kind keeps the declared texts; the header's letters are made either way.
void DialogLevelEnd::setTexts() {
    if (header != nullptr) {
        header->clearGlyphs();
        if (const char* key = headerKey(kind)) {
            header->setText(kernel::PropertyStore::getText(key));
        }
        header->layoutGlyphs();
    }
    if (kind != levelEndFailed) {
        return;
    }
    if (const char* key = failureKey(currentMode()); key != nullptr && text != nullptr) {
        text->setText(kernel::PropertyStore::getText(key));
    }
    if (tryAgain != nullptr) {
        tryAgain->setText(kernel::PropertyStore::getText(ids::textGameFailedTryAgain));
    }
}

// Once the carrot is in, the letters jump out of it 200 ms apart, each standing on its bottom middle so
// that its squash keeps its feet on the ground.
void DialogLevelEnd::jumpLetters() {
    if (header == nullptr) {
        return;
    }
    int k = 0;
    for (const kernel::SmartPtr<ui::Sprite>& glyph : header->glyphs()) {
        setAnchorKeepPosition(glyph.get(), ui::Sprite::Bottom);
        const int x = glyph->getX();
        const int y = glyph->getY();
        const int w = glyph->getWidth();
        const int h = glyph->getHeight();
        glyph->setVisible(false);
        if (carrotFront != nullptr) {
            glyph->addModifier(new ui::DelayModifier(carrotFront));
        }
        glyph->addModifier(new ui::DelayModifier(k * letterStepMs));
        glyph->addModifier(new ui::VisibilityModifier(true));
        glyph->addModifier(blocking(new ui::MoveModifier(x, y, x, y - letterJump, letterJumpMs, true)));
        glyph->addModifier(new ui::CallbackModifier(this, clipCarrotFront));
        glyph->addModifier(blocking(new ui::MoveModifier(x, y - letterJump, x, y, letterJumpMs, true)));
        glyph->addModifier(blocking(new ui::ResizeModifier(w, h, w, h - letterSquash, letterSquashMs)));
        glyph->addModifier(blocking(new ui::ResizeModifier(w, h - letterSquash, w, h, letterSquashMs)));
        lastGlyph = glyph;
        ++k;
    }
}

// Everything starts hidden or off screen to the left; the yes and no buttons stay off until asked.
void DialogLevelEnd::layOut() {
    frontClip = kernel::Rect(0, 0, screenWidth, screenHeight);
    if (carrot != nullptr) {
        carrot->setImage(nullptr);
        place(carrot, middleX, middleY, false);
    }
    if (carrotFront != nullptr) {
        carrotFront->setClipRect(&frontClip);
        place(carrotFront, -carrotFront->getWidth(), middleY, true);
    }
    if (carrotBack != nullptr) {
        place(carrotBack, -carrotBack->getWidth(), middleY, true);
    }
    place(header, headerX, middleY, true);
    for (ui::Sprite* part :
         std::initializer_list<ui::Sprite*>{text, whiteBar, buttonContinue, buttonYes, buttonNo, tryAgain}) {
        hideSprite(part);
    }
    for (ui::Button* button : {buttonYes, buttonNo}) {
        if (button != nullptr) {
            button->setEnabled(false);
        }
    }
    // Hidden or on its way in, the continue button takes no press: the update lets it take them once it
    // has arrived.
    if (buttonContinue != nullptr) {
        static_cast<kernel::InputListener*>(buttonContinue)->setEnabled(false);
    }
}

// The explanation slides down out of the middle as the carrot arrives, over the white bar.
void DialogLevelEnd::showFailure() {
    if (text != nullptr) {
        place(text, middleX, middleY, false);
        text->setAlpha(255);
        appearAfter(*text, carrotFront);
        text->addModifier(
            new ui::MoveModifier(middleX, middleY, middleX, middleY + slideDown, slideMs, false));
    }
    if (whiteBar != nullptr) {
        place(whiteBar, middleX, screenHeight, false);
        appearAfter(*whiteBar, carrotFront);
        const int toX = text != nullptr ? text->getX() : middleX;
        const int toY = (text != nullptr ? text->getY() : middleY) + whiteBarBelowText;
        whiteBar->addModifier(new ui::MoveModifier(middleX, screenHeight, toX, toY, slideMs, false));
    }
    if (currentMode() == gameModeVib) {
        showFailureVib();
    } else {
        showFailureContinue();
    }
}

// VIB: the explanation stays a while, then gives way to the try-again question.
void DialogLevelEnd::showFailureVib() {
    if (text != nullptr) {
        text->addModifier(new ui::DelayModifier(tryAgainAfterMs));
        text->addModifier(new ui::FadeModifier(255, 0, fadeMs));
    }
    if (tryAgain != nullptr) {
        tryAgain->setAlpha(0);
        appearAfter(*tryAgain, text);
        tryAgain->addModifier(blocking(new ui::FadeModifier(0, 255, fadeMs)));
        tryAgain->addModifier(new ui::CallbackModifier(this, enableYesNo));
    }
    for (ui::Button* button : {buttonYes, buttonNo}) {
        if (button != nullptr) {
            button->setAlpha(0);
            appearAfter(*button, text);
            button->addModifier(new ui::FadeModifier(0, 255, fadeMs));
        }
    }
}

// ACTION and RELAX: the continue button slides down under the explanation.
void DialogLevelEnd::showFailureContinue() {
    for (ui::Button* button : {buttonYes, buttonNo}) {
        if (button != nullptr) {
            button->setY(offScreenY);
        }
    }
    if (buttonContinue == nullptr) {
        return;
    }
    const int y = middleY + (text != nullptr ? text->getHeight() : 0);
    place(buttonContinue, middleX, y, false);
    buttonContinue->setAlpha(255);
    appearAfter(*buttonContinue, carrotFront);
    buttonContinue->addModifier(new ui::MoveModifier(middleX, y, middleX, y + slideDown, slideMs, false));
}

// Front and back of the carrot slide in together, measured by the front.
void DialogLevelEnd::slideInCarrot() {
    if (carrotFront == nullptr) {
        return;
    }
    const int w = carrotFront->getWidth();
    const int h = carrotFront->getHeight();
    const int x = carrotFront->getX();
    const int y = carrotFront->getY();
    for (ui::Sprite* part : {carrotFront, carrotBack}) {
        if (part == nullptr) {
            continue;
        }
        part->addModifier(blocking(new ui::MoveModifier(x, y, w / 2 + middleX, y, carrotSlideMs, true)));
        part->addModifier(blocking(new ui::ResizeModifier(w, h, w - carrotSquash, h, carrotSquashMs)));
        part->addModifier(blocking(new ui::ResizeModifier(w - carrotSquash, h, w, h, carrotSquashMs)));
    }
}

// The frame.

void DialogLevelEnd::onUpdate(std::uint32_t elapsedMs) {
    DialogPibble::onUpdate(elapsedMs);
    if (lettersDone() && !bitesStarted) {
        composeCarrot();
        startBites();
    }
    followPointer();
}

// A letter taken away before its jump is over (its label laid out again) is updated no more and holds the
// carrot no longer; without letters the carrot is eaten once it has arrived.
bool DialogLevelEnd::lettersDone() const {
    if (lastGlyph) {
        return lastGlyph->isDead() || lastGlyph->getParent() == nullptr ||
               lastGlyph->getModifierList().empty();
    }
    return carrotFront == nullptr || carrotFront->getModifierList().empty();
}

// The front of the carrot with the header's letters drawn on it, as one picture that the bites eat.
void DialogLevelEnd::composeCarrot() {
    graphics::ImageBase* front = carrotFront != nullptr ? carrotFront->getImage() : nullptr;
    if (carrot == nullptr || front == nullptr) {
        return;
    }
    const int w = carrotFront->getWidth();
    const int h = carrotFront->getHeight();
    std::vector<kernel::SmartPtr<ui::Sprite>> letters;
    if (header != nullptr) {
        letters = header->glyphs();
        for (const kernel::SmartPtr<ui::Sprite>& letter : letters) {
            setAnchorKeepPosition(letter.get(), ui::Sprite::TopLeft);
        }
    }
    if (const kernel::SmartPtr<graphics::MemoryImage32> image =
            carrotWithLetters(*front, w, h, letters, w / 2 + letterInsetX, h / 2)) {
        carrot->setImage(image.get());
    }
}

// The composed carrot takes the place of its parts and is eaten bite by bite; a finished level or
// chapter then goes on by itself.
void DialogLevelEnd::startBites() {
    bitesStarted = true;
    if (carrot != nullptr) {
        carrot->setVisible(true);
    }
    hideSprite(carrotFront);
    hideSprite(carrotBack);
    hideSprite(header);
    for (int i = 0; i < bites; ++i) {
        addModifier(new ui::DelayModifier(biteStepMs));
        addModifier(blocking(new ui::CallbackModifier(this, biteCarrot)));
        if (biteSoundOrder[i] != 0) {
            auto* sound = new ui::SoundModifier(nullptr);
            sound->setSoundName(ids::groupGameSounds,
                                ids::soundBiteCarrotPrefix + std::to_string(biteSoundOrder[i]));
            addModifier(sound);
        }
    }
    if (kind != levelEndFailed) {
        addModifier(blocking(new ui::DelayModifier(continueAfterBitesMs)));
        addModifier(new ui::CallbackModifier(this, onContinue));
    }
}

// Each bite throws three crumbs from where it bit.
void DialogLevelEnd::bite() {
    const int n = biteCount;
    if (n >= bites) {
        return;
    }
    if (graphics::ImageBase* image = carrot != nullptr ? carrot->getImage() : nullptr) {
        if (const kernel::SmartPtr<graphics::ChannelBuffer> mask =
                readBiteMask(ids::carrotMaskPrefix + std::to_string(n), biteMaskSection)) {
            takeBite(*image, *mask);
        }
    }
    biteCount = n + 1;
    for (int j = 0; j < crumbKinds; ++j) {
        if (graphics::ImageBase* crumb = crumbImages[static_cast<std::size_t>(j)].get()) {
            crumbs.push_back(throwCrumb(*this, *crumb, crumbStartX - crumbStepX * n, crumbY,
                                        crumbDirections[j], j * crumbStaggerMs));
        }
    }
}

bool DialogLevelEnd::continueArrived() const {
    return buttonContinue != nullptr && buttonContinue->isVisible() &&
           buttonContinue->getModifierList().empty();
}

// The continue button takes presses only once it stands still, and shows the hand while it is shown.
void DialogLevelEnd::followPointer() {
    if (buttonContinue == nullptr) {
        return;
    }
    static_cast<kernel::InputListener*>(buttonContinue)->setEnabled(continueArrived());
    if (buttonContinue->isVisible()) {
        platform::setApplicationCursor(buttonContinue->containsPoint(platform::pointerX, platform::pointerY)
                                           ? platform::cursorHand
                                           : platform::cursorArrow);
    }
}

// Input and answers.

bool DialogLevelEnd::onLeftButtonDown(int x, int y, std::uint32_t /*keyFlags*/, bool /*doubleClick*/) {
    if (answered || kind != levelEndFailed || !continueArrived() || currentMode() == gameModeVib ||
        ui::FullScreenHandler::defaultButtonsContain(x, y) || quitQuestionOpen()) {
        return false;
    }
    onContinue(this, buttonContinue);
    return true;
}

// The dialog may go with its closing: what it needs is read before.
void DialogLevelEnd::onContinue(void* dialog, ui::GameNode* /*sender*/) {
    auto* self = static_cast<DialogLevelEnd*>(dialog);
    if (self == nullptr || std::exchange(self->answered, true)) {
        return;
    }
    const std::int32_t shownKind = self->kind;
    closeDialog(ids::dialogLevelEnd);
    PibbleScene* scene = PibbleScene::current();
    if (scene == nullptr) {
        return;
    }
    if (shownKind == levelEndFinished) {
        if (scene->playingMode() == gameModeVib) {
            scene->advanceWithFade();
        } else {
            scene->gameFinishedForMode();
        }
    } else if (shownKind == levelEndFailed) {
        scene->gameFailedForMode();
    }
}

// The same VIB level again, from a score of 0.
void DialogLevelEnd::onTryAgain(void* dialog, ui::GameNode* /*sender*/) {
    auto* self = static_cast<DialogLevelEnd*>(dialog);
    if (self == nullptr || std::exchange(self->answered, true)) {
        return;
    }
    closeDialog(ids::dialogLevelEnd);
    if (PlayField* field = PlayField::instance()) {
        field->setScore(0);
    }
    if (PibbleScene* scene = PibbleScene::current()) {
        scene->retryLevelWithFade();
    }
}

// The front is cut away from its left edge up to the jumping letter's right edge.
void DialogLevelEnd::clipCarrotFront(void* dialog, ui::GameNode* glyph) {
    auto* self = static_cast<DialogLevelEnd*>(dialog);
    if (self == nullptr || glyph == nullptr || !glyph->isKindOf(ui::Sprite::classInfo)) {
        return;
    }
    const auto* letter = static_cast<const ui::Sprite*>(glyph);
    self->frontClip.setLeft(
        std::min(letter->getAbsoluteX() + letter->getWidth() / 2, self->frontClip.right()));
    if (self->carrotFront != nullptr) {
        self->carrotFront->setClipRect(&self->frontClip);
    }
}

void DialogLevelEnd::enableYesNo(void* dialog, ui::GameNode* /*sender*/) {
    auto* self = static_cast<DialogLevelEnd*>(dialog);
    for (ui::Button* button : {self->buttonYes, self->buttonNo}) {
        if (button != nullptr) {
            button->setEnabled(true);
        }
    }
}

void DialogLevelEnd::biteCarrot(void* dialog, ui::GameNode* /*sender*/) {
    static_cast<DialogLevelEnd*>(dialog)->bite();
}

} // namespace game
