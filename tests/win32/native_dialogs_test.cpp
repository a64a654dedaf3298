// The platform's own file dialogs and message boxes, as the seams show them when no answer
// was given in advance: a user who types a name and presses OK gets that name back, one who
// cancels gets none, and a message box shows its text under an empty title.
#include <gtest/gtest.h>

#include <functional>

#include "win32/dialogs.h"
#include "win32_harness.h"

namespace zendrik::testing {
namespace {

using win32::FileDialog;
using win32::MessageBoxes;

// What the user does once the modal window is up, with the window.
std::function<void(HWND)>& userAction() {
    static std::function<void(HWND)> action;
    return action;
}

BOOL CALLBACK findDialog(HWND window, LPARAM found) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (IsWindowVisible(window) && lstrcmpW(name, L"#32770") == 0) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK actOnDialog(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), findDialog, LPARAM(&dialog));
    if (!dialog || !userAction()) return;
    KillTimer(nullptr, timer);
    auto action = std::move(userAction());
    userAction() = nullptr;
    action(dialog);
}

// Runs `show`, which opens a modal window, while `action` is done to that window.
template <typename Show>
auto withUser(std::function<void(HWND)> action, Show show) {
    userAction() = std::move(action);
    SetTimer(nullptr, 0, 100, actOnDialog);
    return show();
}

// Types `name` as the file's name and presses the dialog's OK button.
void typeName(HWND dialog, const std::wstring& name) {
    // The name field of the old and the new layout of the dialog.
    for (int field : {0x480, 0x47C}) SetDlgItemTextW(dialog, field, name.c_str());
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
}

std::wstring textOf(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

TEST(Win32NativeDialogsTest, TheUsersChoiceOrCancelComesBack) {
    Win32Harness h;
    FileDialog::setUnattended(false);
    MessageBoxes::setUnattended(false);
    auto a = h.installation("A");
    const std::wstring exe = h.exeOf(*a);
    h.wizard->start();
    HWND owner = h.optionen().hwnd();

    EXPECT_EQ(withUser([&](HWND d) { typeName(d, exe); },
                       [&] {
                           return FileDialog::open(owner, {{L"Search for UnrealTournament.exe",
                                                            L"UnrealTournament.exe"}});
                       }),
              exe);
    EXPECT_EQ(withUser([](HWND d) { PostMessageW(d, WM_COMMAND, IDCANCEL, 0); },
                       [&] {
                           return FileDialog::open(owner, {{L"Search for UnrealTournament.exe",
                                                            L"UnrealTournament.exe"}});
                       }),
              L"");
    // A log is saved to a new file as often as over an old one.
    const std::wstring fresh = (h.tmp.path() / "new-log.txt").wstring();
    EXPECT_EQ(withUser([&](HWND d) { typeName(d, fresh); },
                       [&] { return FileDialog::save(owner, L"Textfile", L"*.txt", L""); }),
              fresh);

    std::wstring title = L"?";
    std::wstring shown;
    withUser(
        [&](HWND box) {
            title = textOf(box);
            shown = textOf(GetDlgItem(box, 0xFFFF));
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        },
        [&] {
            MessageBoxes::ok(owner, L"", L"disable write protection on C:\\UT\\");
            return 0;
        });
    EXPECT_EQ(title, L"");
    EXPECT_EQ(shown, L"disable write protection on C:\\UT\\");
}

}  // namespace
}  // namespace zendrik::testing
