// The information window: the program's icon, name, version, credits and disclaimer. It is
// open exactly while the options page is disabled.
#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class InfoFormular;
}

namespace zendrik {

class InputGate;
class Wizard;

class InfoFormular : public QDialog {
    Q_OBJECT

  public:
    explicit InfoFormular(Wizard& wizard);
    ~InfoFormular() override;

    // Hides this window and brings the options page back, enabled.
    void cmdOK_Click();

  protected:
    // The buttons take input made from now on.
    void showEvent(QShowEvent* event) override;
    // Escape and closing by the frame act as "&OK".
    void reject() override;

  private:
    Wizard& wizard_;
    std::unique_ptr<Ui::InfoFormular> ui_;
    InputGate* gate_;
};

}  // namespace zendrik
