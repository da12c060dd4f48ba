#include "engine/ui/MarkupTagHandler.h"

#include <utility>

namespace ui {

MarkupTagHandler::MarkupTagHandler(std::vector<kernel::WideString> tagNames) : names(std::move(tagNames)) {}

MarkupTagHandler::~MarkupTagHandler() = default;

int MarkupTagHandler::indexOf(const kernel::WideString& name) const {
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == name) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

} // namespace ui
