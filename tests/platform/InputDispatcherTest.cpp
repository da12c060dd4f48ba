#include "engine/platform/InputDispatcher.h"
#include "engine/kernel/InputListener.h"
#include "engine/kernel/ListenerGroup.h"
#include "engine/kernel/SmartPtr.h"
#include "engine/platform/AppEventListener.h"
#include "engine/platform/EventDispatcher.h"
#include "engine/platform/InputContext.h"
#include "engine/platform/PointerPosition.h"
#include "host/Time.h"
#include "host/Window.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using kernel::InputListener;
using kernel::ListenerGroup;
using kernel::SmartPtr;
using platform::EventDispatcher;
using platform::InputDispatcher;

namespace {

using Log = std::vector<std::string>;

class FakeContext : public platform::InputContext {
public:
    bool hasFocus() const override { return focus; }
    int gameWidth() const override { return 640; }
    int gameHeight() const override { return 480; }
    host::POINT cursorPosition() const override { return cursor; }

    bool focus = true;
    host::POINT cursor{100, 100};
};

// Writes "<name> <operation> <arguments>" for every call; takes what `takes` says.
class Recorder : public InputListener {
public:
    Recorder(std::string name, Log& log) : name(std::move(name)), log(log) {}

    bool onKeyDown(std::uint32_t key) override { return note("keydown " + std::to_string(key)); }
    bool onKeyUp(std::uint32_t key) override { return note("keyup " + std::to_string(key)); }
    bool onChar(std::uint32_t code) override { return note("char " + std::to_string(code)); }
    void onMouseMove(int x, int y, std::uint32_t flags) override { note("move" + at(x, y, flags)); }
    bool onLeftButtonDown(int x, int y, std::uint32_t flags, bool dbl) override {
        return note("ldown" + at(x, y, flags) + (dbl ? " dbl" : ""));
    }
    bool onLeftButtonUp(int x, int y, std::uint32_t flags) override { return note("lup" + at(x, y, flags)); }
    bool onMiddleButtonDown(int x, int y, std::uint32_t flags, bool dbl) override {
        return note("mdown" + at(x, y, flags) + (dbl ? " dbl" : ""));
    }
    bool onMiddleButtonUp(int x, int y, std::uint32_t flags) override {
        return note("mup" + at(x, y, flags));
    }
    bool onRightButtonDown(int x, int y, std::uint32_t flags, bool dbl) override {
        return note("rdown" + at(x, y, flags) + (dbl ? " dbl" : ""));
    }
    bool onRightButtonUp(int x, int y, std::uint32_t flags) override { return note("rup" + at(x, y, flags)); }

    bool takes = false;
    // Runs once, inside the next call.
    std::function<void()> action;

private:
    static std::string at(int x, int y, std::uint32_t flags) {
        return " " + std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(flags);
    }
    bool note(const std::string& what) {
        log.push_back(name + " " + what);
        if (action) {
            std::exchange(action, nullptr)();
        }
        return takes;
    }

    std::string name;
    Log& log;
};

std::uint32_t position(int x, int y) {
    return static_cast<std::uint32_t>(host::MAKELPARAM(x, y));
}

class InputDispatcherTest : public ::testing::Test {
protected:
    Recorder& listener(const std::string& name) {
        return *recorders.emplace_back(std::make_unique<Recorder>(name, log));
    }
    ListenerGroup& group(std::initializer_list<Recorder*> members, bool atFront = false) {
        ListenerGroup& made = *groups.emplace_back(std::make_unique<ListenerGroup>());
        for (Recorder* member : members) {
            made.add(member, false);
        }
        dispatcher->addListener(&made, atFront);
        return made;
    }
    void queue(std::uint32_t message, std::uint32_t wParam = 0, std::uint32_t lParam = 0) {
        dispatcher->onAppEvent(message, wParam, lParam);
    }
    Log tick() {
        log.clear();
        dispatcher->tick();
        return log;
    }

