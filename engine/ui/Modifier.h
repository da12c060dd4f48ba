#pragma once

#include "engine/kernel/Object.h"

#include <cstdint>

namespace ui {

class GameNode;

// A small counted animation step that lives in one node's modifier list and is updated once per frame,
// right after the node's own onUpdate. The list removes and releases it in the frame in which it finishes.
class Modifier : public kernel::Object {
public:
    // Option flags, read by the list that runs the modifier.
    static constexpr std::uint32_t blocking = 1;     // the modifiers after it wait while it runs
    static constexpr std::uint32_t killNode = 2;     // the node dies when it finishes
    static constexpr std::uint32_t removeBefore = 4; // when it finishes, every modifier before it goes too
    // State bits.
    static constexpr std::uint32_t finishedBit = 1;

    // Runs one frame of elapsed milliseconds on the node given by setNode.
    virtual void update(std::uint32_t elapsed) = 0;
    // Not counted: the node's list holds the modifier, never the other way round.
    virtual void setNode(GameNode* target) { node = target; }
    GameNode* getNode() const { return node; }

    void addFlags(std::uint32_t bits) { flags |= bits; }
    std::uint32_t getFlags() const { return flags; }
    bool hasFlag(std::uint32_t bit) const { return (flags & bit) != 0; }
    void addStateBits(std::uint32_t bits) { state |= bits; }
    std::uint32_t getState() const { return state; }
    bool isFinished() const { return (state & finishedBit) != 0; }

    static constexpr kernel::ClassInfo classInfo{&kernel::Object::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

protected:
    void finish() { addStateBits(finishedBit); }

    GameNode* node = nullptr;

private:
    std::uint32_t flags = 0;
    std::uint32_t state = 0;
};

} // namespace ui
