#include "game/foundation/GameUtilities.h"

#include "engine/graphics/ImageFactory.h"
#include "engine/graphics/ImagePainter.h"
#include "engine/graphics/MemoryImage32.h"
#include "engine/kernel/Color.h"
#include "engine/kernel/PropertyStore.h"
#include "engine/kernel/ResourceManager.h"
#include "engine/ui/GameNode.h"
#include "engine/ui/Label.h"
#include "engine/ui/Modifier.h"
#include "engine/ui/MoveModifier.h"
#include "engine/ui/Scene.h"
#include "engine/ui/SceneManager.h"
#include "engine/ui/SoundSample.h"
#include "engine/ui/SoundSystem.h"
#include "engine/ui/Sprite.h"
#include "game/foundation/GameIds.h"
#include "game/foundation/Random.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <limits>

namespace game {

namespace {

constexpr const char* ellipsis = "...";
// The music change's fades (ms), the fade it reaches, the new tune's start delay and its stream mode.
constexpr int musicFadeOut = 700;
constexpr float musicFadeTarget = 1.0f;
constexpr int musicFadeIn = 200;
constexpr int musicStartDelay = 500;
constexpr unsigned int musicStreamMode = 0x132;
constexpr int maxDecimals = 30;
// strftime writes at most this many bytes, its terminator included.
constexpr std::size_t timeTextCapacity = 256;
constexpr int screenWidth = 640;
constexpr int screenHeight = 480;
constexpr std::uint8_t fullVolume = 255;
constexpr std::uint8_t centrePan = 128;

// strtoll gives the nearest limit for a value beyond 64 bits: that is the clamp.
long long parseDecimal(const std::string& text) {
    return std::strtoll(text.c_str(), nullptr, 10);
}

// A missing generator draws 0, so a shake without one still returns the node to its place.
std::uint32_t drawUnsigned() {
    Random* random = Random::instance();
    return random != nullptr ? static_cast<std::uint32_t>(random->nextInt()) : 0;
}

int randomOffset(int range) {
    return static_cast<int>(drawUnsigned() % static_cast<std::uint32_t>(range)) - range / 2;
}

void appendMove(ui::GameNode& node, int fromX, int fromY, int toX, int toY, int duration) {
    ui::Modifier* move = node.addModifier(new ui::MoveModifier(fromX, fromY, toX, toY, duration, false));
    move->addFlags(ui::Modifier::blocking);
}

// Whole pixels, truncated toward zero.
int truncated(float value) {
    return static_cast<int>(value);
}

} // namespace

ui::Scene* currentScene() {
    const ui::SceneManager* manager = ui::SceneManager::instance();
    return manager != nullptr ? manager->currentScene() : nullptr;
}

std::string propertyString(const std::string& key) {
    kernel::PropertyStore* store = kernel::PropertyStore::instance();
    return store != nullptr ? store->stringRef(key) : std::string();
}

std::int32_t propertyInt(const std::string& key) {
    kernel::PropertyStore* store = kernel::PropertyStore::instance();
    return store != nullptr ? store->intRef(key) : 0;
}

float propertyFloat(const std::string& key) {
    kernel::PropertyStore* store = kernel::PropertyStore::instance();
    return store != nullptr ? static_cast<float>(store->doubleRef(key)) : 0.0f;
}

kernel::WideString widen(std::string_view text) {
    return kernel::widenString(text);
}

std::string narrow(std::u16string_view text) {
    return kernel::narrowString(text);
}

kernel::WideString intToWideString(int value) {
    return widen(intToString(value));
}

kernel::WideString floatToWideString(float value, int decimals) {
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.*f", std::clamp(decimals, 0, maxDecimals),
                  static_cast<double>(value));
    return widen(buffer);
}

std::string intToString(int value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%d", value);
    return buffer;
}

std::int32_t StringToInt(const std::string& text) {
    constexpr long long lowest = std::numeric_limits<std::int32_t>::min();
    constexpr long long highest = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::clamp(parseDecimal(text), lowest, highest));
}

std::int64_t StringToInt64(const std::string& text) {
    return static_cast<std::int64_t>(parseDecimal(text));
}

kernel::WideString groupDigits(std::uint32_t value) {
    return groupDigits(value, propertyString(ids::groupingDigit));
}

// Built backwards and turned round at the end; the separator goes in backwards too so that it reads
// correctly afterwards, however many characters it has.
kernel::WideString groupDigits(std::uint32_t value, std::string_view separator) {
    const std::string reversedSeparator(separator.rbegin(), separator.rend());
    std::string digits;
    int groupCount = 0;
    do {
        digits += static_cast<char>('0' + value % 10);
        value /= 10;
        if (value != 0 && ++groupCount % 3 == 0) {
            digits += reversedSeparator;
        }
    } while (value != 0);
    std::reverse(digits.begin(), digits.end());
    return widen(digits);
}

