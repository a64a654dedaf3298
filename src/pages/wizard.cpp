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
    optionen().show();
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
