#include "game/frontend/DialogSettings.h"

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/platform/Application.h"
#include "engine/platform/GameSettings.h"
#include "engine/ui/Slider.h"
#include "engine/ui/SoundSystem.h"
#include "engine/ui/Switch.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/GameUtilities.h"
#include "game/foundation/PibblePlayer.h"
#include "game/frontend/AlbumPictures.h"
#include "host/System.h"
#include "host/Time.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace game {

namespace {

const kernel::ClassRegistrar registrar("DialogSettings", DialogSettings::createInstance);

constexpr int loudest = 255;

// The sound system takes a byte: a volume outside 0..255 (a slider set beyond its track, a stored value
// edited by hand) is held at the nearer end instead of wrapping round to another loudness.
std::uint8_t volumeByte(std::int32_t volume) {
    return static_cast<std::uint8_t>(std::clamp(volume, 0, loudest));
}

void setEffectsVolume(std::int32_t volume) {
    if (ui::SoundSystem* sound = ui::SoundSystem::instance()) {
        sound->setSfxVolume(volumeByte(volume));
    }
}

void setMusicVolumeOfGame(std::int32_t volume) {
    if (ui::SoundSystem* sound = ui::SoundSystem::instance()) {
        sound->setMusicVolume(volumeByte(volume));
    }
}

bool applicationIsFullScreen() {
    const platform::Application* application = platform::Application::instance();
    return application != nullptr && application->isFullScreen();
}

// The plop's pitch step: 1 for 0..31 up to 8 for 224..255.
int plopNumber(float value) {
    const int step = static_cast<int>(std::floor(value * ids::plopSounds / (loudest + 1))) + 1;
    return std::clamp(step, 1, ids::plopSounds);
}

} // namespace

DialogSettings::DialogSettings(kernel::NodeValue& settings) : DialogPibble(settings) {
    soundSlider = findComponentAs<ui::Slider>(ids::sliderSoundVolume);
    musicSlider = findComponentAs<ui::Slider>(ids::sliderMusicVolume);
    fullScreenSwitch = findComponentAs<ui::Switch>(ids::switchFullScreen);
    showHintsSwitch = findComponentAs<ui::Switch>(ids::switchShowHints);
    // The handlers read the receiver back as the node it was handed in as.
    void* self = static_cast<ui::GameNode*>(this);
    bindCallback(ids::buttonOk, self, onOk, listenerList());
    bindCallback(ids::buttonCancel, self, onCancel, listenerList());
    bindCallback(ids::buttonInfo, self, onInfo, listenerList());
    bindCallback(ids::sliderSoundVolume, self, onSoundSlider, listenerList());
    bindCallback(ids::sliderMusicVolume, self, onMusicSlider, listenerList());
    bindCallback(ids::switchFullScreen, self, onSwitch, listenerList());
    bindCallback(ids::switchShowHints, self, onSwitch, listenerList());
}

DialogSettings::~DialogSettings() = default;

kernel::Object* DialogSettings::createInstance(kernel::Value& settings) {
    return settings.isNode() ? new DialogSettings(settings.asNode()) : nullptr;
}

DialogSettings& DialogSettings::of(void* dialog) {
    return static_cast<DialogSettings&>(*static_cast<ui::GameNode*>(dialog));
}

// The stored options go through this record's own setters: the widgets show them, and the options no
// widget shows are kept in the record, to travel back unchanged on OK.
void DialogSettings::show() {
    DialogPibble::show();
    if (const platform::GameSettings* settings = platform::GameSettings::instance()) {
        copyFrom(settings->getOptions());
    }
    const PibblePlayer* player = currentPlayer();
    if (showHintsSwitch != nullptr && player != nullptr) {
        showHintsSwitch->setChecked(player->showHints());
    }
    // The volume shown is not a change: the first frame plays no plop.
    lastPlopValue = getSoundVolume();
    playSound(ids::soundDialogAppears, ids::groupSounds);
}

void DialogSettings::hide() {
    playSound(ids::soundDialogDisappears, ids::groupSounds);
    DialogPibble::hide();
}

