#include "engine/kernel/NodeValue.h"
#include "engine/kernel/ObjectFactory.h"
#include "engine/kernel/ScalarValue.h"

#include <gtest/gtest.h>

using namespace kernel;

namespace {

// A small hierarchy shaped like the widget chain: Node <- Sprite <- Panel <- ScrollPanel, Sprite <- Label.
// The tag tells apart classes of the same base.
template <const ClassInfo& Base, int Tag = 0> struct Derived : Object {
    static constexpr ClassInfo classInfo{&Base};
    const ClassInfo* getClassInfo() const override { return &classInfo; }
};
using TestNode = Derived<Object::classInfo>;
using TestSprite = Derived<TestNode::classInfo>;
using TestPanel = Derived<TestSprite::classInfo>;
using TestScrollPanel = Derived<TestPanel::classInfo>;
using TestLabel = Derived<TestSprite::classInfo, 1>;

// Counts destructions; a second base class checks that deletion reaches the most-derived object.
int destroyedCount = 0;
struct Listener {
    virtual ~Listener() = default;
    int payload = 7;
};
struct Tracked : Object, Listener {
    ~Tracked() override { ++destroyedCount; }
};

Object* createLabel(Value&) {
    return new TestLabel();
}
Object* createPanel(Value&) {
    return new TestPanel();
}

} // namespace

TEST(ObjectModel, KindOfWalksTheBaseChain) {
    const TestScrollPanel scroll;
    EXPECT_FALSE(ClassInfo::isKindOf(nullptr, &Object::classInfo));
    for (const ClassInfo* base : {&TestScrollPanel::classInfo, &TestPanel::classInfo, &TestSprite::classInfo,
                                  &TestNode::classInfo, &Object::classInfo}) {
        EXPECT_TRUE(scroll.isKindOf(*base));
    }
    EXPECT_FALSE(TestLabel().isKindOf(TestPanel::classInfo));
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

TEST(ObjectFactory, FirstRegistrationWinsAndUnknownNamesGiveNull) {
    ObjectFactory* factory = ObjectFactory::instance();
    EXPECT_TRUE(factory->registerCreator("TestWidgetOnce", createLabel));
    EXPECT_FALSE(factory->registerCreator("TestWidgetOnce", createPanel));
    ClassRegistrar ignored("TestWidgetOnce", createPanel);

    SmartPtr<Object> made(
        factory->createObject(*SmartPtr<NodeValue>(new NodeValue("widget", "TestWidgetOnce"))));
    ASSERT_TRUE(made);
    EXPECT_TRUE(made->isKindOf(TestLabel::classInfo));
    EXPECT_EQ(factory->createObject(*SmartPtr<NodeValue>(new NodeValue("widget", "NoSuchClass"))), nullptr);
}

TEST(ObjectFactory, CreateChildrenKeepsTheObjectsByChildName) {
    ObjectFactory* factory = ObjectFactory::instance();
    factory->registerCreator("TestNamedLabel", createLabel);
    SmartPtr<NodeValue> document(new NodeValue("", "root"));
    document->setChild(new NodeValue("LABEL_A", "TestNamedLabel"));
    document->setChild(new NodeValue("NOT_A_CLASS", "Unregistered"));
    factory->createChildren(*document);
    ASSERT_NE(factory->createdObject("LABEL_A"), nullptr);
    EXPECT_TRUE(factory->createdObject("LABEL_A")->isKindOf(TestLabel::classInfo));
    EXPECT_EQ(factory->createdObject("NOT_A_CLASS"), nullptr);
}
