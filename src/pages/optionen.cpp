#include "pages/optionen.h"

#include <QCloseEvent>

#include "pages/heading_font.h"
#include "pages/info_formular.h"
#include "pages/input_gate.h"
#include "pages/ordner_auswahl.h"
#include "pages/page_keys.h"
#include "pages/program_end.h"
#include "pages/wizard.h"
#include "ui_optionen.h"

namespace zendrik {

Optionen::Optionen(Wizard& wizard)
    : wizard_(wizard), ui_(std::make_unique<Ui::Optionen>()), gate_(new InputGate(*this)) {
    ui_->setupUi(this);
    ui_->Label1->setFont(headingFont());
    pressFocusedButtonOnEnter(*this);
    connect(ui_->NextButton, &QPushButton::clicked, this, &Optionen::NextButton_Click);
    connect(ui_->InfoButton, &QPushButton::clicked, this, &Optionen::InfoButton_Click);
    connect(ui_->CancelButton, &QPushButton::clicked, this, &Optionen::CancelButton_Click);
}

Optionen::~Optionen() = default;

bool Optionen::removeIncompleteExtensions() const {
    return ui_->removeExtensionsCheck->checkState() == Qt::Checked;
}

bool Optionen::compareExtensions() const {
    return ui_->compareextensionsCheck->checkState() == Qt::Checked;
}

void Optionen::NextButton_Click() {
    hide();
    wizard_.ordnerAuswahl().show();
}

void Optionen::InfoButton_Click() {
    InfoFormular& info = wizard_.infoFormular();
    info.show();
    info.raise();
    info.activateWindow();
    setEnabled(false);
}

void Optionen::CancelButton_Click() {
    endProgram();
}

void Optionen::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    gate_->open();
}

void Optionen::keyPressEvent(QKeyEvent* event) {
    if (!pressPageButton(event, ui_->NextButton, ui_->CancelButton)) QWidget::keyPressEvent(event);
}

void Optionen::closeEvent(QCloseEvent* event) {
    event->accept();
    CancelButton_Click();
}

}  // namespace zendrik
