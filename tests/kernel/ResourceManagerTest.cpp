#include "engine/kernel/ResourceManager.h"
#include "engine/kernel/ValueDocument.h"
#include "engine/kernel/Xmlfile.h"

#include "ResourceTestSupport.h"

#include <gtest/gtest.h>

using namespace kernel;
using namespace resourcetest;

namespace {

using ResourceManagerTest = ResourceTest;

TEST_F(ResourceManagerTest, XmlfileReadsItsKeysAndLoadsItsDocument) {
    define(sections(section("a", "<Xmlfile id=\"x\" file=\"\\sub\\x.xml\" archive=\"encryptzip\"/>"
                                 "<Xmlfile id=\"y\" file=\"y.xml\" archive=\"Zip\"/>"
                                 "<Unknown id=\"skipped\" file=\"y.xml\"/>")));
    dir.write("sub/x.xml", "<Settings><Integer id=\"n\">42</Integer></Settings>");

    const Resource* x = manager->findResource("x", "a");
    ASSERT_NE(x, nullptr);
    EXPECT_EQ(x->fileName(), "sub/x.xml");
    EXPECT_EQ(x->mode(), 4);
    EXPECT_EQ(manager->findResource("y", "a")->mode(), 0);
    EXPECT_EQ(manager->findResource("skipped", "a"), nullptr);
    EXPECT_EQ(manager->getResource("x", "a"), nullptr);

    auto* document = static_cast<ValueDocument*>(manager->getLoadedResource("x", "a"));
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(document->getValue("n").asInt(), 42);
    EXPECT_EQ(manager->getResource("x", "a"), document);
    EXPECT_EQ(x->loadedWeight(), 1);

    manager->unloadResource("x", "a");
    EXPECT_FALSE(x->isLoaded());
    EXPECT_EQ(x->loadedWeight(), 0);
    EXPECT_EQ(manager->getResource("x", "a"), nullptr);
}

TEST_F(ResourceManagerTest, ResourceDefaultsSetOggToWav) {
    define("<Node id=\"ResourceDefaults\" oggtowav=\"false\"/>");
    EXPECT_FALSE(manager->isOggToWav());
    define("<Node id=\"ResourceDefaults\"/>", "second.xml");
    EXPECT_FALSE(manager->isOggToWav()) << "a missing key keeps the value";
    define("<Node id=\"ResourceDefaults\" oggtowav=\"no\"/>", "third.xml");
    EXPECT_TRUE(manager->isOggToWav());
}

TEST_F(ResourceManagerTest, LoadGroupCountsWeightOnceAndNotForLoadedGroups) {
    define(sections(section("a", element("Xmlfile", "one", settingsFile("1.xml")) +
                                     element("Xmlfile", "two", settingsFile("2.xml")))));
    EXPECT_TRUE(manager->loadGroup("a"));
    EXPECT_TRUE(manager->loadGroup("a"));
    EXPECT_DOUBLE_EQ(manager->loadingProgress(), 0.0);
    manager->getLoadedResource("one", "a");
    EXPECT_DOUBLE_EQ(manager->loadingProgress(), 0.5);
    manager->getLoadedResource("two", "a");
    EXPECT_DOUBLE_EQ(manager->loadingProgress(), 1.0);

    manager->resetProgress();
    EXPECT_FALSE(manager->loadGroup("a"));
    manager->getLoadedResource("one", "a");
    EXPECT_DOUBLE_EQ(manager->loadingProgress(), 1.0) << "nothing requested since the reset";
}

TEST_F(ResourceManagerTest, ProgressCountsPrunedGroupsThroughFinishedWeight) {
    std::string small;
    for (const char* id : {"p", "q", "r"}) {
        small += element("Xmlfile", id, settingsFile(std::string(id) + ".xml"));
    }
    define(sections(section("small", small) + section("slow", gates("s", 5))));
    LoadGate::instance().reset(false);

    ASSERT_TRUE(manager->loadGroup("small"));
    ASSERT_TRUE(manager->loadGroup("slow"));
    EXPECT_DOUBLE_EQ(manager->loadingProgress(), 0.0);
    for (const char* id : {"p", "q", "r"}) {
        manager->getLoadedResource(id, "small");
    }
    EXPECT_DOUBLE_EQ(manager->loadingProgress(), 3.0 / 8.0);

    manager->setActive();
    // The loader prunes the finished group before it waits in the first load of the other one.
    ASSERT_TRUE(LoadGate::instance().waitForWaiting(1));
    EXPECT_DOUBLE_EQ(manager->loadingProgress(), 3.0 / 8.0);
    EXPECT_FALSE(manager->isLoadingDone());

    LoadGate::instance().openAll();
    ASSERT_TRUE(waitUntilDone());
    EXPECT_DOUBLE_EQ(manager->loadingProgress(), 1.0);
}

TEST_F(ResourceManagerTest, FileDeclaredInTwoGroupsIsOneResourceOfItsClass) {
    const std::string file = settingsFile("shared.xml");
    define(sections(section("a", element("Xmlfile", "x", file)) +
                    section("b", element("Xmlfile", "y", file) + element("TestGate", "z", file))));

    EXPECT_EQ(manager->findResource("x", "a"), manager->findResource("y", "b"));
    EXPECT_NE(manager->findResource("z", "b"), manager->findResource("y", "b"));
    EXPECT_TRUE(manager->findResource("z", "b")->isKindOf(GateResource::classInfo));

    manager->getLoadedResource("x", "a");
    EXPECT_TRUE(loaded("y", "b"));
    EXPECT_FALSE(loaded("z", "b"));
}

TEST_F(ResourceManagerTest, AutoGroupsLoadOnceActive) {
    define(sections(section("a", element("Xmlfile", "x", settingsFile("x.xml")), true)));
    manager->setActive();
    EXPECT_TRUE(eventually([&] { return loaded("x", "a"); }));
}

TEST_F(ResourceManagerTest, RemoveGroupUnloadsOnlyWhenAsked) {
    const std::string file = settingsFile("x.xml");
    define(sections(section("keep", element("Xmlfile", "x", file)) +
                    section("drop", element("Xmlfile", "x", file))));
    SmartPtr<Resource> shared(manager->findResource("x", "keep"));
    manager->getLoadedResource("x", "keep");

    manager->removeGroup("keep", false);
    EXPECT_EQ(manager->findResource("x", "keep"), nullptr);
    EXPECT_TRUE(shared->isLoaded());

    manager->removeGroup("drop", true);
    EXPECT_EQ(manager->findResource("x", "drop"), nullptr);
    EXPECT_FALSE(shared->isLoaded());
}

// Alternatives of which one is shown at a time: the others are let go, the kept one stays as it is.
TEST_F(ResourceManagerTest, UnloadGroupExceptKeepsOnlyTheNamedResource) {
    define(sections(section("pictures", element("Xmlfile", "a", settingsFile("a.xml")) +
                                            element("Xmlfile", "b", settingsFile("b.xml")) +
                                            element("Xmlfile", "c", settingsFile("c.xml")))));
    for (const char* id : {"a", "b"}) {
        manager->getLoadedResource(id, "pictures");
    }
    Object* kept = manager->getResource("b", "pictures");
    manager->unloadGroupExcept("pictures", "b");
    EXPECT_FALSE(loaded("a", "pictures"));
    EXPECT_TRUE(loaded("b", "pictures"));
    EXPECT_FALSE(loaded("c", "pictures")) << "a resource not loaded is not loaded by keeping it";
    EXPECT_EQ(manager->getResource("b", "pictures"), kept);

    manager->unloadGroupExcept("pictures", "none of them");
    EXPECT_FALSE(loaded("b", "pictures"));
    manager->unloadGroupExcept("no such section", "b");
}

TEST_F(ResourceManagerTest, LateDefinitionFileIsReadWhenItsGroupIsRequested) {
    define(sections(section("early", element("Xmlfile", "x", settingsFile("x.xml")))));
    manager->setActive();
    declare(sections(section("late", element("Xmlfile", "y", settingsFile("y.xml")))), "late.xml");

    EXPECT_TRUE(manager->loadGroup("late"));
    ASSERT_TRUE(waitUntilDone());
    EXPECT_TRUE(loaded("y", "late"));
}

TEST_F(ResourceManagerTest, LoadingIsDoneOnlyOnceActiveAndAnUnknownGroupHasNothingToLoad) {
    define(sections(section("a", element("Xmlfile", "x", settingsFile("x.xml")))));
    manager->getLoadedResource("x", "a");
    EXPECT_FALSE(manager->isLoadingDone());
    manager->setActive();
    EXPECT_TRUE(manager->isLoadingDone());
    EXPECT_FALSE(manager->loadGroup("typo"));
    EXPECT_TRUE(manager->isLoadingDone());
    EXPECT_EQ(manager->getResource("x", "typo"), nullptr);
    EXPECT_EQ(manager->getLoadedResource("nothing", "a"), nullptr);
}

// Waiting for the loading to be done must be enough to get the resources: the last one is not done while
// the loader still holds it.
TEST_F(ResourceManagerTest, LoadingIsNotDoneWhileTheLastResourceIsStillInTheLoadersHands) {
    ASSERT_TRUE(holdLoadOf(sections(section("a", element("TestLateGate", "z", settingsFile("z.xml")))), "a"));
    ASSERT_TRUE(manager->findResource("z", "a")->isLoaded());
    EXPECT_FALSE(manager->isLoadingDone());
    EXPECT_EQ(manager->getResource("z", "a"), nullptr);
    LoadGate::instance().openAll();
    ASSERT_TRUE(waitUntilDone());
    EXPECT_NE(manager->getResource("z", "a"), nullptr);
}

} // namespace
