// The options page, the information window and the folder page as a user drives them: the
// buttons and check boxes reach the wizard core, the windows show and hide as its page flow
// says, the file dialog and the message boxes are asked with the program's texts and flags,
// and Tab walks the controls in the tables' order.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cwctype>
#include <filesystem>
#include <functional>
#include <utility>
#include <vector>

#include "win32/dialogs.h"
#include "win32/text.h"
#include "win32_harness.h"

namespace zendrik::testing {
namespace {

using win32::FileDialog;
using win32::MessageBoxes;

TEST(Win32PagesTest, OptionsAndInformationWindow) {
    Win32Harness h;
    h.wizard->start();
    ASSERT_TRUE(h.optionen().isVisible());
    EXPECT_EQ(h.caption(h.optionen()), L"Zendrik");

    // The check boxes are the core's options.
    h.postClick(h.optionen().control(Optionen::removeExtensionsCheck));
    EXPECT_FALSE(h.wizard->core().options().removeIncompleteExtensions);
    EXPECT_TRUE(h.wizard->core().options().compareExtensions);

    // "Info" disables the page until "&OK"; closing the information window acts as "&OK".
    ASSERT_TRUE(h.click(h.optionen(), Optionen::InfoButton));
    EXPECT_TRUE(h.info().isVisible());
    EXPECT_EQ(h.caption(h.info()), L"Zendrik - Info");
    EXPECT_FALSE(IsWindowEnabled(h.optionen().hwnd()));
    ASSERT_TRUE(h.click(h.info(), InfoFormular::cmdOK));
    EXPECT_FALSE(h.info().isVisible());
    EXPECT_TRUE(IsWindowEnabled(h.optionen().hwnd()));
    ASSERT_TRUE(h.click(h.optionen(), Optionen::InfoButton));
    SendMessageW(h.info().hwnd(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(h.info().isVisible());
    EXPECT_TRUE(IsWindowEnabled(h.optionen().hwnd()));

    // "Next ->", "<- Back": the page comes back as the user left it.
    ASSERT_TRUE(h.click(h.optionen(), Optionen::NextButton));
    EXPECT_TRUE(h.folders().isVisible());
    EXPECT_FALSE(h.optionen().isVisible());
    ASSERT_TRUE(h.click(h.folders(), OrdnerAuswahl::Command1));
    EXPECT_TRUE(h.optionen().isVisible());
    EXPECT_FALSE(h.folders().isVisible());
    EXPECT_EQ(IsDlgButtonChecked(h.optionen().hwnd(), Optionen::removeExtensionsCheck),
              UINT(BST_UNCHECKED));
    EXPECT_EQ(h.endRequests, 0);

    // "Cancel" and closing the page end the program without a message.
    ASSERT_TRUE(h.click(h.optionen(), Optionen::CancelButton));
    EXPECT_EQ(h.endRequests, 1);
    SendMessageW(h.optionen().hwnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(h.endRequests, 2);
    EXPECT_TRUE(MessageBoxes::history().empty());
}

// The dialog starts in the System folder of the installation the finder found in Steam's
// library, which Steam names in the user's registry, and offers it among its places.
TEST(Win32PagesTest, TheOpenDialogStartsWhereTheFinderFoundTheGame) {
    TempFolder steam;
    const auto game = steam.path() / "steamapps" / "common" / "Unreal Tournament";
    put(game / "System" / "UnrealTournament.exe", "exe");
    const std::wstring steamPath = steam.path().wstring();
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Valve\\Steam", L"SteamPath", REG_SZ,
                              steamPath.c_str(), DWORD((steamPath.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    std::wstring start;
    std::vector<std::wstring> places;
    {
        Win32Harness h;
        ASSERT_TRUE(h.toFolderPage());
        ASSERT_TRUE(h.locate(L""));  // cancelled
        start = FileDialog::history().back().initialFolder;
        places = FileDialog::history().back().places;
    }
    RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\Valve\\Steam", L"SteamPath");
    EXPECT_EQ(start, std::filesystem::canonical(game).wstring() + L"\\System\\");
    EXPECT_EQ(places,
              std::vector<std::wstring>{std::filesystem::canonical(game).wstring() + L"\\"});
}

TEST(Win32PagesTest, OpenListsTheExecutableSelectedOrWithItsMessage) {
    Win32Harness h;
    auto a = h.installation("A");
    auto b = h.installation("B");
    auto c = h.installation("C");
    ASSERT_TRUE(h.toFolderPage());
    HWND list = h.folders().control(OrdnerAuswahl::vorlOrdnerListe);

    // A cancelled dialog changes nothing.
    ASSERT_TRUE(h.locate(L""));
    ASSERT_EQ(FileDialog::history().size(), size_t{1});
    const FileDialog::Request& open = FileDialog::history()[0];
    EXPECT_EQ(open.kind, FileDialog::Kind::Open);
    EXPECT_EQ(open.flags, DWORD(0x1800));
    // UnrealTournament.exe alone first, as always; then every program of the game.
    const wchar_t filter[] =
        L"Search for UnrealTournament.exe\0UnrealTournament.exe\0"
        L"Search for any program of the game\0"
        L"UnrealTournament.exe;ut-bin;ucc-bin;ut-bin-amd64;ucc-bin-amd64\0";
    EXPECT_EQ(open.filter, std::wstring(filter, std::size(filter)));
    EXPECT_EQ(open.owner, h.folders().hwnd());
    EXPECT_TRUE(h.linesOf(list).empty());

    ASSERT_TRUE(h.locate(h.exeOf(*a)));
    ASSERT_TRUE(h.locate(h.exeOf(*a)));  // once only
    // A write test that fails: the message first, with an empty title, then the entry
    // unselected.
    const std::string bExe = b->folder() + "System\\UnrealTournament.exe";
    h.fs.failOnlyWhen(
        [&](FsOp op, const std::string& path) { return op == FsOp::AppendTest && path == bExe; });
    ASSERT_TRUE(h.locate(h.exeOf(*b)));
    ASSERT_TRUE(h.locate(h.exeOf(*c)));
    EXPECT_EQ(h.linesOf(list), (std::vector<std::wstring>{h.exeOf(*a), h.exeOf(*b), h.exeOf(*c)}));
    EXPECT_EQ(h.selectionOf(list), (std::vector<bool>{true, false, true}));
    ASSERT_EQ(MessageBoxes::history().size(), size_t{1});
    EXPECT_EQ(MessageBoxes::history()[0].title, L"");
    EXPECT_EQ(MessageBoxes::history()[0].text,
              L"disable write protection on " + win32::widen(b->folder()));
    EXPECT_EQ(MessageBoxes::history()[0].type, UINT(MB_OK));
    EXPECT_EQ(MessageBoxes::history()[0].owner, h.folders().hwnd());

    // The user's clicks on the entries are the selection the work list is made of.
    RECT item{};
    SendMessageW(list, LB_GETITEMRECT, 0, LPARAM(&item));
    const LPARAM first = MAKELPARAM(item.left + 5, (item.top + item.bottom) / 2);
    SendMessageW(list, LB_GETITEMRECT, 1, LPARAM(&item));
    const LPARAM second = MAKELPARAM(item.left + 5, (item.top + item.bottom) / 2);
    for (LPARAM at : {first, second}) {
        PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageW(list, WM_LBUTTONUP, 0, at);
    }
    h.pump();
    EXPECT_EQ(h.selectionOf(list), (std::vector<bool>{false, true, true}));
    ASSERT_TRUE(h.toRepairPage());
    EXPECT_FALSE(h.folders().isVisible());
    EXPECT_EQ(h.wizard->core().folders().workList(),
              (std::vector<std::string>{b->folder(), c->folder()}));
}

// "Next ->" repairs what the list shows at that moment, however the selection was made:
// Space on the entry the caret is on (moved there by the arrow keys), Space on the first
// entry, a click with Ctrl held.
TEST(Win32PagesTest, NextTakesTheSelectionTheListShowsHoweverItWasMade) {
    const auto press = [](Win32Harness& h, std::initializer_list<UINT> keys) {
        SetFocus(h.folders().control(OrdnerAuswahl::vorlOrdnerListe));
        for (UINT key : keys) h.type(key);
    };
    const auto ctrlClickSecond = [](Win32Harness& h) {
        HWND list = h.folders().control(OrdnerAuswahl::vorlOrdnerListe);
        RECT item{};
        SendMessageW(list, LB_GETITEMRECT, 1, LPARAM(&item));
        const LPARAM at = MAKELPARAM(item.left + 5, (item.top + item.bottom) / 2);
        PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, at);
        PostMessageW(list, WM_LBUTTONUP, MK_CONTROL, at);
        h.pump();
    };
    const std::vector<std::pair<std::function<void(Win32Harness&)>, std::vector<bool>>> ways{
        {[&](Win32Harness& h) {
             press(h, {VK_HOME, VK_DOWN, VK_SPACE});
         },
         {true, false, true}},
        {[&](Win32Harness& h) {
             press(h, {VK_HOME, VK_SPACE});
         },
         {false, true, true}},
        {ctrlClickSecond, {true, false, true}},
    };
    for (const auto& [change, shown] : ways) {
        Win32Harness h;
        auto a = h.installation("A");
        auto b = h.installation("B");
        auto c = h.installation("C");
        ASSERT_TRUE(h.toFolderPageWith({a.get(), b.get(), c.get()}));
        change(h);
        EXPECT_EQ(h.selectionOf(h.folders().control(OrdnerAuswahl::vorlOrdnerListe)), shown);
        std::vector<std::string> expected;
        for (size_t i = 0; i < 3; ++i) {
            if (shown[i]) expected.push_back((i == 0 ? a : i == 1 ? b : c)->folder());
        }
        ASSERT_TRUE(h.toRepairPage());
        EXPECT_EQ(h.wizard->core().folders().workList(), expected);
    }
}

// One installation located by its path in two letter cases is one installation: repaired
// once, with no exchange with itself.
TEST(Win32PagesTest, AnInstallationLocatedInTwoLetterCasesIsRepairedOnce) {
    Win32Harness h;
    auto a = h.installation("A");
    std::wstring upper = h.exeOf(*a);
    for (wchar_t& ch : upper) ch = wchar_t(towupper(ch));
    ASSERT_TRUE(h.toFolderPageWith({a.get()}));
    ASSERT_TRUE(h.locate(upper));
    EXPECT_EQ(h.linesOf(h.folders().control(OrdnerAuswahl::vorlOrdnerListe)).size(), size_t{2});
    ASSERT_TRUE(h.toRepairPage());
    EXPECT_EQ(h.wizard->core().folders().workList(), std::vector<std::string>{a->folder()});
    const auto log = h.coreLog();
    EXPECT_EQ(
        std::count_if(log.begin(), log.end(),
                      [](const std::wstring& line) { return line.starts_with(L"Processing"); }),
        1);
}

// "Undo last run" on the folder page of a wizard opened again after a repair: a question
// that names the installation, the run's date and what it changed, with Yes and No; No
// changes nothing, Yes gives back every byte and shows the undo's log. The journals go to
// %LOCALAPPDATA%\Zendrik, here a temporary folder.
TEST(Win32PagesTest, UndoLastRunAsksAndTakesTheRunBack) {
    Win32Harness h;
    const std::string oldLocal = std::getenv("LOCALAPPDATA") ? std::getenv("LOCALAPPDATA") : "";
    ASSERT_EQ(_putenv_s("LOCALAPPDATA", (h.tmp.path() / "local").string().c_str()), 0);
    auto a = h.installation("A");
    auto clean = h.installation("Clean");
    a->add("sounds/Map1.unr", "a map, misplaced");
    a->add("system/Song1.uax", "a song, misplaced");
    const auto before = treeOf(h.tmp.path() / "A");
    ASSERT_TRUE(h.toRepairPageWith({a.get()}));
    const auto repaired = treeOf(h.tmp.path() / "A");
    ASSERT_NE(repaired, before);

    // The player comes back later.
    h.wizard.reset();
    h.wizard = std::make_unique<win32::Wizard>(h.fs);
    ASSERT_TRUE(h.toFolderPageWith({a.get(), clean.get()}));
    MessageBoxes::clearHistory();
    MessageBoxes::setNextAnswer(false);
    ASSERT_TRUE(h.click(h.folders(), OrdnerAuswahl::UndoButton));
    ASSERT_EQ(MessageBoxes::history().size(), size_t{2});
    const MessageBoxes::Shown asked = MessageBoxes::history()[0];
    EXPECT_EQ(asked.type, UINT(MB_YESNO | MB_DEFBUTTON2));
    EXPECT_EQ(asked.owner, h.folders().hwnd());
    EXPECT_EQ(asked.title, L"");
    EXPECT_TRUE(asked.text.starts_with(L"Undo the last run on " + win32::widen(a->folder()) + L"?"))
        << win32::narrow(asked.text);
    EXPECT_NE(asked.text.find(L" moved 2 files."), std::wstring::npos) << win32::narrow(asked.text);
    EXPECT_NE(asked.text.find(L" (UTC) "), std::wstring::npos) << win32::narrow(asked.text);
    EXPECT_EQ(MessageBoxes::history()[1].text,
              L"No run of " + win32::widen(clean->folder()) + L" to undo.");
    EXPECT_EQ(MessageBoxes::history()[1].type, UINT(MB_OK));
    EXPECT_EQ(treeOf(h.tmp.path() / "A"), repaired);

    MessageBoxes::clearHistory();
    MessageBoxes::setNextAnswer(true);
    ASSERT_TRUE(h.click(h.folders(), OrdnerAuswahl::UndoButton));
    ASSERT_EQ(MessageBoxes::history().size(), size_t{3});
    EXPECT_EQ(MessageBoxes::history()[0].text, asked.text);
    const std::wstring log = MessageBoxes::history()[1].text;
    EXPECT_TRUE(log.starts_with(L"Processing : " + win32::widen(a->folder()) + L"...\n"))
        << win32::narrow(log);
    EXPECT_NE(log.find(L" back to "), std::wstring::npos) << win32::narrow(log);
    EXPECT_EQ(treeOf(h.tmp.path() / "A"), before);

    // Nothing selected: said so.
    MessageBoxes::clearHistory();
    HWND list = h.folders().control(OrdnerAuswahl::vorlOrdnerListe);
    SendMessageW(list, LB_SETSEL, FALSE, -1);
    ASSERT_TRUE(h.click(h.folders(), OrdnerAuswahl::UndoButton));
    ASSERT_EQ(MessageBoxes::history().size(), size_t{1});
    EXPECT_EQ(MessageBoxes::history()[0].type, UINT(MB_OK));
    _putenv_s("LOCALAPPDATA", oldLocal.c_str());
}

// Tab from each control that takes the focus: the ids in the order the focus visits them.
std::vector<int> tabOrder(Win32Harness& h, PageWindow& page, size_t stops) {
    std::vector<int> visited;
    for (size_t i = 0; i < stops; ++i) {
        h.type(VK_TAB);
        visited.push_back(GetDlgCtrlID(GetFocus()));
    }
    EXPECT_EQ(GetParent(GetFocus()), page.hwnd());
    return visited;
}

TEST(Win32PagesTest, TabFollowsTheTablesOrder) {
    Win32Harness h;
    auto a = h.installation("A");
    auto b = h.installation("B");
    h.wizard->start();
    SetFocus(h.optionen().control(Optionen::CancelButton));
    EXPECT_EQ(tabOrder(h, h.optionen(), 6),
              (std::vector<int>{Optionen::removeExtensionsCheck, Optionen::compareextensionsCheck,
                                Optionen::previewCheck, Optionen::InfoButton, Optionen::NextButton,
                                Optionen::CancelButton}));
    ASSERT_TRUE(h.click(h.optionen(), Optionen::NextButton));
    ASSERT_TRUE(h.locate(h.exeOf(*a)));
    ASSERT_TRUE(h.locate(h.exeOf(*b)));
    SetFocus(h.folders().control(OrdnerAuswahl::Command1));
    EXPECT_EQ(tabOrder(h, h.folders(), 6),
              (std::vector<int>{OrdnerAuswahl::UndoButton, OrdnerAuswahl::vorlOrdnerListe,
                                OrdnerAuswahl::CancelButton, OrdnerAuswahl::OpenButton,
                                OrdnerAuswahl::NextButton, OrdnerAuswahl::Command1}));
    ASSERT_TRUE(h.toRepairPage());
    SetFocus(h.repair().control(Reparier::NextButton));
    // "Finish", "Save Log" and "<- Back" are hidden and take no focus; "Undo" comes last.
    EXPECT_EQ(tabOrder(h, h.repair(), 5),
              (std::vector<int>{Reparier::UndoButton, Reparier::StatusFeld, Reparier::LogListbox,
                                Reparier::CancelButton, Reparier::NextButton}));
}

}  // namespace
}  // namespace zendrik::testing
