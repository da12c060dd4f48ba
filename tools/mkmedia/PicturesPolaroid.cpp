// The album's photos of the collectable pibbles: a polaroid card whose photo shows collectable pibble
// "collectable" in its own little world, or, without one, an empty grey-blue photo with a pibble's
// silhouette and a question mark for a collectable not yet claimed. With "light" the card is washed bright,
// as if lit by the camera's flash, the picture still showing through.
#include "tools/mkmedia/AlbumArt.h"
#include "tools/mkmedia/Pictures.h"
#include "tools/mkmedia/PolaroidScenes.h"

#include <cmath>
#include <numbers>

namespace mkmedia {

namespace {

constexpr float pi = std::numbers::pi_v<float>;
constexpr Rgb mist = 0xC3D2E6;
constexpr Rgb silhouette = 0xA4B7D0;
// How far the flash washes the card towards white.
constexpr float flashWash = 0.62f;

// An empty photo: misty blue, the outline of a pibble waiting to be found and a question mark on it.
void drawBlankPhoto(Canvas& photo) {
    const float w = static_cast<float>(photo.width());
    const float h = static_cast<float>(photo.height());
    photo.revealAll(255);
    photo.paintGradient(roundedRect(0, 0, w, h, 0), lighter(mist, 0.35f), mist, 0, h);
    const float r = w * 0.26f;
    const float cx = w / 2;
    const float cy = h * 0.56f;
    photo.paint(ellipse(cx, cy + r * 1.06f, r * 0.9f, r * 0.14f), darker(mist, 0.12f));
    for (const float side : {-1.0f, 1.0f}) {
        photo.paint(turned(ellipse(cx + side * r * 0.55f, cy - r * 0.9f, r * 0.24f, r * 0.36f),
                           cx + side * r * 0.55f, cy - r * 0.9f, side * 0.35f),
                    silhouette);
        photo.paint(ellipse(cx + side * r * 0.45f, cy + r * 0.92f, r * 0.3f, r * 0.16f), silhouette);
    }
    photo.paint(fluffyCircle(cx, cy, r, r, 16, 0.06f, 0), silhouette);
    const float q = r * 0.5f;
    const float qy = cy - q * 0.35f;
    photo.paint(arcBand(cx, qy, q * 0.55f, q * 0.3f, 1.05f * pi, 2.35f * pi), 0xFFFFFF, 235);
    photo.paint(stroke(cx + q * 0.2f, qy + q * 0.45f, cx, qy + q * 0.75f, q * 0.3f), 0xFFFFFF, 235);
    photo.paint(circle(cx, qy + q * 1.25f, q * 0.2f), 0xFFFFFF, 235);
}

void drawCollectablePhoto(Canvas& photo, int number, const Collectable& design) {
    drawPolaroidScene(photo, number);
    const float w = static_cast<float>(photo.width());
    PibblePose pose;
    pose.radius = w * 0.2f;
    pose.cx = w * 0.5f;
    pose.ground = static_cast<float>(photo.height()) * groundOf(number);
    pose.lookX = 0.3f;
    drawCollectableFigure(photo, design, pose);
}

// The flash: everything paled, the photo brightest where the light struck it.
void flash(Canvas& canvas, const Rect& photo) {
    washOut(canvas, flashWash);
    const float cx = photo.x + photo.w * 0.42f;
    const float cy = photo.y + photo.h * 0.4f;
    canvas.over(circle(cx, cy, photo.w * 0.34f), 0xFFFFFF, 120, static_cast<int>(photo.w * 0.12f));
    canvas.over(star(cx, cy, photo.w * 0.14f, photo.w * 0.025f, 4), 0xFFFFFF, 200, 1);
}

} // namespace

void drawPolaroid(const PictureRequest& request, int, Canvas& canvas) {
    const Rect card{0, 0, static_cast<float>(canvas.width()), static_cast<float>(canvas.height())};
    const Rect place = drawPolaroidCard(canvas, card);
    Canvas photo(static_cast<int>(std::lround(place.w)), static_cast<int>(std::lround(place.h)));
    const int number = request.entry.integer("collectable", 0);
    if (const Collectable* design = collectable(number)) {
        drawCollectablePhoto(photo, number, *design);
    } else {
        drawBlankPhoto(photo);
    }
    finishPhoto(photo);
    canvas.stamp(photo.image(), static_cast<int>(std::lround(place.x)),
                 static_cast<int>(std::lround(place.y)));
    if (request.entry.text("light") == "true") {
        flash(canvas, place);
    }
}

} // namespace mkmedia