std::string formatIntegers(std::string_view format, std::initializer_list<std::int32_t> values) {
    std::string result;
    const std::int32_t* next = values.begin();
    for (std::size_t at = 0; at < format.size(); ++at) {
        const char conversion = at + 1 < format.size() && format[at] == '%' ? format[at + 1] : '\0';
        if (conversion == 'd') {
            result += intToString(next != values.end() ? *next++ : 0);
            ++at;
        } else if (conversion == '%') {
            result += '%';
            ++at;
        } else {
            result += format[at];
        }
    }
    return result;
}

// strftime leaves the buffer undefined when it returns 0, so only the count it returns is read.
std::string localTimeText(std::int64_t seconds, const std::string& format) {
    const auto moment = static_cast<std::time_t>(seconds);
    std::tm local{};
    if (localtime_r(&moment, &local) == nullptr) {
        return {};
    }
    char buffer[timeTextCapacity];
    const std::size_t written = std::strftime(buffer, sizeof buffer, format.c_str(), &local);
    return std::string(buffer, written);
}

void scatterNode(ui::GameNode* node, int duration, int range, int count, bool outAndBack) {
    if (node == nullptr || count < 1 || range < 1) {
        return;
    }
    const int x0 = node->getX();
    const int y0 = node->getY();
    int step = duration / count;
    if (outAndBack) {
        step /= 2;
    }
    for (int i = 0; i < count; ++i) {
        const int dx = randomOffset(range);
        const int dy = randomOffset(range);
        if (outAndBack) {
            appendMove(*node, x0, y0, x0 + dx, y0 + dy, step);
        }
        appendMove(*node, x0 + dx, y0 + dy, x0, y0, step);
    }
}

void fitTextToLabel(ui::Label* label, const std::string& text, int maxWidth) {
    if (label == nullptr) {
        return;
    }
    fitText(text, maxWidth, [label](const kernel::WideString& shown) {
        label->setText(shown);
        return label->getWidth();
    });
}

// Grows the shortened text one character at a time until it no longer fits, then steps back one. The
// loop ends with the text, even for a display on which the text with "..." is narrower than without.
void fitText(const std::string& text, int maxWidth,
             const std::function<int(const kernel::WideString&)>& show) {
    if (show(widen(text)) <= maxWidth) {
        return;
    }
    for (std::size_t length = 1; length <= text.size(); ++length) {
        if (show(widen(text.substr(0, length) + ellipsis)) > maxWidth) {
            show(widen(text.substr(0, length - 1) + ellipsis));
            return;
        }
    }
}

void setAnchorKeepPosition(ui::Sprite* sprite, int anchorKind) {
    if (sprite == nullptr) {
        return;
    }
    const graphics::PointF before = sprite->getAnchorPoint();
    sprite->setAnchor(anchorKind);
    const graphics::PointF after = sprite->getAnchorPoint();
    sprite->setX(sprite->getX() + truncated(after.getX()) - truncated(before.getX()));
    sprite->setY(sprite->getY() + truncated(after.getY()) - truncated(before.getY()));
}

void changeMusic(const std::string& file) {
    ui::SoundSystem* sound = ui::SoundSystem::instance();
    if (sound != nullptr && !file.empty()) {
        sound->playMusic(musicFadeOut, musicFadeTarget, musicFadeIn, file, musicStartDelay, musicStreamMode);
    }
}

ui::SoundSample* findSound(const char* id, const char* section) {
    kernel::ResourceManager* resources = kernel::ResourceManager::instance();
    kernel::Object* found = resources != nullptr ? resources->getResource(id, section) : nullptr;
    return found != nullptr && found->isKindOf(ui::SoundSample::classInfo) ? static_cast<ui::SoundSample*>(found)
                                                                          : nullptr;
}

kernel::SmartPtr<ui::Sprite> makeScreenSprite(std::uint32_t colour) {
    const kernel::SmartPtr<graphics::MemoryImage32> image = graphics::createImage32(screenWidth, screenHeight);
    if (image) {
        const kernel::SmartPtr<graphics::ImagePainter> painter = image->createPainter();
        painter->setColor(kernel::Color(colour));
        painter->fillRect(0, 0, screenWidth, screenHeight);
    }
    return kernel::SmartPtr<ui::Sprite>(new ui::Sprite(0, 0, image.get()));
}

void playSound(const char* id, const char* section) {
    if (ui::SoundSample* sound = findSound(id, section)) {
        sound->playOnce(fullVolume, centrePan);
    }
}

} // namespace game
