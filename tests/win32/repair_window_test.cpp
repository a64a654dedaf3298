// The repair page as a user sees it: a pass runs off the interface's thread while the page
// stays readable and only its buttons are inactive; closing it during a pass ends the
// program once the operation under way has finished; afterwards the buttons follow the
// core, and "COPY!", "Save Log" and "Finish" reach the dialogs and message boxes with the
// program's texts and flags. The log list shows whole lines and copies them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "held_pass.h"
#include "win32/dialogs.h"
#include "win32/text.h"
#include "win32_harness.h"

namespace zendrik::testing {
namespace {

using win32::FileDialog;
using win32::MessageBoxes;

// The journals go to `folder` while this lives: %LOCALAPPDATA%\Zendrik, as on Windows.
class JournalsIn {
  public:
    explicit JournalsIn(const std::filesystem::path& folder) {
        if (const char* old = std::getenv("LOCALAPPDATA")) old_ = old;
        _putenv_s("LOCALAPPDATA", folder.string().c_str());
    }
    ~JournalsIn() { _putenv_s("LOCALAPPDATA", old_.c_str()); }

  private:
    std::string old_;
};

// `id`'s rectangle in its page's client coordinates.
RECT placeOf(PageWindow& page, int id) {
    RECT r{};
    GetWindowRect(page.control(id), &r);
    MapWindowPoints(nullptr, page.hwnd(), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

int topLine(HWND list) {
    return int(SendMessageW(list, LB_GETTOPINDEX, 0, 0));
}

// Whether the last line of `list` is in view.
bool newestInView(HWND list) {
    RECT client{};
    GetClientRect(list, &client);
    const int height = int(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
    const int count = int(SendMessageW(list, LB_GETCOUNT, 0, 0));
    return topLine(list) + client.bottom / height >= count;
}

TEST(Win32RepairWindowTest, ThePageStaysReadableDuringAPassAndClosingEndsItAfterTheOperation) {
    Win32Harness h;
    auto a = h.installation("A");
    auto b = h.installation("B");
    constexpr int kMisplaced = 80;
    for (int i = 0; i < kMisplaced; ++i)
        a->add("system/Skin" + std::to_string(i) + ".utx", "texture");
    b->add("system/Late.utx", "texture");
    const std::string bIni = b->folder() + "System\\UnrealTournament.ini";
    HeldPass held(h.fs, bIni);
    ASSERT_TRUE(h.toFolderPageWith({a.get(), b.get()}));
    ASSERT_TRUE(h.click(h.folders(), OrdnerAuswahl::NextButton));
    HWND list = h.repair().control(Reparier::LogListbox);
    // The worker is held at the second folder; the first folder's block reaches the page.
    const std::vector<std::wstring> aBlockEnd = {L"  all extensions are already in UT.ini", L"",
                                                 L"", L""};
    ASSERT_TRUE(h.pumpUntil([&] {
        const auto lines = h.linesOf(list);
        return held.reached() && lines.size() > size_t(kMisplaced) &&
               std::vector<std::wstring>(lines.end() - 4, lines.end()) == aBlockEnd;
    }));
    EXPECT_TRUE(h.repairCore().passRunning());
    EXPECT_EQ(h.linesOf(list), h.coreLog());
    EXPECT_EQ(h.textOf(h.repair().control(Reparier::StatusFeld)),
              L"current folder : " + win32::widen(a->folder()));
    for (int id : {Reparier::NextButton, Reparier::CancelButton}) {
        EXPECT_TRUE(h.shown(h.repair(), id)) << id;
        EXPECT_FALSE(h.enabled(h.repair(), id)) << id;
    }
    for (int id : {Reparier::FinishButton, Reparier::SaveLogButton})
        EXPECT_FALSE(h.shown(h.repair(), id)) << id;
    EXPECT_TRUE(IsWindowEnabled(h.repair().hwnd()) && IsWindowEnabled(list));
    // The view has followed the newest line.
    EXPECT_GT(topLine(list), 0);
    EXPECT_TRUE(newestInView(list));

    // The reader pages up and selects the first line.
    PostMessageW(list, WM_VSCROLL, SB_TOP, 0);
    h.pump();
    EXPECT_EQ(topLine(list), 0);
    SetFocus(list);
    h.type(VK_HOME);
    EXPECT_GT(SendMessageW(list, LB_GETSEL, 0, 0), 0);

    // Closing waits for the operation under way, then ends the program as "Cancel" does.
    PostMessageW(h.repair().hwnd(), WM_CLOSE, 0, 0);
    h.pumpUntil([] { return false; }, 100);
    EXPECT_EQ(h.endRequests, 0);
    held.release();
    ASSERT_TRUE(h.pumpUntil([&] { return h.endRequests == 1; }, 10000));
    EXPECT_FALSE(h.repairCore().passRunning());
    EXPECT_TRUE(isFile(b->at("system/Late.utx")));
    EXPECT_FALSE(isFile(b->at("textures/Late.utx")));
    // The view stayed where the reader was, away from the newest line.
    EXPECT_EQ(topLine(list), 0);
    EXPECT_GT(SendMessageW(list, LB_GETSEL, 0, 0), 0);
    EXPECT_EQ(h.linesOf(list), h.coreLog());
}

TEST(Win32RepairWindowTest, CopySaveLogAndFinish) {
    Win32Harness h;
    auto a = h.installation("A");
    auto b = h.installation("B");
    a->add("system/Skin.int", skinInt());
    a->add("textures/Skin.utx", "texture");
    ASSERT_TRUE(h.toRepairPageWith({a.get(), b.get()}));
    HWND list = h.repair().control(Reparier::LogListbox);
    EXPECT_EQ(h.caption(h.repair()), L"Repairing folders...");
    EXPECT_EQ(h.textOf(h.repair().control(Reparier::StatusFeld)),
              L"current folder : " + win32::widen(b->folder()));
    EXPECT_EQ(h.linesOf(list), h.coreLog());
    EXPECT_TRUE(newestInView(list));
    for (int id : {Reparier::NextButton, Reparier::CancelButton})
        EXPECT_TRUE(h.shown(h.repair(), id) && h.enabled(h.repair(), id)) << id;

    ASSERT_TRUE(h.click(h.repair(), Reparier::NextButton));
    EXPECT_EQ(h.caption(h.repair()), L"copying extensions...");
    ASSERT_TRUE(h.passEnded());
    EXPECT_TRUE(isFile(b->at("textures/Skin.utx")));
    for (int id : {Reparier::NextButton, Reparier::CancelButton})
        EXPECT_FALSE(h.shown(h.repair(), id)) << id;
    for (int id : {Reparier::FinishButton, Reparier::SaveLogButton})
        EXPECT_TRUE(h.shown(h.repair(), id) && h.enabled(h.repair(), id)) << id;
    EXPECT_EQ(GetFocus(), h.repair().control(Reparier::SaveLogButton));
    // Only the exchange pass's lines: the log was cleared on the page too.
    const std::vector<std::wstring> lines = h.linesOf(list);
    EXPECT_EQ(lines, h.coreLog());
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), L"Processing : " + win32::widen(a->folder()) + L"...");

    // "Save Log": the dialog's texts, the file written, the name kept for the next save.
    const std::wstring saved = (h.tmp.path() / "run.txt").wstring();
    FileDialog::setNextFileName(saved);
    ASSERT_TRUE(h.click(h.repair(), Reparier::SaveLogButton));
    std::string expected;
    for (const std::wstring& line : lines) expected += win32::narrow(line) + "\r\n";
    EXPECT_EQ(contentsOf(h.tmp.path() / "run.txt"), expected);
    FileDialog::setNextFileName(L"");
    ASSERT_TRUE(h.click(h.repair(), Reparier::SaveLogButton));
    ASSERT_EQ(FileDialog::history().size(), size_t{4});  // two opens, two saves
    const FileDialog::Request& first = FileDialog::history()[2];
    EXPECT_EQ(first.kind, FileDialog::Kind::Save);
    EXPECT_EQ(first.filter, std::wstring(L"Textfile\0*.txt\0\0", 16));
    EXPECT_EQ(first.owner, h.repair().hwnd());
    EXPECT_TRUE(first.flags & OFN_PATHMUSTEXIST);
    EXPECT_EQ(FileDialog::history()[3].initialName, saved);
    EXPECT_TRUE(MessageBoxes::history().empty());

    // A save that fails is told in a message box with an empty title.
    FileDialog::setNextFileName((h.tmp.path() / "missing" / "run.txt").wstring());
    ASSERT_TRUE(h.click(h.repair(), Reparier::SaveLogButton));
    ASSERT_EQ(MessageBoxes::history().size(), size_t{1});
    EXPECT_EQ(MessageBoxes::history()[0].title, L"");
    EXPECT_EQ(MessageBoxes::history()[0].text.rfind(L"The log was not saved: ", 0), size_t{0});
    EXPECT_EQ(h.endRequests, 0);

    // "Finish": the reminder, then the end.
    ASSERT_TRUE(h.click(h.repair(), Reparier::FinishButton));
    ASSERT_EQ(MessageBoxes::history().size(), size_t{2});
    EXPECT_EQ(MessageBoxes::history()[1].text,
              L"don\u00B4t forget to re-enable write protection on network drives!");
    EXPECT_EQ(MessageBoxes::history()[1].title, L"");
    EXPECT_EQ(MessageBoxes::history()[1].type, UINT(MB_OK));
    EXPECT_EQ(MessageBoxes::history()[1].owner, h.repair().hwnd());
    EXPECT_EQ(h.endRequests, 1);
}

// The third switch, off at the start, below the other two and next to them by Tab; with it
// on the page says that it shows a preview and changes nothing, and offers "<- Back", which
// leads to the options; the real run then offers "Undo", whose log the page shows and "Save
// Log" saves.
TEST(Win32RepairWindowTest, APreviewThenTheRealRunAndItsUndo) {
    TempFolder state;
    JournalsIn journals(state.path());
    Win32Harness h;
    auto a = h.installation("A");
    auto b = h.installation("B");
    a->add("system/Foo.utx", "misplaced");
    const auto before = treeOf(h.tmp.path());
    h.wizard->start();
    Optionen& options = h.optionen();
    HWND preview = options.control(Optionen::previewCheck);
    ASSERT_TRUE(preview && IsWindowVisible(preview));
    EXPECT_EQ(h.textOf(preview), L"only show what would be done");
    EXPECT_EQ(IsDlgButtonChecked(options.hwnd(), Optionen::previewCheck), UINT(BST_UNCHECKED));
    const RECT box = placeOf(options, Optionen::previewCheck);
    EXPECT_GE(box.top, placeOf(options, Optionen::compareextensionsCheck).bottom);
    EXPECT_LE(box.bottom, placeOf(options, Optionen::NextButton).top);
    SetFocus(options.control(Optionen::compareextensionsCheck));
    h.type(VK_TAB);
    EXPECT_EQ(GetFocus(), preview);
    h.type(VK_SPACE);
    EXPECT_TRUE(h.wizard->core().options().previewOnly);

    ASSERT_TRUE(h.click(options, Optionen::NextButton));
    ASSERT_TRUE(h.locate(h.exeOf(*a)));
    ASSERT_TRUE(h.locate(h.exeOf(*b)));
    ASSERT_TRUE(h.toRepairPage());
    EXPECT_EQ(h.caption(h.repair()), L"Repairing folders... (preview: nothing is changed)");
    HWND list = h.repair().control(Reparier::LogListbox);
    const std::vector<std::wstring> previewLog = h.linesOf(list);
    EXPECT_TRUE(h.shown(h.repair(), Reparier::BackButton));
    EXPECT_FALSE(h.shown(h.repair(), Reparier::UndoButton));
    ASSERT_TRUE(h.click(h.repair(), Reparier::NextButton));
    EXPECT_EQ(h.caption(h.repair()), L"copying extensions... (preview: nothing is changed)");
    ASSERT_TRUE(h.passEnded());
    EXPECT_EQ(treeOf(h.tmp.path()), before);
    EXPECT_FALSE(h.shown(h.repair(), Reparier::UndoButton));

    ASSERT_TRUE(h.click(h.repair(), Reparier::BackButton));
    EXPECT_TRUE(options.isVisible());
    EXPECT_FALSE(h.repair().isVisible());
    EXPECT_TRUE(h.linesOf(list).empty());
    h.postClick(preview);
    EXPECT_FALSE(h.wizard->core().options().previewOnly);
    ASSERT_TRUE(h.click(options, Optionen::NextButton));
    ASSERT_TRUE(h.toRepairPage());
    EXPECT_EQ(h.caption(h.repair()), L"Repairing folders...");
    EXPECT_EQ(h.linesOf(list), previewLog);
    EXPECT_FALSE(h.shown(h.repair(), Reparier::BackButton));
    EXPECT_TRUE(h.shown(h.repair(), Reparier::UndoButton));
    EXPECT_NE(treeOf(h.tmp.path()), before);

    ASSERT_TRUE(h.click(h.repair(), Reparier::UndoButton));
    ASSERT_TRUE(h.passEnded());
    EXPECT_EQ(treeOf(h.tmp.path()), before);
    EXPECT_FALSE(h.shown(h.repair(), Reparier::UndoButton));
    EXPECT_FALSE(h.shown(h.repair(), Reparier::NextButton));
    const std::vector<std::wstring> undoLog = h.linesOf(list);
    EXPECT_EQ(undoLog, h.coreLog());
    ASSERT_GT(undoLog.size(), 2u);
    EXPECT_EQ(undoLog.front(), L"Processing : " + win32::widen(a->folder()) + L"...");
    EXPECT_EQ(undoLog[1].rfind(L"  undoing the run ", 0), 0u);
    EXPECT_EQ(undoLog.back(), L"Undo finished: everything the passes changed was taken back");
    FileDialog::setNextFileName((h.tmp.path() / "undo.txt").wstring());
    ASSERT_TRUE(h.click(h.repair(), Reparier::SaveLogButton));
    std::string expected;
    for (const std::wstring& line : undoLog) expected += win32::narrow(line) + "\r\n";
    EXPECT_EQ(contentsOf(h.tmp.path() / "undo.txt"), expected);
}

TEST(Win32RepairWindowTest, OneExecutableOffersSaveLogAndFinishAndCancelEndsAtOnce) {
    {
        Win32Harness h;
        auto a = h.installation("A");
        ASSERT_TRUE(h.toFolderPage());
        ASSERT_TRUE(h.locate(h.exeOf(*a)));
        ASSERT_TRUE(h.toRepairPage());
        for (int id : {Reparier::FinishButton, Reparier::SaveLogButton})
            EXPECT_TRUE(h.shown(h.repair(), id) && h.enabled(h.repair(), id)) << id;
        for (int id : {Reparier::NextButton, Reparier::CancelButton})
            EXPECT_FALSE(h.shown(h.repair(), id)) << id;
    }
    Win32Harness h;
    auto a = h.installation("A");
    auto b = h.installation("B");
    ASSERT_TRUE(h.toRepairPageWith({a.get(), b.get()}));
    ASSERT_TRUE(h.click(h.repair(), Reparier::CancelButton));
    EXPECT_EQ(h.endRequests, 1);
    EXPECT_TRUE(MessageBoxes::history().empty());
}

TEST(Win32RepairWindowTest, NamesInAnyScriptReachTheDiskAndThePageWhole) {
    Win32Harness h;
    const std::filesystem::path parent =
        h.tmp.path() / utf8Path("J\u00FCrgen \u0418\u0432\u0430\u043D");
    Installation ut(parent, "UT");
    ut.add("system/UnrealTournament.exe", "MZ");
    ASSERT_TRUE(h.toFolderPage());
    ASSERT_TRUE(h.locate(ut.at("system/UnrealTournament.exe").wstring()));
    // The write test found the file the dialog named.
    EXPECT_EQ(h.selectionOf(h.folders().control(OrdnerAuswahl::vorlOrdnerListe)),
              std::vector<bool>{true});
    EXPECT_TRUE(MessageBoxes::history().empty());
    ASSERT_TRUE(h.toRepairPage());
    const std::wstring folder = ut.root().wstring() + L"\\";
    EXPECT_EQ(h.linesOf(h.repair().control(Reparier::LogListbox)).at(0),
              L"Processing : " + folder + L"...");
    EXPECT_EQ(h.textOf(h.repair().control(Reparier::StatusFeld)), L"current folder : " + folder);
    const std::filesystem::path saved = parent / utf8Path("Protokoll-\u00E4.txt");
    FileDialog::setNextFileName(saved.wstring());
    ASSERT_TRUE(h.click(h.repair(), Reparier::SaveLogButton));
    EXPECT_TRUE(isFile(saved));
    EXPECT_TRUE(MessageBoxes::history().empty());
}

TEST(Win32RepairWindowTest, LongLinesScrollAndTheSelectedLinesAreCopied) {
    Win32Harness h;
    // A folder name far wider than the list.
    auto a = h.installation(std::string(180, 'w'));
    ASSERT_TRUE(h.toFolderPage());
    ASSERT_TRUE(h.locate(h.exeOf(*a)));
    ASSERT_TRUE(h.toRepairPage());
    HWND list = h.repair().control(Reparier::LogListbox);
    const std::wstring heading = h.linesOf(list).at(0);
    HDC dc = GetDC(list);
    SelectObject(dc, HGDIOBJ(SendMessageW(list, WM_GETFONT, 0, 0)));
    SIZE width{};
    GetTextExtentPoint32W(dc, heading.c_str(), int(heading.size()), &width);
    ReleaseDC(list, dc);
    RECT client{};
    GetClientRect(list, &client);
    ASSERT_GT(width.cx, client.right);
    EXPECT_GE(SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0), width.cx);
    SCROLLINFO bar{};
    bar.cbSize = sizeof bar;
    bar.fMask = SIF_RANGE | SIF_PAGE;
    ASSERT_TRUE(GetScrollInfo(list, SB_HORZ, &bar));
    EXPECT_GE(bar.nMax - bar.nMin + 1, width.cx);

    // Ctrl+A selects every line, Ctrl+C copies them, each followed by CR LF.
    SetFocus(list);
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    h.type('A');
    h.type('C');
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    std::wstring expected;
    for (const std::wstring& line : h.coreLog()) expected += line + L"\r\n";
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE text = GetClipboardData(CF_UNICODETEXT);
    const std::wstring copied = text ? static_cast<const wchar_t*>(GlobalLock(text)) : L"";
    if (text) GlobalUnlock(text);
    CloseClipboard();
    EXPECT_EQ(copied, expected);
}

}  // namespace
}  // namespace zendrik::testing
