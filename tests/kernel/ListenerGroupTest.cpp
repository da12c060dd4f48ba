#include "engine/kernel/ListenerGroup.h"
#include "engine/kernel/InputListener.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using kernel::InputListener;
using kernel::ListenerGroup;

namespace {

using Members = std::vector<InputListener*>;

TEST(ListenerGroup, AddingAgainMovesTheListener) {
    InputListener a, b, c;
    struct Case {
        InputListener* listener;
        bool atFront;
        Members expected;
    };
    const Case cases[] = {
        {&a, false, {&a}},
        {&b, false, {&a, &b}},
        {&c, true, {&c, &a, &b}},
        {&b, true, {&b, &c, &a}},
        {&b, false, {&c, &a, &b}},
        {&c, false, {&a, &b, &c}},
        {nullptr, true, {&a, &b, &c}},
    };
    ListenerGroup group;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        group.add(cases[i].listener, cases[i].atFront);
        EXPECT_EQ(group.getMembers(), cases[i].expected);
    }
    group.remove(nullptr);
    group.remove(&b);
    group.remove(&b);
    EXPECT_EQ(group.getMembers(), (Members{&a, &c}));
}

TEST(ListenerGroup, CurrentListenerMembership) {
    InputListener a, b, c;
    ListenerGroup group;
    EXPECT_TRUE(group.isActive());
    EXPECT_FALSE(group.isExclusive());
    EXPECT_EQ(group.getCurrent(), nullptr);
    group.add(&a, false);
    group.setCurrent(&b);
    EXPECT_EQ(group.getMembers(), (Members{&a, &b}));

    group.add(&c, false);
    group.setCurrent(&a); // the old current leaves, the new one moves to the back
    EXPECT_EQ(group.getCurrent(), &a);
    EXPECT_EQ(group.getMembers(), (Members{&c, &a}));

    group.setCurrent(&a);
    EXPECT_EQ(group.getMembers(), (Members{&c, &a}));

    group.remove(&a); // stays current though no longer a member
    EXPECT_EQ(group.getCurrent(), &a);
    EXPECT_EQ(group.getMembers(), Members{&c});

    group.setCurrent(nullptr);
    EXPECT_EQ(group.getCurrent(), nullptr);
    EXPECT_EQ(group.getMembers(), Members{&c});

    group.setCurrent(&b);
    group.setCurrent(nullptr);
    EXPECT_EQ(group.getMembers(), Members{&c});
}

TEST(ListenerGroup, ListenersAndGroupsLetGoOfEachOtherWhenDestroyed) {
    ListenerGroup group;
    InputListener kept;
    {
        InputListener member;
        InputListener current;
        group.add(&member, false);
        group.add(&kept, false);
        group.setCurrent(&current);
        group.remove(&current); // current only
    }
    EXPECT_EQ(group.getMembers(), Members{&kept});
    EXPECT_EQ(group.getCurrent(), nullptr);

    // A group freed first leaves nothing for the listener to reach when it dies (the sanitizer would see it).
    auto shortLived = std::make_unique<ListenerGroup>();
    shortLived->add(&kept, true);
    shortLived->setCurrent(&kept);
    shortLived.reset();
}

} // namespace
