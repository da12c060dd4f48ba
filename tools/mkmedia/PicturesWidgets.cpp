// The widget pictures: the loading bar, the dialog frame's nine pieces, panels, buttons, the window
// buttons and the tile that stands in for unknown kinds.
#include "tools/mkmedia/Compose.h"
#include "tools/mkmedia/Pibble.h"
#include "tools/mkmedia/Pictures.h"

#include "engine/graphics/ImageFactory.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace mkmedia {

namespace {

constexpr Rgb shadow = 0x4A3560;
constexpr Rgb white = 0xFFFFFF;
constexpr Rgb disabled = 0xB9B6C4;

enum ButtonState { Normal = 0, Over = 1, Pressed = 2, Disabled = 3 };

float side(const Canvas& canvas) {
    return static_cast<float>(std::min(canvas.width(), canvas.height()));
}

int blurFor(float size) {
    return std::max(1, static_cast<int>(size * 0.12f));
}

// A rounded box of any size: soft shadow, coloured rim, pale body. The frame pieces are cut from one.
struct Box {
    float x;
    float y;
    float w;
    float h;
    // The edge's thickness, which sets margin, rim and corner radius, so that every box of the same edge
    // has the same border whatever its size.
    float edge;
};

struct BoxLook {
    float margin;
    float rim;
    float radius;
    int blur;
};

BoxLook lookOf(float edge) {
    BoxLook look;
    look.margin = std::round(edge * 0.22f);
    look.blur = std::max(1, static_cast<int>(look.margin / 2));
    look.rim = std::max(2.0f, std::round(edge * 0.14f));
    // The curve and its shadow stay inside an edge-sized corner, so the straight sides tile seamlessly.
    look.radius = std::max(2.0f, edge - look.margin - static_cast<float>(look.blur) * 2 - 1);
    return look;
}

void drawBox(Canvas& canvas, const Box& box, Rgb rim, Rgb body, bool shaded) {
    const BoxLook look = lookOf(box.edge);
    const float x = box.x + look.margin;
    const float y = box.y + look.margin;
    const float w = box.w - 2 * look.margin;
    const float h = box.h - 2 * look.margin;
    canvas.paintAll(shadow);
    canvas.revealSoft(roundedRect(x, y + look.margin * 0.4f, w, h, look.radius), 110, look.blur);
    canvas.fill(roundedRect(x, y, w, h, look.radius), rim);
    const Shape inside = roundedRect(x + look.rim, y + look.rim, w - 2 * look.rim, h - 2 * look.rim,
                                     std::max(1.0f, look.radius - look.rim));
    if (shaded) {
        canvas.fillGradient(inside, lighter(body, 0.5f), body, y, y + h);
    } else {
        canvas.fill(inside, body);
    }
}

Rgb paleOf(Rgb colour) {
    return mix(0xFFFDF6, colour, 0.1f);
}

// ---- Frame pieces ----

struct Cell {
    int column;
    int row;
};

Cell cellOf(const std::string& part) {
    const std::string names[3][3] = {
        {"topleft", "top", "topright"}, {"left", "center", "right"}, {"bottomleft", "bottom", "bottomright"}};
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            if (part == names[row][column]) {
                return {column, row};
            }
        }
    }
    return {1, 1};
}

// ---- Buttons ----

Rgb stateColour(Rgb colour, int state) {
    switch (state) {
    case Over:
        return lighter(colour, 0.22f);
    case Pressed:
        return darker(colour, 0.12f);
    case Disabled:
        return disabled;
    default:
        return colour;
    }
}

// A glossy rounded body; pressed sits lower with less shadow, as if pushed in.
void drawButtonBody(Canvas& canvas, Rgb colour, int state, float radius) {
    const float w = static_cast<float>(canvas.width());
    const float h = static_cast<float>(canvas.height());
    const float drop = std::max(1.0f, std::round(h * 0.06f));
    const float sink = state == Pressed ? drop : 0.0f;
    const float bodyH = h - drop - 1;
    const float r = std::min(radius, bodyH / 2);
    canvas.paintAll(darker(colour, 0.45f));
    canvas.revealSoft(roundedRect(1, 1 + drop, w - 2, bodyH, r), state == Pressed ? 60 : 120,
                      blurFor(drop * 4));
    canvas.fill(roundedRect(0.5f, 0.5f + sink, w - 1, bodyH, r), darker(colour, 0.35f));
    const float rim = std::max(1.0f, std::round(h * 0.05f));
    canvas.fillGradient(
        roundedRect(0.5f + rim, 0.5f + sink + rim, w - 1 - 2 * rim, bodyH - 2 * rim, std::max(1.0f, r - rim)),
        lighter(colour, 0.45f), darker(colour, 0.08f), sink, sink + bodyH);
    const float gloss = bodyH * 0.38f;
    canvas.paint(roundedRect(r * 0.6f + rim, sink + rim * 1.5f, w - 1.2f * r - 2 * rim, gloss, gloss / 2),
                 white, state == Pressed ? 40 : 80);
}

