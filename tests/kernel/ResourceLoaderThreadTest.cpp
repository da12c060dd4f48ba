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

std::string gates(const std::string& prefix, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += element("TestGate", prefix + std::to_string(i), prefix + std::to_string(i) + ".bin");
    }
    return text;
}

TEST_F(ResourceLoaderThreadTest, RequestsInATightLoopAlwaysComplete) {
    declare(sections(section("a", element("Xmlfile", "x", settingsFile("x.xml")) + gates("g", 2))));
    manager->loadDefinitions();
    manager->setActive();
    for (int round = 0; round < 200; ++round) {
        manager->unloadGroup("a");
        EXPECT_TRUE(manager->loadGroup("a"));
        ASSERT_TRUE(waitUntilDone()) << "round " << round;
        ASSERT_TRUE(loaded("x", "a") && loaded("g0", "a") && loaded("g1", "a"));
    }
}

TEST_F(ResourceLoaderThreadTest, DestroyDuringASlowLoadJoinsTheLoader) {
    declare(sections(section("a", gates("g", 2))));
    manager->loadDefinitions();
    LoadGate::instance().reset(false);
    manager->setActive();
    manager->loadGroup("a");
    ASSERT_TRUE(LoadGate::instance().waitForWaiting(1));

    auto opener = std::async(std::launch::async, [] { LoadGate::instance().openAll(); });
    ResourceManager::destroy();
    EXPECT_EQ(ResourceManager::instance(), nullptr);
    EXPECT_EQ(LoadGate::instance().returnedCount(), LoadGate::instance().enteredCount());
    ASSERT_EQ(opener.wait_for(std::chrono::seconds(10)), std::future_status::ready);
}

TEST_F(ResourceLoaderThreadTest, ResourceUnloadedBehindTheCursorIsLoadedAgain) {
    declare(sections(section("a", gates("g", 3))));
    manager->loadDefinitions();
    LoadGate::instance().reset(false);
    manager->setActive();
    manager->loadGroup("a");
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
    declare(sections(section("slow", gates("g", 2)) +
                     section("quick", element("Xmlfile", "x", settingsFile("x.xml")))));
    manager->loadDefinitions();
    LoadGate::instance().reset(false);
    manager->setActive();
    manager->loadGroup("slow");
    ASSERT_TRUE(LoadGate::instance().waitForWaiting(1));
    EXPECT_TRUE(manager->loadGroup("quick"));
    EXPECT_EQ(manager->getResource("g0", "slow"), nullptr);
    EXPECT_EQ(manager->getResource("g1", "slow"), nullptr);

    LoadGate::instance().openAll();
    ASSERT_TRUE(waitUntilDone());
    EXPECT_TRUE(loaded("g0", "slow") && loaded("g1", "slow") && loaded("x", "quick"));
    EXPECT_DOUBLE_EQ(manager->loadingProgress(), 1.0);
}

TEST_F(ResourceLoaderThreadTest, RemovalWaitsForTheLoadItUndoes) {
    declare(sections(section("a", gates("g", 1)) + section("b", gates("h", 1))));
    manager->loadDefinitions();
    LoadGate::instance().reset(false);
    manager->setActive();
    manager->loadGroup("a");
    ASSERT_TRUE(LoadGate::instance().waitForWaiting(1));
    SmartPtr<Resource> loading(manager->findResource("g0", "a"));

    // Removing without unloading does not wait; the loader keeps its resource alive.
    manager->loadGroup("b");
    manager->removeGroup("b", false);
    auto opener = std::async(std::launch::async, [] { LoadGate::instance().openAll(); });
    manager->removeGroup("a", true);
    ASSERT_EQ(opener.wait_for(std::chrono::seconds(10)), std::future_status::ready);

    EXPECT_EQ(manager->findResource("g0", "a"), nullptr);
    EXPECT_FALSE(loading->isLoaded()) << "the unload ran after the load, not before it";
    EXPECT_TRUE(waitUntilDone());
}

TEST_F(ResourceLoaderThreadTest, GetLoadedResourceOfTheResourceInProgressWaitsForIt) {
    declare(sections(section("a", gates("g", 1))));
    manager->loadDefinitions();
    LoadGate::instance().reset(false);
    manager->setActive();
    manager->loadGroup("a");
    ASSERT_TRUE(LoadGate::instance().waitForWaiting(1));

    auto opener = std::async(std::launch::async, [] { LoadGate::instance().openAll(); });
    EXPECT_NE(manager->getLoadedResource("g0", "a"), nullptr);
    EXPECT_EQ(LoadGate::instance().enteredCount(), 1) << "loaded once, by the loader";
    ASSERT_EQ(opener.wait_for(std::chrono::seconds(10)), std::future_status::ready);
}

} // namespace
