#pragma once

#include "engine/graphics/PointF.h"
#include "engine/kernel/Rect.h"
#include "engine/kernel/SmartPtr.h"
#include "engine/ui/Dialog.h"

#include <cstdint>
#include <vector>

namespace kernel {
class NodeValue;
class Value;
} // namespace kernel

namespace ui {
class Button;
class GameNode;
class Sprite;
} // namespace ui

namespace game {

// The celebration after the last VIB chapter: a full-screen picture that comes up behind a black
// curtain, glints blinking at random places on it and bursts of falling particles, until the player
// presses the next button (or anywhere), which runs the credits album and then returns to the selection
// scene. Effects pause while the album is open over it.
class DialogGameEnd : public ui::Dialog {
public:
    // Where the glints blink, and how often glints and bursts come (ms).
    static constexpr kernel::Rect shineArea{370, 98, 84, 72};
    static constexpr int shineInterval = 500;
    static constexpr int burstInterval = 1500;
    static constexpr int particlesPerBurst = 20;
    // Burst centres: x from burstLeft over burstWidth pixels, y likewise.
    static constexpr int burstLeft = 100;
    static constexpr int burstWidth = 440;
    static constexpr int burstTop = 100;
    static constexpr int burstHeight = 280;
    // Added to a particle's falling speed every frame (pixels per frame).
    static constexpr float gravity = 0.05f;

    // The dialog's keys; it starts transparent and drawn through its buffer.
    explicit DialogGameEnd(kernel::NodeValue& settings);
    ~DialogGameEnd() override;

    // The scene shows and hides its dialogs through these.
    void activate() override { show(); }
    void deactivate() override { hide(); }
    // Starts the curtain: it falls, the picture appears behind it, and it lifts.
    virtual void show();
    virtual void hide();
    void onUpdate(std::uint32_t elapsedMs) override;
    // Any press moves on to the credits; the press is left to the others.
    bool onLeftButtonDown(int x, int y, std::uint32_t keyFlags, bool doubleClick) override;

    // The next button's handler, and every press's: the receiver is the dialog.
    static void onNext(void* dialog, ui::GameNode* sender);

    ui::Button* getButtonNext() const { return buttonNext; }
    ui::Sprite* getBackground() const { return background; }
    ui::Sprite* getCurtain() const { return curtain.get(); }
    bool isCurtainRunning() const { return curtainRunning; }
    ui::GameNode* getEffects() const { return effects.get(); }
    std::int32_t getShineTimer() const { return shineTimer; }
    std::int32_t getBurstTimer() const { return burstTimer; }
    const std::vector<kernel::SmartPtr<ui::Sprite>>& getParticles() const { return particles; }
    const std::vector<graphics::PointF>& getParticlePositions() const { return particlePositions; }
    const std::vector<graphics::PointF>& getParticleVelocities() const { return particleVelocities; }

    static kernel::Object* createInstance(kernel::Value& settings);

    static constexpr kernel::ClassInfo classInfo{&ui::Dialog::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    void curtainIn();
    void curtainOut();
    static void onCurtainDown(void* dialog, ui::GameNode* curtain);
    static void onCurtainUp(void* dialog, ui::GameNode* curtain);

    void updateShine(std::uint32_t elapsedMs);
    void makeGlint();
    void updateParticles(std::uint32_t elapsedMs);
    void moveParticles();
    void burst();
    void addParticle(int x, int y);

    ui::Button* buttonNext = nullptr;
    ui::Sprite* background = nullptr;
    kernel::SmartPtr<ui::Sprite> curtain;
    bool curtainRunning = false;
    kernel::SmartPtr<ui::GameNode> effects;
    std::int32_t shineTimer = 0;
    std::int32_t burstTimer = 0;
    std::vector<kernel::SmartPtr<ui::Sprite>> particles;
    std::vector<graphics::PointF> particlePositions;
    std::vector<graphics::PointF> particleVelocities;
};

} // namespace game