enum class Symbol { Minimize, Restore, Quit };

Symbol symbolOf(const PictureRequest& request) {
    std::string name = request.entry.text("symbol");
    if (name.empty()) {
        name = request.entry.file();
    }
    if (name.find("min") != std::string::npos) {
        return Symbol::Minimize;
    }
    if (name.find("rest") != std::string::npos || name.find("win") != std::string::npos ||
        name.find("max") != std::string::npos) {
        return Symbol::Restore;
    }
    return Symbol::Quit;
}

Rgb symbolColour(Symbol symbol) {
    switch (symbol) {
    case Symbol::Minimize:
        return 0xFFC23D;
    case Symbol::Restore:
        return 0x5CCB7E;
    default:
        return 0xFF6B6B;
    }
}

void drawSymbol(Canvas& canvas, Symbol symbol, float cx, float cy, float size, Rgb ink) {
    const float t = std::max(1.5f, size * 0.13f);
    const float a = size * 0.24f;
    switch (symbol) {
    case Symbol::Minimize:
        canvas.fill(stroke(cx - a, cy + a * 0.6f, cx + a, cy + a * 0.6f, t), ink);
        break;
    case Symbol::Restore:
        canvas.fill(stroke(cx - a, cy - a, cx + a, cy - a, t), ink);
        canvas.fill(stroke(cx + a, cy - a, cx + a, cy + a, t), ink);
        canvas.fill(stroke(cx + a, cy + a, cx - a, cy + a, t), ink);
        canvas.fill(stroke(cx - a, cy + a, cx - a, cy - a, t), ink);
        break;
    case Symbol::Quit:
        canvas.fill(stroke(cx - a, cy - a, cx + a, cy + a, t), ink);
        canvas.fill(stroke(cx + a, cy - a, cx - a, cy + a, t), ink);
        break;
    }
}

kernel::SmartPtr<graphics::MemoryImage32> faded(const graphics::MemoryImage32& picture, float opacity) {
    kernel::SmartPtr<graphics::MemoryImage32> copy = graphics::createImage32From(picture);
    std::uint32_t* pixels = copy->pixels32();
    const int count = copy->getWidth() * copy->getHeight();
    for (int i = 0; i < count; ++i) {
        const auto alpha =
            static_cast<std::uint32_t>(std::lround(static_cast<float>(pixels[i] >> 24) * opacity));
        pixels[i] = (pixels[i] & 0x00FFFFFF) | alpha << 24;
    }
    return copy;
}

} // namespace

void placeCaption(const PictureRequest& request, Canvas& canvas, float x, float y, float opacity) {
    if (!request.caption) {
        return;
    }
    const kernel::SmartPtr<graphics::MemoryImage32> picture =
        opacity < 1 ? faded(*request.caption, opacity) : request.caption;
    const int left = static_cast<int>(std::lround(x - static_cast<float>(picture->getWidth()) / 2));
    const int top = static_cast<int>(std::lround(y)) - request.captionMiddle;
    canvas.stamp(*picture, left, top);
}

// A pill that the loading scene reveals from the left as loading goes on; candy stripes show movement.
void drawBar(const PictureRequest& request, int, Canvas& canvas) {
    const float w = static_cast<float>(canvas.width());
    const float h = static_cast<float>(canvas.height());
    const Rgb colour = request.colour(0x8EDB4F);
    const float r = h / 2;
    canvas.paintAll(darker(colour, 0.35f));
    canvas.fill(roundedRect(0, 0, w, h, r), darker(colour, 0.35f));
    const float rim = std::max(1.0f, std::round(h * 0.08f));
    const Shape inside = roundedRect(rim, rim, w - 2 * rim, h - 2 * rim, r - rim);
    canvas.fillGradient(inside, lighter(colour, 0.4f), darker(colour, 0.1f), 0, h);
    for (float x = -h; x < w + h; x += h * 1.2f) {
        canvas.paint(stroke(x, h, x + h * 0.6f, 0, h * 0.3f), white, 35);
    }
    canvas.paint(roundedRect(r * 0.7f, rim * 1.5f, w - 1.4f * r, h * 0.3f, h * 0.15f), white, 110);
}

