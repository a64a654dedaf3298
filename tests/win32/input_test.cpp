// The keyboard and the mouse as people use them: Enter presses the focused button or the
// page's main one, Escape acts as "Cancel" (as "&OK" on the information window), "Save Log"
// has the focus after "COPY!"; a double click on the folder page's "Next ->" and a held
// Enter do not press "COPY!" on the repair page that opens under them.
#include <gtest/gtest.h>

#include "win32/dialogs.h"
#include "win32_harness.h"

namespace zendrik::testing {
namespace {

using win32::FileDialog;
using win32::MessageBoxes;

void focus(PageWindow& page, int id) {
    SetFocus(page.control(id));
}

TEST(Win32InputTest, EnterAndEscapeOnTheOptionsFolderAndInformationWindows) {
    Win32Harness h;
    auto a = h.installation("A");
    auto b = h.installation("B");
    h.wizard->start();
    focus(h.optionen(), Optionen::InfoButton);
    h.type(VK_RETURN);
    ASSERT_TRUE(h.info().isVisible());
    h.type(VK_ESCAPE);
    EXPECT_FALSE(h.info().isVisible());
    EXPECT_TRUE(IsWindowEnabled(h.optionen().hwnd()));

    focus(h.optionen(), Optionen::compareextensionsCheck);
    h.type(VK_ESCAPE);
    EXPECT_EQ(h.endRequests, 1);
    h.type(VK_RETURN);
    ASSERT_TRUE(h.folders().isVisible());
    EXPECT_TRUE(h.wizard->core().options().compareExtensions);

    focus(h.folders(), OrdnerAuswahl::Command1);
    h.type(VK_RETURN);
    ASSERT_TRUE(h.optionen().isVisible());
    EXPECT_FALSE(h.folders().isVisible());
    ASSERT_TRUE(h.click(h.optionen(), Optionen::NextButton));
    ASSERT_TRUE(h.locate(h.exeOf(*a)));
    ASSERT_TRUE(h.locate(h.exeOf(*b)));
    h.type(VK_ESCAPE);
    EXPECT_EQ(h.endRequests, 2);
    focus(h.folders(), OrdnerAuswahl::vorlOrdnerListe);
    h.type(VK_RETURN);
    EXPECT_TRUE(h.repair().isVisible());
    EXPECT_TRUE(h.passEnded());
}

TEST(Win32InputTest, EnterAndEscapeOnTheRepairPage) {
    Win32Harness h;
    auto a = h.installation("A");
    auto b = h.installation("B");
    ASSERT_TRUE(h.toRepairPageWith({a.get(), b.get()}));

    focus(h.repair(), Reparier::LogListbox);
    h.type(VK_RETURN);
    EXPECT_EQ(h.caption(h.repair()), L"copying extensions...");
    ASSERT_TRUE(h.passEnded());
    EXPECT_EQ(GetFocus(), h.repair().control(Reparier::SaveLogButton));

    // No "Cancel" any more: Escape does nothing.
    h.type(VK_ESCAPE);
    EXPECT_EQ(h.endRequests, 0);
    const size_t dialogs = FileDialog::history().size();
    h.type(VK_RETURN);
    ASSERT_EQ(FileDialog::history().size(), dialogs + 1);
    EXPECT_EQ(FileDialog::history().back().kind, FileDialog::Kind::Save);

    focus(h.repair(), Reparier::StatusFeld);
    h.type(VK_RETURN);
    EXPECT_EQ(MessageBoxes::history().size(), size_t{1});
    EXPECT_EQ(h.endRequests, 1);
}

TEST(Win32InputTest, EscapeCancelsBeforeCopyAndCopyWithoutExchangeFocusesSaveLog) {
    Win32Harness h;
    auto a = h.installation("A");
    auto b = h.installation("B");
    ASSERT_TRUE(h.toFolderPageWith({a.get(), b.get()}));
    h.wizard->core().options().compareExtensions = false;
    ASSERT_TRUE(h.toRepairPage());
    focus(h.repair(), Reparier::LogListbox);
    h.type(VK_ESCAPE);
    EXPECT_EQ(h.endRequests, 1);
    EXPECT_TRUE(MessageBoxes::history().empty());

    focus(h.repair(), Reparier::NextButton);
    h.type(VK_RETURN);
    EXPECT_EQ(h.caption(h.repair()), L"Repairing folders...");
    EXPECT_TRUE(h.shown(h.repair(), Reparier::SaveLogButton));
    EXPECT_EQ(GetFocus(), h.repair().control(Reparier::SaveLogButton));
}

TEST(Win32InputTest, AKeyHeldDownSinceTheFolderPageDoesNotRepeatOnTheRepairPage) {
    Win32Harness h;
    auto a = h.installation("A");
    auto b = h.installation("B");
    ASSERT_TRUE(h.toFolderPageWith({a.get(), b.get()}));
    focus(h.folders(), OrdnerAuswahl::NextButton);
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_RETURN, 1);
    h.pump();
    ASSERT_TRUE(h.repair().isVisible());
    ASSERT_TRUE(h.passEnded());

    // The key's auto-repeat reaches the repair page, on "COPY!".
    HWND copy = h.repair().control(Reparier::NextButton);
    SetFocus(copy);
    for (int repeat = 0; repeat < 3; ++repeat)
        PostMessageW(copy, WM_KEYDOWN, VK_RETURN, LPARAM(1 | (1u << 30)));
    PostMessageW(copy, WM_KEYUP, VK_RETURN, LPARAM(1 | (1u << 30) | (1u << 31)));
    h.pump();
    EXPECT_EQ(h.caption(h.repair()), L"Repairing folders...");
    EXPECT_TRUE(h.shown(h.repair(), Reparier::NextButton));

    h.type(VK_RETURN);
    EXPECT_EQ(h.caption(h.repair()), L"copying extensions...");
    EXPECT_TRUE(h.passEnded());
}

TEST(Win32InputTest, ADoubleClickOnNextDoesNotPressCopy) {
    Win32Harness h;
    auto a = h.installation("A");
    auto b = h.installation("B");
    ASSERT_TRUE(h.toFolderPageWith({a.get(), b.get()}));
    // However long the pass, the second press is still part of the double click.
    const UINT interval = GetDoubleClickTime();
    SetDoubleClickTime(20000);
    HWND next = h.folders().control(OrdnerAuswahl::NextButton);
    RECT r{};
    GetWindowRect(next, &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    PostMessageW(next, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageW(next, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    h.pump();
    ASSERT_TRUE(h.repair().isVisible());
    ASSERT_TRUE(h.passEnded());
    // The second press of the double click lands on "COPY!", which lies under it.
    HWND copy = h.repair().control(Reparier::NextButton);
    POINT pointer{};
    GetCursorPos(&pointer);
    ASSERT_EQ(WindowFromPoint(pointer), copy);
    PostMessageW(copy, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageW(copy, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    h.pump();
    EXPECT_EQ(h.caption(h.repair()), L"Repairing folders...");
    EXPECT_TRUE(h.shown(h.repair(), Reparier::NextButton));

    // A click of its own presses it.
    PostMessageW(copy, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageW(copy, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    h.pump();
    SetDoubleClickTime(interval);
    EXPECT_EQ(h.caption(h.repair()), L"copying extensions...");
    EXPECT_TRUE(h.passEnded());
}

}  // namespace
}  // namespace zendrik::testing
