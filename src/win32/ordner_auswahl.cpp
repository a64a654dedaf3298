#include "win32/ordner_auswahl.h"

#include "win32/dialogs.h"
#include "win32/text.h"
#include "win32/wizard.h"
#include "wizard/folder_list.h"

namespace zendrik::win32 {
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
        default:
            wizard_.flowClick(Wizard::Folders, id);
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

}  // namespace zendrik::win32
