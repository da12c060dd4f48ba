#pragma once

#include "engine/ui/GameNode.h"

#include <cstdint>

namespace game {

class Pibble;
class PlayField;

// Keeps an idle board alive: on three random timers a pibble blinks, a stubborn pibble sulks and the VIB
// pibbles shine. The timers stand still while the field is frozen, starting (states 0 and 1) or over;
// each is armed again when it runs out, whether a pibble was found for it or not.
class PibbleAnimator : public ui::GameNode {
public:
    static constexpr int blinkTries = 10;
    static constexpr int stubbornTries = 20;
    static constexpr int vibTries = 20;
    // Of 100, the chance that every VIB pibble shines at once.
    static constexpr std::uint32_t allShinePercent = 11;

    static PibbleAnimator* create();
    // Null before create.
    static PibbleAnimator* instance();
    static void destroy();

    PibbleAnimator();
    ~PibbleAnimator() override;

    void onUpdate(std::uint32_t elapsedMs) override;

    // What a pibble must be to blink, sulk or shine: present, not removed, no collectable and at rest
    // (no running bit, no modifier), and for the blink not special, the sulk stubborn, the shine VIB.
    static bool canBlink(const Pibble* pibble);
    static bool canSulk(const Pibble* pibble);
    static bool canShine(const Pibble* pibble);

    std::int32_t getBlinkTimer() const { return blinkTimer; }
    std::int32_t getStubbornTimer() const { return stubbornTimer; }
    std::int32_t getVibTimer() const { return vibTimer; }

    static constexpr kernel::ClassInfo classInfo{&ui::GameNode::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    static bool atRest(const Pibble* pibble);
    static std::int32_t armed(std::int32_t interval, std::int32_t randomize);
    void blink(PlayField& field);
    void sulk(PlayField& field);
    void shine(PlayField& field);

    std::int32_t blinkInterval;
    std::int32_t blinkRandomize;
    std::int32_t stubbornInterval;
    std::int32_t stubbornRandomize;
    std::int32_t vibInterval;
    std::int32_t vibRandomize;
    std::int32_t blinkTimer;
    std::int32_t stubbornTimer;
    std::int32_t vibTimer;
};

} // namespace game
