#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/ScalarValue.h"

#include <gtest/gtest.h>

#include <memory>

using namespace kernel;

namespace {

// A small hierarchy shaped like the widget chain: Node <- Sprite <- Panel <- ScrollPanel, Sprite <- Label.
struct TestNode : Object {
    static constexpr ClassInfo classInfo{&Object::classInfo};
    const ClassInfo* getClassInfo() const override { return &classInfo; }
};
struct TestSprite : TestNode {
    static constexpr ClassInfo classInfo{&TestNode::classInfo};
    const ClassInfo* getClassInfo() const override { return &classInfo; }
};
struct TestPanel : TestSprite {
    static constexpr ClassInfo classInfo{&TestSprite::classInfo};
    const ClassInfo* getClassInfo() const override { return &classInfo; }
};
struct TestScrollPanel : TestPanel {
    static constexpr ClassInfo classInfo{&TestPanel::classInfo};
    const ClassInfo* getClassInfo() const override { return &classInfo; }
};
struct TestLabel : TestSprite {
    static constexpr ClassInfo classInfo{&TestSprite::classInfo};
    const ClassInfo* getClassInfo() const override { return &classInfo; }
};

// Counts destructions; a second base class checks that deletion reaches the most-derived object.
int destroyedCount = 0;
struct Listener {
    virtual ~Listener() = default;
    int payload = 7;
};
struct Tracked : Object, Listener {
    ~Tracked() override { ++destroyedCount; }
};

Object* createFirst(Value&) {
    return new TestLabel();
}
Object* createSecond(Value&) {
    return new TestPanel();
}
Object* createNamedLabel(Value&) {
    return new TestLabel();
}

} // namespace

TEST(ObjectModel, KindOfWalksTheBaseChain) {
    const TestScrollPanel scroll;
    const TestLabel label;
    EXPECT_FALSE(ClassInfo::isKindOf(nullptr, &Object::classInfo));
    EXPECT_TRUE(ClassInfo::isKindOf(&TestPanel::classInfo, &TestPanel::classInfo));
    for (const ClassInfo* base :
         {&TestPanel::classInfo, &TestSprite::classInfo, &TestNode::classInfo, &Object::classInfo}) {
        EXPECT_TRUE(scroll.isKindOf(*base));
    }
    EXPECT_FALSE(label.isKindOf(TestPanel::classInfo));
    EXPECT_FALSE(TestSprite().isKindOf(TestScrollPanel::classInfo));
}

TEST(ObjectModel, LastReleaseDestroysOnceThroughTheMostDerivedObject) {
    destroyedCount = 0;
    auto* object = new Tracked();
    EXPECT_EQ(object->referenceCount(), 0);
    {
        SmartPtr<Tracked> first(object);
        SmartPtr<Tracked> second = first;
        SmartPtr<Object> asBase(first);
        EXPECT_EQ(object->referenceCount(), 3);
        first.reset();
        second = nullptr;
        EXPECT_EQ(destroyedCount, 0);
    }
    EXPECT_EQ(destroyedCount, 1);

    // Assigning a pointer to itself must not drop it on the way.
    auto* kept = new Tracked();
    SmartPtr<Tracked> holder(kept);
    holder = kept;
    holder = holder;
    EXPECT_EQ(kept->referenceCount(), 1);
    EXPECT_EQ(destroyedCount, 1);
}

TEST(ObjectModel, DebugTextShowsTheAddress) {
    const Object object;
    EXPECT_EQ(object.toString().rfind("Address: ", 0), 0u);
    EXPECT_EQ(object.toString().substr(object.toString().size() - 2), "; ");
}

TEST(ObjectFactory, FirstRegistrationWinsAndUnknownNamesGiveNull) {
    ObjectFactory* factory = ObjectFactory::instance();
    ASSERT_NE(factory, nullptr);
    EXPECT_TRUE(factory->registerCreator("TestWidgetOnce", createFirst));
    EXPECT_FALSE(factory->registerCreator("TestWidgetOnce", createSecond));
    ClassRegistrar ignored("TestWidgetOnce", createSecond);

    SmartPtr<NodeValue> node(new NodeValue("widget", "TestWidgetOnce"));
    SmartPtr<Object> made(factory->createObject(*node));
    ASSERT_TRUE(made);
    EXPECT_TRUE(made->isKindOf(TestLabel::classInfo));

    SmartPtr<NodeValue> unknown(new NodeValue("widget", "NoSuchClass"));
    EXPECT_EQ(factory->createObject(*unknown), nullptr);
}

TEST(ObjectFactory, CreateChildrenKeepsTheObjectsByChildName) {
    ObjectFactory* factory = ObjectFactory::instance();
    factory->registerCreator("TestNamedLabel", createNamedLabel);
    SmartPtr<NodeValue> document(new NodeValue("", "root"));
    document->setChild(new NodeValue("LABEL_A", "TestNamedLabel"));
    document->setChild(new NodeValue("NOT_A_CLASS", "Unregistered"));
    factory->createChildren(*document);
    ASSERT_NE(factory->createdObject("LABEL_A"), nullptr);
    EXPECT_TRUE(factory->createdObject("LABEL_A")->isKindOf(TestLabel::classInfo));
    EXPECT_EQ(factory->createdObject("NOT_A_CLASS"), nullptr);
}
