// One page of the wizard as a top-level window made in code from its table: the controls in
// tab order, placed in pixels for the DPI of the monitor the page is on (and again whenever
// that changes), shrunk to fit the room the monitor offers, with the system's message font
// and the fonts the tables name. The message loop hands each message to translate() first:
// the page's input gate, Enter and Escape, then the dialog keys (Tab, arrows, Space,
// access keys).
#pragma once

#include <windows.h>

#include "win32/input_gate.h"
#include "wizard/window_tables.h"

namespace zendrik::win32 {

class PageWindow {
  public:
    // Creates the page hidden; `owner`, when given, is the window it stays above.
    explicit PageWindow(const WindowTable& table, HWND owner = nullptr);
    virtual ~PageWindow();
    PageWindow(const PageWindow&) = delete;
    PageWindow& operator=(const PageWindow&) = delete;

    HWND hwnd() const { return hwnd_; }
    HWND control(int id) const { return GetDlgItem(hwnd_, id); }
    UINT dpi() const { return dpi_; }
    bool isVisible() const { return IsWindowVisible(hwnd_) != FALSE; }

    // Lays the page out for the monitor it is on and shows it active, the focus where it
    // was when the page was last shown, else on the first control that takes it.
    void show();
    void hide();

    // Takes `msg` before it is dispatched: true when the page has dealt with it.
    bool translate(MSG& msg);

    // Presses the button `id` as a key does, when a user could press it (shown and
    // enabled), leaving the focus where it is. Returns whether it did.
    bool press(int id);

  protected:
    virtual void onCommand(int id, int code) = 0;
    // Closing by the frame: by default as a click on the table's cancel button.
    virtual void onClose() { onCommand(table_.cancelButton, BN_CLICKED); }
    // After show() made the page visible: by default the page's buttons take input made from
    // now on.
    virtual void onShown() { gate_.open(); }
    virtual void onTimer(UINT_PTR) {}
    // A message of the program's own (WM_APP and above).
    virtual void onAppMessage(UINT, WPARAM, LPARAM) {}
    // A key the page takes besides Enter and Escape; true when taken.
    virtual bool onKey(const MSG&) { return false; }
    // The button that Enter presses when the focus is not on a button: by default the
    // table's. Escape presses the table's cancel button.
    virtual int mainButton() const { return table_.mainButton; }
    // The fonts changed (a new DPI).
    virtual void onLayout() {}

    void setShown(int id, bool shown);
    void setEnabled(int id, bool enabled);
    void setText(int id, const wchar_t* text);
    void setCaption(const wchar_t* caption);

    InputGate gate_;

  private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    // Lays the page out at `dpi` on the monitor `monitor`; the window's top left at `at`, or
    // centred in the monitor's work area when `at` is null or the page had to shrink.
    void lay(UINT dpi, HMONITOR monitor, const POINT* at);
    void makeFonts();
    void deleteFonts();
    bool pressKey(const MSG& msg);

    const WindowTable& table_;
    DWORD style_;
    HWND hwnd_ = nullptr;
    UINT dpi_ = 96;
    HFONT normal_ = nullptr;
    HFONT heading_ = nullptr;
    HFONT title_ = nullptr;
    HWND lastFocus_ = nullptr;
    bool placed_ = false;
};

// The program's instance: the module that holds its resources.
HINSTANCE programInstance();

}  // namespace zendrik::win32
