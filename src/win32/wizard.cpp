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

Wizard::Wizard(FileSystem& fs) : Win32Windows(*this), core_(fs, *this) {}

Wizard::~Wizard() {
    // The worker may still post its notice; it finds no window.
    passNotices_ = nullptr;
    core_.repair().shutdown();
    closeWindows();
}

void Wizard::enableOptions(bool enabled) {
    PageWindow* options = made(Options);
    if (!options) return;
    EnableWindow(options->hwnd(), enabled ? TRUE : FALSE);
    if (enabled && options->isVisible()) SetForegroundWindow(options->hwnd());
}

void Wizard::dispatch(MSG& msg) {
    InputGate::notePress(msg);
    for (const Window window : {Options, Folders, Repair, Info}) {
        if (PageWindow* page = made(window); page && page->translate(msg)) return;
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
