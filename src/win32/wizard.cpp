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
    showWindows(core_.flow(), *this);
}

PageWindow* Wizard::page(Window window) {
    switch (window) {
        case Options:
            return &optionen();
        case Folders:
            return &ordnerAuswahl();
        case Repair:
            return &reparier();
        case Info:
            return &infoFormular();
    }
    return nullptr;
}

bool Wizard::isShown(Window window) const {
    const PageWindow* made[] = {optionen_.get(), ordnerAuswahl_.get(), reparier_.get(),
                                infoFormular_.get()};
    return made[window] && made[window]->isVisible();
}

void Wizard::show(Window window) {
    page(window)->show();
}

void Wizard::hide(Window window) {
    page(window)->hide();
}

void Wizard::enableOptions(bool enabled) {
    if (!optionen_) return;
    EnableWindow(optionen_->hwnd(), enabled ? TRUE : FALSE);
    if (enabled && optionen_->isVisible()) SetForegroundWindow(optionen_->hwnd());
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
