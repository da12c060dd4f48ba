#pragma once

#include "engine/kernel/SmartPtr.h"
#include "game/field/PibbleModifier.h"

namespace game {

// The pointer resting on a pibble that can be moved: it and the queue pibble that would take its place
// straighten up and prick their ears, until the pointer leaves the first.
class PibbleFocusModifier : public PibbleModifier {
public:
    // The second pibble may be missing (a row without a queue pibble).
    PibbleFocusModifier(Pibble* first, Pibble* second);
    ~PibbleFocusModifier() override;

    void update(std::uint32_t elapsed) override;
    void stop() { phase = finishing; }
    Pibble* getSecond() const { return second.get(); }

    static constexpr kernel::ClassInfo classInfo{&PibbleModifier::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    void straightenUp();
    void prickEars();
    void settle();

    // Held: it is not the pibble whose list holds this animation.
    kernel::SmartPtr<Pibble> second;
};

} // namespace game
