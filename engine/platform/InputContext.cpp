#include "engine/platform/InputContext.h"

#include "engine/platform/Application.h"

namespace platform {

namespace {

constexpr int defaultWidth = 640;
constexpr int defaultHeight = 480;

// Asks the Application at every call, so one context serves every dispatcher across the Application's
// creation and destruction.
class ApplicationContext : public InputContext {
public:
    bool hasFocus() const override {
        const Application* const application = Application::instance();
        return application == nullptr || application->isFocused();
    }
    int gameWidth() const override {
        const Application* const application = Application::instance();
        return application != nullptr ? application->getWidth() : defaultWidth;
    }
    int gameHeight() const override {
        const Application* const application = Application::instance();
        return application != nullptr ? application->getHeight() : defaultHeight;
    }
    host::POINT cursorPosition() const override {
        host::POINT cursor;
        host::GetCursorPos(&cursor);
        const Application* const application = Application::instance();
        if (application != nullptr && application->getWindowHandle() != nullptr) {
            host::ScreenToClient(application->getWindowHandle(), &cursor);
        }
        return cursor;
    }
};

} // namespace

InputContext& InputContext::application() {
    static ApplicationContext context;
    return context;
}

} // namespace platform
