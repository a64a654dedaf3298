// The Win32 wizard: the four windows over the wizard core, each created on first use and
// then only shown and hidden. The windows keep only what is the toolkit's (controls, fonts,
// geometry, DPI, keys, focus, timers, dialogs, message boxes); what the pages decide is the
// core's. The message loop hands every message to dispatch().
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>

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

// The repair page's notice that a pass has ended, posted from the worker thread.
constexpr UINT kPassEndedMessage = WM_APP + 1;

class Wizard final : public WizardHost, private WizardWindows {
  public:
    // `fs` must outlive the wizard.
    explicit Wizard(FileSystem& fs);
    ~Wizard() override;
    Wizard(const Wizard&) = delete;
    Wizard& operator=(const Wizard&) = delete;

    // Shows the options page, the whole of start-up.
    void start();
    // Gives `msg` to the page it is bound for (input gate, Enter, Escape, dialog keys), else
    // translates and dispatches it.
    void dispatch(MSG& msg);

    // Shows and hides the windows as the core's page flow says.
    void showPages();

    WizardCore& core() { return core_; }
    Optionen& optionen();
    OrdnerAuswahl& ordnerAuswahl();
    Reparier& reparier();
    InfoFormular& infoFormular();

    // WizardHost.
    void postPassEnded() override;
    void endProgram() override;

  private:
    PageWindow* page(Window window);
    // WizardWindows.
    bool isShown(Window window) const override;
    void show(Window window) override;
    void hide(Window window) override;
    void enableOptions(bool enabled) override;

    WizardCore core_;
    std::unique_ptr<Optionen> optionen_;
    std::unique_ptr<OrdnerAuswahl> ordnerAuswahl_;
    std::unique_ptr<Reparier> reparier_;
    std::unique_ptr<InfoFormular> infoFormular_;
    // Where the worker posts the end of a pass: the repair page, once it exists.
    std::atomic<HWND> passNotices_{nullptr};
};

// Ending the program: by default the message loop is left (PostQuitMessage). Tests count
// the requests instead; an empty function restores the default.
void setProgramEndHandler(std::function<void()> handler);

}  // namespace zendrik::win32
