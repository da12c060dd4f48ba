#pragma once

#include "engine/ui/PositionModifier.h"

#include <cstdint>

namespace game {

// Moves its node back and forth for ever: from the first point to the second in `travel` ms, back in
// `travel` ms, then a rest of `hold` ms at the first point, and again (the party hat's bob). Positions are
// truncated toward zero. A travel of 0 jumps between the two points every frame. It never finishes.
class PingPongTween : public ui::PositionModifier {
public:
    PingPongTween(int firstX, int firstY, int secondX, int secondY, int travel, int hold, bool smooth);

    void update(std::uint32_t elapsed) override;

    void setSecondPoint(int x, int y);
    bool isTowardsSecond() const { return towardsSecond; }
    bool isResting() const { return done; }

    static constexpr kernel::ClassInfo classInfo{&ui::PositionModifier::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    void travelAlong(int dt);
    void restAtEnd(int dt);
    void place(float x, float y);

    int secondX;
    int secondY;
    int elapsedTime = 0;
    int travel;
    int hold;
    bool smooth;
    bool towardsSecond = true;
};

} // namespace game