void drawFramePart(const PictureRequest& request, int, Canvas& canvas) {
    const Cell cell = cellOf(request.entry.text("part"));
    const Rgb rim = request.colour(0xFF9F43);
    if (cell.column == 1 && cell.row == 1) {
        canvas.revealAll(255);
        canvas.paintAll(paleOf(rim));
        return;
    }
    const int w = canvas.width();
    const int h = canvas.height();
    // Corners are edge x edge; the straight pieces are edge thick across and any length along.
    const int edgeX = cell.column == 1 ? h : w;
    const int edgeY = cell.row == 1 ? w : h;
    const int middleW = cell.column == 1 ? w : edgeX;
    const int middleH = cell.row == 1 ? h : edgeY;
    Canvas whole(2 * edgeX + middleW, 2 * edgeY + middleH);
    drawBox(whole,
            {0, 0, static_cast<float>(whole.width()), static_cast<float>(whole.height()),
             static_cast<float>(std::min(edgeX, edgeY))},
            rim, paleOf(rim), false);
    const int x = cell.column == 0 ? 0 : (cell.column == 1 ? edgeX : edgeX + middleW);
    const int y = cell.row == 0 ? 0 : (cell.row == 1 ? edgeY : edgeY + middleH);
    canvas.copyFrom(whole.cut(x, y, w, h), 0, 0);
}

void drawPanel(const PictureRequest& request, int, Canvas& canvas) {
    const Rgb rim = request.colour(0x7CB7FF);
    const float edge = std::min(side(canvas) * 0.4f, 32.0f);
    drawBox(canvas, {0, 0, static_cast<float>(canvas.width()), static_cast<float>(canvas.height()), edge},
            rim, paleOf(rim), true);
    placeCaption(request, canvas, static_cast<float>(canvas.width()) / 2,
                 static_cast<float>(canvas.height()) / 2);
}

void drawButton(const PictureRequest& request, int frame, Canvas& canvas) {
    const int state = frame % 4;
    const float h = static_cast<float>(canvas.height());
    drawButtonBody(canvas, stateColour(request.colour(0x4FB3F6), state), state, h * 0.45f);
    const float sink = state == Pressed ? std::max(1.0f, std::round(h * 0.06f)) : 0.0f;
    placeCaption(request, canvas, static_cast<float>(canvas.width()) / 2,
                 (h - std::round(h * 0.06f)) / 2 + sink, state == Disabled ? 0.55f : 1.0f);
}

// The full-screen handler's round buttons: minimise, window and quit.
void drawWindowButton(const PictureRequest& request, int frame, Canvas& canvas) {
    const int state = frame % 4;
    const Symbol symbol = symbolOf(request);
    const Rgb colour = stateColour(request.colour(symbolColour(symbol)), state);
    const float size = side(canvas);
    drawButtonBody(canvas, colour, state, size);
    const float sink = state == Pressed ? std::max(1.0f, std::round(size * 0.06f)) : 0.0f;
    const float cy = (static_cast<float>(canvas.height()) - std::round(size * 0.06f)) / 2 + sink;
    drawSymbol(canvas, symbol, static_cast<float>(canvas.width()) / 2, cy, size,
               state == Disabled ? 0xEEEEEE : white);
}

// Any other kind: a soft rounded tile in a pibble colour, so that the picture exists and is recognisable.
void drawTile(const PictureRequest& request, int, Canvas& canvas) {
    const float w = static_cast<float>(canvas.width());
    const float h = static_cast<float>(canvas.height());
    const Rgb colour = request.colour(pibbleColour(request.seed));
    const float r = side(canvas) * 0.25f;
    const float m = std::max(1.0f, std::round(side(canvas) * 0.06f));
    canvas.paintAll(darker(colour, 0.4f));
    canvas.revealSoft(roundedRect(m, m * 1.6f, w - 2 * m, h - 2 * m, r), 100, blurFor(m * 2));
    canvas.fillGradient(roundedRect(m, m, w - 2 * m, h - 2 * m, r), lighter(colour, 0.4f),
                        darker(colour, 0.1f), m, h - m);
    canvas.paintSoft(ellipse(w * 0.38f, h * 0.3f, w * 0.22f, h * 0.12f), white, 110,
                     blurFor(side(canvas) * 0.3f));
    placeCaption(request, canvas, w / 2, h / 2);
}

} // namespace mkmedia
