// The Win32 side of a page's input gate (wizard/input_gate.h): the message loop asks it about
// each message before it is dispatched; it hands the core's gate the presses on the page's
// buttons and the keys on the page, with the system's double-click time and distance.
#pragma once

#include <windows.h>

#include "wizard/input_gate.h"

namespace zendrik::win32 {

class InputGate {
  public:
    InputGate();

    // Every press of a mouse button that the message loop sees, on any window of the
    // program, whether dropped or not.
    static void notePress(const MSG& msg);

    // From now on the page's buttons take input made from now on.
    void open();
    // Whether `msg`, bound for `page` or one of its controls, is to be dropped.
    bool drops(const MSG& msg, HWND page);

  private:
    zendrik::InputGate gate_;
};

}  // namespace zendrik::win32
