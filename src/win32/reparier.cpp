#include "win32/reparier.h"

#include "win32/dialogs.h"
#include "win32/text.h"
#include "win32/wizard.h"

namespace zendrik::win32 {
namespace {

// The page's own messages and timer.
constexpr UINT kActivateMessage = WM_APP + 2;
constexpr UINT_PTR kProgressTimer = 1;

}  // namespace

Reparier::Reparier(Wizard& wizard) : PageWindow(reparierTable()), wizard_(wizard) {
    wizard_.takePassNotices(hwnd());
    log_ = std::make_unique<LogList>(control(LogListbox), wizard_.core().repair().log());
    showState();
}

Reparier::~Reparier() {
    KillTimer(hwnd(), kProgressTimer);
}

int Reparier::mainButton() const {
    return wizard_.core().repair().mainButton();
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
        SetTimer(hwnd(), kProgressTimer, RepairPage::kProgressEveryMs, nullptr);
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
