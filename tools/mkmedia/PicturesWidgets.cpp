// The widget pictures: the loading bar, the dialog frame's nine pieces, panels, buttons, the window
// buttons and the tile that stands in for unknown kinds.
#include "tools/mkmedia/Compose.h"
#include "tools/mkmedia/FrameBox.h"
#include "tools/mkmedia/Pibble.h"
#include "tools/mkmedia/Pictures.h"

#include "engine/graphics/ImageFactory.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

namespace mkmedia {

namespace {

constexpr float pi = std::numbers::pi_v<float>;
constexpr Rgb white = 0xFFFFFF;
constexpr Rgb disabled = 0xB9B6C4;

enum ButtonState { Normal = 0, Over = 1, Pressed = 2, Disabled = 3 };

float side(const Canvas& canvas) {
    return static_cast<float>(std::min(canvas.width(), canvas.height()));
}

int blurFor(float size) {
    return std::max(1, static_cast<int>(size * 0.12f));
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

} // namespace

// ---- Buttons ----

Rgb buttonStateColour(Rgb colour, int state) {
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

namespace {

enum class Symbol { Minimize, Restore, Quit, Hint, Pause, Menu, Previous, Next, Close, Book, Up, Down, Grip };

struct SymbolName {
    const char* name;
    Symbol symbol;
};

constexpr SymbolName symbolNames[] = {
    {"minimize", Symbol::Minimize}, {"restore", Symbol::Restore}, {"quit", Symbol::Quit},
    {"hint", Symbol::Hint},         {"pause", Symbol::Pause},     {"menu", Symbol::Menu},
    {"previous", Symbol::Previous}, {"next", Symbol::Next},       {"close", Symbol::Close},
    {"book", Symbol::Book},         {"up", Symbol::Up},           {"down", Symbol::Down},
    {"grip", Symbol::Grip},
};

const SymbolName* symbolNamed(const std::string& name) {
    for (const SymbolName& candidate : symbolNames) {
        if (name == candidate.name) {
            return &candidate;
        }
    }
    return nullptr;
}

// The "symbol" attribute; the window buttons may leave it out and be known by their file's name.
Symbol symbolOf(const PictureRequest& request) {
    if (const SymbolName* named = symbolNamed(request.entry.text("symbol"))) {
        return named->symbol;
    }
    const std::string name = request.entry.file();
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
    case Symbol::Hint:
        return 0x8C7BEE;
    case Symbol::Pause:
        return 0x4FB3F6;
    case Symbol::Menu:
        return 0xFF8FB8;
    case Symbol::Previous:
    case Symbol::Next:
        return 0x2FB7A8;
    case Symbol::Book:
        return 0xB77BE8;
    // The scroll bar's buttons and a slider's knob take the dialog frame's rim.
    case Symbol::Up:
    case Symbol::Down:
    case Symbol::Grip:
        return 0xFF9F43;
    default:
        return 0xFF6B6B;
    }
}

// A light bulb with a few rays: glass, neck, threaded base and a glint.
void drawBulb(Canvas& canvas, float cx, float cy, float size, bool lit) {
    const float r = size * 0.17f;
    const float gy = cy - size * 0.05f;
    const Rgb glass = lit ? 0xFFD84A : 0xE4E2EA;
    const Rgb rim = lit ? 0xC98A10 : 0x9A98A8;
    if (lit) {
        for (int i = 0; i < 5; ++i) {
            const float a = pi * (1.0f + 0.25f * static_cast<float>(i));
            canvas.fill(stroke(cx + std::cos(a) * r * 1.4f, gy + std::sin(a) * r * 1.4f,
                               cx + std::cos(a) * r * 1.72f, gy + std::sin(a) * r * 1.72f,
                               std::max(1.5f, size * 0.05f)),
                        0xFFF4B0);
        }
    }
    const float neck = r * 0.55f;
    const float baseTop = gy + r * 1.25f;
    const Shape bulb = {{cx - r * 0.72f, gy + r * 0.7f},
                        {cx - neck, baseTop},
                        {cx + neck, baseTop},
                        {cx + r * 0.72f, gy + r * 0.7f}};
    canvas.fill(circle(cx, gy, r + 1.2f), rim);
    canvas.fill(scaled(bulb, cx, gy, 1.15f, 1.0f), rim);
    canvas.fillGradient(circle(cx, gy, r), lighter(glass, 0.6f), glass, gy - r, gy + r);
    canvas.fillGradient(bulb, glass, darker(glass, 0.05f), gy, baseTop);
    const float baseW = neck * 2 + 1;
    const float baseH = r * 0.85f;
    canvas.fillGradient(roundedRect(cx - baseW / 2, baseTop - 0.5f, baseW, baseH, baseH * 0.35f), 0xF2F0F8,
                        0x9C9AB0, baseTop, baseTop + baseH);
    canvas.paint(
        stroke(cx - baseW / 2 + 1, baseTop + baseH * 0.45f, cx + baseW / 2 - 1, baseTop + baseH * 0.45f, 1),
        0x7A7890, 200);
    canvas.paint(arcBand(cx, gy, r * 0.62f, std::max(1.5f, r * 0.22f), pi * 1.1f, pi * 1.45f), white, 230);
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
    case Symbol::Close:
        canvas.fill(stroke(cx - a, cy - a, cx + a, cy + a, t), ink);
        canvas.fill(stroke(cx + a, cy - a, cx - a, cy + a, t), ink);
        break;
    case Symbol::Previous:
    case Symbol::Next: {
        // A short shaft and a broad head, pointing the way the pages go.
        const float way = symbol == Symbol::Next ? 1.0f : -1.0f;
        const float tip = cx + way * a * 1.05f;
        canvas.fill(stroke(cx - way * a, cy, tip, cy, t), ink);
        canvas.fill(stroke(tip, cy, tip - way * a * 0.85f, cy - a * 0.85f, t), ink);
        canvas.fill(stroke(tip, cy, tip - way * a * 0.85f, cy + a * 0.85f, t), ink);
        break;
    }
    case Symbol::Up:
    case Symbol::Down: {
        // A chevron: at a scroll bar's size a shaft would only crowd the head.
        const float way = symbol == Symbol::Down ? 1.0f : -1.0f;
        const float tip = cy + way * a * 0.55f;
        canvas.fill(stroke(cx, tip, cx - a * 0.95f, tip - way * a * 0.95f, t), ink);
        canvas.fill(stroke(cx, tip, cx + a * 0.95f, tip - way * a * 0.95f, t), ink);
        break;
    }
    case Symbol::Grip: {
        // A round knob is taken hold of anywhere; a long one by the three ridges across it.
        if (canvas.height() == canvas.width()) {
            break;
        }
        const bool upright = canvas.height() > canvas.width();
        const float ridge = a * 0.6f;
        for (const float step : {-1.0f, 0.0f, 1.0f}) {
            const float along = step * a * 0.62f;
            if (upright) {
                canvas.fill(stroke(cx - ridge, cy + along, cx + ridge, cy + along, t * 0.7f), ink);
            } else {
                canvas.fill(stroke(cx + along, cy - ridge, cx + along, cy + ridge, t * 0.7f), ink);
            }
        }
        break;
    }
    case Symbol::Hint:
        drawBulb(canvas, cx, cy, size, ink == white);
        break;
    case Symbol::Pause:
        for (const float side : {-1.0f, 1.0f}) {
            canvas.fill(
                stroke(cx + side * a * 0.55f, cy - a * 0.72f, cx + side * a * 0.55f, cy + a * 0.72f, t), ink);
        }
        break;
    case Symbol::Book: {
        // An open book seen from the front: two pages rising from the spine, a notch between them.
        for (const float side : {-1.0f, 1.0f}) {
            const Shape page = {
                {cx + side * a * 0.08f, cy - a * 0.6f}, {cx + side * a * 0.5f, cy - a * 0.9f},
                {cx + side * a * 1.1f, cy - a * 0.75f}, {cx + side * a * 1.1f, cy + a * 0.75f},
                {cx + side * a * 0.5f, cy + a * 0.6f},  {cx + side * a * 0.08f, cy + a * 0.85f}};
            canvas.fill(page, ink);
        }
        break;
    }
    case Symbol::Menu:
        for (const float row : {-1.0f, 0.0f, 1.0f}) {
            canvas.fill(
                stroke(cx - a * 0.75f, cy + row * a * 0.68f, cx + a * 0.75f, cy + row * a * 0.68f, t * 0.75f),
                ink);
        }
        break;
    }
}

// The play scene's symbols sit on a soft shadow of themselves, so they stand off the gloss.
void drawRaisedSymbol(Canvas& canvas, Symbol symbol, float cx, float cy, float size, Rgb ink, Rgb button) {
    Canvas shade(canvas.width(), canvas.height());
    drawSymbol(shade, symbol, cx, cy + std::max(1.0f, size * 0.03f), size, ink);
    graphics::MemoryImage32& image = shade.image();
    std::uint32_t* pixels = image.pixels32();
    const int count = image.getWidth() * image.getHeight();
    const Rgb dark = darker(button, 0.5f);
    for (int i = 0; i < count; ++i) {
        pixels[i] = pixels[i] == 0 ? 0 : (pixels[i] & 0xFF000000u) | dark;
    }
    blurLane(shade.image(), 0, 1);
    shade.erase(roundedRect(0, 0, static_cast<float>(canvas.width()), static_cast<float>(canvas.height()), 0),
                110);
    canvas.stamp(shade.image(), 0, 0);
    drawSymbol(canvas, symbol, cx, cy, size, ink);
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

// A glossy pill; candy stripes show movement.
void drawPill(Canvas& canvas, Rgb colour) {
    const float w = static_cast<float>(canvas.width());
    const float h = static_cast<float>(canvas.height());
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

// The loading scene reveals it from the left as loading goes on. With an "endcolor" the colour runs into
// that one from left to right.
void drawBar(const PictureRequest& request, int, Canvas& canvas) {
    const Rgb colour = request.colour(0x8EDB4F);
    drawPill(canvas, colour);
    Rgb end = 0;
    if (!parseRgb(request.entry.text("endcolor"), end)) {
        return;
    }
    // The same pill in the end colour, then each column mixed from the two; the shapes, and so the alpha,
    // are the same in both.
    Canvas other(canvas.width(), canvas.height());
    drawPill(other, end);
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            const float t = (static_cast<float>(x) + 0.5f) / static_cast<float>(canvas.width());
            std::uint32_t& pixel = canvas.image().pixels32()[canvas.image().pixelIndex(x, y)];
            const std::uint32_t blended = mix(pixel & 0xFFFFFFu, other.pixel(x, y) & 0xFFFFFFu, t);
            pixel = (pixel & 0xFF000000u) | blended;
        }
    }
}

void drawFramePart(const PictureRequest& request, int frame, Canvas& canvas) {
    if (isBubblePart(request.entry.text("part"))) {
        drawBubblePiece(request, frame, canvas);
        return;
    }
    const Cell cell = cellOf(request.entry.text("part"));
    const Rgb rim = request.colour(frameRimColour);
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

bool knownSymbol(const std::string& name) {
    return symbolNamed(name) != nullptr;
}

void drawButton(const PictureRequest& request, int frame, Canvas& canvas) {
    const int state = frame % 4;
    const float h = static_cast<float>(canvas.height());
    const float sink = state == Pressed ? std::max(1.0f, std::round(h * 0.06f)) : 0.0f;
    if (request.entry.attributes.contains("symbol")) {
        const Symbol symbol = symbolOf(request);
        const Rgb colour = buttonStateColour(request.colour(symbolColour(symbol)), state);
        const float size = side(canvas);
        drawButtonBody(canvas, colour, state, size);
        drawRaisedSymbol(canvas, symbol, static_cast<float>(canvas.width()) / 2,
                         (h - std::round(size * 0.06f)) / 2 + sink, size,
                         state == Disabled ? 0xEEEEEE : white, colour);
        return;
    }
    drawButtonBody(canvas, buttonStateColour(request.colour(0x4FB3F6), state), state, h * 0.45f);
    placeCaption(request, canvas, static_cast<float>(canvas.width()) / 2,
                 (h - std::round(h * 0.06f)) / 2 + sink, state == Disabled ? 0.55f : 1.0f);
}

// The full-screen handler's round buttons: minimise, window and quit.
void drawWindowButton(const PictureRequest& request, int frame, Canvas& canvas) {
    const int state = frame % 4;
    const Symbol symbol = symbolOf(request);
    const Rgb colour = buttonStateColour(request.colour(symbolColour(symbol)), state);
    const float size = side(canvas);
    drawButtonBody(canvas, colour, state, size);
    const float sink = state == Pressed ? std::max(1.0f, std::round(size * 0.06f)) : 0.0f;
    const float cy = (static_cast<float>(canvas.height()) - std::round(size * 0.06f)) / 2 + sink;
    drawSymbol(canvas, symbol, static_cast<float>(canvas.width()) / 2, cy, size,
               state == Disabled ? 0xEEEEEE : white);
}

// A check box: four frames unchecked (normal, over, pressed, disabled), then the same four with a tick.
void drawCheckbox(const PictureRequest& request, int frame, Canvas& canvas) {
    const int state = frame % 4;
    const bool checked = frame >= 4;
    const float h = static_cast<float>(canvas.height());
    drawButtonBody(canvas, buttonStateColour(request.colour(0xFFF1D6), state), state, h * 0.25f);
    if (!checked) {
        return;
    }
    const float sink = state == Pressed ? std::max(1.0f, std::round(h * 0.06f)) : 0.0f;
    const float cx = static_cast<float>(canvas.width()) / 2;
    const float cy = (h - std::round(h * 0.06f)) / 2 + sink;
    const float a = h * 0.26f;
    const float t = std::max(1.5f, h * 0.13f);
    const Rgb ink = state == Disabled ? 0x9A9A9A : 0x3C9E3A;
    canvas.fill(stroke(cx - a, cy, cx - a * 0.25f, cy + a * 0.75f, t), ink);
    canvas.fill(stroke(cx - a * 0.25f, cy + a * 0.75f, cx + a, cy - a * 0.8f, t), ink);
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
