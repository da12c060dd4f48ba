#pragma once

#include "engine/kernel/SmartPtr.h"
#include "engine/ui/Modifier.h"

#include <cstddef>
#include <cstdint>
#include <list>
#include <vector>

namespace ui {

// A node's ordered modifiers, each held by one reference. Modifiers may add or remove modifiers of the same
// list, kill the node or drop its last holder while the list is being run: removals during a run only blank
// their entries, which the outermost run erases when it ends, so the walk never steps on a freed entry.
class ModifierList {
public:
    ModifierList() = default;
    ModifierList(const ModifierList&) = delete;
    ModifierList& operator=(const ModifierList&) = delete;

    // Nothing when the modifier is already listed; otherwise it is appended (or put first), given the
    // owner and held. Returns the modifier.
    Modifier* add(GameNode& owner, Modifier* modifier, bool atBack = true);
    bool contains(const Modifier* modifier) const;
    // Releases every modifier.
    void clear();
    bool empty() const { return size() == 0; }
    std::size_t size() const;
    // The listed modifiers in running order.
    std::vector<Modifier*> items() const;

    // The node's per-frame walk: each modifier runs, then by its finished bit and option flags it kills
    // the node, leaves the list (alone or with every modifier before it) or holds back those after it.
    void update(GameNode& owner, std::uint32_t elapsed);

private:
    void runOne(GameNode& owner, std::list<kernel::SmartPtr<Modifier>>::iterator at, std::uint32_t elapsed,
                bool& stop);
    void dropThrough(std::list<kernel::SmartPtr<Modifier>>::iterator last);
    void eraseBlanks();

    std::list<kernel::SmartPtr<Modifier>> entries;
    int runDepth = 0;
};

} // namespace ui
