#include "win32/ordner_auswahl.h"

#include "win32/dialogs.h"
#include "win32/text.h"
#include "win32/wizard.h"
#include "wizard/folder_list.h"

namespace zendrik::win32 {
namespace {

PageTable ordnerAuswahlTable() {
    constexpr DWORD button = BS_PUSHBUTTON | WS_TABSTOP;
    return {
        L"Zendrik",
        14520,
        9075,
        {
            {OrdnerAuswahl::Label1, L"STATIC", L"Select UT-folders (must not be write-protected)",
             SS_CENTER, -7, 360, 14535, 375, FontRole::Heading},
            {OrdnerAuswahl::vorlOrdnerListe, L"LISTBOX", L"",
             LBS_MULTIPLESEL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_HSCROLL |
                 WS_TABSTOP,
             113, 1560, 14295, 6810, FontRole::Normal, WS_EX_CLIENTEDGE},
            {OrdnerAuswahl::CancelButton, L"BUTTON", L"Cancel", button, 9100, 8520, 1000, 375},
            {OrdnerAuswahl::OpenButton, L"BUTTON", L"Open", button, 4440, 8520, 1000, 375},
            {OrdnerAuswahl::NextButton, L"BUTTON", L"Next ->", button, 7560, 8520, 1000, 375},
            {OrdnerAuswahl::Command1, L"BUTTON", L"<- Back", button, 6000, 8520, 1000, 375},
            // Added in the row's free room left of "Open"; last in the tab order.
            {OrdnerAuswahl::UndoButton, L"BUTTON", L"Undo last run", button, 2520, 8520, 1575, 375},
        },
        OrdnerAuswahl::vorlOrdnerListe};
}

}  // namespace

OrdnerAuswahl::OrdnerAuswahl(Wizard& wizard)
    : PageWindow(ordnerAuswahlTable()), wizard_(wizard), widths_(control(vorlOrdnerListe)) {}

void OrdnerAuswahl::onCommand(int id, int code) {
    if (id == vorlOrdnerListe) {
        if (code == LBN_SELCHANGE) takeSelection();
        return;
    }
    if (code != BN_CLICKED) return;
    WizardCore& core = wizard_.core();
    switch (id) {
        case OpenButton:
            OpenButton_Click();
            break;
        case NextButton:
            takeSelection();
            if (core.flow().foldersNext()) wizard_.showPages();
            break;
        case UndoButton:
            UndoButton_Click();
            break;
        case Command1:
            if (core.flow().back()) wizard_.showPages();
            break;
        case CancelButton:
            core.cancel();
            break;
        default:
            break;
    }
}

void OrdnerAuswahl::OpenButton_Click() {
    std::vector<FileDialog::Filter> filters;
    for (const OpenFilter& filter : openFilters()) {
        std::wstring patterns;
        for (const std::string& name : filter.names) {
            if (!patterns.empty()) patterns += L';';
            patterns += widen(name);
        }
        filters.push_back({widen(filter.description), patterns});
    }
    // The dialog starts where the finder found the game, and offers every installation found.
    FoundInstallations& found = wizard_.core().found();
    std::vector<std::wstring> places;
    for (const std::string& folder : found.folders()) places.push_back(widen(folder));
    const std::wstring exe = FileDialog::open(hwnd(), filters, widen(found.startFolder()), places);
    const LocateResult result = wizard_.core().folders().locate(narrow(exe));
    if (!result.message.empty()) MessageBoxes::ok(hwnd(), L"", widen(result.message));
    if (!result.listed) return;
    HWND list = control(vorlOrdnerListe);
    const LRESULT at = SendMessageW(list, LB_ADDSTRING, 0, LPARAM(exe.c_str()));
    SendMessageW(list, LB_SETSEL, result.selected ? TRUE : FALSE, at);
    widths_.measure(exe);
}

void OrdnerAuswahl::UndoButton_Click() {
    takeSelection();
    FolderUndo& undo = wizard_.core().undo();
    const std::vector<UndoOffer> offers = undo.offers();
    if (offers.empty()) MessageBoxes::ok(hwnd(), L"", widen(FolderUndo::kNothingSelected));
    for (const UndoOffer& offer : offers) {
        if (!offer.run) {
            MessageBoxes::ok(hwnd(), L"", widen(offer.text));
        } else if (MessageBoxes::yesNo(hwnd(), L"", widen(offer.text))) {
            MessageBoxes::ok(hwnd(), L"", widen(undo.undo(offer)));
        }
    }
}

void OrdnerAuswahl::takeSelection() {
    HWND list = control(vorlOrdnerListe);
    FolderList& folders = wizard_.core().folders();
    const size_t count = size_t(SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (size_t i = 0; i < count && i < folders.locatedCount(); ++i)
        folders.setSelected(i, SendMessageW(list, LB_GETSEL, WPARAM(i), 0) > 0);
}

void OrdnerAuswahl::onClose() {
    wizard_.core().cancel();
}

void OrdnerAuswahl::onShown() {
    gate_.open();
}

}  // namespace zendrik::win32
