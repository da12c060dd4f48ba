#pragma once
// Shared by the resource manager tests (also built under ThreadSanitizer): a resource class whose loads
// wait at a gate the test opens, and a fixture with its own folder, runtime folder and manager.

#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/Resource.h"
#include "engine/kernel/ResourceManager.h"

#include "Eventually.h"
#include "ResourceFolder.h"
#include "RuntimeDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>

namespace resourcetest {

using testsupport::eventually;

// Loads of GateResource pass only while the gate is open or holds a permit; a closed gate makes the
// loader's "in progress" states last until the test moves on. Every wait here is bounded.
class LoadGate {
public:
    static LoadGate& instance() {
        static LoadGate gate;
        return gate;
    }

    void reset(bool startOpen) {
        const std::lock_guard<std::mutex> lock(mutex);
        open = startOpen;
        permits = waiting = entered = returned = 0;
    }
    void openAll() {
        const std::lock_guard<std::mutex> lock(mutex);
        open = true;
        changed.notify_all();
    }
    void allow(int count) {
        const std::lock_guard<std::mutex> lock(mutex);
        permits += count;
        changed.notify_all();
    }
    // True once count loads are held at the gate.
    bool waitForWaiting(int count) {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(10), [&] { return waiting >= count; });
    }
    int enteredCount() {
        const std::lock_guard<std::mutex> lock(mutex);
        return entered;
    }
    int returnedCount() {
        const std::lock_guard<std::mutex> lock(mutex);
        return returned;
    }

    void pass() {
        std::unique_lock<std::mutex> lock(mutex);
        ++entered;
        ++waiting;
        changed.notify_all();
        changed.wait_for(lock, std::chrono::seconds(10), [&] { return open || permits > 0; });
        if (permits > 0) {
            --permits;
        }
        --waiting;
    }
    void leave() {
        const std::lock_guard<std::mutex> lock(mutex);
        ++returned;
    }

private:
    std::mutex mutex;
    std::condition_variable changed;
    bool open = true;
    int permits = 0;
    int waiting = 0;
    int entered = 0;
    int returned = 0;
};

// A resource whose object is a plain Object, made once the gate lets the load through.
class GateResource : public kernel::Resource {
public:
    explicit GateResource(kernel::NodeValue& settings) : Resource(settings) {}

    void load() override {
        LoadGate::instance().pass();
        object = new kernel::Object();
        markLoaded();
        LoadGate::instance().leave();
    }
    kernel::Object* get() override { return object.get(); }
    void unload() override {
        object.reset();
        Resource::unload();
    }

    static kernel::Object* createInstance(kernel::Value& settings) {
        return new GateResource(settings.asNode());
    }

    static constexpr kernel::ClassInfo classInfo{&Resource::classInfo};
    const kernel::ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    kernel::SmartPtr<kernel::Object> object;
};

inline const kernel::ClassRegistrar gateRegistrar("TestGate", &GateResource::createInstance);

// A resource that counts as loaded before its load returns: the gate holds the loader in the moment
// between the two.
class LateGateResource : public GateResource {
public:
    using GateResource::GateResource;

    void load() override {
        markLoaded();
        LoadGate::instance().pass();
        LoadGate::instance().leave();
    }
    kernel::Object* get() override { return this; }

    static kernel::Object* createInstance(kernel::Value& settings) {
        return new LateGateResource(settings.asNode());
    }
};

inline const kernel::ClassRegistrar lateGateRegistrar("TestLateGate", &LateGateResource::createInstance);

// Runs in a folder of its own (resource files are relative paths) with a fresh manager, gate open.
class ResourceTest : public ::testing::Test {
protected:
    void SetUp() override {
        LoadGate::instance().reset(true);
        manager = kernel::ResourceManager::create();
    }
    void TearDown() override {
        LoadGate::instance().openAll();
        kernel::ResourceManager::destroy();
    }

    // Writes a definition file and adds it to the manager's list.
    void declare(const std::string& sections, const std::string& name = "resources.xml") {
        manager->addDefinitionPath(dir.write(name, "<Resources>" + sections + "</Resources>"));
    }
    // Declares and reads the definitions at once.
    void define(const std::string& sections, const std::string& name = "resources.xml") {
        declare(sections, name);
        manager->loadDefinitions();
    }
    // Defines the sections, closes the gate, starts the loader on the group and waits for its first load.
    bool holdLoadOf(const std::string& sections, const std::string& group) {
        define(sections);
        LoadGate::instance().reset(false);
        manager->setActive();
        return manager->loadGroup(group) && LoadGate::instance().waitForWaiting(1);
    }
    // A small settings file named name holding one Integer "n".
    std::string settingsFile(const std::string& name, int number = 1) {
        dir.write(name, "<Settings><Integer id=\"n\">" + std::to_string(number) + "</Integer></Settings>");
        return name;
    }
    bool loaded(const std::string& id, const std::string& section) {
        const kernel::Resource* resource = manager->findResource(id, section);
        return resource != nullptr && resource->isLoaded();
    }
    bool waitUntilDone() {
        return eventually([&] { return manager->isLoadingDone(); });
    }

    testsupport::RuntimeDir runtime;
    testsupport::WorkingFolder dir;
    kernel::ResourceManager* manager = nullptr;
};

// "<Node name=..."> with the given elements, for a "Sections" vector.
inline std::string section(const std::string& name, const std::string& elements, bool autoLoad = false) {
    return "<Node name=\"" + name + "\" auto=\"" + (autoLoad ? "true" : "false") + "\">" + elements +
           "</Node>";
}
inline std::string sections(const std::string& groups) {
    return "<Vector id=\"Sections\">" + groups + "</Vector>";
}
inline std::string element(const std::string& type, const std::string& id, const std::string& file) {
    return "<" + type + " id=\"" + id + "\" file=\"" + file + "\"/>";
}
// count gate resources with ids and files of the prefix and a number from 0.
inline std::string gates(const std::string& prefix, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += element("TestGate", prefix + std::to_string(i), prefix + std::to_string(i) + ".bin");
    }
    return text;
}

} // namespace resourcetest
