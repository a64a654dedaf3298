// The information window: the program's icon, name, version, credits and disclaimer. It is
// open exactly while the options page is disabled.
#pragma once

#include "pages/page_window.h"

namespace zendrik {

class Wizard;

class InfoFormular : public PageWindow<QDialog>, public InfoFormularControls {
    Q_OBJECT

  public:
    explicit InfoFormular(Wizard& wizard);
    ~InfoFormular() override;

    // Hides this window and brings the options page back, enabled.
    void cmdOK_Click();

  protected:
    // Opened over the options page, the window comes to the front; its button takes input
    // made from now on.
    void onShown() override;
    // Closing by the frame acts as "&OK".
    bool onClose() override;
    // Escape where "&OK" could not take it acts as "&OK" too.
    void reject() override;

  private:
    Wizard& wizard_;
};

}  // namespace zendrik
