#include "pages/info_formular.h"

#include "pages/input_gate.h"
#include "pages/optionen.h"
#include "pages/program_icon.h"
#include "pages/wizard.h"
#include "ui_info_formular.h"

namespace zendrik {

InfoFormular::InfoFormular(Wizard& wizard)
    : wizard_(wizard), ui_(std::make_unique<Ui::InfoFormular>()), gate_(new InputGate(*this)) {
    ui_->setupUi(this);
    ui_->picIcon->setPixmap(programPixmap(32));
    QFont title = ui_->lblTitle->font();
    title.setPointSize(14);
    title.setBold(true);
    ui_->lblTitle->setFont(title);
    connect(ui_->cmdOK, &QPushButton::clicked, this, &InfoFormular::cmdOK_Click);
}

InfoFormular::~InfoFormular() = default;

void InfoFormular::cmdOK_Click() {
    if (!wizard_.core().flow().closeInfo()) return;
    hide();
    Optionen& optionen = wizard_.optionen();
    optionen.show();
    optionen.setEnabled(true);
    optionen.raise();
    optionen.activateWindow();
}

void InfoFormular::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    gate_->open();
}

void InfoFormular::reject() {
    cmdOK_Click();
}

}  // namespace zendrik
