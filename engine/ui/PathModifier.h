#pragma once

#include "engine/graphics/PointF.h"
#include "engine/kernel/SmartPtr.h"
#include "engine/ui/Path.h"
#include "engine/ui/PositionModifier.h"

namespace ui {

// Moves a node at constant speed along a path, from its start point, over a duration. Without the loop
// flag it then moves the node to the path's last point and finishes (killing the node at once with the
// kill flag); with it, it starts over for ever.
class PathModifier : public PositionModifier {
public:
    PathModifier(Path* path, int duration, bool loop, int startIndex);
    ~PathModifier() override;

    void update(std::uint32_t elapsed) override;

    int getCurrentIndex() const { return currentIndex; }
    double getPathLength() const { return pathLength; }

    static constexpr kernel::ClassInfo classInfo{&PositionModifier::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    void finishAtEnd();
    void walkTo(double target);
    void placeNode();
    void advanceTime(std::uint32_t elapsed);

    kernel::SmartPtr<Path> path;
    double pathLength;
    double distanceReached = 0.0;
    double segmentStart = 0.0;
    int startIndex;
    int currentIndex;
    bool loop;
    int elapsedTime = 0;
    int duration;
};

} // namespace ui
