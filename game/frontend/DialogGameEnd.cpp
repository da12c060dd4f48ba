#include "game/frontend/DialogGameEnd.h"

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/ui/Button.h"
#include "engine/ui/CallbackModifier.h"
#include "engine/ui/DelayModifier.h"
#include "engine/ui/FadeModifier.h"
#include "engine/ui/ModifierFrame.h"
#include "engine/ui/ResizeModifier.h"
#include "engine/ui/Scene.h"
#include "engine/ui/Sprite.h"
#include "engine/ui/VisibilityModifier.h"
#include "engine/ui/WidgetSupport.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/GameUtilities.h"
#include "game/foundation/Random.h"
#include "game/frontend/AlbumPictures.h"

#include <cstddef>
#include <string>

namespace game {

namespace {

const kernel::ClassRegistrar registrar("DialogGameEnd", DialogGameEnd::createInstance);

constexpr int curtainMs = AlbumPictures::curtainMs;

// A glint waits, fades in while its frames run, stays, and fades out.
constexpr int glintFrames = 6;
constexpr int glintWaitMs = 300;
constexpr int glintFrameMs = 75;
constexpr int glintStayMs = 4 * glintFrameMs;

// A particle shows after a moment, stays a while and shrinks away; each span has a random part.
constexpr std::uint32_t particleShowSpread = 100;
constexpr int particleStayMs = 500;
constexpr std::uint32_t particleStaySpread = 200;
constexpr int particleShrinkMs = 200;
constexpr std::uint32_t particleShrinkSpread = 100;
constexpr std::int32_t particleSpeedsX = 4;
constexpr std::int32_t particleSpeedsY = 15;

ui::Modifier* withFlags(ui::Modifier* modifier, std::uint32_t flags) {
    modifier->addFlags(flags);
    return modifier;
}

// A full 32-bit draw taken unsigned, so every remainder of it is positive.
std::uint32_t anyDraw(Random& random) {
    return static_cast<std::uint32_t>(random.nextInt());
}

int drawBelow(Random& random, std::uint32_t bound) {
    return static_cast<int>(anyDraw(random) % bound);
}

// The album opened over this dialog runs the credits: the celebration holds still under it, and a press
// that reaches this dialog then must not open the credits a second time.
bool albumOpen() {
    const ui::Scene* scene = currentScene();
    return scene != nullptr && scene->isDialogOpen(ids::dialogAlbum);
}

} // namespace

DialogGameEnd::DialogGameEnd(kernel::NodeValue& settings)
    : ui::Dialog(settings), curtain(makeScreenSprite(0xFF000000u)), effects(new ui::GameNode()) {
    GameNode* next = bindCallback(ids::buttonNext, this, onNext, listenerList());
    buttonNext =
        next != nullptr && next->isKindOf(ui::Button::classInfo) ? static_cast<ui::Button*>(next) : nullptr;
    background = findComponentAs<ui::Sprite>(ids::gameEndBackground);
    addChild(effects.get());
    setAlpha(0);
    setUseBuffer(true);
}

DialogGameEnd::~DialogGameEnd() = default;

kernel::Object* DialogGameEnd::createInstance(kernel::Value& settings) {
    return new DialogGameEnd(settings.isNode() ? settings.asNode() : kernel::DUMMY_NODE());
}

void DialogGameEnd::show() {
    ui::Dialog::activate();
    addChild(curtain.get());
    curtainRunning = true;
    curtainIn();
}

void DialogGameEnd::hide() {
    ui::Dialog::deactivate();
}

// The curtain.

// A second showing starts the curtain afresh rather than hanging a second sequence after the first.
void DialogGameEnd::curtainIn() {
    curtain->removeAllModifiers();
    curtain->setAlpha(0);
    curtain->addModifier(withFlags(new ui::FadeModifier(0, 255, curtainMs), ui::Modifier::blocking));
    curtain->addModifier(new ui::CallbackModifier(this, onCurtainDown));
}

void DialogGameEnd::curtainOut() {
    curtain->setAlpha(255);
    curtain->addModifier(withFlags(new ui::FadeModifier(255, 0, curtainMs), ui::Modifier::blocking));
    curtain->addModifier(new ui::CallbackModifier(this, onCurtainUp));
}

// The screen is black: the picture is put in place behind the curtain, drawn directly from now on.
void DialogGameEnd::onCurtainDown(void* dialog, ui::GameNode* /*curtain*/) {
    auto* self = static_cast<DialogGameEnd*>(dialog);
    if (self->curtainRunning) {
        self->setAlpha(255);
        self->setUseBuffer(false);
    }
    self->curtainOut();
}

void DialogGameEnd::onCurtainUp(void* dialog, ui::GameNode* /*curtain*/) {
    static_cast<DialogGameEnd*>(dialog)->curtainRunning = false;
}

// Moving on.

void DialogGameEnd::onNext(void* /*dialog*/, ui::GameNode* /*sender*/) {
    AlbumPictures* album = AlbumPictures::instance();
    if (album == nullptr || albumOpen()) {
        return;
    }
    album->setReturnScene(ids::sceneSelection);
    album->openCredits();
}

bool DialogGameEnd::onLeftButtonDown(int /*x*/, int /*y*/, std::uint32_t /*keyFlags*/, bool /*doubleClick*/) {
    onNext(this, this);
    return false;
}

// The effects.

void DialogGameEnd::onUpdate(std::uint32_t elapsedMs) {
    ui::Dialog::onUpdate(elapsedMs);
    if (albumOpen()) {
        return;
    }
    updateShine(elapsedMs);
    updateParticles(elapsedMs);
}

void DialogGameEnd::updateShine(std::uint32_t elapsedMs) {
    shineTimer += static_cast<std::int32_t>(elapsedMs);
    if (shineTimer > shineInterval) {
        shineTimer = 0;
        makeGlint();
    }
}

// The glint's place is drawn even when its picture is missing, so the effects draw the same numbers with
// or without their art.
void DialogGameEnd::makeGlint() {
    Random* random = Random::instance();
    if (random == nullptr) {
        return;
    }
    const int x = shineArea.x + drawBelow(*random, static_cast<std::uint32_t>(shineArea.w));
    const int y = shineArea.y + drawBelow(*random, static_cast<std::uint32_t>(shineArea.h));
    graphics::ImageBase* picture = ui::findImage(ids::imageBlinkShine, ids::groupScenePlay);
    if (picture == nullptr) {
        return;
    }
    const kernel::SmartPtr<ui::Sprite> glint = new ui::Sprite(x, y, picture);
    glint->setAlpha(0);
    glint->setupFrames(glintFrames, false, true);
    glint->setAnchor(ui::Sprite::Center);
    glint->addModifier(new ui::DelayModifier(glintWaitMs));
    glint->addModifier(new ui::VisibilityModifier(true));
    glint->addModifier(new ui::FadeModifier(0, 255, glintFrameMs));
    glint->addModifier(new ui::ModifierFrame(glintFrameMs, 1));
    glint->addModifier(new ui::DelayModifier(glintStayMs));
    glint->addModifier(withFlags(new ui::FadeModifier(255, 0, glintFrameMs), ui::Modifier::blocking));
    glint->addModifier(withFlags(new ui::VisibilityModifier(false), ui::Modifier::killNode));
    effects->addChild(glint.get());
}

void DialogGameEnd::updateParticles(std::uint32_t elapsedMs) {
    burstTimer += static_cast<std::int32_t>(elapsedMs);
    if (burstTimer > burstInterval) {
        burstTimer = 0;
        burst();
    } else {
        moveParticles();
    }
}

// The speeds are per frame, so particles fly faster at a higher frame rate. One finished particle at most
// goes each frame, the last one found.
void DialogGameEnd::moveParticles() {
    std::size_t done = particles.size();
    for (std::size_t i = 0; i < particles.size(); ++i) {
        ui::Sprite& particle = *particles[i];
        if (particle.isVisible()) {
            graphics::PointF& position = particlePositions[i];
            graphics::PointF& velocity = particleVelocities[i];
            position = {position.getX() + velocity.getX(), position.getY() + velocity.getY()};
            particle.setPosition(position.getRoundedX(), position.getRoundedY());
            velocity.setY(velocity.getY() + gravity);
        }
        if (particle.getModifierList().empty()) {
            particle.setWidth(0);
            particle.setHeight(0);
            done = i;
        }
    }
    if (done < particles.size()) {
        const auto at = static_cast<std::ptrdiff_t>(done);
        particles[done]->kill();
        particles.erase(particles.begin() + at);
        particlePositions.erase(particlePositions.begin() + at);
        particleVelocities.erase(particleVelocities.begin() + at);
    }
}

void DialogGameEnd::burst() {
    Random* random = Random::instance();
    if (random == nullptr) {
        return;
    }
    const int x = burstLeft + drawBelow(*random, burstWidth);
    const int y = burstTop + drawBelow(*random, burstHeight);
    for (int i = 0; i < particlesPerBurst; ++i) {
        addParticle(x, y);
    }
}

// Every number of a particle is drawn even when its picture is missing, as for the glints.
void DialogGameEnd::addParticle(int x, int y) {
    Random& random = *Random::instance();
    const int kind = drawBelow(random, ids::gameEndParticleKinds) + 1;
    const int showMs = drawBelow(random, particleShowSpread);
    const int stayMs = drawBelow(random, particleStaySpread) + particleStayMs;
    const int shrinkMs = drawBelow(random, particleShrinkSpread) + particleShrinkMs;
    // Whole speeds across and sevenths of a pixel up or down, worked in single precision.
    float speedX = static_cast<float>(random.nextInt(particleSpeedsX)) / 10.0f * 10.0f;
    float speedY = static_cast<float>(random.nextInt(particleSpeedsY)) / 70.0f * 10.0f;
    if (random.nextInt(2) == 0) {
        speedX = -speedX;
    }
    if (random.nextInt(2) == 0) {
        speedY = -speedY;
    }
    graphics::ImageBase* picture =
        ui::findImage(ids::imageParticlePrefix + std::to_string(kind), ids::groupScenePlay);
    if (picture == nullptr) {
        return;
    }
    const kernel::SmartPtr<ui::Sprite> particle = new ui::Sprite(x, y, picture);
    particle->setAnchor(ui::Sprite::Center);
    particle->setVisible(false);
    particle->addModifier(new ui::VisibilityModifier(false));
    particle->addModifier(new ui::DelayModifier(showMs));
    particle->addModifier(new ui::VisibilityModifier(true));
    particle->addModifier(new ui::DelayModifier(stayMs));
    particle->addModifier(
        new ui::ResizeModifier(particle->getWidth(), particle->getHeight(), 0, 0, shrinkMs));
    effects->addChild(particle.get());
    particles.push_back(particle);
    particlePositions.emplace_back(static_cast<float>(x), static_cast<float>(y));
    particleVelocities.emplace_back(speedX, speedY);
}

} // namespace game
