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
    for (int id : {NextButton, InfoButton, CancelButton}) {
        connect(button(id), &QPushButton::clicked, this,
                [this, id] { wizard_.flowClick(Wizard::Options, id); });
    }
}

Optionen::~Optionen() = default;

bool Optionen::removeIncompleteExtensions() const {
    return wizard_.core().options().removeIncompleteExtensions;
}

bool Optionen::compareExtensions() const {
    return wizard_.core().options().compareExtensions;
}

bool Optionen::onClose() {
    wizard_.core().cancel();
    return true;
}

}  // namespace zendrik
