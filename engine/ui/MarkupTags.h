#pragma once

namespace ui {

class MarkupTagRegistry;

// Registers the handlers of the styled label's markup, in this order: "br", "color"/"/color",
// "font"/"/font", "image", "wrapstyle"/"/wrapstyle", "alignv"/"/alignv", "alignh"/"/alignh", "tabs"/"tab".
void addStandardMarkupTags(MarkupTagRegistry& registry);

} // namespace ui
