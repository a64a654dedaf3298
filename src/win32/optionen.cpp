#include "win32/optionen.h"

#include "win32/wizard.h"

namespace zendrik::win32 {
Optionen::Optionen(Wizard& wizard) : PageWindow(optionenTable()), wizard_(wizard) {
    const Options& options = wizard_.core().options();
    CheckDlgButton(hwnd(), removeExtensionsCheck,
                   options.removeIncompleteExtensions ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(hwnd(), compareextensionsCheck,
                   options.compareExtensions ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(hwnd(), previewCheck, options.previewOnly ? BST_CHECKED : BST_UNCHECKED);
}

void Optionen::onCommand(int id, int code) {
    if (code != BN_CLICKED) return;
    WizardCore& core = wizard_.core();
    switch (id) {
        case removeExtensionsCheck:
            core.options().removeIncompleteExtensions =
                IsDlgButtonChecked(hwnd(), removeExtensionsCheck) == BST_CHECKED;
            break;
        case compareextensionsCheck:
            core.options().compareExtensions =
                IsDlgButtonChecked(hwnd(), compareextensionsCheck) == BST_CHECKED;
            break;
        case previewCheck:
            core.options().previewOnly = IsDlgButtonChecked(hwnd(), previewCheck) == BST_CHECKED;
            break;
        default:
            wizard_.flowClick(Wizard::Options, id);
            break;
    }
}

}  // namespace zendrik::win32
