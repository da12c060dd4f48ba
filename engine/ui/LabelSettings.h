#pragma once

#include "engine/kernel/TextConversion.h"

#include <optional>

namespace kernel {
class NodeValue;
}

namespace graphics {
class BitmapFont;
}

namespace ui {

// The declaration keys that the plain and the marked-up label read alike. Each reader leaves the
// current value alone when its key is missing or holds a word it does not know.

// The bitmap font named by "font" in "section"; null without the key, without a resource manager or
// when the resource under that name is no bitmap font.
graphics::BitmapFont* declaredFont(const kernel::NodeValue& settings);

// "wrapstyle": "none", or "wordwrap" / "truncate", which also switch auto-fit off.
void readWrapStyle(const kernel::NodeValue& settings, int& wrapStyle, bool& autoFit);

// "alignv" ("top", "center", "bottom") and "alignh" ("left", "center", "right"), as the label's values.
void readAlignment(const kernel::NodeValue& settings, int& alignV, int& alignH);

// "text", else "value", else the property text named by "textid".
std::optional<kernel::WideString> declaredText(const kernel::NodeValue& settings);

} // namespace ui
