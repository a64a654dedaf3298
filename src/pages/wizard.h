// The wizard: owns the four windows, each created on first use and then only shown and
// hidden, and the wizard core that they show, over the file layer through which every page
// reaches the disk. It is the core's host: the end of a pass reaches the repair page
// through Qt's event loop, and an end of the program leaves it.
#pragma once

#include <QWidget>
#include <memory>

#include "wizard/view_windows.h"
#include "wizard/wizard_core.h"

namespace zendrik {

class FileSystem;
class InfoFormular;
class Optionen;
class OrdnerAuswahl;
class Reparier;
class Wizard;

using QtWindows = ViewWindows<Wizard, QWidget, Optionen, OrdnerAuswahl, Reparier, InfoFormular>;

class Wizard final : private WizardHost, public QtWindows {
  public:
    // `fs` must outlive the wizard.
    explicit Wizard(FileSystem& fs);
    ~Wizard() override;

    WizardCore& core() { return *core_; }

  private:
    // WizardHost.
    void postPassEnded() override;
    void endProgram() override;
    // WizardWindows.
    void enableOptions(bool enabled) override;

    std::unique_ptr<WizardCore> core_;
};

}  // namespace zendrik
