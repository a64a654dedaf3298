#include "win32/info_formular.h"

#include "win32/optionen.h"
#include "win32/wizard.h"

namespace zendrik::win32 {
namespace {

// The window has no table of its own; its layout is the Qt window's, in pixels at 96 DPI,
// times 15.
PageTable infoTable() {
    return {
        L"Zendrik - Info",
        5730,
        3735,
        {
            {InfoFormular::picIcon, L"STATIC", L"", SS_ICON | SS_CENTERIMAGE, 240, 240, 480, 480},
            {InfoFormular::lblTitle, L"STATIC", L"Zendrik", SS_LEFT, 1080, 180, 4320, 360,
             FontRole::Title},
            {InfoFormular::lblVersion, L"STATIC", L"Version 1.0", SS_LEFT, 1080, 540, 4320, 255},
            {InfoFormular::Line1, L"STATIC", L"", SS_ETCHEDHORZ, 240, 960, 5250, 30},
            {InfoFormular::Label1, L"STATIC", L"Written by the Zendrik developers", SS_LEFT, 240,
             1110, 5250, 255},
            {InfoFormular::Label2, L"STATIC", L"for everyone who keeps Unreal Tournament in order",
             SS_LEFT, 240, 1380, 5250, 255},
            {InfoFormular::Line2, L"STATIC", L"", SS_ETCHEDHORZ, 240, 1770, 5250, 30},
            {InfoFormular::lblDisclaimer, L"STATIC",
             L"THIS PROGRAM COMES WITHOUT ANY GUARANTEE OF ANY KIND. YOU USE IT AT YOUR OWN "
             L"RISK. ITS AUTHORS ARE NOT LIABLE FOR ANY DAMAGE THAT ITS USE MAY CAUSE.",
             SS_LEFT, 240, 1920, 5250, 1020},
            {InfoFormular::cmdOK, L"BUTTON", L"&OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 4260, 3150,
             1230, 375},
        }};
}

}  // namespace

InfoFormular::InfoFormular(Wizard& wizard)
    : PageWindow(infoTable(), wizard.optionen().hwnd()), wizard_(wizard) {
    onLayout();
}

InfoFormular::~InfoFormular() {
    if (icon_) DestroyIcon(icon_);
}

void InfoFormular::onLayout() {
    const int size = MulDiv(32, int(dpi()), 96);
    HICON icon =
        HICON(LoadImageW(programInstance(), MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, 0));
    SendMessageW(control(picIcon), STM_SETICON, WPARAM(icon), 0);
    if (icon_) DestroyIcon(icon_);
    icon_ = icon;
}

void InfoFormular::onCommand(int id, int code) {
    if (id != cmdOK || code != BN_CLICKED) return;
    if (wizard_.core().flow().closeInfo()) wizard_.showPages();
}

void InfoFormular::onClose() {
    onCommand(cmdOK, BN_CLICKED);
}

void InfoFormular::onShown() {
    gate_.open();
}

}  // namespace zendrik::win32