    Log log;
    FakeContext context;
    std::vector<std::unique_ptr<Recorder>> recorders;
    std::vector<std::unique_ptr<ListenerGroup>> groups;
    SmartPtr<InputDispatcher> dispatcher{new InputDispatcher(context)};
};

TEST_F(InputDispatcherTest, CorrectsCoordinatesAndSharesThePointer) {
    struct Case {
        std::uint32_t x, y;
        int deliveredX, deliveredY;
    };
    const Case cases[] = {
        {10, 20, 10, 20},     {65535, 65535, 0, 0}, {700, 20, 640, 20},       {10, 500, 10, 480},
        {640, 480, 640, 480}, {639, 479, 639, 479}, {60000, 60000, 640, 480}, {60001, 60001, 0, 0},
    };
    Recorder& a = listener("a");
    group({&a});
    for (const Case& c : cases) {
        queue(host::WM_LBUTTONDOWN, host::MK_LBUTTON, (c.y << 16) | c.x);
        // Queueing shares the raw position, delivery the corrected one.
        EXPECT_EQ(platform::pointerX, static_cast<int>(c.x));
        EXPECT_EQ(platform::pointerY, static_cast<int>(c.y));
        const std::string expected =
            "a ldown " + std::to_string(c.deliveredX) + "," + std::to_string(c.deliveredY) + " 1";
        EXPECT_EQ(tick(), Log{expected}) << c.x << "," << c.y;
        EXPECT_EQ(platform::pointerX, c.deliveredX);
        EXPECT_EQ(platform::pointerY, c.deliveredY);
    }
}

TEST_F(InputDispatcherTest, DeliversEachMessageAsItsOperation) {
    struct Case {
        std::uint32_t message, wParam;
        const char* delivered; // empty: queued but given to nobody; null: not even queued
    };
    // clang-format off
    const Case cases[] = {
        {host::WM_MOUSEMOVE, 4, "a move 5,6 4"},
        {host::WM_LBUTTONDOWN, 1, "a ldown 5,6 1"}, {host::WM_LBUTTONDBLCLK, 1, "a ldown 5,6 1 dbl"},
        {host::WM_LBUTTONUP, 0, "a lup 5,6 0"},
        {host::WM_RBUTTONDOWN, 2, "a rdown 5,6 2"}, {host::WM_RBUTTONDBLCLK, 2, "a rdown 5,6 2 dbl"},
        {host::WM_RBUTTONUP, 0, "a rup 5,6 0"},
        {host::WM_MBUTTONDOWN, 16, "a mdown 5,6 16"}, {host::WM_MBUTTONDBLCLK, 16, "a mdown 5,6 16 dbl"},
        {host::WM_MBUTTONUP, 0, "a mup 5,6 0"},
        {host::WM_KEYDOWN, 65, "a keydown 65"}, {host::WM_KEYUP, 65, "a keyup 65"},
        {host::WM_CHAR, 97, "a char 97"},
        {host::WM_SYSKEYDOWN, 121, ""}, {host::WM_SYSKEYUP, 121, ""},
        {host::WM_CLOSE, 0, nullptr}, {host::WM_SETFOCUS, 0, nullptr},
        {EventDispatcher::fullScreenChanged, 1, nullptr}, {EventDispatcher::minimised, 0, nullptr},
    };
    // clang-format on
    Recorder& a = listener("a");
    group({&a});
    for (const Case& c : cases) {
        queue(c.message, c.wParam, position(5, 6));
        EXPECT_EQ(dispatcher->queuedEventCount(), c.delivered ? 1u : 0u) << c.message;
        const Log expected = c.delivered && *c.delivered ? Log{c.delivered} : Log{};
        EXPECT_EQ(tick(), expected) << c.message;
        EXPECT_EQ(dispatcher->queuedEventCount(), 0u);
    }
}

TEST_F(InputDispatcherTest, WalksTheGroupsUntilOneTakesTheEvent) {
    // Members by name; a "*" after it takes the event, a "-" is disabled.
    struct GroupSetup {
        std::vector<std::string> members;
        bool active = true, exclusive = false;
        int current = -1; // index into members
        bool atFront = false;
    };
    struct Case {
        const char* what;
        std::vector<GroupSetup> groups;
        Log expected;
    };
    const Case cases[] = {
        {"nobody takes", {{{"a1", "a2"}}, {{"b1"}}}, {"a1", "a2", "b1"}},
        {"first taker ends the walk", {{{"a1", "a2*", "a3*"}}, {{"b1*"}}}, {"a1", "a2"}},
        {"disabled members are passed over", {{{"a1*-", "a2"}}, {{"b1*"}}}, {"a2", "b1"}},
        {"exclusive group ends the walk", {{{"a1"}, true, true}, {{"b1*"}}}, {"a1"}},
        {"exclusive group after a taker-free group",
         {{{"a1"}}, {{"b1"}, true, true}, {{"c1*"}}},
         {"a1", "b1"}},
        {"inactive group serves its current member only",
         {{{"a1*", "a2"}, false, false, 1}, {{"b1"}}},
         {"a2", "b1"}},
        {"inactive group without a current member", {{{"a1*"}, false}, {{"b1"}}}, {"b1"}},
        {"inactive group with a disabled current member", {{{"a1*-"}, false, false, 0}, {{"b1"}}}, {"b1"}},
        {"newest dialog in front",
         {{{"scene"}}, {{"old"}, true, false, -1, true}, {{"new"}, true, false, -1, true}},
         {"new", "old", "scene"}},
        {"a taker in front hides the scene",
         {{{"scene*"}}, {{"dialog*"}, true, false, -1, true}},
         {"dialog"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        recorders.clear();
        for (auto& made : groups) {
            dispatcher->removeListener(made.get());
        }
        groups.clear();
        for (const GroupSetup& setup : c.groups) {
            ListenerGroup& made = group({}, setup.atFront);
            for (std::string name : setup.members) {
                const bool takes = name.find('*') != std::string::npos,
                           enabled = name.find('-') == std::string::npos;
                std::erase_if(name, [](char mark) { return mark == '*' || mark == '-'; });
                Recorder& r = listener(name);
                r.takes = takes;
                r.setEnabled(enabled);
                made.add(&r, false);
            }
            if (setup.current >= 0) {
                made.setCurrent(recorders[recorders.size() - setup.members.size() + setup.current].get());
            }
            made.setActive(setup.active);
            made.setExclusive(setup.exclusive);
        }
        queue(host::WM_KEYDOWN, 13);
        Log expected;
        for (const std::string& name : c.expected) {
            expected.push_back(name + " keydown 13");
        }
        EXPECT_EQ(tick(), expected);
    }
}

TEST_F(InputDispatcherTest, MouseMovesReachEveryMemberAndTwiceAddedGroupsTwice) {
    Recorder& a = listener("a");
    Recorder& b = listener("b");
    a.takes = b.takes = true;
    ListenerGroup& both = group({&a, &b});
    dispatcher->addListener(&both);
    queue(host::WM_MOUSEMOVE, 0, position(1, 2));
    EXPECT_EQ(tick(), (Log{"a move 1,2 0", "b move 1,2 0", "a move 1,2 0", "b move 1,2 0"}));
    dispatcher->removeListener(&both);
    queue(host::WM_MOUSEMOVE, 0, position(1, 2));
    EXPECT_EQ(tick(), Log{});
}

TEST_F(InputDispatcherTest, DeliversEverythingQueuedInArrivalOrder) {
    Recorder& a = listener("a");
    group({&a});
    queue(host::WM_KEYDOWN, 65);
    queue(host::WM_CHAR, 97);
    queue(host::WM_SYSKEYDOWN, 18);
    queue(host::WM_LBUTTONDOWN, 1, position(3, 4));
    queue(host::WM_KEYUP, 65);
    EXPECT_EQ(tick(), (Log{"a keydown 65", "a char 97", "a ldown 3,4 1", "a keyup 65"}));
    EXPECT_EQ(tick(), Log{});

    // Queued by a handler: handed out in the same tick, after what was already waiting.
    a.action = [this] { queue(host::WM_CHAR, 98); };
    queue(host::WM_KEYDOWN, 66);
    queue(host::WM_KEYUP, 66);
    EXPECT_EQ(tick(), (Log{"a keydown 66", "a keyup 66", "a char 98"}));

    queue(host::WM_KEYDOWN, 67);
    dispatcher->clearEvents();
    EXPECT_EQ(tick(), Log{});

    // A scene entered from inside a handler empties the queue; what is queued after that still counts.
    a.action = [this] {
        dispatcher->clearEvents();
        queue(host::WM_CHAR, 99);
    };
    queue(host::WM_KEYDOWN, 68);
    queue(host::WM_KEYUP, 68);
    EXPECT_EQ(tick(), (Log{"a keydown 68", "a char 99"}));
}

TEST_F(InputDispatcherTest, MovesAPointerOutsideTheClientAreaOntoItsBorder) {
    struct Case {
        int cursorX, cursorY;
        bool focus, queued;
        const char* delivered; // null: nothing
    };
    const Case cases[] = {
        {100, 100, true, false, nullptr},
        {-5, 100, true, false, "a move 0,100 0"},
        {700, 100, true, false, "a move 640,100 0"},
        {0, 100, true, false, "a move 0,100 0"},
        {100, 0, true, false, "a move 100,0 0"},
        {100, 480, true, false, "a move 100,480 0"},
        {639, 479, true, false, nullptr},
        {-5, -7, false, false, nullptr},
        {-5, 100, true, true, "a keydown 1"},
    };
    Recorder& a = listener("a");
    group({&a});
    for (const Case& c : cases) {
        context.cursor = {c.cursorX, c.cursorY};
        context.focus = c.focus;
        if (c.queued) {
            queue(host::WM_KEYDOWN, 1);
        }
        EXPECT_EQ(tick(), c.delivered ? Log{c.delivered} : Log{}) << c.cursorX << "," << c.cursorY;
    }
    // Once per tick, not once per pointer exit.
    context.cursor = {-5, 100};
    EXPECT_EQ(tick().size(), 1u);
    EXPECT_EQ(tick().size(), 1u);
    EXPECT_EQ(platform::pointerX, 0);
}

TEST_F(InputDispatcherTest, GroupsAndMembersMayChangeDuringADelivery) {
    Recorder& a = listener("a");
    Recorder& b = listener("b");
    Recorder& c = listener("c");
    Recorder& d = listener("d");
    ListenerGroup& first = group({&a, &b});
    // Inactive, so only its current member is served.
    ListenerGroup& second = group({});
    second.setCurrent(&c);
    second.setActive(false);
    ListenerGroup& later = *groups.emplace_back(std::make_unique<ListenerGroup>());
    later.add(&d, false);

    // A member takes out the next member and destroys it, then drops the second group and adds another
    // in front and at the end: neither the dropped nor the added ones see this event.
    a.action = [&] {
        first.remove(&b);
        std::erase_if(recorders, [&](const auto& r) { return r.get() == &b; });
        dispatcher->removeListener(&second);
        dispatcher->addListener(&later, true);
        dispatcher->addListener(&later, false);
    };
    queue(host::WM_KEYDOWN, 1);
    EXPECT_EQ(tick(), Log{"a keydown 1"});
    queue(host::WM_KEYDOWN, 2);
    EXPECT_EQ(tick(), (Log{"d keydown 2", "a keydown 2", "d keydown 2"}));

    // An exclusive dialog closing itself: its group leaves the dispatcher and is destroyed inside its own
    // handler; the event it was given still goes no further.
    dispatcher->removeListener(&later);
    first.setExclusive(true);
    a.action = [&] {
        dispatcher->removeListener(&first);
        std::erase_if(groups, [&](const auto& g) { return g.get() == &first; });
    };
    dispatcher->addListener(&second);
    queue(host::WM_KEYDOWN, 3);
    EXPECT_EQ(tick(), Log{"a keydown 3"});
    queue(host::WM_KEYDOWN, 4);
    EXPECT_EQ(tick(), Log{"c keydown 4"});
}

class Forwarder : public platform::AppEventListener {
public:
    Forwarder(std::string name, Log& log) : name(std::move(name)), log(log) {}
    void onAppEvent(std::uint32_t message, std::uint32_t, std::uint32_t) override {
        log.push_back(name + " " + std::to_string(message));
        if (action) {
            std::exchange(action, nullptr)();
        }
    }
    std::function<void()> action;

private:
    std::string name;
    Log& log;
};

class EventDispatcherTest : public ::testing::Test {
protected:
    void SetUp() override { host::testing::useFakeClock(1000); }
    void TearDown() override { host::testing::useRealClock(); }
    Log dispatch(std::uint32_t message) {
        log.clear();
        events->dispatch(message, 0, 0);
        return log;
    }

    Log log;
    SmartPtr<EventDispatcher> events{new EventDispatcher};
    Forwarder one{"one", log}, two{"two", log}, three{"three", log}, four{"four", log};
};

TEST_F(EventDispatcherTest, HandsEveryMessageToEachListenerOnceInOrder) {
    events->addListener(&one);
    events->addListener(&two);
    events->addListener(&one);
    events->addListener(nullptr);
    EXPECT_EQ(events->listenerCount(), 2u);
    EXPECT_EQ(dispatch(7), (Log{"one 7", "two 7"}));
    events->removeListener(&one);
    EXPECT_EQ(dispatch(8), Log{"two 8"});
    EXPECT_FALSE(events->isDispatching());
}

TEST_F(EventDispatcherTest, ListenersChangeAtOnceDuringADispatch) {
    for (Forwarder* f : {&one, &two, &three}) {
        events->addListener(f);
    }
    // A full-screen change handed out from inside the window procedure's own dispatch; its listener
    // takes out a later one, which neither walk may call afterwards.
    one.action = [&] {
        EXPECT_TRUE(events->isDispatching());
        events->dispatch(EventDispatcher::fullScreenChanged, 1, 0);
        EXPECT_TRUE(events->isDispatching());
    };
    two.action = [&] {
        events->removeListener(&three);
        events->addListener(&four);
        events->removeListener(&two);
        events->addListener(&two);
    };
    const std::string full = std::to_string(EventDispatcher::fullScreenChanged);
    // Listeners added during a dispatch get the next message.
    EXPECT_EQ(dispatch(5), (Log{"one 5", "one " + full, "two " + full}));
    EXPECT_FALSE(events->isDispatching());
    EXPECT_EQ(host::testing::fakeSleepCalls(), 0u);
    EXPECT_EQ(dispatch(6), (Log{"one 6", "four 6", "two 6"}));
}

TEST(InputContextTest, WithoutAnApplicationActsAsAFocused640By480Game) {
    const platform::InputContext& context = platform::InputContext::application();
    EXPECT_TRUE(context.hasFocus());
    EXPECT_EQ(context.gameWidth(), 640);
    EXPECT_EQ(context.gameHeight(), 480);
}

} // namespace
