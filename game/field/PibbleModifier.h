#pragma once

#include "engine/ui/Modifier.h"

#include <cstdint>

namespace game {

class Pibble;
class PlayField;

// The base of every pibble animation. While it runs it sets its kind's bit in the pibble (the pibble is
// then drawn layer by layer from the renderer's top layer); counted kinds are counted into the field's
// animation counters from their making to their end, however they end.
//
// The pibble is not held: the pibble's modifier list holds the animation, and a hold the other way round
// would keep both alive for ever once the pibble is killed. An animation runs only from its pibble's
// list, so its pibble exists whenever it runs.
//
// The common shape: the first update sets the bit and starts the work, the following ones count the
// time down, and the update after the time has run out ends the work, clears the bit and finishes.
class PibbleModifier : public ui::Modifier {
public:
    enum Phase : std::int32_t { starting = 1, running = 2, runningOn = 3, ending = 4, finishing = 5 };
    // The field counters a kind is counted in: none, the running animations, or both the running and the
    // effect animations.
    enum class Counting { none, running, effect };

    ~PibbleModifier() override;

    void update(std::uint32_t elapsed) override;

    Pibble* getPibble() const { return pibble; }
    void setSoundOn(bool on) { soundOn = on; }
    bool isSoundOn() const { return soundOn; }
    // Multiplies the elapsed time of the kinds that step a clock.
    void setSpeed(int value) { speed = value; }
    std::int32_t getPhase() const { return phase; }
    void setPhase(std::int32_t value) { phase = value; }
    std::uint32_t getBit() const { return bit; }
    int getTimeLeft() const { return timeLeft; }
    // The field the animation was made on, while that field lives; null otherwise.
    PlayField* liveField() const;

    static constexpr kernel::ClassInfo classInfo{&ui::Modifier::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

protected:
    PibbleModifier(Pibble* pibble, std::uint32_t bit, int duration, Counting counting, bool blocking);

    virtual void onStart() {}
    // Each running frame, before the time is counted down.
    virtual void onRun(int /*dt*/) {}
    // Whether the time is counted down in this frame.
    virtual bool clockRuns() const { return true; }
    virtual void onEnd() {}

    // A pibble that had no bit before goes to the renderer's top layer, one left without any to its field
    // layer.
    static void addType(std::uint32_t bits, Pibble& target);
    static void removeType(std::uint32_t bits, Pibble& target);
    int scaled(std::uint32_t elapsed) const;

    Pibble* pibble;
    std::uint32_t bit;
    int timeLeft;
    int speed = 1;
    bool soundOn = true;
    std::int32_t phase = starting;

private:
    std::uint32_t fieldSerial = 0;
    bool counted = false;
    Counting counting;
};

} // namespace game
