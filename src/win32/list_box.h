// What the wizard's list boxes add to the platform's: lines shown whole with a horizontal
// scroll bar as wide as the widest line, and for the log a view that follows the newest
// line unless the reader scrolled away, Ctrl+A to select every line and Ctrl+C to copy the
// selected lines as text.
#pragma once

#include <windows.h>

#include <string>

#include "log/log.h"

namespace zendrik::win32 {

// Keeps the horizontal extent of a list box as wide as its widest line.
class LineWidths {
  public:
    explicit LineWidths(HWND list) : list_(list) {}
    // `line` was added or changed.
    void measure(const std::wstring& line);
    // Every line again, after a change of font.
    void measureAll();
    void reset();

  private:
    HWND list_;
    long widest_ = 0;
    // Of the list's font; 0 until measured.
    long maxCharWidth_ = 0;
};

// Shows a Log in a list box, line for line, as it changes. The list box must have
// LBS_EXTENDEDSEL and LBS_NOINTEGRALHEIGHT.
class LogList final : public LogObserver {
  public:
    // Shows `log` in `list` and follows its changes; both must outlive this.
    LogList(HWND list, Log& log);
    ~LogList() override;
    LogList(const LogList&) = delete;
    LogList& operator=(const LogList&) = delete;

    // Around a batch of changes: the list is drawn once, and the view stays on the newest
    // line when it was there before.
    void beginChanges();
    void endChanges();
    // Measures the lines again, after a change of font.
    void fontChanged() { widths_.measureAll(); }

    // Ctrl+A and Ctrl+C on the list; true when `msg` was one of them.
    bool onKey(const MSG& msg);
    // The selected lines in order, each followed by CR LF.
    std::wstring selectedText() const;

    void lineAdded(const std::string& line) override;
    void lastLineChanged(const std::string& line) override;
    void cleared() override;

  private:
    // Whether the newest line is in view.
    bool atNewestLine() const;
    void showNewestLine();

    HWND list_;
    Log& log_;
    LineWidths widths_;
    int batches_ = 0;
    bool following_ = false;
};

}  // namespace zendrik::win32
