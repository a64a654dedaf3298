// Keeps a page's buttons from acting on input that was made before the page was ready for
// it: a press on a button made before the gate opened, the press that completes a double click
// whose first press went to a page shown earlier, and the auto-repeat of a key held down
// since before. A page opens its gate when it is shown and, on the repair page, when a pass
// has ended. The message loop asks the gate about each message before it is dispatched.
#pragma once

#include <windows.h>

#include <set>

namespace zendrik::win32 {

class InputGate {
  public:
    // Every press of a mouse button that the message loop sees, on any window of the
    // program, whether dropped or not.
    static void notePress(const MSG& msg);

    // From now on the page's buttons take input made from now on.
    void open();
    // Whether `msg`, bound for `page` or one of its controls, is to be dropped.
    bool drops(const MSG& msg, HWND page);

  private:
    DWORD openedAt_ = 0;
    bool opened_ = false;
    unsigned long long pressesAtOpen_ = 0;
    // Dropping a press also drops its double click and its release.
    bool droppingPress_ = false;
    // The keys pressed on the page since the gate opened.
    std::set<WPARAM> keysDown_;
};

}  // namespace zendrik::win32
