#include "tools/mkmedia/FrameBox.h"

#include <algorithm>
#include <cmath>

namespace mkmedia {

namespace {

constexpr Rgb shadow = 0x4A3560;
constexpr int shadowStrength = 110;

} // namespace

BoxLook boxLookOf(float edge) {
    BoxLook look;
    look.margin = std::round(edge * 0.22f);
    look.blur = std::max(1, static_cast<int>(look.margin / 2));
    look.rim = std::max(2.0f, std::round(edge * 0.14f));
    // The curve and its shadow stay inside an edge-sized corner, so the straight sides tile seamlessly.
    look.radius = std::max(2.0f, edge - look.margin - static_cast<float>(look.blur) * 2 - 1);
    return look;
}

Rgb paleOf(Rgb colour) {
    return mix(0xFFFDF6, colour, 0.1f);
}

FramedShape boxShapes(const Box& box, const BoxLook& look) {
    const float x = box.x + look.margin;
    const float y = box.y + look.margin;
    const float w = box.w - 2 * look.margin;
    const float h = box.h - 2 * look.margin;
    return {roundedRect(x, y, w, h, look.radius),
            roundedRect(x + look.rim, y + look.rim, w - 2 * look.rim, h - 2 * look.rim,
                        std::max(1.0f, look.radius - look.rim)),
            roundedRect(x, y + look.margin * 0.4f, w, h, look.radius)};
}

FramedShape framedShape(Shape outline, Shape body, const BoxLook& look) {
    Shape fallen = moved(outline, 0, look.margin * 0.4f);
    return {std::move(outline), std::move(body), std::move(fallen)};
}

void drawBox(Canvas& canvas, const Box& box, Rgb rim, Rgb body, bool shaded) {
    const BoxLook look = boxLookOf(box.edge);
    const FramedShape shapes = boxShapes(box, look);
    canvas.paintAll(shadow);
    canvas.revealSoft(shapes.shadow, shadowStrength, look.blur);
    canvas.fill(shapes.outline, rim);
    if (shaded) {
        const float y = box.y + look.margin;
        const float h = box.h - 2 * look.margin;
        canvas.fillGradient(shapes.body, lighter(body, 0.5f), body, y, y + h);
    } else {
        canvas.fill(shapes.body, body);
    }
}

void drawFramed(Canvas& canvas, const std::vector<FramedShape>& parts, const BoxLook& look, Rgb rim,
                Rgb body) {
    canvas.paintAll(shadow);
    for (const FramedShape& part : parts) {
        canvas.revealSoft(part.shadow, shadowStrength, look.blur);
    }
    for (const FramedShape& part : parts) {
        canvas.fill(part.outline, rim);
    }
    for (const FramedShape& part : parts) {
        canvas.fill(part.body, body);
    }
}

} // namespace mkmedia
