#pragma once

#include <string>

namespace platform {

// Where the frame timer shows its measured rate: the application's debug text, switched by F9.
class FrameRateDisplay {
public:
    virtual ~FrameRateDisplay() = default;

    virtual bool showsFrameRate() const = 0;
    virtual void addDebugLine(const std::string& line) = 0;
};

} // namespace platform
