#include "engine/ui/PathModifier.h"

#include "engine/ui/GameNode.h"

#include <cmath>

namespace ui {

namespace {

int startCoordinate(const Path* path, int index, bool xAxis) {
    if (path == nullptr || index < 0 || index >= path->getPointCount()) {
        return 0;
    }
    const graphics::PointF& start = path->pointAt(index);
    return graphics::roundToInt(xAxis ? start.getX() : start.getY());
}

} // namespace

PathModifier::PathModifier(Path* path, int duration, bool loop, int startIndex)
    : PositionModifier(startCoordinate(path, startIndex, true), startCoordinate(path, startIndex, false)),
      path(path), pathLength(path != nullptr ? path->length() : 0.0), startIndex(startIndex),
      currentIndex(startIndex), loop(loop), duration(duration) {}

PathModifier::~PathModifier() = default;

void PathModifier::update(std::uint32_t elapsed) {
    if (node == nullptr) {
        return;
    }
    // Without a point to start from there is nothing to walk: the modifier is over at once.
    if (duration <= 0 || !path || startIndex < 0 || startIndex >= path->getPointCount()) {
        done = true;
    }
    if (done) {
        finishAtEnd();
        return;
    }
    walkTo(static_cast<double>(elapsedTime) / duration * pathLength);
    placeNode();
    advanceTime(elapsed);
}

void PathModifier::finishAtEnd() {
    if (path && path->getPointCount() > 0) {
        const graphics::PointF& last = path->pointAt(path->getPointCount() - 1);
        node->setX(last.getRoundedX());
        node->setY(last.getRoundedY());
    }
    finish();
    if (hasFlag(killNode)) {
        node->setDead(true);
    }
}

void PathModifier::walkTo(double target) {
    double remaining = target - distanceReached;
    while (remaining > 0.0) {
        const graphics::PointF& p = path->pointAt(currentIndex);
        const int next = path->nextIndex(currentIndex);
        const graphics::PointF& q = path->pointAt(next);
        const double segment =
            std::hypot(static_cast<double>(q.getX()) - p.getX(), static_cast<double>(q.getY()) - p.getY());
        const double leftInSegment = segment - (distanceReached - segmentStart);
        if (remaining <= leftInSegment && segment != 0.0) {
            const double fraction = (target - segmentStart) / segment;
            currentX = static_cast<float>(p.getX() + (q.getX() - p.getX()) * fraction);
            currentY = static_cast<float>(p.getY() + (q.getY() - p.getY()) * fraction);
            distanceReached = target;
            return;
        }
        currentIndex = next;
        remaining -= leftInSegment;
        segmentStart += segment;
        // The walk now stands at the segment's end. Left behind, the distance reached would make the next
        // segment look longer than it is, and a frame that passes two segment ends would overshoot.
        distanceReached = segmentStart;
        currentX = q.getX();
        currentY = q.getY();
    }
}

void PathModifier::placeNode() {
    if (applyX) {
        node->setX(graphics::roundToInt(currentX));
    }
    if (applyY) {
        node->setY(graphics::roundToInt(currentY));
    }
}

void PathModifier::advanceTime(std::uint32_t elapsed) {
    elapsedTime += static_cast<int>(elapsed);
    if (elapsedTime < duration) {
        return;
    }
    if (loop) {
        elapsedTime = 0;
        distanceReached = 0.0;
        segmentStart = 0.0;
        done = false;
        currentIndex = startIndex;
    } else {
        done = true;
        elapsedTime = duration;
    }
}

} // namespace ui
