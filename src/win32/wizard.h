// The Win32 wizard: the four windows over the wizard core, each created on first use and
// then only shown and hidden. The windows keep only what is the toolkit's (controls, fonts,
// geometry, DPI, keys, focus, timers, dialogs, message boxes); what the pages decide is the
// core's. The message loop hands every message to dispatch().
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>

#include "wizard/view_windows.h"
#include "wizard/wizard_core.h"
#include "wizard/wizard_host.h"

namespace zendrik {
class FileSystem;
}

namespace zendrik::win32 {

class InfoFormular;
class Optionen;
class OrdnerAuswahl;
class PageWindow;
class Reparier;
class Wizard;

using Win32Windows =
    ViewWindows<Wizard, PageWindow, Optionen, OrdnerAuswahl, Reparier, InfoFormular>;

// The repair page's notice that a pass has ended, posted from the worker thread.
constexpr UINT kPassEndedMessage = WM_APP + 1;

class Wizard final : public WizardHost, public Win32Windows {
  public:
    // `fs` must outlive the wizard.
    explicit Wizard(FileSystem& fs);
    ~Wizard() override;

    // Gives `msg` to the page it is bound for (input gate, Enter, Escape, dialog keys), else
    // translates and dispatches it.
    void dispatch(MSG& msg);

    WizardCore& core() { return core_; }
    // The repair page, once made, takes the notices of a pass's end.
    void takePassNotices(HWND page) { passNotices_ = page; }

    // WizardHost.
    void postPassEnded() override;
    void endProgram() override;

  private:
    // WizardWindows.
    void enableOptions(bool enabled) override;

    WizardCore core_;
    // Where the worker posts the end of a pass: the repair page, once it exists.
    std::atomic<HWND> passNotices_{nullptr};
};

// Ending the program: by default the message loop is left (PostQuitMessage). Tests count
// the requests instead; an empty function restores the default.
void setProgramEndHandler(std::function<void()> handler);

}  // namespace zendrik::win32
