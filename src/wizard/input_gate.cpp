#include "wizard/input_gate.h"

#include <utility>

namespace zendrik {
namespace {

// Whether `a` was taken before `b`, the clock wrapping around.
bool before(std::uint32_t a, std::uint32_t b) {
    return std::int32_t(a - b) < 0;
}

}  // namespace

void PressHistory::note(const Press& press) {
    beforeLast_ = last_;
    last_ = press;
    ++count_;
}

InputGate::InputGate(const PressHistory& history, DoubleClick doubleClick)
    : history_(history), doubleClick_(std::move(doubleClick)) {}

void InputGate::open(std::optional<std::uint32_t> now) {
    opened_ = true;
    openedAt_ = now;
    pressesAtOpen_ = history_.count();
    droppingPress_ = false;
    keysDown_.clear();
}

bool InputGate::dropsPress(const Press& press, bool fromWindowSystem) {
    if (!opened_ || (fromWindowSystem && openedAt_ && before(press.time, *openedAt_))) {
        droppingPress_ = true;
        return true;
    }
    // The first press since the gate opened, completing a double click begun before.
    droppingPress_ = fromWindowSystem && history_.count() == pressesAtOpen_ + 1 &&
                     history_.count() >= 2 && doubleClick_(history_.beforeLast(), press);
    return droppingPress_;
}

bool InputGate::dropsRelease() {
    if (!droppingPress_) return false;
    droppingPress_ = false;
    return true;
}

bool InputGate::dropsKey(int key, bool down, bool repeat) {
    if (repeat) return keysDown_.count(key) == 0;
    if (down)
        keysDown_.insert(key);
    else
        keysDown_.erase(key);
    return false;
}

}  // namespace zendrik
