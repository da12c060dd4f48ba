// The loader thread against main-thread requests; also built under ThreadSanitizer.

#include "engine/kernel/ResourceManager.h"
#include "engine/kernel/Xmlfile.h"

#include "ResourceTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <future>
#include <string>

using namespace kernel;
using namespace resourcetest;

namespace {

using ResourceLoaderThreadTest = ResourceTest;

// Opens the gate from another thread while the caller blocks on the load held there.
struct GateOpener {
    ~GateOpener() { EXPECT_EQ(opener.wait_for(std::chrono::seconds(10)), std::future_status::ready); }
    std::future<void> opener = std::async(std::launch::async, [] { LoadGate::instance().openAll(); });
};

TEST_F(ResourceLoaderThreadTest, RequestsInATightLoopAlwaysComplete) {
    define(sections(section("a", element("Xmlfile", "x", settingsFile("x.xml")) + gates("g", 2))));
    manager->setActive();
    for (int round = 0; round < 200; ++round) {
        manager->unloadGroup("a");
        EXPECT_TRUE(manager->loadGroup("a"));
        ASSERT_TRUE(waitUntilDone()) << "round " << round;
        ASSERT_TRUE(loaded("x", "a") && loaded("g0", "a") && loaded("g1", "a"));
    }
}

TEST_F(ResourceLoaderThreadTest, DestroyDuringASlowLoadJoinsTheLoader) {
    ASSERT_TRUE(holdLoadOf(sections(section("a", gates("g", 2))), "a"));
    const GateOpener opener;
    ResourceManager::destroy();
    EXPECT_EQ(ResourceManager::instance(), nullptr);
    EXPECT_EQ(LoadGate::instance().returnedCount(), LoadGate::instance().enteredCount());
}

// The end of a run: the load under way is finished and handed over, nothing queued behind it (in its
// group, in another requested group or in an auto group) is started, and the join waits for that one load.
TEST_F(ResourceLoaderThreadTest, StopLoadingFinishesTheLoadUnderWayAndDropsTheQueue) {
    ASSERT_TRUE(holdLoadOf(sections(section("a", gates("g", 3)) + section("b", gates("h", 2)) +
                                    section("c", gates("k", 2), true)),
                           "a"));
    ASSERT_TRUE(manager->loadGroup("b"));
    manager->stopLoading();
    LoadGate::instance().openAll();
    ASSERT_TRUE(eventually([&] { return LoadGate::instance().returnedCount() == 1; }));
    ResourceManager::destroy();
    EXPECT_EQ(LoadGate::instance().enteredCount(), 1);
    EXPECT_EQ(LoadGate::instance().returnedCount(), 1);
}

// What the loader held is let go with the manager, and a caller may still load on its own thread after
// the stop; a stop of a loader that waits for work ends it at once.
TEST_F(ResourceLoaderThreadTest, AfterStopLoadingCallersStillLoadAndDestroyLetsGo) {
    define(sections(section("a", gates("g", 2))));
    manager->setActive();
    ASSERT_TRUE(manager->loadGroup("a"));
    ASSERT_TRUE(waitUntilDone());
    manager->stopLoading();
    manager->unloadGroup("a");
    EXPECT_TRUE(manager->loadGroup("a"));
    EXPECT_NE(manager->getLoadedResource("g1", "a"), nullptr);
    EXPECT_TRUE(loaded("g1", "a"));
    EXPECT_FALSE(loaded("g0", "a"));
    ResourceManager::destroy();
    EXPECT_EQ(ResourceManager::instance(), nullptr);
    EXPECT_EQ(LoadGate::instance().enteredCount(), 3);
}

TEST_F(ResourceLoaderThreadTest, ResourceUnloadedBehindTheCursorIsLoadedAgain) {
    define(sections(section("a", gates("g", 3))));
    LoadGate::instance().reset(false);
    manager->setActive();
    ASSERT_TRUE(manager->loadGroup("a"));
    LoadGate::instance().allow(2);
    // Two loads passed and the third waits: the cursor stands on the last resource.
    ASSERT_TRUE(LoadGate::instance().waitForWaiting(1));
    ASSERT_TRUE(eventually([&] { return LoadGate::instance().enteredCount() == 3; }));

    std::string behind;
    for (const char* id : {"g0", "g1", "g2"}) {
        if (loaded(id, "a")) {
            behind = id;
        }
    }
    ASSERT_FALSE(behind.empty());
    manager->unloadResource(behind, "a");
    LoadGate::instance().openAll();
    ASSERT_TRUE(waitUntilDone());
    EXPECT_TRUE(loaded("g0", "a") && loaded("g1", "a") && loaded("g2", "a"));
}

TEST_F(ResourceLoaderThreadTest, GroupRequestedWhileAnotherLoadsFinishes) {
    ASSERT_TRUE(holdLoadOf(sections(section("slow", gates("g", 2)) +
                                    section("quick", element("Xmlfile", "x", settingsFile("x.xml")))),
                           "slow"));
    EXPECT_TRUE(manager->loadGroup("quick"));
    EXPECT_EQ(manager->getResource("g0", "slow"), nullptr);
    EXPECT_EQ(manager->getResource("g1", "slow"), nullptr);

    LoadGate::instance().openAll();
    ASSERT_TRUE(waitUntilDone());
    EXPECT_TRUE(loaded("g0", "slow") && loaded("g1", "slow") && loaded("x", "quick"));
    EXPECT_DOUBLE_EQ(manager->loadingProgress(), 1.0);
}

TEST_F(ResourceLoaderThreadTest, RemovalWaitsForTheLoadItUndoes) {
    ASSERT_TRUE(holdLoadOf(sections(section("a", gates("g", 1)) + section("b", gates("h", 1))), "a"));
    SmartPtr<Resource> loading(manager->findResource("g0", "a"));

    // Removing without unloading does not wait; the loader keeps its resource alive.
    EXPECT_TRUE(manager->loadGroup("b"));
    manager->removeGroup("b", false);
    {
        const GateOpener opener;
        manager->removeGroup("a", true);
    }
    EXPECT_EQ(manager->findResource("g0", "a"), nullptr);
    EXPECT_FALSE(loading->isLoaded()) << "the unload ran after the load, not before it";
    EXPECT_TRUE(waitUntilDone());
}

TEST_F(ResourceLoaderThreadTest, LettingAlternativesGoWaitsForTheLoadItUndoes) {
    ASSERT_TRUE(holdLoadOf(sections(section("a", gates("g", 1))), "a"));
    SmartPtr<Resource> loading(manager->findResource("g0", "a"));
    {
        const GateOpener opener;
        manager->unloadGroupExcept("a", "another");
    }
    EXPECT_FALSE(loading->isLoaded()) << "the unload ran after the load, not before it";
}

TEST_F(ResourceLoaderThreadTest, GetLoadedResourceOfTheResourceInProgressWaitsForIt) {
    ASSERT_TRUE(holdLoadOf(sections(section("a", gates("g", 1))), "a"));
    const GateOpener opener;
    EXPECT_NE(manager->getLoadedResource("g0", "a"), nullptr);
    EXPECT_EQ(LoadGate::instance().enteredCount(), 1) << "loaded once, by the loader";
}

// A caller's load holds no lock the loader needs: the loader goes on with the files while the caller's
// resource is held at the gate, and what the caller is loading is not handed out half made meanwhile.
TEST_F(ResourceLoaderThreadTest, TheLoaderGoesOnWhileACallerLoads) {
    define(sections(section("held", gates("g", 1)) +
                    section("files", element("Xmlfile", "x0", settingsFile("x0.xml")) +
                                         element("Xmlfile", "x1", settingsFile("x1.xml", 2)))));
    LoadGate::instance().reset(false);
    std::future<Object*> caller =
        std::async(std::launch::async, [&] { return manager->getLoadedResource("g0", "held"); });
    ASSERT_TRUE(LoadGate::instance().waitForWaiting(1));
    manager->setActive();
    ASSERT_TRUE(manager->loadGroup("files"));
    EXPECT_TRUE(eventually([&] { return loaded("x0", "files") && loaded("x1", "files"); }))
        << "the loader waited for the caller's load";
    EXPECT_EQ(manager->getResource("g0", "held"), nullptr);
    LoadGate::instance().openAll();
    ASSERT_EQ(caller.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_NE(caller.get(), nullptr);
    EXPECT_NE(manager->getResource("g0", "held"), nullptr);
}

// Callers on several threads (start-up decodes its pictures so) and the loader share the work: each
// resource is loaded once, and every caller gets the one object.
TEST_F(ResourceLoaderThreadTest, EachResourceIsLoadedOnceByWhoeverClaimsItFirst) {
    define(sections(section("a", gates("g", 3))));
    LoadGate::instance().reset(false);
    const auto load = [&](const char* id) {
        return std::async(std::launch::async, [this, id] { return manager->getLoadedResource(id, "a"); });
    };
    std::future<Object*> first = load("g0");
    ASSERT_TRUE(LoadGate::instance().waitForWaiting(1));
    std::future<Object*> second = load("g0");
    std::future<Object*> other = load("g1");
    ASSERT_TRUE(LoadGate::instance().waitForWaiting(2));
    // The loader leaves both claimed resources to their callers and takes the third.
    manager->setActive();
    ASSERT_TRUE(manager->loadGroup("a"));
    ASSERT_TRUE(LoadGate::instance().waitForWaiting(3));
    LoadGate::instance().openAll();
    for (auto* caller : {&first, &second, &other}) {
        ASSERT_EQ(caller->wait_for(std::chrono::seconds(10)), std::future_status::ready);
    }
    const Object* object = first.get();
    EXPECT_NE(object, nullptr);
    EXPECT_EQ(second.get(), object);
    EXPECT_EQ(other.get(), manager->getResource("g1", "a"));
    ASSERT_TRUE(waitUntilDone());
    EXPECT_EQ(LoadGate::instance().enteredCount(), 3);
}

TEST_F(ResourceLoaderThreadTest, AnUnloadWaitsForTheCallersLoadItUndoes) {
    define(sections(section("a", gates("g", 1))));
    LoadGate::instance().reset(false);
    std::future<Object*> caller =
        std::async(std::launch::async, [&] { return manager->getLoadedResource("g0", "a"); });
    ASSERT_TRUE(LoadGate::instance().waitForWaiting(1));
    {
        const GateOpener opener;
        manager->unloadResource("g0", "a");
    }
    ASSERT_EQ(caller.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_FALSE(loaded("g0", "a")) << "the unload ran before the load it undoes";
    EXPECT_EQ(LoadGate::instance().enteredCount(), 1);
}

// A request is done once its section was loaded whole, by the loader or by a caller who needed a resource
// first: letting the section go afterwards must not have the loader read it again, the whole run long. Each
// way of letting go meets a section read whole by a caller and still queued behind the loader's work.
TEST_F(ResourceLoaderThreadTest, WhatIsLetGoAfterItsSectionWasReadWholeIsNotReadAgain) {
    const struct {
        const char* section;
        std::function<void(ResourceManager&)> letGo;
    } ways[] = {
        {"one", [](ResourceManager& resources) { resources.unloadResource("one", "one"); }},
        {"whole", [](ResourceManager& resources) { resources.unloadGroup("whole"); }},
        {"but", [](ResourceManager& resources) { resources.unloadGroupExcept("but", "another"); }},
    };
    std::string declared = section("held", gates("g", 1));
    for (const auto& way : ways) {
        declared += section(way.section,
                            element("Xmlfile", way.section, settingsFile(std::string(way.section) + ".xml")));
    }
    ASSERT_TRUE(holdLoadOf(sections(declared), "held"));
    for (const auto& way : ways) {
        SCOPED_TRACE(way.section);
        ASSERT_TRUE(manager->loadGroup(way.section));
        ASSERT_NE(manager->getLoadedResource(way.section, way.section), nullptr);
        way.letGo(*manager);
        EXPECT_FALSE(loaded(way.section, way.section));
    }
    LoadGate::instance().openAll();
    ASSERT_TRUE(waitUntilDone());
    for (const auto& way : ways) {
        EXPECT_FALSE(loaded(way.section, way.section)) << way.section << " was read again";
    }
}

} // namespace
