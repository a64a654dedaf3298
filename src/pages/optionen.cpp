#include "pages/optionen.h"

#include <QCheckBox>
#include <QPushButton>

#include "pages/wizard.h"

namespace zendrik {

Optionen::Optionen(Wizard& wizard) : PageWindow(optionenTable()), wizard_(wizard) {
    // The core holds the switches; the check boxes show them and pass on every change.
    Options& options = wizard_.core().options();
    const std::pair<int, bool Options::*> switches[] = {
        {removeExtensionsCheck, &Options::removeIncompleteExtensions},
        {compareextensionsCheck, &Options::compareExtensions},
        {previewCheck, &Options::previewOnly}};
    for (const auto& [id, option] : switches) {
        auto* check = control<QCheckBox>(id);
        check->setChecked(options.*option);
        connect(check, &QCheckBox::toggled, this,
                [&options, option](bool on) { options.*option = on; });
    }
    connect(button(NextButton), &QPushButton::clicked, this, &Optionen::NextButton_Click);
    connect(button(InfoButton), &QPushButton::clicked, this, &Optionen::InfoButton_Click);
    connect(button(CancelButton), &QPushButton::clicked, this, &Optionen::CancelButton_Click);
}

Optionen::~Optionen() = default;

bool Optionen::removeIncompleteExtensions() const {
    return wizard_.core().options().removeIncompleteExtensions;
}

bool Optionen::compareExtensions() const {
    return wizard_.core().options().compareExtensions;
}

void Optionen::NextButton_Click() {
    if (wizard_.core().flow().optionsNext()) wizard_.showPages();
}

void Optionen::InfoButton_Click() {
    if (wizard_.core().flow().openInfo()) wizard_.showPages();
}

void Optionen::CancelButton_Click() {
    wizard_.core().cancel();
}

bool Optionen::onClose() {
    CancelButton_Click();
    return true;
}

}  // namespace zendrik
