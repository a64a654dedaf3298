// The Win32 wizard over the real disk behind a fault-injecting file layer, driven in-process
// through its own message loop: clicks and keys are posted to the controls as the window
// system would deliver them and pass through Wizard::dispatch; file dialogs and message
// boxes never block, and a request to end the program is counted instead of carried out.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "filesystem/fault_injecting_file_system.h"
#include "filesystem/windows_file_system.h"
#include "installation_builder.h"
#include "win32/info_formular.h"
#include "win32/optionen.h"
#include "win32/ordner_auswahl.h"
#include "win32/reparier.h"
#include "win32/wizard.h"
#include "wizard_steps.h"

namespace zendrik::testing {

using win32::InfoFormular;
using win32::Optionen;
using win32::OrdnerAuswahl;
using win32::PageWindow;
using win32::Reparier;

class Win32Harness : public WizardSteps<Win32Harness> {
  public:
    Win32Harness();
    ~Win32Harness();

    TempFolder tmp;
    WindowsFileSystem disk;
    FaultInjectingFileSystem fs{disk};
    std::unique_ptr<win32::Wizard> wizard;
    int endRequests = 0;

    Optionen& optionen() { return wizard->optionen(); }
    OrdnerAuswahl& folders() { return wizard->ordnerAuswahl(); }
    Reparier& repair() { return wizard->reparier(); }
    InfoFormular& info() { return wizard->infoFormular(); }
    RepairPage& repairCore() { return wizard->core().repair(); }

    // Dispatches every message waiting, through the wizard's loop.
    void pump();
    // Pumps until `done` holds; false when it did not within `ms` milliseconds.
    bool pumpUntil(const std::function<bool()>& done, int ms = 20000);

    // A click of the left mouse button on `control`, posted and pumped.
    void postClick(HWND control);
    // Clicks the button `id` on `page`. False, without a click, when a user could not
    // click it (the page or the button hidden, or the button disabled).
    bool click(PageWindow& page, int id);
    // A key pressed and released where the focus is, posted and pumped.
    void type(UINT key);
    static bool shown(PageWindow& page, int id);
    static bool enabled(PageWindow& page, int id);
    static std::wstring textOf(HWND window);
    static std::wstring caption(PageWindow& page) { return textOf(page.hwnd()); }

    // An installation `name` in the temporary folder with its System/UnrealTournament.exe.
    std::unique_ptr<Installation> installation(const std::string& name);
    // The path of an installation's executable as the open dialog returns it.
    static std::wstring exeOf(const Installation& installation);

    // Locates `exe` through "Open" on the folder page.
    bool locate(const std::wstring& exe);
    // From the start to the folder page.
    bool toFolderPage();
    // "Next ->" on the folder page, then waits until the repair pass has ended.
    bool toRepairPage();

    // Waits until the repair page has shown the end of its pass.
    bool passEnded();

    // The lines of a list box, and which are selected.
    static std::vector<std::wstring> linesOf(HWND list);
    static std::vector<bool> selectionOf(HWND list);
    // The log as the core holds it, in the list box's form.
    std::vector<std::wstring> coreLog();
};

}  // namespace zendrik::testing
