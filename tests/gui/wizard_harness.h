// A wizard over the real disk behind a fault-injecting file layer, with every platform seam
// answered: file dialogs and message boxes never block, and a request to end the program is
// counted instead of carried out. Helpers find controls by object name and click them as a
// user would.
#pragma once

#include <QAbstractButton>
#include <QListWidget>
#include <QStringList>
#include <QWidget>
#include <memory>
#include <string>

#include "filesystem/fault_injecting_file_system.h"
#include "filesystem/posix_file_system.h"
#include "installation_builder.h"
#include "pages/info_formular.h"
#include "pages/optionen.h"
#include "pages/ordner_auswahl.h"
#include "pages/reparier.h"
#include "pages/wizard.h"
#include "wizard_steps.h"

namespace zendrik::testing {

class WizardHarness : public WizardSteps<WizardHarness> {
  public:
    WizardHarness();
    ~WizardHarness();

    TempFolder tmp;
    PosixFileSystem disk;
    FaultInjectingFileSystem fs{disk};
    std::unique_ptr<Wizard> wizard;
    int endRequests = 0;

    Optionen& optionen() { return wizard->optionen(); }
    OrdnerAuswahl& folders() { return wizard->ordnerAuswahl(); }
    Reparier& repair() { return wizard->reparier(); }
    InfoFormular& info() { return wizard->infoFormular(); }

    // The control called `name` on `page`; null when there is none of that type.
    template <typename Control>
    static Control* control(QWidget& page, const char* name) {
        return page.findChild<Control*>(QString::fromLatin1(name));
    }
    // Clicks the button `name` on `page` with the mouse. False, without a click, when the
    // button does not exist or a user could not click it (hidden or disabled).
    static bool click(QWidget& page, const char* name);
    // Whether the button `name` on `page` is shown (on a visible page).
    static bool shown(QWidget& page, const char* name);

    // An installation `name` in the temporary folder with its System/UnrealTournament.exe.
    std::unique_ptr<Installation> installation(const std::string& name);
    // The path of an installation's executable as the open dialog returns it.
    static QString exeOf(const Installation& installation);

    // Locates `exe` through "Open" on the folder page.
    bool locate(const QString& exe);
    // From the start to the folder page.
    bool toFolderPage();
    // "Next ->" on the folder page, then waits until the repair pass has returned.
    bool toRepairPage();

    // "COPY!" on the repair page, then waits until the exchange pass, if any, has ended.
    bool copy();
    // Waits until no pass runs on the repair page.
    bool passEnded();

    QStringList entries(const char* list);
    QStringList selectedEntries();
    QStringList logLines();
};

// The log lines of an installation that needs no repair, as the repair pass writes them.
QStringList cleanBlock(const std::string& folder, bool removal);

}  // namespace zendrik::testing
