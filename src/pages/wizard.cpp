#include "pages/wizard.h"

#include <QMetaObject>

#include "pages/info_formular.h"
#include "pages/optionen.h"
#include "pages/ordner_auswahl.h"
#include "pages/program_end.h"
#include "pages/reparier.h"

namespace zendrik {

Wizard::Wizard(FileSystem& fs)
    : QtWindows(*this), core_(std::make_unique<WizardCore>(fs, static_cast<WizardHost&>(*this))) {}

Wizard::~Wizard() {
    // No pass outlives the windows: the worker's last notice goes to a page that still is.
    core_->repair().shutdown();
    closeWindows();
    core_.reset();
}

void Wizard::enableOptions(bool enabled) {
    QWidget* options = made(Options);
    if (!options || options->isEnabled() == enabled) return;
    options->setEnabled(enabled);
    // Taking input again, the options page comes to the front.
    if (enabled && options->isVisible()) {
        options->raise();
        options->activateWindow();
    }
}

void Wizard::postPassEnded() {
    // On the worker thread: the repair page exists, as only it starts passes.
    Reparier* page = &reparier();
    QMetaObject::invokeMethod(page, &Reparier::passEnded, Qt::QueuedConnection);
}

void Wizard::endProgram() {
    zendrik::endProgram();
}

}  // namespace zendrik
