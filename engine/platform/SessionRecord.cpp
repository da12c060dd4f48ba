#include "engine/platform/SessionRecord.h"

#include "engine/kernel/ScalarValue.h"
#include "engine/platform/Application.h"
#include "host/System.h"

namespace platform {
namespace {

void setNumber(kernel::NodeValue& node, const char* name, std::int32_t number) {
    node.setChild(new kernel::ScalarValue(name, number, kernel::Typing::Untyped));
}

} // namespace

SessionRecord::SessionRecord(std::int32_t startTime, std::int32_t gameMode, std::int32_t numPlayers)
    : startTime(startTime), gameMode(gameMode), numPlayers(numPlayers) {}

void SessionRecord::readDisplay() {
    if (const Application* application = Application::instance()) {
        fullScreen = application->isFullScreen();
        bitDepth = application->getBytesPerPixel() * 8;
    }
    screenWidth = host::GetSystemMetrics(host::SM_CXSCREEN);
    screenHeight = host::GetSystemMetrics(host::SM_CYSCREEN);
}

kernel::SmartPtr<kernel::NodeValue> SessionRecord::toNode() const {
    kernel::SmartPtr<kernel::NodeValue> node(new kernel::NodeValue("", "PlayingSession"));
    setNumber(*node, "StartTime", startTime);
    setNumber(*node, "EndTime", endTime);
    setNumber(*node, "GameMode", gameMode);
    setNumber(*node, "NumOfPlayers", numPlayers);
    node->addBoolean("FullScreen", fullScreen, kernel::Typing::Typed);
    setNumber(*node, "BitDepth", bitDepth);
    setNumber(*node, "ScreenWidth", screenWidth);
    setNumber(*node, "ScreenHeight", screenHeight);
    return node;
}

} // namespace platform
