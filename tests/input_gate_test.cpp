// The input gate's one rule for both views, without a toolkit: a press made before the gate
// opened is dropped with its release, and so is the press that completes a double click begun
// before it; a key held down since before does not repeat; the window system's clock wraps.
#include <gtest/gtest.h>

#include <cstdlib>

#include "wizard/input_gate.h"

namespace zendrik::testing {
namespace {

constexpr int kLeft = 1;
constexpr int kRight = 2;
constexpr int kEnter = 13;

// A toolkit's double click: the same button within 500 ms and 4 pixels on each axis.
bool doubleClick(const Press& first, const Press& second) {
    return first.button == second.button && second.time - first.time <= 500 &&
           std::abs(second.x - first.x) <= 4 && std::abs(second.y - first.y) <= 4;
}

struct Gate {
    PressHistory history;
    InputGate gate{history, &doubleClick};

    // A press from the window system: noted, then asked about.
    bool press(std::uint32_t time, int button = kLeft, long x = 100, long y = 100) {
        const Press made{time, button, x, y};
        history.note(made);
        return gate.dropsPress(made, true);
    }
};

TEST(InputGateTest, APressMadeBeforeTheGateOpenedIsDroppedWithItsRelease) {
    Gate g;
    // Never opened: nothing on the page is meant yet.
    EXPECT_TRUE(g.press(1000));
    EXPECT_TRUE(g.gate.dropsRelease());

    g.gate.open(2000);
    // Taken by the window system before the opening, delivered after it (far from the
    // first press, so no double click either).
    EXPECT_TRUE(g.press(1990, kLeft, 300, 300));
    EXPECT_TRUE(g.gate.dropsDoubleClick());
    EXPECT_TRUE(g.gate.dropsRelease());
    // A release is dropped once, with its press.
    EXPECT_FALSE(g.gate.dropsRelease());

    // Made after the opening: the user's own.
    EXPECT_FALSE(g.press(3000, kLeft, 500, 500));
    EXPECT_FALSE(g.gate.dropsRelease());
}

TEST(InputGateTest, APressWithoutTheWindowSystemsTimeIsNotJudgedByTime) {
    Gate g;
    g.gate.open(5000);
    // Sent to the button directly, with a time on another clock.
    EXPECT_FALSE(g.gate.dropsPress({10, kLeft, 100, 100}, false));
    // Opened before any press was taken: no time to compare with.
    Gate fresh;
    fresh.gate.open(std::nullopt);
    EXPECT_FALSE(fresh.press(10));
}

TEST(InputGateTest, ThePressThatCompletesADoubleClickBegunBeforeTheOpeningIsDropped) {
    Gate g;
    g.gate.open(0);
    EXPECT_FALSE(g.press(1000));  // the first click, on the page shown before
    EXPECT_FALSE(g.gate.dropsRelease());
    g.gate.open(1100);  // its click showed this page
    EXPECT_TRUE(g.press(1200, kLeft, 102, 97));
    EXPECT_TRUE(g.gate.dropsDoubleClick());
    EXPECT_TRUE(g.gate.dropsRelease());
    // The next press is a click of its own, however soon.
    EXPECT_FALSE(g.press(1300, kLeft, 102, 97));

    // Not a double click for the toolkit: too late, too far, another button.
    for (const Press second : {Press{2700, kLeft, 100, 100}, Press{2200, kLeft, 110, 100},
                               Press{2200, kRight, 100, 100}}) {
        Gate other;
        other.gate.open(0);
        other.press(2000);
        other.gate.open(2100);
        other.history.note(second);
        EXPECT_FALSE(other.gate.dropsPress(second, true)) << second.time << " " << second.x;
        EXPECT_FALSE(other.gate.dropsDoubleClick());
    }
}

TEST(InputGateTest, AKeyHeldDownSinceBeforeTheOpeningDoesNotRepeat) {
    Gate g;
    g.gate.open(0);
    EXPECT_FALSE(g.gate.dropsKey(kEnter, true, false));  // pressed on the page before
    g.gate.open(100);
    EXPECT_TRUE(g.gate.dropsKey(kEnter, true, true));
    EXPECT_TRUE(g.gate.dropsKey(kEnter, false, true));
    EXPECT_FALSE(g.gate.dropsKey(kEnter, false, false));
    // Pressed anew on this page, it repeats until released.
    EXPECT_FALSE(g.gate.dropsKey(kEnter, true, false));
    EXPECT_FALSE(g.gate.dropsKey(kEnter, true, true));
    EXPECT_FALSE(g.gate.dropsKey(kEnter, false, false));
    EXPECT_TRUE(g.gate.dropsKey(kEnter, true, true));
}

TEST(InputGateTest, TheWindowSystemsClockWrapsAround) {
    Gate g;
    g.gate.open(0xFFFFFF00u);
    EXPECT_FALSE(g.press(0x00000010u));                  // after the opening, past the wrap
    EXPECT_TRUE(g.press(0xFFFFFE00u, kLeft, 900, 900));  // before it
}

}  // namespace
}  // namespace zendrik::testing
