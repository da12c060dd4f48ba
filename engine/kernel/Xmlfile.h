#pragma once

#include "engine/kernel/Resource.h"
#include "engine/kernel/SmartPtr.h"
#include "engine/kernel/ValueDocument.h"

namespace kernel {

// An XML settings file declared as a resource; its object is the loaded settings document.
class Xmlfile : public Resource {
public:
    explicit Xmlfile(NodeValue& settings);
    ~Xmlfile() override;

    // Reads the file in the global file-source mode: the "archive" key is not used here. A file that
    // cannot be read leaves the document empty and still marks the resource loaded.
    void load() override;
    Object* get() override { return document.get(); }
    void unload() override;

    std::string toString() const override;

    static Object* createInstance(Value& settings);

    static constexpr ClassInfo classInfo{&Resource::classInfo};
    const ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    SmartPtr<ValueDocument> document;
};

} // namespace kernel
