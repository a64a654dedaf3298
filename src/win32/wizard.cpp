#include "win32/wizard.h"

#include "win32/info_formular.h"
#include "win32/optionen.h"
#include "win32/ordner_auswahl.h"
#include "win32/reparier.h"

namespace zendrik::win32 {
namespace {

std::function<void()>& endHandler() {
    static std::function<void()> handler;
    return handler;
}

}  // namespace

void setProgramEndHandler(std::function<void()> handler) {
    endHandler() = std::move(handler);
}

Wizard::Wizard(FileSystem& fs) : core_(fs, *this) {}

Wizard::~Wizard() {
    // The worker may still post its notice; it finds no window.
    passNotices_ = nullptr;
    if (reparier_) core_.repair().shutdown();
    infoFormular_.reset();
    reparier_.reset();
    ordnerAuswahl_.reset();
    optionen_.reset();
}

void Wizard::start() {
    showPages();
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
    if (!reparier_) {
        reparier_ = std::make_unique<Reparier>(*this);
        passNotices_ = reparier_->hwnd();
    }
    return *reparier_;
}

InfoFormular& Wizard::infoFormular() {
    if (!infoFormular_) infoFormular_ = std::make_unique<InfoFormular>(*this);
    return *infoFormular_;
}

void Wizard::showPages() {
    const PageFlow& flow = core_.flow();
    // The page to show first, then the others hidden, so that the program always has a
    // window to activate.
    switch (flow.page()) {
        case Page::Options:
            if (!optionen().isVisible()) optionen().show();
            break;
        case Page::Folders:
            if (!ordnerAuswahl().isVisible()) ordnerAuswahl().show();
            break;
        case Page::Repair:
            if (!reparier().isVisible()) reparier().show();
            break;
    }
    if (flow.page() != Page::Options && optionen_ && optionen_->isVisible()) optionen_->hide();
    if (flow.page() != Page::Folders && ordnerAuswahl_ && ordnerAuswahl_->isVisible())
        ordnerAuswahl_->hide();
    // The repair page is left only by "<- Back" after a preview.
    if (flow.page() != Page::Repair && reparier_ && reparier_->isVisible()) reparier_->hide();
    if (flow.infoOpen()) {
        if (!infoFormular().isVisible()) infoFormular().show();
    } else if (infoFormular_ && infoFormular_->isVisible()) {
        infoFormular_->hide();
    }
    if (optionen_) {
        EnableWindow(optionen_->hwnd(), flow.optionsEnabled() ? TRUE : FALSE);
        if (flow.optionsEnabled() && optionen_->isVisible()) SetForegroundWindow(optionen_->hwnd());
    }
}

void Wizard::dispatch(MSG& msg) {
    InputGate::notePress(msg);
    for (PageWindow* page : std::initializer_list<PageWindow*>{
             optionen_.get(), ordnerAuswahl_.get(), reparier_.get(), infoFormular_.get()}) {
        if (page && page->translate(msg)) return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

void Wizard::postPassEnded() {
    if (HWND page = passNotices_) PostMessageW(page, kPassEndedMessage, 0, 0);
}

void Wizard::endProgram() {
    if (endHandler()) {
        endHandler()();
        return;
    }
    PostQuitMessage(0);
}

}  // namespace zendrik::win32
