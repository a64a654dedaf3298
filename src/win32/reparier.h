// The repair page: runs the repair pass when it is first shown and shows its log and the
// folder in work as they arrive, ten and more times a second; then offers "COPY!" and
// "Cancel" or "Save Log" and "Finish", and "<- Back" after a preview or "Undo" after a real
// pass, as the core's button rule says. While a pass runs the
// page stays readable: the log can be scrolled, selected and copied, only the buttons are
// inactive. Closing the window during a pass ends the program once the file operation
// under way has finished.
#pragma once

#include <memory>

#include "win32/list_box.h"
#include "win32/page_window.h"

namespace zendrik::win32 {

class Wizard;

class Reparier final : public PageWindow, public ReparierControls {
  public:
    explicit Reparier(Wizard& wizard);
    ~Reparier() override;

    // The log list's selected lines, as Ctrl+C copies them.
    std::wstring selectedLogText() const { return log_->selectedText(); }

  protected:
    void onCommand(int id, int code) override;
    // During a pass, asks it to stop and ends the program once it has; else ends the
    // program at once.
    void onClose() override;
    // The first showing starts the repair pass once the page has painted.
    void onShown() override;
    void onTimer(UINT_PTR timer) override;
    void onAppMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool onKey(const MSG& msg) override { return log_->onKey(msg); }
    void onLayout() override;
    // "COPY!" before it was pressed, then "Finish".
    int mainButton() const override;

  private:
    // Starts taking the worker's progress when a pass runs.
    void followPass();
    // Brings the worker's lines and status onto the page.
    void showProgress();
    void passEnded();
    // The buttons, the caption and the status field as the core says.
    void showState();
    void SaveLogButton_Click();
    void BackButton_Click();

    Wizard& wizard_;
    std::unique_ptr<LogList> log_;
};

}  // namespace zendrik::win32
