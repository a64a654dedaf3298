#include "win32/input_gate.h"

#include <cstdlib>

namespace zendrik::win32 {
namespace {

struct Press {
    unsigned long long number = 0;
    DWORD time = 0;
    UINT button = 0;  // the message of the press, as WM_LBUTTONDOWN
    POINT at{};
};

struct PressHistory {
    Press last;
    Press beforeLast;
};

PressHistory& history() {
    static PressHistory presses;
    return presses;
}

// The message of a button's press: WM_LBUTTONDOWN for WM_LBUTTONDBLCLK and so on; 0 for
// any other message.
UINT pressOf(UINT message) {
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            return WM_LBUTTONDOWN;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
            return WM_RBUTTONDOWN;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK:
            return WM_MBUTTONDOWN;
        default:
            return 0;
    }
}

bool isButtonOf(HWND control, HWND page) {
    wchar_t name[16] = {};
    return control != page && GetParent(control) == page && GetClassNameW(control, name, 16) > 0 &&
           lstrcmpiW(name, L"Button") == 0;
}

// Whether `a` was made before `b`, tick counts wrapping around.
bool before(DWORD a, DWORD b) {
    return LONG(a - b) < 0;
}

}  // namespace

void InputGate::notePress(const MSG& msg) {
    const UINT button = pressOf(msg.message);
    if (button == 0) return;
    PressHistory& presses = history();
    // A double click arrives as one message for its second press.
    presses.beforeLast = presses.last;
    presses.last = {presses.last.number + 1, msg.time, button, msg.pt};
}

void InputGate::open() {
    opened_ = true;
    openedAt_ = GetTickCount();
    pressesAtOpen_ = history().last.number;
    droppingPress_ = false;
    keysDown_.clear();
}

bool InputGate::drops(const MSG& msg, HWND page) {
    switch (msg.message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK: {
            if (!isButtonOf(msg.hwnd, page)) return false;
            if (!opened_ || before(msg.time, openedAt_)) {
                droppingPress_ = true;
                return true;
            }
            // The first press since the gate opened, completing a double click begun before.
            const PressHistory& presses = history();
            const Press& first = presses.beforeLast;
            droppingPress_ =
                presses.last.number == pressesAtOpen_ + 1 && presses.last.time == msg.time &&
                first.number != 0 && first.button == pressOf(msg.message) &&
                !before(msg.time, first.time) && msg.time - first.time <= GetDoubleClickTime() &&
                std::abs(msg.pt.x - first.at.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
                std::abs(msg.pt.y - first.at.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
            return droppingPress_;
        }
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            if (!droppingPress_ || !isButtonOf(msg.hwnd, page)) return false;
            droppingPress_ = false;
            return true;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: {
            // Bit 30: the key was down before this message, an auto-repeat.
            const bool repeat = (msg.lParam & (1L << 30)) != 0;
            if (repeat) return keysDown_.count(msg.wParam) == 0;
            keysDown_.insert(msg.wParam);
            return false;
        }
        case WM_KEYUP:
        case WM_SYSKEYUP:
            keysDown_.erase(msg.wParam);
            return false;
        default:
            return false;
    }
}

}  // namespace zendrik::win32
