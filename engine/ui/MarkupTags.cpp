#include "engine/ui/MarkupTags.h"

#include "engine/graphics/BitmapFont.h"
#include "engine/graphics/ImageBase.h"
#include "engine/kernel/ResourceManager.h"
#include "engine/ui/Label.h"
#include "engine/ui/LayoutArithmetic.h"
#include "engine/ui/MarkupTagHandler.h"
#include "engine/ui/MarkupTagRegistry.h"
#include "engine/ui/StyleLabel.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

// The tags that take a stack push the label's current value before they set the new one, also when the
// value is not one of their keywords; their closing tags restore the top of the stack, when there is one.
// Keywords are compared on the narrowed value, except those of "image", which are compared as written.

namespace ui {

namespace {

constexpr int opening = 0;

template <class T, class Apply> void restoreFrom(std::vector<T>& stack, Apply apply) {
    if (!stack.empty()) {
        apply(stack.back());
        stack.pop_back();
    }
}

// The index of the keyword equal to the text, or -1.
template <std::size_t N>
int keywordIndex(const std::string& text, const std::array<const char*, N>& keywords) {
    for (std::size_t i = 0; i < N; ++i) {
        if (text == keywords[i]) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// The number a "%i" conversion reads: decimal, hexadecimal after "0x", octal after a leading "0".
std::optional<int> readInteger(const std::string& text) {
    const char* start = text.c_str();
    char* end = nullptr;
    const long long number = std::strtoll(start, &end, 0);
    if (end == start) {
        return std::nullopt;
    }
    return static_cast<int>(std::clamp<long long>(number, INT_MIN, INT_MAX));
}

// A "%x" reading after an optional "#"; 0 when no digits read.
std::uint32_t readColour(const std::string& text) {
    const bool hash = !text.empty() && text.front() == '#';
    const char* start = text.c_str() + (hash ? 1 : 0);
    return static_cast<std::uint32_t>(std::strtoull(start, nullptr, 16));
}

// Up to `count` parts at commas, the last taking the rest; missing parts are empty.
std::vector<kernel::WideString> splitAtCommas(const kernel::WideString& value, std::size_t count) {
    std::vector<kernel::WideString> parts;
    std::size_t start = 0;
    while (parts.size() + 1 < count) {
        const std::size_t comma = value.find(u',', start);
        if (comma == kernel::WideString::npos) {
            break;
        }
        parts.push_back(value.substr(start, comma - start));
        start = comma + 1;
    }
    parts.push_back(value.substr(std::min(start, value.size())));
    parts.resize(count);
    return parts;
}

kernel::Object* lookUp(const kernel::WideString& name, const kernel::WideString& section) {
    kernel::ResourceManager* manager = kernel::ResourceManager::instance();
    return manager != nullptr
               ? manager->getResource(kernel::narrowString(name), kernel::narrowString(section))
               : nullptr;
}

class BreakTag : public MarkupTagHandler {
public:
    BreakTag() : MarkupTagHandler({u"br"}) {}
    void apply(int, const kernel::WideString&, StyleLabel& label) override { label.finishLine(); }
};

class ColorTag : public MarkupTagHandler {
public:
    ColorTag() : MarkupTagHandler({u"color", u"/color"}) {}
    void apply(int nameIndex, const kernel::WideString& value, StyleLabel& label) override {
        if (nameIndex == opening) {
            label.getColorStack().push_back(label.getColor());
            label.setColor(readColour(kernel::narrowString(value)));
        } else {
            restoreFrom(label.getColorStack(), [&](std::uint32_t colour) { label.setColor(colour); });
        }
    }
};

// A font that does not exist (or a value without a section) keeps the current font, still pushed, so
// the closing tag stays paired.
class FontTag : public MarkupTagHandler {
public:
    FontTag() : MarkupTagHandler({u"font", u"/font"}) {}
    void apply(int nameIndex, const kernel::WideString& value, StyleLabel& label) override {
        if (nameIndex != opening) {
            restoreFrom(label.getFontStack(), [&](const kernel::SmartPtr<graphics::BitmapFont>& font) {
                label.setFont(font.get());
            });
            return;
        }
        label.getFontStack().emplace_back(label.getFont());
        const std::size_t comma = value.find(u',');
        if (comma == kernel::WideString::npos) {
            return;
        }
        kernel::Object* found = lookUp(value.substr(0, comma), value.substr(comma + 1));
        if (found != nullptr && found->isKindOf(graphics::BitmapFont::classInfo)) {
            label.setFont(static_cast<graphics::BitmapFont*>(found));
        }
    }
};

// "name,section,align,wrap". An image that does not exist places nothing.
class ImageTag : public MarkupTagHandler {
public:
    ImageTag() : MarkupTagHandler({u"image"}) {}
    void apply(int, const kernel::WideString& value, StyleLabel& label) override {
        const std::vector<kernel::WideString> parts = imageParts(value);
        kernel::Object* found = lookUp(parts[0], parts[1]);
        if (found == nullptr || !found->isKindOf(graphics::ImageBase::classInfo)) {
            return;
        }
        const kernel::SmartPtr<Sprite> image =
            new Sprite(label.getPenX(), label.getLineY(), static_cast<graphics::ImageBase*>(found));
        placeHorizontally(*image, parts[2], label.getWidth());
        placeVertically(*image, parts[3], label);
        label.getImages().push_back(image);
    }

private:
    // Without any comma there is no name: the whole value is not taken as one.
    static std::vector<kernel::WideString> imageParts(const kernel::WideString& value) {
        if (value.find(u',') == kernel::WideString::npos) {
            return {u"", u"", u"", u""};
        }
        return splitAtCommas(value, 4);
    }
    static void placeHorizontally(Sprite& image, const kernel::WideString& align, int labelWidth) {
        if (align == u"left") {
            image.setX(0);
        } else if (align == u"center") {
            image.setX(clampToInt((std::int64_t{labelWidth} - image.getWidth()) / 2));
        } else if (align == u"right") {
            image.setX(clampToInt(std::int64_t{labelWidth} - image.getWidth()));
        } else {
            image.setX(placedWithinRange(image.getX(), image.getWidth()));
        }
    }
    // "none" gives the image a band of its own, "single" makes the line as high as the image, and
    // anything else lets the text flow beside it.
    static void placeVertically(Sprite& image, const kernel::WideString& wrap, StyleLabel& label) {
        if (wrap == u"none") {
            if (label.getPenX() != 0) {
                label.finishLine();
            }
            image.setY(label.getLineY());
            label.setLineY(addClamped(label.getLineY(), image.getHeight()));
        } else if (wrap == u"single") {
            label.setLineHeight(std::max(label.getLineHeight(), image.getHeight()));
        }
    }
};

class WrapStyleTag : public MarkupTagHandler {
public:
    WrapStyleTag() : MarkupTagHandler({u"wrapstyle", u"/wrapstyle"}) {}
    void apply(int nameIndex, const kernel::WideString& value, StyleLabel& label) override {
        if (nameIndex != opening) {
            restoreFrom(label.getWrapStack(), [&](int style) { label.setWrapStyle(style); });
            return;
        }
        label.getWrapStack().push_back(label.getWrapStyle());
        const int style =
            keywordIndex(kernel::narrowString(value), std::array{"none", "truncate", "wordwrap"});
        if (style >= 0) {
            label.setWrapStyle(style);
        }
    }
};

class AlignVTag : public MarkupTagHandler {
public:
    AlignVTag() : MarkupTagHandler({u"alignv", u"/alignv"}) {}
    void apply(int nameIndex, const kernel::WideString& value, StyleLabel& label) override {
        if (nameIndex != opening) {
            restoreFrom(label.getAlignVStack(), [&](int align) { label.setAlignV(align); });
            return;
        }
        label.getAlignVStack().push_back(label.getAlignV());
        const int align =
            keywordIndex(kernel::narrowString(value), std::array{"top", "center", "bottom", "baseline"});
        if (align >= 0) {
            label.setAlignV(align);
        }
    }
};

class AlignHTag : public MarkupTagHandler {
public:
    AlignHTag() : MarkupTagHandler({u"alignh", u"/alignh"}) {}
    void apply(int nameIndex, const kernel::WideString& value, StyleLabel& label) override {
        if (nameIndex != opening) {
            restoreFrom(label.getAlignHStack(), [&](int align) { label.setAlignH(align); });
            return;
        }
        label.getAlignHStack().push_back(label.getAlignH());
        const int align = keywordIndex(kernel::narrowString(value), std::array{"left", "center", "right"});
        if (align >= 0) {
            label.setAlignH(align);
        }
    }
};

// "tabs" sets the stops; "tab" moves the pen to the next stop, or to stop n (counted from 1).
class TabsTag : public MarkupTagHandler {
public:
    TabsTag() : MarkupTagHandler({u"tabs", u"tab"}) {}
    void apply(int nameIndex, const kernel::WideString& value, StyleLabel& label) override {
        if (nameIndex == opening) {
            setStops(kernel::narrowString(value), label.getTabStops());
        } else if (value.empty()) {
            nextStop(label);
        } else {
            stopNumber(kernel::narrowString(value), label);
        }
    }

private:
    // A part that does not read as a number sets no stop.
    static void setStops(const std::string& list, std::vector<int>& stops) {
        stops.clear();
        std::size_t start = 0;
        while (start <= list.size()) {
            const std::size_t comma = std::min(list.find(',', start), list.size());
            if (const std::optional<int> stop = readInteger(list.substr(start, comma - start))) {
                stops.push_back(*stop);
            }
            start = comma + 1;
        }
    }
    static void nextStop(StyleLabel& label) {
        const std::vector<int>& stops = label.getTabStops();
        const auto stop =
            std::find_if(stops.begin(), stops.end(), [&](int x) { return x >= label.getPenX(); });
        if (stop != stops.end()) {
            label.setPenX(*stop);
        }
    }
    static void stopNumber(const std::string& text, StyleLabel& label) {
        const std::vector<int>& stops = label.getTabStops();
        const std::optional<int> number = readInteger(text);
        if (number && *number >= 1 && static_cast<std::size_t>(*number) <= stops.size()) {
            label.setPenX(stops[static_cast<std::size_t>(*number) - 1]);
        }
    }
};

} // namespace

void addStandardMarkupTags(MarkupTagRegistry& registry) {
    registry.add(new BreakTag());
    registry.add(new ColorTag());
    registry.add(new FontTag());
    registry.add(new ImageTag());
    registry.add(new WrapStyleTag());
    registry.add(new AlignVTag());
    registry.add(new AlignHTag());
    registry.add(new TabsTag());
}

} // namespace ui
