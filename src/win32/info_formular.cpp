#include "win32/info_formular.h"

#include "win32/optionen.h"
#include "win32/wizard.h"

namespace zendrik::win32 {
InfoFormular::InfoFormular(Wizard& wizard)
    : PageWindow(infoFormularTable(), wizard.optionen().hwnd()), wizard_(wizard) {
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
    if (code == BN_CLICKED) wizard_.flowClick(Wizard::Info, id);
}

}  // namespace zendrik::win32