// At most one plop every half second while the slider moves. The time is compared as a difference, so a
// clock that wraps round does not silence the slider.
void DialogSettings::onUpdate(std::uint32_t elapsedMs) {
    DialogPibble::onUpdate(elapsedMs);
    now = host::timeGetTime();
    if (soundSlider == nullptr) {
        return;
    }
    const int value = static_cast<int>(soundSlider->getValue());
    if (value != lastPlopValue && now - lastPlopTime > plopIntervalMs) {
        lastPlopTime = now;
        lastPlopValue = value;
        plop(plopNumber(soundSlider->getValue()));
    }
}

void DialogSettings::plop(int number) {
    const std::string name = ids::soundPlopPrefix + std::to_string(number);
    playSound(name.c_str(), ids::groupSounds);
}

bool DialogSettings::getFullScreen() const {
    return fullScreenSwitch != nullptr ? fullScreenSwitch->isChecked() : PibbleOptions::getFullScreen();
}

std::int32_t DialogSettings::getSoundVolume() const {
    return soundSlider != nullptr ? static_cast<std::int32_t>(soundSlider->getValue())
                                  : PibbleOptions::getSoundVolume();
}

std::int32_t DialogSettings::getMusicVolume() const {
    return musicSlider != nullptr ? static_cast<std::int32_t>(musicSlider->getValue())
                                  : PibbleOptions::getMusicVolume();
}

void DialogSettings::setFullScreen(bool /*flag*/) {
    const bool actual = applicationIsFullScreen();
    PibbleOptions::setFullScreen(actual);
    if (fullScreenSwitch != nullptr) {
        fullScreenSwitch->setChecked(actual);
    }
}

void DialogSettings::setSoundVolume(std::int32_t volume) {
    PibbleOptions::setSoundVolume(volume);
    if (soundSlider != nullptr) {
        soundSlider->setValue(static_cast<float>(volume));
    }
}

void DialogSettings::setMusicVolume(std::int32_t volume) {
    PibbleOptions::setMusicVolume(volume);
    if (musicSlider != nullptr) {
        musicSlider->setValue(static_cast<float>(volume));
    }
}

void DialogSettings::onOk(void* dialog, ui::GameNode* sender) {
    DialogSettings& self = of(dialog);
    self.applyDisplayAndVolumes();
    if (PibblePlayer* player = currentPlayer(); player != nullptr && self.showHintsSwitch != nullptr) {
        player->setShowHints(self.showHintsSwitch->isChecked());
    }
    self.keepOptions();
    closeSelf(dialog, sender);
}

// The application switches only on a real change, which makes window and display anew.
void DialogSettings::applyDisplayAndVolumes() {
    if (platform::Application* application = platform::Application::instance()) {
        application->changeFullScreen(getFullScreen());
    }
    setEffectsVolume(getSoundVolume());
    setMusicVolumeOfGame(getMusicVolume());
}

// The stored options read this record through its getters: the widgets' values and the options kept
// since the showing.
void DialogSettings::keepOptions() {
    platform::GameSettings* settings = platform::GameSettings::instance();
    if (settings == nullptr) {
        return;
    }
    settings->getOptions().copyFrom(static_cast<const PibbleOptions&>(*this));
    // The options are in force now; only the next start may not remember them.
    if (!settings->writeRegistry()) {
        host::ReportProblem("DialogSettings: the settings were not stored\n");
    }
}

void DialogSettings::onCancel(void* dialog, ui::GameNode* sender) {
    if (const platform::GameSettings* settings = platform::GameSettings::instance()) {
        setEffectsVolume(settings->getOptions().getSoundVolume());
        setMusicVolumeOfGame(settings->getOptions().getMusicVolume());
    }
    closeSelf(dialog, sender);
}

void DialogSettings::onInfo(void* /*dialog*/, ui::GameNode* /*sender*/) {
    if (AlbumPictures* album = AlbumPictures::instance()) {
        album->openCredits();
    }
}

void DialogSettings::onSoundSlider(void* dialog, ui::GameNode* /*sender*/) {
    setEffectsVolume(of(dialog).getSoundVolume());
}

void DialogSettings::onMusicSlider(void* dialog, ui::GameNode* /*sender*/) {
    setMusicVolumeOfGame(of(dialog).getMusicVolume());
}

// The switches are read when OK is pressed.
void DialogSettings::onSwitch(void* /*dialog*/, ui::GameNode* /*sender*/) {}

} // namespace game
