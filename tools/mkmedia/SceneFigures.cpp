#include "tools/mkmedia/SceneFigures.h"

#include "tools/mkmedia/PibbleLooks.h"

#include <algorithm>
#include <vector>

namespace mkmedia {

namespace {

constexpr Rgb white = 0xFFFFFF;

} // namespace

void fluffyCloud(Canvas& canvas, float cx, float base, float w, float h, Rgb light, Rgb shade, int alpha) {
    const float left = cx - w / 2;
    const float heights[] = {0.45f, 0.72f, 1.0f, 0.8f, 0.5f};
    std::vector<Shape> puffs = {roundedRect(left, base - h * 0.42f, w, h * 0.42f, h * 0.21f)};
    for (int i = 0; i < 5; ++i) {
        const float r = h * 0.5f * heights[i];
        const float x = left + w * (0.12f + 0.19f * static_cast<float>(i));
        puffs.push_back(circle(x, base - h * 0.42f - r * 0.45f + h * 0.12f, r));
    }
    const float top = base - h;
    for (const Shape& puff : puffs) {
        canvas.paintSoft(moved(puff, 0, h * 0.08f), darker(shade, 0.25f), alpha / 5, blurOf(h * 0.08f));
    }
    for (const Shape& puff : puffs) {
        canvas.paintGradient(puff, light, shade, top, base, alpha);
    }
    canvas.paintSoft(ellipse(cx - w * 0.08f, top + h * 0.3f, w * 0.22f, h * 0.16f), white, alpha / 3,
                     blurOf(h * 0.1f));
}

PibblePose poseOf(const char* look, float cx, float ground, float radius) {
    PibblePose pose;
    pose.look = pibbleLook(look);
    pose.body = pose.look != nullptr ? pose.look->body : 0xFFB347;
    pose.cx = cx;
    pose.ground = ground;
    pose.radius = radius;
    return pose;
}

void drawPibbleWithEars(Canvas& canvas, const PibblePose& pose, float earLift) {
    drawPibblePart(canvas, pose, PibblePart::Shadow);
    drawPibblePart(canvas, pose, PibblePart::Ears, 0.1f, earLift);
    drawPibblePart(canvas, pose, PibblePart::Feet);
    drawPibblePart(canvas, pose, PibblePart::Body);
    drawPibblePart(canvas, pose, PibblePart::Face);
}

void drawCheerer(Canvas& canvas, const char* look, float cx, float ground, float radius, float lift) {
    PibblePose pose = poseOf(look, cx, ground, radius);
    pose.mood = Mood::Happy;
    pose.lift = lift;
    pose.squash = lift > 0 ? 0.93f : 1.06f;
    drawPibbleWithEars(canvas, pose, lift > 0 ? 0.8f : 0.2f);
    if (lift > 0) {
        const float top = ground - lift - radius * 1.7f;
        for (const float way : {-1.0f, 1.0f}) {
            const float x = cx + way * radius * 1.25f;
            canvas.paint(stroke(x, top + radius * 0.3f, x + way * radius * 0.3f, top, radius * 0.09f), white,
                         220);
            canvas.paint(stroke(x + way * radius * 0.12f, top + radius * 0.75f, x + way * radius * 0.5f,
                                top + radius * 0.6f, radius * 0.09f),
                         white, 220);
        }
    }
}

void vignette(Canvas& canvas, float strength) {
    const float cx = static_cast<float>(canvas.width()) / 2;
    const float cy = static_cast<float>(canvas.height()) / 2;
    std::uint32_t* pixels = canvas.image().pixels32();
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            const float dx = (static_cast<float>(x) - cx) / cx;
            const float dy = (static_cast<float>(y) - cy) / cy;
            const float fall = std::clamp((dx * dx + dy * dy - 0.25f) / 1.75f, 0.0f, 1.0f) * strength;
            std::uint32_t& pixel = pixels[canvas.image().pixelIndex(x, y)];
            pixel = (pixel & 0xFF000000u) | darker(pixel & 0xFFFFFFu, fall);
        }
    }
}

} // namespace mkmedia
