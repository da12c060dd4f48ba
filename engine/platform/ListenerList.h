#pragma once

#include "engine/kernel/Object.h"
#include "engine/kernel/SmartPtr.h"
#include "engine/platform/SceneComponent.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {

// An ordered list of counted references to frame listeners, ticked in list order.
class ListenerList : public kernel::Object {
public:
    ListenerList() = default;
    ListenerList(const ListenerList&) = delete;
    ListenerList& operator=(const ListenerList&) = delete;
    // Lets every listener go in list order, each with onStop.
    ~ListenerList() override;

    // Appends without looking for an earlier entry: a listener added twice is ticked twice. Null is ignored.
    void addListener(SceneComponent* listener);
    // One tick of every listener, including those appended while the walk runs.
    void notifyAll(std::uint32_t elapsed);

    std::size_t listenerCount() const;

    static constexpr kernel::ClassInfo classInfo{&kernel::Object::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    void handleTurn(SceneComponent& listener, std::uint32_t elapsed);
    void letGo(SceneComponent& listener);
    void removeEntriesOf(const SceneComponent& listener);
    void compactAfterWalk();

    // Removed entries are emptied in place and only compacted when no walk runs, so positions held by a
    // walk (and by a walk nested inside a listener's tick) stay valid whatever a listener does.
    std::vector<kernel::SmartPtr<SceneComponent>> entries;
    int walkDepth = 0;
};

} // namespace platform
