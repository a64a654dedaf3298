#include "win32/reparier.h"

#include "win32/dialogs.h"
#include "win32/text.h"
#include "win32/wizard.h"

namespace zendrik::win32 {
namespace {

// The page's own messages and timer.
constexpr UINT kActivateMessage = WM_APP + 2;
constexpr UINT_PTR kProgressTimer = 1;
// How often a running pass's lines and status reach the page.
constexpr UINT kProgressEveryMs = 50;

PageTable reparierTable() {
    constexpr DWORD button = BS_PUSHBUTTON | WS_TABSTOP;
    return {L"Repairing folders...",
            14490,
            9045,
            {
                {Reparier::StatusFeld, L"EDIT", L"", ES_READONLY | ES_AUTOHSCROLL | WS_TABSTOP, 98,
                 240, 14295, 375, FontRole::Normal, WS_EX_CLIENTEDGE},
                {Reparier::LogListbox, L"LISTBOX", L"",
                 LBS_EXTENDEDSEL | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP, 105,
                 840, 14295, 7470, FontRole::Normal, WS_EX_CLIENTEDGE},
                {Reparier::CancelButton, L"BUTTON", L"Cancel", button, 5965, 8520, 1000, 375},
                {Reparier::FinishButton, L"BUTTON", L"Finish", button, 5965, 8520, 1000, 375},
                {Reparier::NextButton, L"BUTTON", L"COPY!", button, 7525, 8520, 1000, 375},
                {Reparier::SaveLogButton, L"BUTTON", L"Save Log", button, 7525, 8520, 1000, 375},
                // Additions: left and right of the two pairs, one pair's distance away.
                {Reparier::BackButton, L"BUTTON", L"<- Back", button, 4405, 8520, 1000, 375},
                {Reparier::UndoButton, L"BUTTON", L"Undo", button, 9085, 8520, 1000, 375},
            },
            Reparier::LogListbox};
}

}  // namespace

Reparier::Reparier(Wizard& wizard) : PageWindow(reparierTable()), wizard_(wizard) {
    log_ = std::make_unique<LogList>(control(LogListbox), wizard_.core().repair().log());
    showState();
}

Reparier::~Reparier() {
    KillTimer(hwnd(), kProgressTimer);
}

int Reparier::mainButton() const {
    return wizard_.core().repair().buttons().copy ? NextButton : FinishButton;
}

void Reparier::onLayout() {
    if (log_) log_->fontChanged();
}

void Reparier::onShown() {
    PostMessageW(hwnd(), kActivateMessage, 0, 0);
}

void Reparier::onAppMessage(UINT message, WPARAM, LPARAM) {
    if (message == kActivateMessage) {
        if (wizard_.core().repair().activate()) followPass();
    } else if (message == kPassEndedMessage) {
        passEnded();
    }
}

void Reparier::followPass() {
    showState();
    if (wizard_.core().repair().passRunning())
        SetTimer(hwnd(), kProgressTimer, kProgressEveryMs, nullptr);
}

void Reparier::onTimer(UINT_PTR timer) {
    if (timer == kProgressTimer) showProgress();
}

void Reparier::showProgress() {
    log_->beginChanges();
    const RepairPage::Progress progress = wizard_.core().repair().poll();
    log_->endChanges();
    if (progress.statusChanged)
        setText(StatusFeld, widen(wizard_.core().repair().status()).c_str());
}

void Reparier::passEnded() {
    RepairPage& repair = wizard_.core().repair();
    if (!repair.passRunning()) return;
    KillTimer(hwnd(), kProgressTimer);
    log_->beginChanges();
    const RepairPage::Progress progress = repair.passEnded();
    log_->endChanges();
    if (progress.statusChanged) setText(StatusFeld, widen(repair.status()).c_str());
    showState();
    if (repair.saveLogTakesFocus()) SetFocus(control(SaveLogButton));
    gate_.open();
}

void Reparier::showState() {
    const RepairPage& repair = wizard_.core().repair();
    const RepairButtons shown = repair.buttons();
    const bool active = repair.buttonsActive();
    const std::pair<int, bool> buttons[] = {
        {NextButton, shown.copy},       {FinishButton, shown.finish}, {CancelButton, shown.cancel},
        {SaveLogButton, shown.saveLog}, {BackButton, shown.back},     {UndoButton, shown.undo}};
    for (const auto& [id, on] : buttons) {
        setShown(id, on);
        setEnabled(id, active);
    }
    setCaption(widen(repair.caption()).c_str());
    // A button that went away takes the focus with it: the log takes it.
    HWND focus = GetFocus();
    if (isVisible() && (!focus || !IsWindowVisible(focus) || !IsWindowEnabled(focus)))
        SetFocus(control(LogListbox));
}

void Reparier::onCommand(int id, int code) {
    if (code != BN_CLICKED) return;
    RepairPage& repair = wizard_.core().repair();
    switch (id) {
        case NextButton:
            repair.copy();
            followPass();
            if (repair.saveLogTakesFocus()) SetFocus(control(SaveLogButton));
            break;
        case SaveLogButton:
            SaveLogButton_Click();
            break;
        case FinishButton:
            repair.finish([this](const std::string& reminder) {
                MessageBoxes::ok(hwnd(), L"", widen(reminder));
            });
            break;
        case CancelButton:
            repair.cancel();
            break;
        case BackButton:
            BackButton_Click();
            break;
        case UndoButton:
            repair.undo();
            followPass();
            break;
        default:
            break;
    }
}

void Reparier::SaveLogButton_Click() {
    RepairPage& repair = wizard_.core().repair();
    if (!repair.buttonsActive()) return;
    const std::wstring name =
        FileDialog::save(hwnd(), L"Textfile", L"*.txt", widen(repair.lastSaveName()));
    if (const auto failure = repair.saveLog(narrow(name)))
        MessageBoxes::ok(hwnd(), L"", widen(*failure));
}

void Reparier::BackButton_Click() {
    log_->beginChanges();
    const bool taken = wizard_.core().repairBack();
    log_->endChanges();
    if (!taken) return;
    setText(StatusFeld, L"");
    showState();
    wizard_.showPages();
}

void Reparier::onClose() {
    wizard_.core().repair().close();
}

}  // namespace zendrik::win32
