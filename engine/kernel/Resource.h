#pragma once

#include "engine/kernel/Object.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

namespace kernel {

class NodeValue;

// One loadable item declared in a resources file: its data file, its file-source mode and whether its
// data is in memory. Subclasses load, hand out and free the data itself.
//
// The flags are atomic because the loader thread loads while the main thread asks whether groups are
// complete; the file name has its own lock because a load may rename the file (a converted sound) while
// the main thread compares names for sharing.
class Resource : public Object {
public:
    // Reads "file" (normalised with normaliseResourcePath) and "archive".
    explicit Resource(NodeValue& settings);
    // A resource made in code (a mask image): the file as given, mode 0.
    explicit Resource(std::string file);

    // Loads the data; every subclass ends with markLoaded, also after a failure (with the error flag set).
    virtual void load() = 0;
    // The loaded object, or null while not loaded.
    virtual Object* get() = 0;
    // Wakes the loader and clears loaded, error and loadedWeight; subclasses free their object first.
    virtual void unload();
    // True when both name the same file: a declaration in another group is then this same object.
    virtual bool isSame(const Resource& other) const;
    // loadedWeight = weight; loaded = true.
    virtual void markLoaded();
    std::string toString() const override;

    std::string fileName() const;
    bool isLoaded() const { return loaded.load(); }
    bool hasError() const { return error.load(); }
    std::int32_t weight() const { return resourceWeight; }
    std::int32_t loadedWeight() const { return finishedWeight.load(); }
    // File-source mode 0..4 ("file", "zip", "encryptfile", "encryptzip" are 1..4; 0: the global mode).
    std::int32_t mode() const { return fileMode; }

    // The "archive" texts to their modes; 0 for any other text.
    static std::int32_t modeFromArchive(const std::string& archive);

    static constexpr ClassInfo classInfo{&Object::classInfo};
    const ClassInfo* getClassInfo() const override { return &classInfo; }

protected:
    void setError(bool failed) { error.store(failed); }
    void setFileName(std::string name);

private:
    mutable std::mutex fileLock;
    std::string file;
    std::atomic<bool> loaded{false};
    std::atomic<bool> error{false};
    std::int32_t resourceWeight = 1;
    std::atomic<std::int32_t> finishedWeight{0};
    std::int32_t fileMode = 0;
};

} // namespace kernel
