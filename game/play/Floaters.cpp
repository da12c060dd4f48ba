#include "game/play/Floaters.h"

#include "engine/graphics/BitmapFont.h"
#include "engine/kernel/ResourceManager.h"
#include "engine/ui/DelayModifier.h"
#include "engine/ui/DialogManager.h"
#include "engine/ui/FadeModifier.h"
#include "engine/ui/MoveModifier.h"
#include "engine/ui/ResizeModifier.h"
#include "engine/ui/RotateScaleModifier.h"
#include "engine/ui/Sprite.h"
#include "engine/ui/VisibilityModifier.h"
#include "engine/ui/WidgetSupport.h"
#include "game/field/SpriteLabel.h"
#include "game/foundation/GameIds.h"

#include <algorithm>
#include <string>
#include <vector>

namespace game {

namespace {

constexpr int screenMiddleY = 240;
constexpr int letterStep = 150;
constexpr int labelLife = 3000;
constexpr int riseHeight = 40;
constexpr int riseTime = 1500;
constexpr int popStep = 100;
// The pop-in squashes the sprite this much wider (and lower), then stretches it this much taller.
constexpr int squash = 30;
constexpr int stretch = 20;
constexpr int popHold = 1000;
constexpr int shrinkTime = 200;
constexpr int fadeInTime = 50;

using Modifier = ui::Modifier;

Modifier* blocking(Modifier* modifier) {
    modifier->addFlags(Modifier::blocking);
    return modifier;
}

Modifier* killing(Modifier* modifier) {
    modifier->addFlags(Modifier::killNode);
    return modifier;
}

graphics::BitmapFont* floaterFont(std::int32_t colour) {
    const bool known = colour >= 1 && colour <= static_cast<std::int32_t>(std::size(ids::floaterFonts));
    const char* name = known ? ids::floaterFonts[colour - 1] : ids::floaterFontWhite;
    kernel::ResourceManager* resources = kernel::ResourceManager::instance();
    kernel::Object* found =
        resources != nullptr ? resources->getResource(name, ids::groupScenePlay) : nullptr;
    return found != nullptr && found->isKindOf(graphics::BitmapFont::classInfo)
               ? static_cast<graphics::BitmapFont*>(found)
               : nullptr;
}

kernel::SmartPtr<SpriteLabel> floaterLabel() {
    ui::DialogManager* dialogs = ui::DialogManager::instance();
    const kernel::SmartPtr<kernel::Object> made =
        dialogs != nullptr ? dialogs->createObject(ids::labelFloater) : nullptr;
    return made && made->isKindOf(SpriteLabel::classInfo) ? static_cast<SpriteLabel*>(made.get()) : nullptr;
}

kernel::SmartPtr<ui::Sprite> signSprite(const std::string& image) {
    const kernel::SmartPtr<ui::Sprite> sprite =
        new ui::Sprite(0, 0, ui::findImage(image, ids::groupScenePlay));
    sprite->setAnchor(ui::Sprite::Center);
    return sprite;
}

// One letter's own moves, by the floater's type; r counts the letters from the last (0) and i from the
// first.
void animateLetter(ui::Sprite& letter, std::int32_t type, int i, int r) {
    const int gx = letter.getX();
    const int gy = letter.getY();
    const int w = letter.getWidth();
    const int h = letter.getHeight();
    switch (type) {
    case 0:
        letter.addModifier(new ui::MoveModifier(gx, gy, gx, gy - 100, 1000, false));
        letter.addModifier(blocking(new ui::FadeModifier(0, 255, 200)));
        letter.addModifier(new ui::DelayModifier(600));
        letter.addModifier(killing(new ui::FadeModifier(255, 0, 200)));
        break;
    case 1:
        letter.addModifier(new ui::FadeModifier(0, 255, 200));
        letter.addModifier(blocking(new ui::ResizeModifier(3 * w, 3 * h, w, h, 200)));
        letter.addModifier(new ui::DelayModifier(1300));
        letter.addModifier(killing(new ui::ResizeModifier(w, h, 0, 0, 200)));
        break;
    case 2:
        letter.addModifier(new ui::RotateScaleModifier(1.5f, 0.0f, 1.0f, 1.0f, 200));
        letter.addModifier(blocking(new ui::FadeModifier(0, 255, 200)));
        letter.addModifier(new ui::DelayModifier(700));
        letter.addModifier(new ui::RotateScaleModifier(0.0f, -1.5f, 1.0f, 1.0f, 200));
        letter.addModifier(killing(new ui::FadeModifier(255, 0, 200)));
        break;
    case 3:
        letter.addModifier(new ui::MoveModifier(gx, gy + 30, gx, gy - 30, 800, true));
        letter.addModifier(blocking(new ui::FadeModifier(0, 255, 200)));
        letter.addModifier(new ui::DelayModifier(400));
        letter.addModifier(killing(new ui::FadeModifier(255, 0, 200)));
        break;
    case 4:
        letter.addModifier(new ui::MoveModifier(gx - 100, gy, gx, gy, 200, true));
        letter.addModifier(blocking(new ui::FadeModifier(0, 255, 200)));
        letter.addModifier(new ui::DelayModifier(300 * r + 200));
        letter.addModifier(new ui::ResizeModifier(w, h, 3 * w, 3 * h, 150));
        letter.addModifier(killing(new ui::FadeModifier(255, 0, 150)));
        break;
    case 5:
        letter.addModifier(new ui::DelayModifier(letterStep * r));
        letter.addModifier(new ui::MoveModifier(gx - 100, gy, gx, gy, 150, true));
        letter.addModifier(blocking(new ui::FadeModifier(0, 255, 150)));
        letter.addModifier(new ui::DelayModifier(300 * i + 400));
        letter.addModifier(new ui::MoveModifier(gx, gy, gx, gy - 60, 400, true));
        letter.addModifier(new ui::DelayModifier(200));
        letter.addModifier(killing(new ui::FadeModifier(255, 0, 200)));
        break;
    case 6:
        // The letters stay until the label goes.
        letter.addModifier(new ui::FadeModifier(255, 255, 0));
        letter.addModifier(blocking(new ui::RotateScaleModifier(1.5f, 0.0f, 0.0f, 1.0f, 300)));
        letter.addModifier(new ui::DelayModifier(800));
        letter.addModifier(new ui::FadeModifier(255, 0, 150));
        letter.addModifier(new ui::RotateScaleModifier(0.0f, -1.0f, 1.0f, 4.0f, 400));
        break;
    case 7:
        // Flies in from 30 times as far out as it stands, shrinking from 30 times its size.
        letter.addModifier(new ui::FadeModifier(0, 255, 300));
        letter.addModifier(new ui::MoveModifier(30 * gx, gy, gx, gy, 300, true));
        letter.addModifier(blocking(new ui::RotateScaleModifier(0.0f, 0.0f, 30.0f, 1.0f, 300)));
        letter.addModifier(new ui::DelayModifier(250 * r + 500));
        letter.addModifier(killing(new ui::FadeModifier(255, 0, 150)));
        break;
    default:
        break;
    }
}

bool isStill(std::int32_t type) {
    return type == 8 || type == 9;
}

// The sprite goes under the parent at (x, y), invisible and of no size until its delay has passed (so
// nothing flashes in the first frame), then fades in.
void placeUnseen(ui::GameNode& parent, ui::Sprite& sprite, int x, int y, int delay) {
    sprite.setPosition(x, y);
    sprite.setAlpha(0);
    sprite.setDisplayWidth(0);
    sprite.setDisplayHeight(0);
    parent.addChild(&sprite);
    sprite.addModifier(new ui::DelayModifier(delay));
    sprite.addModifier(new ui::FadeModifier(0, 255, fadeInTime));
}

// The pop-in of the sprite floaters and the start signs: a squash and stretch to the sprite's size.
void popIn(ui::Sprite& sprite, int w, int h) {
    sprite.addModifier(blocking(new ui::ResizeModifier(0, 0, w + squash, h - squash, popStep)));
    sprite.addModifier(
        blocking(new ui::ResizeModifier(w + squash, h - squash, w - stretch, h + stretch, popStep)));
    sprite.addModifier(blocking(new ui::ResizeModifier(w - stretch, h + stretch, w, h, popStep)));
}

// Between the bounds, or at the low one where the room is too small: the top and left edges matter more.
int keptBetween(int value, int low, int high) {
    return high < low ? low : std::clamp(value, low, high);
}

// The middle of a sprite floater of w x h at its widest and tallest, from its start to the top of its rise,
// inside the area.
void keepInside(const kernel::Rect& area, int w, int h, int& x, int& y) {
    if (area.isEmpty()) {
        return;
    }
    const int halfWidth = (w + squash + 1) / 2;
    const int halfHeight = (h + stretch + 1) / 2;
    x = keptBetween(x, area.x + halfWidth, area.right() - halfWidth);
    y = keptBetween(y, area.y + riseHeight + halfHeight, area.bottom() - halfHeight);
}

} // namespace

void ShowScoreFloater(ui::GameNode* parent, int x, int y, const kernel::WideString& text, int delay,
                      std::int32_t colour, std::int32_t type) {
    const kernel::SmartPtr<SpriteLabel> label = floaterLabel();
    if (parent == nullptr || !label) {
        return;
    }
    label->setFont(floaterFont(colour));
    label->setText(text + u" ");
    label->setPosition(x, y);
    label->layoutGlyphs();
    if (delay > 0) {
        label->setAlpha(0);
        label->addModifier(new ui::DelayModifier(delay));
    }
    // The letters wait for the floater's delay too: they are drawn whatever the label's own alpha. The
    // fifth type counts its own waits from the last letter, and the still types just stay hidden.
    const int waitFirst = delay > 0 ? delay : 0;
    int letterDelay = waitFirst;
    const std::vector<kernel::SmartPtr<ui::Sprite>>& letters = label->glyphs();
    const int count = static_cast<int>(letters.size());
    for (int i = 0; i < count; ++i) {
        ui::Sprite& letter = *letters[static_cast<std::size_t>(i)];
        if (!isStill(type)) {
            letter.setAlpha(0);
        }
        if (isStill(type) && waitFirst > 0) {
            letter.setVisible(false);
            letter.addModifier(new ui::DelayModifier(waitFirst));
            letter.addModifier(new ui::VisibilityModifier(true));
        } else if (type == 5 && waitFirst > 0) {
            letter.addModifier(new ui::DelayModifier(waitFirst));
        } else if (!isStill(type) && type != 5 && letterDelay > 0) {
            letter.addModifier(new ui::DelayModifier(letterDelay));
        }
        animateLetter(letter, type, i, count - 1 - i);
        letterDelay += letterStep + (type == 6 ? 200 : 0);
    }
    label->addModifier(killing(new ui::DelayModifier(labelLife)));
    parent->addChild(label.get());
}

void ShowSpriteFloater(ui::GameNode* parent, ui::Sprite* sprite, int x, int y, int delay,
                       const kernel::Rect& area) {
    if (parent == nullptr || sprite == nullptr) {
        return;
    }
    const int w = sprite->getWidth();
    const int h = sprite->getHeight();
    keepInside(area, w, h, x, y);
    placeUnseen(*parent, *sprite, x, y, delay);
    sprite->addModifier(new ui::MoveModifier(x, y, x, y - riseHeight, riseTime, false));
    popIn(*sprite, w, h);
    sprite->addModifier(new ui::DelayModifier(popHold));
    sprite->addModifier(killing(new ui::ResizeModifier(w, h, 0, 0, shrinkTime)));
}

void ShowClownFloater(ui::GameNode* parent, int x, int y, int delay, const kernel::Rect& area) {
    ShowSpriteFloater(parent, signSprite(ids::floaterClown).get(), x, y, delay, area);
}

void ShowPartyFloater(ui::GameNode* parent, int x, int y, int delay, const kernel::Rect& area) {
    ShowSpriteFloater(parent, signSprite(ids::floaterParty).get(), x, y, delay, area);
}

void ShowComboFloater(ui::GameNode* parent, int x, int y, int delay, std::int32_t comboStep, int avoidX,
                      int avoidY, const kernel::Rect& area) {
    if (comboStep <= 0) {
        return;
    }
    const int sign = comboStep < ids::comboFloaters ? comboStep : ids::comboFloaters;
    const kernel::SmartPtr<ui::Sprite> sprite = signSprite(ids::floaterComboPrefix + std::to_string(sign));
    sprite->setPosition(x, y);
    if (sprite->containsPoint(avoidX, avoidY)) {
        y += y >= screenMiddleY ? -sprite->getHeight() / 2 : sprite->getHeight() / 2;
    }
    ShowSpriteFloater(parent, sprite.get(), x, y, delay, area);
}

void ShowCenterFloater(ui::GameNode* parent, ui::Sprite* sprite, int x, int y, int delay, int hold,
                       void* argument, FloaterCallback callback) {
    if (parent == nullptr || sprite == nullptr) {
        return;
    }
    const int w = sprite->getWidth();
    const int h = sprite->getHeight();
    placeUnseen(*parent, *sprite, x, y, delay);
    popIn(*sprite, w, h);
    sprite->addModifier(new ui::DelayModifier(hold));
    Modifier* shrink = sprite->addModifier(blocking(new ui::ResizeModifier(w, h, 0, 0, shrinkTime)));
    if (argument != nullptr && callback) {
        sprite->addModifier(killing(new ui::CallbackModifier(argument, std::move(callback))));
    } else {
        killing(shrink);
    }
}

void ShowReadyFloater(ui::GameNode* parent, int x, int y, int delay, int hold, void* argument,
                      FloaterCallback callback) {
    ShowCenterFloater(parent, signSprite(ids::floaterReady).get(), x, y, delay, hold, argument,
                      std::move(callback));
}

void ShowGoFloater(ui::GameNode* parent, int x, int y, int delay, int hold, void* argument,
                   FloaterCallback callback) {
    ShowCenterFloater(parent, signSprite(ids::floaterGo).get(), x, y, delay, hold, argument,
                      std::move(callback));
}

} // namespace game
