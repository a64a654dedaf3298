#include "pages/wizard.h"

#include "pages/info_formular.h"
#include "pages/optionen.h"
#include "pages/ordner_auswahl.h"
#include "pages/reparier.h"

namespace zendrik {

Wizard::Wizard(FileSystem& fs) : fs_(fs) {}

Wizard::~Wizard() {
    // The repair page reads the other pages while it lives, so it goes first.
    reparier_.reset();
    infoFormular_.reset();
    ordnerAuswahl_.reset();
    optionen_.reset();
}

void Wizard::start() {
    optionen().show();
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
