#include "win32/input_gate.h"

#include <cstdlib>

namespace zendrik::win32 {
namespace {

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

Press pressIn(const MSG& msg) {
    return {msg.time, int(pressOf(msg.message)), msg.pt.x, msg.pt.y};
}

bool isButtonOf(HWND control, HWND page) {
    wchar_t name[16] = {};
    return control != page && GetParent(control) == page && GetClassNameW(control, name, 16) > 0 &&
           lstrcmpiW(name, L"Button") == 0;
}

// As the system makes a double click: the same button again within the double-click time
// and the double-click rectangle around the first press.
bool doubleClick(const Press& first, const Press& second) {
    return first.button == second.button && std::int32_t(second.time - first.time) >= 0 &&
           second.time - first.time <= GetDoubleClickTime() &&
           std::abs(second.x - first.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
           std::abs(second.y - first.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
}

}  // namespace

InputGate::InputGate() : gate_(history(), &doubleClick) {}

void InputGate::notePress(const MSG& msg) {
    // A double click arrives as one message for its second press.
    if (pressOf(msg.message) != 0) history().note(pressIn(msg));
}

void InputGate::open() {
    gate_.open(GetTickCount());
}

bool InputGate::drops(const MSG& msg, HWND page) {
    switch (msg.message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK:
            // The loop noted every press before it asks.
            return isButtonOf(msg.hwnd, page) && gate_.dropsPress(pressIn(msg), true);
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            return isButtonOf(msg.hwnd, page) && gate_.dropsRelease();
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            // Bit 30: the key was down before this message, an auto-repeat.
            return gate_.dropsKey(int(msg.wParam), true, (msg.lParam & (1L << 30)) != 0);
        case WM_KEYUP:
        case WM_SYSKEYUP:
            return gate_.dropsKey(int(msg.wParam), false, false);
        default:
            return false;
    }
}

}  // namespace zendrik::win32
