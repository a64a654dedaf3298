#include "pages/info_formular.h"

#include <QPushButton>

#include "pages/wizard.h"

namespace zendrik {

InfoFormular::InfoFormular(Wizard& wizard) : PageWindow(infoFormularTable()), wizard_(wizard) {
    connect(button(cmdOK), &QPushButton::clicked, this, &InfoFormular::cmdOK_Click);
}

InfoFormular::~InfoFormular() = default;

void InfoFormular::cmdOK_Click() {
    wizard_.flowClick(Wizard::Info, cmdOK);
}

void InfoFormular::onShown() {
    PageWindow::onShown();
    raise();
    activateWindow();
}

bool InfoFormular::onClose() {
    cmdOK_Click();
    return true;
}

void InfoFormular::reject() {
    cmdOK_Click();
}

}  // namespace zendrik
