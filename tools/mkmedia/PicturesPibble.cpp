// The pibbles' own pictures: each colour's parts (and their head shake, party and VIB layers) and the
// collectable pibbles' parts, in frames of 100 x 125 with the feet at (48, 101), everything inside rows
// 0..110. "look" names the colour, "collectable" the collectable pibble; the shared overlays are drawn by
// PicturesEffects.cpp.
#include "tools/mkmedia/PibbleFrames.h"
#include "tools/mkmedia/PibbleLooks.h"

#include <cmath>
#include <numbers>
#include <string>

namespace mkmedia {

namespace {

constexpr float pi = std::numbers::pi_v<float>;
constexpr Rgb gold = 0xFFD23F;
constexpr Rgb white = 0xFFFFFF;
// How far the face turns in the head shake, in parts of the radius.
constexpr float shakeTurn = 0.22f;

// The party hat stands out from its pibble's fur.
Rgb partyHatColour(const PibbleLook& look) {
    switch (look.marking) {
    case Marking::Stripes:
    case Marking::Fleece:
    case Marking::Harlequin:
        return 0xFF5C8A;
    case Marking::Tummy:
    case Marking::Stars:
        return 0xFFC22E;
    case Marking::Spots:
        return 0x3FA7E8;
    case Marking::Sprout:
        return 0xB779F0;
    case Marking::Bib:
        return 0x2FC2A0;
    }
    return 0xFF5C8A;
}

// Half a frame into the swing, so that no two frames in a row show the face at the same place.
float shakeAt(const PictureRequest& request, int frame) {
    return shakeTurn *
           std::sin(2 * pi * (static_cast<float>(frame) + 0.5f) / static_cast<float>(request.frames));
}

void drawHead(Canvas& canvas, PibblePose pose, Mood mood, float turn = 0) {
    pose.mood = mood;
    pose.faceTurn = turn;
    drawPibblePart(canvas, pose, PibblePart::Face);
}

// Frame 0 at rest, 1 twitched outward, 2 streaming up as the pibble drops into its hole. Standing ears
// straighten only halfway, so that they stay in the gaps between the faces of the row above; hanging ones
// swing all the way up, or they would stand out sideways into the faces beside them.
void drawEars(Canvas& canvas, const PibblePose& pose, int frame) {
    const bool hanging = pose.look != nullptr && pose.look->ears == EarShape::Floppy;
    const float tilt = frame == 1 ? 0.3f : 0.0f;
    const float lift = frame == 1 ? 0.15f : frame == 2 ? (hanging ? 1.0f : 0.4f) : 0.0f;
    drawPibblePart(canvas, pose, PibblePart::Ears, tilt, lift);
}

// The ears follow the turning face, a little behind it.
void drawShakingEars(Canvas& canvas, PibblePose pose, float turn) {
    pose.cx += turn * pose.radius * 0.3f;
    drawPibblePart(canvas, pose, PibblePart::Ears);
}

void drawPartyHat(Canvas& canvas, const PibbleLook& look) {
    const Rgb colour = partyHatColour(look);
    const float baseX = pibbleFeetX + 2;
    const float baseY = pibbleCentreY - pibbleRadius * 0.78f;
    const float lean = 0.16f;
    const Shape cone = {{baseX - 11, baseY}, {baseX + 11, baseY}, {baseX, baseY - 32}};
    canvas.over(turned(scaled(cone, baseX, baseY - 12, 1.15f, 1.06f), baseX, baseY, lean),
                darker(colour, 0.4f));
    canvas.overGradient(turned(cone, baseX, baseY, lean), lighter(colour, 0.3f), colour, baseY - 32, baseY);
    // Spiral stripes and dots across the cone.
    Canvas pattern(canvas.width(), canvas.height());
    for (int i = 0; i < 3; ++i) {
        const float y = baseY - 6 - static_cast<float>(i) * 9;
        pattern.over(stroke(baseX - 12, y + 3, baseX + 12, y - 3, 3), white, 230);
    }
    pattern.over(circle(baseX - 3, baseY - 12, 1.6f), gold);
    pattern.over(circle(baseX + 4, baseY - 21, 1.4f), gold);
    pattern.clipTo(turned(cone, baseX, baseY, lean));
    canvas.stamp(pattern.image(), 0, 0);
    canvas.over(turned(ellipse(baseX, baseY, 12, 2.6f), baseX, baseY, lean), darker(colour, 0.25f));
    const Shape tip = turned(Shape{{baseX, baseY - 32}}, baseX, baseY, lean);
    const float tipX = tip.front().getX();
    const float tipY = tip.front().getY();
    canvas.over(fluffyCircle(tipX, tipY, 5.2f, 5.2f, 8, 0.2f, 0), darker(gold, 0.3f));
    canvas.overGradient(fluffyCircle(tipX, tipY, 4.4f, 4.4f, 8, 0.2f, 0), lighter(gold, 0.5f), gold, tipY - 4,
                        tipY + 4);
}

// A sunburst behind the pibble, turning by one pair of rays over the strip so that it loops, with
// confetti twinkling about it.
void drawPartyBack(Canvas& canvas, const PibbleLook& look, float t) {
    const float cx = pibbleFeetX;
    const float cy = pibbleCentreY - 4;
    const Rgb light = lighter(look.body, 0.45f);
    canvas.over(circle(cx, cy, 30), lighter(gold, 0.5f), 120, 6);
    constexpr int rays = 12;
    const float turn = t * 2 * pi * 2 / rays;
    for (int i = 0; i < rays; ++i) {
        const float a = turn + 2 * pi * static_cast<float>(i) / rays;
        const float spread = pi / rays * 0.55f;
        const Shape ray = {{cx + std::cos(a - spread) * 14, cy + std::sin(a - spread) * 14},
                           {cx + std::cos(a - spread * 1.3f) * 46, cy + std::sin(a - spread * 1.3f) * 46},
                           {cx + std::cos(a + spread * 1.3f) * 46, cy + std::sin(a + spread * 1.3f) * 46},
                           {cx + std::cos(a + spread) * 14, cy + std::sin(a + spread) * 14}};
        canvas.over(ray, i % 2 == 0 ? gold : light, 170, 1);
    }
    constexpr Rgb confetti[] = {0xFF5C8A, 0x3FA7E8, 0x7BD05A, 0xFFC22E, 0xB779F0, 0xFF9838};
    for (int i = 0; i < 6; ++i) {
        const float a = 2 * pi * static_cast<float>(i) / 6 + 0.4f;
        const float phase = t * 2 * pi * 2 + static_cast<float>(i) * 1.7f;
        const float x = cx + std::cos(a) * 38;
        const float y = cy + std::sin(a) * 34 + std::sin(phase) * 3;
        const float size = 2.5f + 1.2f * std::sin(phase);
        canvas.over(turned(roundedRect(x - size, y - size * 0.6f, size * 2, size * 1.2f, 1), x, y, phase),
                    confetti[i]);
    }
    canvas.fadeRows(pibbleLastRow - 12, pibbleLastRow + 1);
}

// The VIB mark: a golden aura behind the pibble and a ring on the ground.
void drawVibStatic(Canvas& canvas, const PibbleLook& look) {
    const Rgb aura = mix(gold, look.body, 0.2f);
    const float cy = pibbleCentreY - 1;
    canvas.over(circle(pibbleFeetX, cy, pibbleRadius + 7), aura, 150, 4);
    // A crisp golden ring round the body, dark-edged so that it shows on the yellow pibble as well.
    canvas.over(arcBand(pibbleFeetX, cy, pibbleRadius + 3.5f, 4.2f, 0, 2 * pi), 0xB8860B);
    canvas.over(arcBand(pibbleFeetX, cy, pibbleRadius + 3.5f, 2.4f, 0, 2 * pi), lighter(gold, 0.25f));
    const Shape ring =
        scaled(arcBand(pibbleFeetX, pibbleFeetY, 25, 4, 0, 2 * pi), pibbleFeetX, pibbleFeetY, 1.0f, 0.26f);
    canvas.over(ring, lighter(gold, 0.3f), 220, 1);
    for (const float side : {-1.0f, 1.0f}) {
        const float x = pibbleFeetX + side * 27;
        const float y = pibbleCentreY - 16;
        canvas.over(star(x, y, 5, 1.4f, 4), 0xB8860B, 200);
        canvas.over(star(x, y, 4, 1.1f, 4), white);
    }
}

// The shine around a VIB pibble: a pulse of golden light with sparkles going round. The game lays the
// pibble over every frame.
void drawVibShine(Canvas& canvas, float t) {
    const float strength = std::sin(pi * t);
    canvas.over(circle(pibbleFeetX, pibbleCentreY - 2, pibbleRadius + 5 + 5 * strength), lighter(gold, 0.3f),
                static_cast<int>(60 + 170 * strength), 5);
    for (int i = 0; i < 4; ++i) {
        const float a = 2 * pi * (static_cast<float>(i) / 4 + t * 0.25f) - pi / 4;
        const float x = pibbleFeetX + std::cos(a) * (pibbleRadius + 9);
        const float y = pibbleCentreY - 2 + std::sin(a) * (pibbleRadius + 9);
        const float size = 2 + 5 * std::abs(std::sin(pi * (t * 2 + static_cast<float>(i) * 0.25f)));
        canvas.over(star(x, y, size, size * 0.25f, 4, t), white, 240);
    }
    canvas.fadeRows(pibbleLastRow - 4, pibbleLastRow + 1);
}

void drawColourPart(const PictureRequest& request, const std::string& part, int frame, Canvas& canvas,
                    const PibbleLook& look) {
    const PibblePose pose = standingPibble(&look);
    if (part == "shadow") {
        drawPibblePart(canvas, pose, PibblePart::Shadow);
    } else if (part == "feet") {
        drawPibblePart(canvas, pose, PibblePart::Feet);
    } else if (part == "body") {
        drawPibblePart(canvas, pose, PibblePart::Body);
    } else if (part == "ears") {
        drawEars(canvas, pose, frame);
    } else if (part == "head") {
        drawHead(canvas, pose, Mood::Content);
    } else if (part == "head_happy") {
        drawHead(canvas, pose, Mood::Happy);
    } else if (part == "head_unhappy") {
        drawHead(canvas, pose, Mood::Unhappy);
    } else if (part == "head_stubborn") {
        drawHead(canvas, pose, Mood::Stubborn);
    } else if (part == "head_shakeno") {
        drawHead(canvas, pose, Mood::Content, shakeAt(request, frame));
    } else if (part == "ears_shakeno") {
        drawShakingEars(canvas, pose, shakeAt(request, frame));
    } else if (part == "party") {
        drawPartyHat(canvas, look);
    } else if (part == "partyback") {
        drawPartyBack(canvas, look, cycle(request, frame));
    } else if (part == "vibstatic") {
        drawVibStatic(canvas, look);
    } else if (part == "vibshine") {
        drawVibShine(canvas, (static_cast<float>(frame) + 0.5f) / static_cast<float>(request.frames));
    } else {
        drawPibble(canvas, pose);
    }
}

// A collectable pibble: its colour's ears and feet, its own pattern on the fur and its accessory in front
// of the face.
void drawCollectablePart(const std::string& part, Canvas& canvas, const Collectable& design) {
    PibblePose pose = standingPibble(&lookOfColour(design.colour));
    if (design.pattern != Pattern::Plain) {
        pose.pattern = [&design, pose](Canvas& layer) { drawPattern(layer, design, pose); };
    }
    if (part == "head") {
        drawPibblePart(canvas, pose, PibblePart::Face);
        drawAccessory(canvas, design, pose);
    } else if (part == "ears") {
        drawPibblePart(canvas, pose, PibblePart::Ears);
    } else if (part == "feet") {
        drawPibblePart(canvas, pose, PibblePart::Feet);
    } else {
        drawPibblePart(canvas, pose, PibblePart::Body);
    }
}

} // namespace

void drawPibblePicture(const PictureRequest& request, int frame, Canvas& canvas) {
    const std::string part = request.entry.text("part");
    if (drawPibbleEffect(request, part, frame, canvas)) {
        return;
    }
    if (const Collectable* design = collectable(request.entry.integer("collectable", 0))) {
        drawCollectablePart(part, canvas, *design);
    } else {
        const PibbleLook* look = pibbleLook(request.entry.text("look"));
        drawColourPart(request, part, frame, canvas, look != nullptr ? *look : lookOfColour(1));
    }
    // Nothing below the rows the game repaints.
    canvas.fadeRows(pibbleLastRow + 1, pibbleLastRow + 1);
}

} // namespace mkmedia
