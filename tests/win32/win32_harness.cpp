#include "win32_harness.h"

#include <cstdlib>

#include "win32/dialogs.h"
#include "win32/text.h"

namespace zendrik::testing {

Win32Harness::Win32Harness() {
    win32::MessageBoxes::clearHistory();
    win32::MessageBoxes::setUnattended(true);
    win32::FileDialog::clearHistory();
    win32::FileDialog::setUnattended(true);
    win32::setProgramEndHandler([this] { ++endRequests; });
    wizard = std::make_unique<win32::Wizard>(fs);
}

Win32Harness::~Win32Harness() {
    wizard.reset();
    // Notices posted to windows that are gone.
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    win32::setProgramEndHandler({});
    win32::MessageBoxes::clearHistory();
    win32::FileDialog::clearHistory();
}

void Win32Harness::pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) wizard->dispatch(msg);
}

bool Win32Harness::pumpUntil(const std::function<bool()>& done, int ms) {
    const ULONGLONG until = GetTickCount64() + ULONGLONG(ms);
    pump();
    while (!done()) {
        if (GetTickCount64() > until) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        pump();
    }
    return true;
}

void Win32Harness::postClick(HWND control) {
    RECT r{};
    GetClientRect(control, &r);
    POINT middle = {(r.right - r.left) / 2, (r.bottom - r.top) / 2};
    const LPARAM at = MAKELPARAM(middle.x, middle.y);
    // The pointer where the click is, as a user's would be.
    ClientToScreen(control, &middle);
    SetCursorPos(middle.x, middle.y);
    // A user who clicks twice at one place means two clicks, not a double click.
    static POINT lastAt{-100, -100};
    static ULONGLONG lastTime = 0;
    if (std::abs(middle.x - lastAt.x) <= GetSystemMetrics(SM_CXDOUBLECLK) &&
        std::abs(middle.y - lastAt.y) <= GetSystemMetrics(SM_CYDOUBLECLK))
        pumpUntil([] { return GetTickCount64() > lastTime + GetDoubleClickTime(); });
    lastAt = middle;
    PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(control, WM_LBUTTONUP, 0, at);
    pump();
    // The press's time is when the loop took it, which a busy machine delays past the post:
    // the next click at this place waits from here.
    lastTime = GetTickCount64();
}

bool Win32Harness::click(PageWindow& page, int id) {
    if (!page.isVisible() || !shown(page, id) || !enabled(page, id)) return false;
    postClick(page.control(id));
    return true;
}

void Win32Harness::type(UINT key) {
    HWND target = GetFocus();
    PostMessageW(target, WM_KEYDOWN, key, 1);
    PostMessageW(target, WM_KEYUP, key, LPARAM(1 | (1u << 30) | (1u << 31)));
    pump();
}

bool Win32Harness::shown(PageWindow& page, int id) {
    return IsWindowVisible(page.control(id)) != FALSE;
}

bool Win32Harness::enabled(PageWindow& page, int id) {
    return IsWindowEnabled(page.control(id)) != FALSE;
}

std::wstring Win32Harness::textOf(HWND window) {
    std::wstring text(size_t(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(size_t(GetWindowTextW(window, text.data(), int(text.size()))));
    return text;
}

std::unique_ptr<Installation> Win32Harness::installation(const std::string& name) {
    auto made = std::make_unique<Installation>(tmp.path(), name);
    made->add("system/UnrealTournament.exe", "MZ");
    return made;
}

std::wstring Win32Harness::exeOf(const Installation& installation) {
    return installation.at("system/UnrealTournament.exe").wstring();
}

bool Win32Harness::locate(const std::wstring& exe) {
    win32::FileDialog::setNextFileName(exe);
    return click(folders(), OrdnerAuswahl::OpenButton);
}

bool Win32Harness::toFolderPage() {
    wizard->start();
    return click(optionen(), Optionen::NextButton) && folders().isVisible();
}

bool Win32Harness::toRepairPage() {
    return click(folders(), OrdnerAuswahl::NextButton) && repair().isVisible() && passEnded();
}

bool Win32Harness::passEnded() {
    return pumpUntil([this] {
        return repairCore().buttonsActive() &&
               (shown(repair(), Reparier::NextButton) ? enabled(repair(), Reparier::NextButton)
                                                      : enabled(repair(), Reparier::FinishButton));
    });
}

std::vector<std::wstring> Win32Harness::linesOf(HWND list) {
    std::vector<std::wstring> lines;
    const int count = int(SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        std::wstring line(size_t(SendMessageW(list, LB_GETTEXTLEN, WPARAM(i), 0)) + 1, L'\0');
        line.resize(size_t(SendMessageW(list, LB_GETTEXT, WPARAM(i), LPARAM(line.data()))));
        lines.push_back(line);
    }
    return lines;
}

std::vector<bool> Win32Harness::selectionOf(HWND list) {
    std::vector<bool> selected;
    const int count = int(SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        selected.push_back(SendMessageW(list, LB_GETSEL, WPARAM(i), 0) > 0);
    return selected;
}

std::vector<std::wstring> Win32Harness::coreLog() {
    std::vector<std::wstring> lines;
    for (const std::string& line : repairCore().log().lines()) lines.push_back(win32::widen(line));
    return lines;
}

}  // namespace zendrik::testing
