#include "engine/ui/ModifierList.h"

#include "engine/ui/GameNode.h"

#include <algorithm>

namespace ui {

Modifier* ModifierList::add(GameNode& owner, Modifier* modifier, bool atBack) {
    if (modifier == nullptr || contains(modifier)) {
        return modifier;
    }
    if (atBack) {
        entries.emplace_back(modifier);
    } else {
        entries.emplace_front(modifier);
    }
    modifier->setNode(&owner);
    return modifier;
}

bool ModifierList::contains(const Modifier* modifier) const {
    return std::any_of(entries.begin(), entries.end(), [modifier](const kernel::SmartPtr<Modifier>& entry) {
        return entry.get() == modifier;
    });
}

void ModifierList::clear() {
    if (runDepth > 0) {
        for (auto& entry : entries) {
            entry.reset();
        }
        return;
    }
    // Moved out first, so a modifier whose release touches this list finds it already empty.
    std::list<kernel::SmartPtr<Modifier>> released;
    released.swap(entries);
}

std::size_t ModifierList::size() const {
    return static_cast<std::size_t>(std::count_if(
        entries.begin(), entries.end(), [](const kernel::SmartPtr<Modifier>& entry) { return bool(entry); }));
}

std::vector<Modifier*> ModifierList::items() const {
    std::vector<Modifier*> listed;
    for (const auto& entry : entries) {
        if (entry) {
            listed.push_back(entry.get());
        }
    }
    return listed;
}

void ModifierList::update(GameNode& owner, std::uint32_t elapsed) {
    // A modifier may make the node's last holder let go of it; the node (and this list) must outlive the
    // walk. An unowned node has nobody to let go of it, and a guard would destroy it at the end.
    const kernel::SmartPtr<kernel::Object> keepNode(owner.referenceCount() > 0 ? &owner : nullptr);
    ++runDepth;
    bool stop = false;
    // Entries appended during the walk lie ahead of the iterator, so they run in this same frame.
    for (auto at = entries.begin(); at != entries.end() && !stop; ++at) {
        if (*at) {
            runOne(owner, at, elapsed, stop);
        }
    }
    --runDepth;
    if (runDepth == 0) {
        eraseBlanks();
    }
}

void ModifierList::runOne(GameNode& owner, std::list<kernel::SmartPtr<Modifier>>::iterator at,
                          std::uint32_t elapsed, bool& stop) {
    // Held here, so a modifier that removes itself from the list is not freed while it runs.
    const kernel::SmartPtr<Modifier> running = *at;
    running->update(elapsed);
    if (!running->isFinished()) {
        stop = running->hasFlag(Modifier::blocking);
        return;
    }
    if (running->hasFlag(Modifier::killNode)) {
        owner.setDead(true);
    }
    if (running->hasFlag(Modifier::removeBefore)) {
        dropThrough(at);
    } else if (*at == running) {
        at->reset();
    }
}

void ModifierList::dropThrough(std::list<kernel::SmartPtr<Modifier>>::iterator last) {
    for (auto at = entries.begin(); at != last; ++at) {
        at->reset();
    }
    last->reset();
}

void ModifierList::eraseBlanks() {
    entries.remove_if([](const kernel::SmartPtr<Modifier>& entry) { return !entry; });
}

} // namespace ui
