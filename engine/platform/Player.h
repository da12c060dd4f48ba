#pragma once

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/Object.h"

#include <string>

namespace platform {

// One profile: a name and whether the profile file needs writing. The game derives its own profile from it
// and registers that class, so that the player list can make it again from the list file.
class Player : public kernel::Object {
public:
    // From a list entry: its "name", else the entry's own name; an entry read back needs no writing.
    explicit Player(const kernel::NodeValue& entry);
    // A new profile, written by its first save.
    explicit Player(std::string name);

    // The name of the player a list entry makes.
    static std::string entryName(const kernel::NodeValue& entry);

    const std::string& getName() const { return name; }
    bool isChanged() const { return changed; }
    void markChanged() { changed = true; }
    void clearChanged() { changed = false; }

    // Writes the list entry: the untyped "name". A subclass adds its keys after calling this.
    virtual void save(kernel::NodeValue& entry) const;
    // Writes the profile into the "player" node of its file; a subclass calls this first, then adds its keys.
    virtual void writeXml(kernel::NodeValue& node);
    // Reads the profile from the "player" node of its file; a subclass calls this first, then reads its keys.
    virtual void readXml(kernel::NodeValue& node);
    // Called on the current player just before another one becomes current.
    virtual void onDeselect();
    // The type of the list entry: the name under which the class is registered, so that reading the list
    // back makes the same class. A listed subclass returns its own.
    virtual std::string getClassName() const;

    static constexpr kernel::ClassInfo classInfo{&kernel::Object::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    std::string name;
    bool changed = false;
};

} // namespace platform
