#include "pages/optionen.h"

#include <QCheckBox>
#include <QCloseEvent>

#include "pages/heading_font.h"
#include "pages/info_formular.h"
#include "pages/input_gate.h"
#include "pages/ordner_auswahl.h"
#include "pages/page_keys.h"
#include "pages/wizard.h"
#include "ui_optionen.h"

namespace zendrik {

Optionen::Optionen(Wizard& wizard)
    : wizard_(wizard), ui_(std::make_unique<Ui::Optionen>()), gate_(new InputGate(*this)) {
    ui_->setupUi(this);
    ui_->Label1->setFont(headingFont());
    pressFocusedButtonOnEnter(*this);
    // The core holds the switches; the check boxes show them and pass on every change.
    Options& options = wizard_.core().options();
    ui_->removeExtensionsCheck->setChecked(options.removeIncompleteExtensions);
    ui_->compareextensionsCheck->setChecked(options.compareExtensions);
    ui_->previewCheck->setChecked(options.previewOnly);
    connect(ui_->removeExtensionsCheck, &QCheckBox::toggled, this,
            [&options](bool on) { options.removeIncompleteExtensions = on; });
    connect(ui_->compareextensionsCheck, &QCheckBox::toggled, this,
            [&options](bool on) { options.compareExtensions = on; });
    connect(ui_->previewCheck, &QCheckBox::toggled, this,
            [&options](bool on) { options.previewOnly = on; });
    connect(ui_->NextButton, &QPushButton::clicked, this, &Optionen::NextButton_Click);
    connect(ui_->InfoButton, &QPushButton::clicked, this, &Optionen::InfoButton_Click);
    connect(ui_->CancelButton, &QPushButton::clicked, this, &Optionen::CancelButton_Click);
}

Optionen::~Optionen() = default;

bool Optionen::removeIncompleteExtensions() const {
    return wizard_.core().options().removeIncompleteExtensions;
}

bool Optionen::compareExtensions() const {
    return wizard_.core().options().compareExtensions;
}

void Optionen::NextButton_Click() {
    if (!wizard_.core().flow().optionsNext()) return;
    hide();
    wizard_.ordnerAuswahl().show();
}

void Optionen::InfoButton_Click() {
    if (!wizard_.core().flow().openInfo()) return;
    InfoFormular& info = wizard_.infoFormular();
    info.show();
    info.raise();
    info.activateWindow();
    setEnabled(false);
}

void Optionen::CancelButton_Click() {
    wizard_.core().cancel();
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
