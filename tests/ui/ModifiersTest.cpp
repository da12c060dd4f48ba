#include "engine/kernel/NodeValue.h"
#include "engine/ui/CallbackModifier.h"
#include "engine/ui/DelayModifier.h"
#include "engine/ui/FadeModifier.h"
#include "engine/ui/ModifierFrame.h"
#include "engine/ui/MoveModifier.h"
#include "engine/ui/Path.h"
#include "engine/ui/PathModifier.h"
#include "engine/ui/PulseModifier.h"
#include "engine/ui/RectModifier.h"
#include "engine/ui/ResizeModifier.h"
#include "engine/ui/RotateScaleModifier.h"
#include "engine/ui/SoundModifier.h"
#include "engine/ui/Sprite.h"
#include "engine/ui/VisibilityModifier.h"

#include "SoundTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

using kernel::SmartPtr;
using ui::Modifier;
using ui::Sprite;

namespace {

// Runs a sprite frame by frame with the same dt; each frame appends '|' to the log before it runs.
struct Stage {
    SmartPtr<Sprite> sprite{new Sprite(0, 0, 100, 100)};
    std::string log;

    Modifier* mark(char letter, std::uint32_t flags = 0) {
        auto* modifier = new ui::CallbackModifier(
            &log, [letter](void* text, ui::GameNode*) { *static_cast<std::string*>(text) += letter; });
        modifier->addFlags(flags);
        return modifier;
    }
    Modifier* add(Modifier* modifier, bool atBack = true) { return sprite->addModifier(modifier, atBack); }
    void run(int frames, std::uint32_t dt) {
        for (int i = 0; i < frames; ++i) {
            log += '|';
            sprite->update(dt);
        }
    }
};

// A modifier that never finishes within a test.
Modifier* forever() {
    return new ui::FadeModifier(255, 255, 1000000);
}

struct TimelineRow {
    const char* name;
    std::function<void(Stage&)> build;
    std::uint32_t dt;
    int frames;
    const char* log;
    std::size_t modifiersLeft;
    bool dead;
};

TEST(ModifierListTest, TimelinesFollowTheBlockingKillAndRemoveBeforeFlags) {
    // clang-format off
    const std::vector<TimelineRow> rows = {
        {"a delay holds the chain until its time drops below 1",
         [](Stage& s) { s.add(new ui::DelayModifier(250)); s.add(s.mark('A')); s.add(s.mark('B')); },
         100, 4, "|||AB|", 0, false},
        {"each step starts in the frame in which the one before it finishes",
         [](Stage& s) {
             s.add(new ui::DelayModifier(100)); s.add(s.mark('A'));
             s.add(new ui::DelayModifier(100)); s.add(s.mark('B'));
         },
         50, 4, "||A|B|", 0, false},
        {"a modifier appended by a callback runs in the same frame",
         [](Stage& s) {
             s.add(new ui::CallbackModifier(nullptr, [&s](void*, ui::GameNode*) { s.add(s.mark('B')); }));
         },
         10, 2, "|B|", 0, false},
        {"a modifier put first by a callback waits for the next frame",
         [](Stage& s) {
             s.add(new ui::CallbackModifier(nullptr,
                                            [&s](void*, ui::GameNode*) { s.add(s.mark('B'), false); }));
             s.add(s.mark('A'));
         },
         10, 2, "|A|B", 0, false},
        {"remove-before drops the unfinished ones in front; the next still runs",
         [](Stage& s) {
             s.add(forever()); s.add(forever());
             s.add(s.mark('A', Modifier::removeBefore)); s.add(s.mark('B')); s.add(forever());
         },
         10, 1, "|AB", 1, false},
        {"without remove-before the ones in front stay",
         [](Stage& s) { s.add(forever()); s.add(forever()); s.add(s.mark('A')); },
         10, 1, "|A", 2, false},
        {"the kill flag kills the node and the modifier leaves",
         [](Stage& s) { s.add(forever()); s.add(s.mark('A', Modifier::killNode)); },
         10, 1, "|A", 1, true},
        {"clearing the list from a callback stops the walk",
         [](Stage& s) {
             s.add(new ui::CallbackModifier(nullptr,
                                            [](void*, ui::GameNode* n) { n->removeAllModifiers(); }));
             s.add(s.mark('B'));
         },
         10, 2, "||", 0, false},
        {"an unfinished blocking modifier holds back the rest",
         [](Stage& s) { s.add(forever())->addFlags(Modifier::blocking); s.add(s.mark('A')); },
         10, 2, "||", 2, false},
        {"a modifier already listed is not added twice",
         [](Stage& s) { Modifier* once = s.add(s.mark('A')); s.add(once, false); },
         10, 2, "|A|", 0, false},
    };
    // clang-format on
    for (const TimelineRow& row : rows) {
        Stage stage;
        row.build(stage);
        stage.run(row.frames, row.dt);
        EXPECT_EQ(stage.log, row.log) << row.name;
        EXPECT_EQ(stage.sprite->getModifierList().size(), row.modifiersLeft) << row.name;
        EXPECT_EQ(stage.sprite->isDead(), row.dead) << row.name;
    }
}

TEST(ModifierListTest, ANodeReleasedByItsOwnCallbackOutlivesTheWalk) {
    Stage stage;
    stage.add(new ui::CallbackModifier(
        &stage.sprite, [](void* holder, ui::GameNode*) { static_cast<SmartPtr<Sprite>*>(holder)->reset(); }));
    stage.add(stage.mark('B'));
    Sprite* node = stage.sprite.get();
    node->update(10);
    EXPECT_EQ(stage.log, "B");
    EXPECT_FALSE(stage.sprite);
}

TEST(ModifierListTest, ADelayOnAnotherNodeWaitsForThatNodesModifiers) {
    Stage other;
    other.add(new ui::DelayModifier(20));
    Stage stage;
    stage.add(new ui::DelayModifier(other.sprite.get()));
    stage.add(stage.mark('A'));
    for (int frame = 0; frame < 3; ++frame) {
        other.sprite->update(10);
        stage.run(1, 10);
    }
    EXPECT_EQ(stage.log, "||A|");
}

// Frames shown after each update; '*' once the modifier has finished.
std::string frameTrace(ui::ModifierFrame* modifier, Sprite& sprite, int updates, std::uint32_t dt) {
    SmartPtr<Modifier> held(modifier);
    modifier->setNode(&sprite);
    std::string trace;
    for (int i = 0; i < updates && !modifier->isFinished(); ++i) {
        modifier->update(dt);
        trace += std::to_string(sprite.getCurrentFrame());
    }
    return modifier->isFinished() ? trace + '*' : trace;
}

TEST(ModifierFrameTest, FramesStepByDelayWrapStyleAndLoopCount) {
    struct Row {
        const char* name;
        int frames;
        int style;
        int delay;
        int loops;
        int updates;
        const char* trace;
    };
    const std::vector<Row> rows = {
        {"one pass of the loop style ends without a change", 4, Sprite::Loop, 100, 1, 9, "01233*"},
        {"ping-pong twice turns at both ends", 3, Sprite::PingPong, 100, 2, 9, "012100*"},
        {"the once style with -1 starts over", 3, Sprite::Once, 100, -1, 6, "012012"},
        {"a loop count of -1 never finishes", 2, Sprite::Loop, 100, -1, 5, "01010"},
        {"delay 0 steps one frame per update", 3, Sprite::Loop, 0, -1, 4, "1201"},
        {"a single frame ends its passes", 1, Sprite::Loop, 100, 2, 9, "0000*"},
    };
    for (const Row& row : rows) {
        SmartPtr<Sprite> sprite(new Sprite(0, 0, 10 * row.frames, 10));
        sprite->setupFrames(row.frames, true, false);
        sprite->setWrapStyle(row.style);
        EXPECT_EQ(frameTrace(new ui::ModifierFrame(row.delay, row.loops), *sprite, row.updates, 100),
                  row.trace)
            << row.name;
    }
}

TEST(ModifierFrameTest, SettingsGiveTheDelayAndLoopCount) {
    kernel::NodeValue settings("frames", "ModifierFrame");
    settings.setChild(new kernel::ScalarValue("loopcount", "3", kernel::Typing::Untyped));
    settings.setChild(new kernel::NodeValue("delay", "Node"));
    const SmartPtr<ui::ModifierFrame> made(new ui::ModifierFrame(settings));
    EXPECT_EQ(made->getLoopsLeft(), 3);
    EXPECT_EQ(made->getDelay(), 0);
    const SmartPtr<kernel::NodeValue> empty(new kernel::NodeValue("frames", "ModifierFrame"));
    const SmartPtr<ui::ModifierFrame> plain(new ui::ModifierFrame(*empty));
    EXPECT_EQ(plain->getLoopsLeft(), -1);
    EXPECT_EQ(plain->getDelay(), 100);
}

// A value read after each update of dt ms of a modifier on a fresh 100 x 100 sprite; the modifier must
// finish in the last update and not before.
struct ValueRow {
    const char* name;
    SmartPtr<Modifier> modifier;
    std::function<float(const Sprite&)> read;
    std::uint32_t dt;
    std::vector<float> values;
};

void checkValues(const std::vector<ValueRow>& rows) {
    for (const ValueRow& row : rows) {
        SCOPED_TRACE(row.name);
        SmartPtr<Sprite> sprite(new Sprite(0, 0, 100, 100));
        row.modifier->setNode(sprite.get());
        std::vector<float> seen;
        for (std::size_t i = 0; i < row.values.size(); ++i) {
            EXPECT_FALSE(row.modifier->isFinished()) << "before update " << i;
            row.modifier->update(row.dt);
            seen.push_back(row.read(*sprite));
        }
        EXPECT_EQ(seen, row.values);
        EXPECT_TRUE(row.modifier->isFinished());
    }
}

std::vector<std::uint32_t> times(std::size_t count, std::uint32_t dt) {
    return std::vector<std::uint32_t>(count, dt);
}

float alpha(const Sprite& s) {
    return static_cast<float>(s.getAlpha());
}

TEST(AlphaModifiersTest, FadeAndPulseValuesAtChosenTimes) {
    // clang-format off
    checkValues({
        {"fade sets the start, then the end once the time has run out",
         new ui::FadeModifier(255, 0, 300), alpha, 100, {255, 170, 85, 0}},
        {"fade of 0 ms ends at once", new ui::FadeModifier(10, 90, 0), alpha, 16, {90}},
        {"one pulse cycle: fade up, hold b, fade back, then a",
         new ui::PulseModifier(0, 100, 100, 100, 100, 100, 1), alpha, 50, {0, 50, 100, 100, 100, 50, 0}},
        {"a pulse from high to low truncates toward zero",
         new ui::PulseModifier(200, 0, 3, 3, 0, 0, 1), alpha, 1, {200, 134, 67, 0, 66, 133, 200}},
        {"a pulse with all durations 0 ends without hanging",
         new ui::PulseModifier(30, 200, 0, 0, 0, 0, 1), alpha, 16, {30}},
    });
    // clang-format on
}

// An endless pulse of zero length passes a cycle per update; one with targets leaves its own node alone.
TEST(AlphaModifiersTest, EndlessAndTargetedPulses) {
    SmartPtr<Sprite> own(new Sprite(0, 0, 10, 10));
    SmartPtr<ui::PulseModifier> endless(new ui::PulseModifier(30, 200, 0, 0, 0, 0, 0));
    endless->setNode(own.get());
    endless->update(16);
    endless->update(16);
    EXPECT_FALSE(endless->isFinished());
    EXPECT_EQ(endless->getCyclesDone(), 2);
    EXPECT_EQ(own->getAlpha(), 30);

    SmartPtr<Sprite> target(new Sprite(0, 0, 10, 10));
    SmartPtr<ui::PulseModifier> pulse(new ui::PulseModifier(40, 80, 10, 10, 10, 10, 0));
    pulse->addTarget(target.get());
    pulse->setNode(own.get());
    own->setAlpha(255);
    pulse->update(5);
    EXPECT_EQ(target->getAlpha(), 40);
    EXPECT_EQ(own->getAlpha(), 255);
}

float x(const Sprite& s) {
    return static_cast<float>(s.getX());
}
float displayW(const Sprite& s) {
    return s.getDisplayRect() ? static_cast<float>(s.getDisplayRect()->w) : -1.0f;
}

TEST(MotionModifiersTest, ValuesAtChosenTimes) {
    auto* yOnly = new ui::MoveModifier(10, 0, 90, 50, 100, false);
    yOnly->setAppliesX(false);
    auto* turnOnly = new ui::RotateScaleModifier(0, 90, 1, 2, 100);
    turnOnly->setAppliesScale(false);
    const auto clipW = [](const Sprite& s) { return static_cast<float>(s.getClipRect()->w); };
    // clang-format off
    checkValues({
        {"move, linear", new ui::MoveModifier(0, 0, 100, 0, 100, false), x, 50, {0, 50, 100}},
        {"move, smooth: 15.625 truncated at a quarter",
         new ui::MoveModifier(0, 0, 100, 0, 100, true), x, 25, {0, 15, 50, 84, 100}},
        {"move of 0 ms ends at once", new ui::MoveModifier(0, 0, 70, 0, 0, false), x, 9, {70}},
        {"move on y only still ends at the end point", yOnly, x, 50, {0, 0, 90}},
        {"resize back to the natural size drops the display rectangle",
         new ui::ResizeModifier(50, 50, 100, 100, 100), displayW, 50, {50, 75, -1}},
        {"resize of 0 ms ends at once", new ui::ResizeModifier(100, 100, 40, 40, 0), displayW, 9, {40}},
        {"rect moves the clip rectangle, rounded",
         new ui::RectModifier(0, 0, 0, 10, 0, 0, 99, 10, 100, false), clipW, 50, {0, 50, 99}},
        {"rotation", new ui::RotateScaleModifier(0, 90, 1, 2, 100), &Sprite::getRotation, 50, {0, 45, 90}},
        {"scale", new ui::RotateScaleModifier(0, 90, 1, 2, 100), &Sprite::getScale, 50, {1, 1.5f, 2}},
        {"the end scale is written even when the scale is not applied",
         turnOnly, &Sprite::getScale, 50, {1, 1, 2}},
        {"rotate of 0 ms ends at once",
         new ui::RotateScaleModifier(10, 30, 1, 1, 0), &Sprite::getRotation, 9, {30}},
    });
    // clang-format on
}

SmartPtr<ui::Path> pathThrough(const std::vector<std::pair<int, int>>& points) {
    SmartPtr<ui::Path> path(new ui::Path());
    for (const auto& [px, py] : points) {
        path->addPoint(px, py);
    }
    return path;
}

// The walk carries the kill flag: the node dies when, and only when, the path ends.
TEST(PathModifierTest, PositionsAlongThePath) {
    const std::vector<std::pair<int, int>> square = {{0, 0}, {100, 0}, {100, 100}, {0, 100}, {0, 0}};
    struct Row {
        const char* name;
        std::vector<std::pair<int, int>> points;
        int duration;
        bool loop;
        int start;
        std::vector<std::uint32_t> dts;
        std::vector<std::pair<int, int>> positions;
        bool finished;
    };
    // clang-format off
    const std::vector<Row> rows = {
        {"a closed square reaches a corner each 100 ms, then its last point",
         square, 400, false, 0, times(5, 100), {{0, 0}, {100, 0}, {100, 100}, {0, 100}, {0, 0}}, true},
        {"one frame crossing two segment ends does not overshoot",
         {{0, 0}, {100, 0}, {100, 10}, {200, 10}}, 210, false, 0, {50, 110, 50, 1},
         {{0, 0}, {50, 0}, {150, 10}, {200, 10}}, true},
        {"a start index other than 0", square, 400, false, 2, times(2, 100), {{100, 100}, {0, 100}}, false},
        {"a looping path never finishes",
         square, 400, true, 0, times(6, 100), {{0, 0}, {100, 0}, {100, 100}, {0, 100}, {0, 100}, {100, 0}},
         false},
        {"0 ms ends at the last point at once",
         {{5, 5}, {50, 5}}, 0, false, 0, times(1, 10), {{50, 5}}, true},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SmartPtr<Sprite> sprite(new Sprite(-1, -1, 10, 10));
        SmartPtr<ui::PathModifier> walk(
            new ui::PathModifier(pathThrough(row.points).get(), row.duration, row.loop, row.start));
        walk->addFlags(Modifier::killNode);
        walk->setNode(sprite.get());
        std::vector<std::pair<int, int>> seen;
        for (std::uint32_t dt : row.dts) {
            EXPECT_FALSE(sprite->isDead());
            walk->update(dt);
            seen.emplace_back(sprite->getX(), sprite->getY());
        }
        EXPECT_EQ(seen, row.positions);
        EXPECT_EQ(walk->isFinished(), row.finished);
        EXPECT_EQ(sprite->isDead(), row.finished);
    }
}

TEST(PathTest, ClosednessLengthBoundsAndInterpolation) {
    SmartPtr<ui::Path> nearly(new ui::Path(3));
    nearly->setPoint(1, 10.0f, 0.0f);
    nearly->setPoint(2, 0.0005f, 0.0005f);
    EXPECT_TRUE(nearly->isClosed());
    nearly->setPoint(2, 0.002f, 0.0f);
    EXPECT_FALSE(nearly->isClosed());

    const SmartPtr<ui::Path> square = pathThrough({{0, 0}, {100, 0}, {100, 100}, {0, 100}, {0, 0}});
    EXPECT_DOUBLE_EQ(square->length(), 400.0);
    EXPECT_EQ(square->getBounds(), kernel::Rect(0, 0, 100, 100));
    EXPECT_EQ(square->nextIndex(3), 0);
    EXPECT_EQ(square->nextIndex(4), 1);

    SmartPtr<ui::Path> eased(new ui::Path());
    eased->interpolate(*pathThrough({{0, 0}, {100, 0}}), 0, 1, 4, true);
    std::vector<float> xs;
    for (int i = 0; i < eased->getPointCount(); ++i) {
        xs.push_back(eased->pointAt(i).getX());
    }
    EXPECT_EQ(xs, (std::vector<float>{0, 15.625f, 50, 84.375f, 100}));

    // To the duplicate end of a closed path: round the whole loop through every corner, shared points once.
    SmartPtr<ui::Path> loop(new ui::Path());
    loop->interpolate(*square, 0, 99, 2, false);
    ASSERT_EQ(loop->getPointCount(), 9);
    for (int corner = 0; corner < 5; ++corner) {
        EXPECT_EQ(loop->pointAt(2 * corner), square->pointAt(corner)) << corner;
    }
    // The unhalved tangents swing each side out by a quarter of its length.
    EXPECT_EQ(loop->getBounds(), kernel::Rect(-25, -25, 150, 150));
}

// Smoothed from itself, a path keeps its corners and adds the curve it would get from a copy of them: the
// points it adds on the way never count as its end, so its closing segment keeps its tangents.
TEST(PathTest, InterpolationFromItselfReadsTheCornersItHadBefore) {
    const std::vector<std::pair<int, int>> corners = {{0, 0}, {100, 0}, {100, 100}, {0, 100}, {0, 0}};
    SmartPtr<ui::Path> fromCopy(new ui::Path());
    fromCopy->interpolate(*pathThrough(corners), 0, 99, 2, false);
    const SmartPtr<ui::Path> itself = pathThrough(corners);
    itself->interpolate(*itself, 0, 99, 2, false);
    ASSERT_EQ(itself->getPointCount(), 5 + fromCopy->getPointCount());
    for (int i = 0; i < fromCopy->getPointCount(); ++i) {
        EXPECT_EQ(itself->pointAt(5 + i), fromCopy->pointAt(i)) << i;
    }
}

class SoundModifierTest : public soundtest::SoundFixture {};

TEST_F(SoundModifierTest, PlaysOnceCentredAtFullVolumeAndFinishes) {
    SmartPtr<ui::SoundSample> sample(new ui::SoundSample());
    ASSERT_EQ(sample->load(dir.write("step.wav", soundtest::wav(soundtest::tone(2205))), 0x130), host::S_OK);
    SmartPtr<ui::SoundModifier> sound(new ui::SoundModifier(sample.get()));
    sound->update(16);
    EXPECT_TRUE(sound->isFinished());
    EXPECT_GE(sample->getChannel(), 0);
    EXPECT_EQ(sample->getLastPlayStart(), ui::SoundSample::PlayStart::Plain);

    SmartPtr<ui::SoundModifier> unnamed(new ui::SoundModifier(nullptr));
    unnamed->update(16);
    EXPECT_TRUE(unnamed->isFinished());
    EXPECT_EQ(unnamed->getSound(), nullptr);
}

} // namespace
