#include "engine/ui/ModifierFrame.h"

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/ui/Sprite.h"

#include <algorithm>

namespace ui {

namespace {

kernel::Object* createModifierFrame(kernel::Value& settings) {
    return new ModifierFrame(settings.asNode());
}

const kernel::ClassRegistrar registrar("ModifierFrame", createModifierFrame);

} // namespace

ModifierFrame::ModifierFrame(int delay, int loopCount) : loopsLeft(loopCount), delay(delay) {}

ModifierFrame::ModifierFrame(kernel::NodeValue& settings) {
    if (kernel::Value* value = settings.findChild("loopcount"); value != nullptr && value->isScalar()) {
        loopsLeft = value->asScalar().asInt();
    }
    if (kernel::Value* value = settings.findChild("delay")) {
        delay = value->isScalar() ? value->asScalar().asInt() : 0;
    }
}

void ModifierFrame::update(std::uint32_t elapsed) {
    if (node == nullptr) {
        return;
    }
    if (accumulated >= delay) {
        runDueSteps(static_cast<Sprite&>(*node));
        if (isFinished()) {
            return;
        }
    }
    accumulated += static_cast<int>(elapsed);
}

void ModifierFrame::runDueSteps(Sprite& sprite) {
    while (accumulated >= delay) {
        if (isFinished()) {
            return;
        }
        const bool stop = loopsLeft == 0 || sprite.getWrapStyle() == Sprite::Once;
        if (atEnd && stop) {
            finish();
            continue;
        }
        accumulated -= delay;
        stepFrame(sprite);
        // Without a positive delay the time owed would never run out: one frame per update.
        if (delay <= 0) {
            return;
        }
    }
}

void ModifierFrame::stepFrame(Sprite& sprite) {
    // A sprite without frames animates as one of a single frame, so the pass still ends.
    const int count = std::max(1, sprite.getFrameCount());
    const int current = sprite.getCurrentFrame();
    const int next = sprite.getReverseFrames() ? current - 1 : current + 1;
    sprite.setCurrentFrame(wrapFrame(sprite, next, count));
    if (loopsLeft >= 0) {
        noteEnd(sprite, count);
    }
}

int ModifierFrame::wrapFrame(Sprite& sprite, int frame, int count) {
    const int style = sprite.getWrapStyle();
    if (frame >= count) {
        if (style == Sprite::PingPong) {
            frame -= 2;
            sprite.setReverseFrames(!sprite.getReverseFrames());
        } else if (style == Sprite::Loop) {
            frame = 0;
        }
    } else if (frame < 0) {
        if (style == Sprite::PingPong) {
            frame += 2;
            sprite.setReverseFrames(!sprite.getReverseFrames());
        } else if (style == Sprite::Loop) {
            frame = count - 1;
        }
    }
    return frame < 0 || frame >= count ? 0 : frame;
}

void ModifierFrame::noteEnd(const Sprite& sprite, int count) {
    const int shown = sprite.getCurrentFrame();
    const bool reverse = sprite.getReverseFrames();
    atEnd = (!reverse && shown == count - 1) || (reverse && shown == 0);
    if (atEnd && loopsLeft != 0) {
        --loopsLeft;
    }
}

} // namespace ui
