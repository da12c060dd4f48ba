// The loader thread against main-thread requests; also built under ThreadSanitizer.

#include "engine/kernel/ResourceManager.h"
#include "engine/kernel/Xmlfile.h"

#include "ResourceTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
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

} // namespace
