#include "win32/optionen.h"

#include "win32/wizard.h"

namespace zendrik::win32 {
namespace {

PageTable optionenTable() {
    constexpr DWORD check = BS_AUTOCHECKBOX | WS_TABSTOP;
    constexpr DWORD button = BS_PUSHBUTTON | WS_TABSTOP;
    return {
        L"Zendrik",
        4935,
        3210,
        {
            {Optionen::removeExtensionsCheck, L"BUTTON", L"remove incomplete extensions", check,
             510, 1200, 3840, 270},
            {Optionen::compareextensionsCheck, L"BUTTON", L"compare extensions", check, 510, 1710,
             3840, 270},
            // An addition below the two, inside the frame: the page keeps its size.
            {Optionen::previewCheck, L"BUTTON", L"only show what would be done", check, 510, 1980,
             3840, 255},
            {Optionen::secondOptionsFrame, L"STATIC", L"", SS_ETCHEDFRAME, 292, 870, 4350, 1395},
            {Optionen::InfoButton, L"BUTTON", L"Info", button, 517, 2535, 1000, 375},
            {Optionen::NextButton, L"BUTTON", L"Next ->", button, 1957, 2535, 1000, 375},
            {Optionen::CancelButton, L"BUTTON", L"Cancel", button, 3397, 2535, 1000, 375},
            {Optionen::Label1, L"STATIC", L"Options", SS_CENTER, 1717, 240, 1455, 375,
             FontRole::Heading},
        }};
}

}  // namespace

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
        case InfoButton:
            if (core.flow().openInfo()) wizard_.showPages();
            break;
        case NextButton:
            if (core.flow().optionsNext()) wizard_.showPages();
            break;
        case CancelButton:
            core.cancel();
            break;
        default:
            break;
    }
}

void Optionen::onClose() {
    wizard_.core().cancel();
}

void Optionen::onShown() {
    gate_.open();
}

}  // namespace zendrik::win32
