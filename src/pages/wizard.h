// The wizard: owns the four windows, each created on first use and then only shown and
// hidden, and the wizard core that they show, over the file layer through which every page
// reaches the disk. It is the core's host: the end of a pass reaches the repair page
// through Qt's event loop, and an end of the program leaves it.
#pragma once

#include <memory>

#include "wizard/wizard_core.h"

class QWidget;

namespace zendrik {

class FileSystem;
class InfoFormular;
class Optionen;
class OrdnerAuswahl;
class Reparier;

class Wizard final : private WizardHost, private WizardWindows {
  public:
    // `fs` must outlive the wizard.
    explicit Wizard(FileSystem& fs);
    ~Wizard() override;
    Wizard(const Wizard&) = delete;
    Wizard& operator=(const Wizard&) = delete;

    // Shows the options page, the whole of start-up.
    void start();
    // Shows and hides the windows as the core's page flow says.
    void showPages();

    WizardCore& core() { return *core_; }
    Optionen& optionen();
    OrdnerAuswahl& ordnerAuswahl();
    Reparier& reparier();
    InfoFormular& infoFormular();

  private:
    QWidget& window(Window window);
    // WizardHost.
    void postPassEnded() override;
    void endProgram() override;
    // WizardWindows.
    bool isShown(Window window) const override;
    void show(Window window) override;
    void hide(Window window) override;
    void enableOptions(bool enabled) override;

    std::unique_ptr<WizardCore> core_;
    std::unique_ptr<Optionen> optionen_;
    std::unique_ptr<OrdnerAuswahl> ordnerAuswahl_;
    std::unique_ptr<Reparier> reparier_;
    std::unique_ptr<InfoFormular> infoFormular_;
};

}  // namespace zendrik
