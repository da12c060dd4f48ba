#include "engine/ui/MarkupTagRegistry.h"

#include "engine/ui/MarkupTags.h"

namespace ui {

namespace {

kernel::SmartPtr<MarkupTagRegistry>& current() {
    static kernel::SmartPtr<MarkupTagRegistry> registry;
    return registry;
}

} // namespace

MarkupTagRegistry::MarkupTagRegistry() {
    addStandardMarkupTags(*this);
}

MarkupTagRegistry* MarkupTagRegistry::instance() {
    if (!current()) {
        current() = new MarkupTagRegistry();
    }
    return current().get();
}

void MarkupTagRegistry::destroy() {
    current() = nullptr;
}

void MarkupTagRegistry::add(MarkupTagHandler* handler) {
    handlers.emplace_back(handler);
}

bool MarkupTagRegistry::dispatch(const kernel::WideString& name, const kernel::WideString& value,
                                 StyleLabel& label) {
    for (const kernel::SmartPtr<MarkupTagHandler>& handler : handlers) {
        const int index = handler->indexOf(name);
        if (index >= 0) {
            // Held for the call: nothing a tag does may free the handler under it.
            const kernel::SmartPtr<MarkupTagHandler> held = handler;
            held->apply(index, value, label);
            return true;
        }
    }
    return false;
}

} // namespace ui
