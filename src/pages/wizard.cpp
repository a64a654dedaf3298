#include "pages/wizard.h"

#include <QMetaObject>

#include "pages/info_formular.h"
#include "pages/optionen.h"
#include "pages/ordner_auswahl.h"
#include "pages/program_end.h"
#include "pages/reparier.h"

namespace zendrik {

Wizard::Wizard(FileSystem& fs)
    : core_(std::make_unique<WizardCore>(fs, static_cast<WizardHost&>(*this))) {}

Wizard::~Wizard() {
    // No pass outlives the windows: the worker's last notice goes to a page that still is.
    core_->repair().shutdown();
    // The repair page shows the core's log while it lives, so it goes first.
    reparier_.reset();
    infoFormular_.reset();
    ordnerAuswahl_.reset();
    optionen_.reset();
    core_.reset();
}

void Wizard::start() {
    showPages();
}

void Wizard::showPages() {
    showWindows(core_->flow(), *this);
}

QWidget& Wizard::window(Window window) {
    switch (window) {
        case Options:
            return optionen();
        case Folders:
            return ordnerAuswahl();
        case Repair:
            return reparier();
        case Info:
            break;
    }
    return infoFormular();
}

bool Wizard::isShown(Window window) const {
    const QWidget* made[] = {optionen_.get(), ordnerAuswahl_.get(), reparier_.get(),
                             infoFormular_.get()};
    return made[window] && made[window]->isVisible();
}

void Wizard::show(Window window) {
    QWidget& shown = this->window(window);
    shown.show();
    // Opened over the options page, the information window comes to the front.
    if (window == Info) {
        shown.raise();
        shown.activateWindow();
    }
}

void Wizard::hide(Window window) {
    this->window(window).hide();
}

void Wizard::enableOptions(bool enabled) {
    if (!optionen_ || optionen_->isEnabled() == enabled) return;
    optionen_->setEnabled(enabled);
    // Taking input again, the options page comes to the front.
    if (enabled && optionen_->isVisible()) {
        optionen_->raise();
        optionen_->activateWindow();
    }
}

void Wizard::postPassEnded() {
    // On the worker thread: the repair page exists, as only it starts passes.
    Reparier* page = reparier_.get();
    QMetaObject::invokeMethod(page, &Reparier::passEnded, Qt::QueuedConnection);
}

void Wizard::endProgram() {
    zendrik::endProgram();
}

Optionen& Wizard::optionen() {
    if (!optionen_) optionen_ = std::make_unique<Optionen>(*this);
    return *optionen_;
}

OrdnerAuswahl& Wizard::ordnerAuswahl() {
    if (!ordnerAuswahl_) ordnerAuswahl_ = std::make_unique<OrdnerAuswahl>(*this);
    return *ordnerAuswahl_;
}

Reparier& Wizard::reparier() {
    if (!reparier_) reparier_ = std::make_unique<Reparier>(*this);
    return *reparier_;
}

InfoFormular& Wizard::infoFormular() {
    if (!infoFormular_) infoFormular_ = std::make_unique<InfoFormular>(*this);
    return *infoFormular_;
}

}  // namespace zendrik
