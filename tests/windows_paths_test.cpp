// Windows: arguments and console text in any script, paths in the \\?\ form, of network shares
// and longer than MAX_PATH.
#ifdef _WIN32
#include <windows.h>

#include <ostream>

#include "cli/windows_console.h"
#include "engine_fixture.h"
#include "filesystem/windows_file_system.h"
#include "repair/installation_folder.h"

namespace zendrik::testing {
namespace {

TEST(WindowsArgumentsTest, WideArgumentsArriveInUtf8AndBrokenOnesAreRefused) {
    const auto arguments = utf8Arguments(
        L"zendrik-cli.exe \"C:\\Users\\J\u00fcrgen\\Games\\UT\" --log Protokoll-\u00e4.txt "
        L"\u041f\u0430\u043f\u043a\u0430 \U0001F3AE \"\"");
    ASSERT_TRUE(arguments);
    EXPECT_EQ(*arguments, (std::vector<std::string>{"C:\\Users\\Jürgen\\Games\\UT", "--log",
                                                    "Protokoll-ä.txt", "Папка", "🎮", ""}));
    // A lone surrogate names no file that a UTF-8 path could reach.
    EXPECT_FALSE(utf8Arguments(L"zendrik-cli.exe C:\\UT\xD800x"));
}

TEST(WindowsConsoleTest, CharactersSplitBetweenWritesAreShownWhole) {
    std::wstring shown;
    int calls = 0;
    WideTextBuffer buffer([&](std::wstring_view text) {
        shown += text;
        ++calls;
        return true;
    });
    std::ostream out(&buffer);
    for (const char byte : std::string("Jürgen Папка 🎮\n")) out << byte << std::flush;
    EXPECT_EQ(shown, L"J\u00fcrgen \u041f\u0430\u043f\u043a\u0430 \U0001F3AE\n");
    EXPECT_GT(calls, 1);  // flushed as it came, not held to the end

    WideTextBuffer refusing([](std::wstring_view) { return false; });
    std::ostream failing(&refusing);
    failing << "line\n" << std::flush;
    EXPECT_TRUE(failing.bad());
}

TEST(WindowsLongPathTest, LongAbsolutePathsTakeTheLongFormAndOthersStay) {
    const std::wstring part(60, L'x');
    const std::wstring tail = L"\\" + part + L"\\" + part + L"\\" + part + L"\\" + part;
    EXPECT_EQ(longPathForm(L"C:\\Games" + tail), L"\\\\?\\C:\\Games" + tail);
    EXPECT_EQ(longPathForm(L"\\\\server\\share" + tail), L"\\\\?\\UNC\\server\\share" + tail);
    // The long form takes no "/", "." or "..": they are resolved first.
    EXPECT_EQ(longPathForm(L"C:/Games/skipped/../." + tail), L"\\\\?\\C:\\Games" + tail);
    const std::wstring same[] = {L"C:\\Games\\UT\\System\\", L"\\\\server\\share\\UT\\",
                                 L"\\\\?\\C:\\Games" + tail, L"\\\\?\\UNC\\server\\share" + tail};
    for (const auto& path : same) {
        EXPECT_EQ(longPathForm(path), path);
    }
    // A relative path is long when the working folder makes it so.
    const std::wstring relative = part + L"\\" + part + L"\\" + part + L"\\" + part + L"\\x";
    const std::wstring form = longPathForm(relative);
    EXPECT_TRUE(form.starts_with(L"\\\\?\\")) << form.size();
    EXPECT_TRUE(form.ends_with(L"\\" + relative));
}

TEST(WindowsLongPathTest, InstallationFoldersKeepLongFormAndNetworkRoots) {
    const std::pair<std::string, std::optional<std::string>> cases[] = {
        {"\\\\?\\C:\\Games\\UT\\System\\UnrealTournament.exe", "\\\\?\\C:\\Games\\UT\\"},
        {"\\\\?\\C:\\System\\UnrealTournament.exe", "\\\\?\\C:\\"},
        {"\\\\?\\C:\\UnrealTournament.exe", std::nullopt},
        {"\\\\server\\share\\UT\\System\\UnrealTournament.exe", "\\\\server\\share\\UT\\"},
        {"\\\\server\\share\\System\\UnrealTournament.exe", "\\\\server\\share\\"},
        {"\\\\server\\share\\UnrealTournament.exe", std::nullopt},
        {"\\\\?\\UNC\\server\\share\\UT\\System\\UnrealTournament.exe",
         "\\\\?\\UNC\\server\\share\\UT\\"},
        {"\\\\server\\share\\..\\System\\UnrealTournament.exe", std::nullopt},
    };
    for (const auto& [exe, folder] : cases) {
        EXPECT_EQ(installationFolderOfExecutable(exe), folder) << exe;
    }
}

TEST(WindowsLongPathTest, InstallationFoldersKeepNamesInAnyScript) {
    // UTF-8: "J\u00FCrgen" and "\u0418\u0433\u0440\u044B".
    const std::pair<std::string, std::string> cases[] = {
        {"C:\\Users\\J\xC3\xBCrgen\\UT\\System\\UnrealTournament.exe",
         "C:\\Users\\J\xC3\xBCrgen\\UT\\"},
        {"\\\\?\\C:\\\xD0\x98\xD0\xB3\xD1\x80\xD1\x8B\\UT\\System\\UnrealTournament.exe",
         "\\\\?\\C:\\\xD0\x98\xD0\xB3\xD1\x80\xD1\x8B\\UT\\"},
    };
    for (const auto& [exe, folder] : cases) {
        EXPECT_EQ(installationFolderOfExecutable(exe), folder) << exe;
    }
}

// Every operation of the file layer on files below a folder path of more than MAX_PATH
// characters, given in its plain form.
TEST(WindowsLongPathTest, FileLayerWorksBelowLongFolderPaths) {
    TempFolder tmp;
    std::vector<std::wstring> folders{L"\\\\?\\" + tmp.path().wstring()};
    // TempFolder's std::filesystem cannot remove what lies below a long path.
    struct RemoveBelow {
        std::vector<std::wstring>& folders;
        ~RemoveBelow() {
            for (const wchar_t* name : {L"\\A.u", L"\\B.u", L"\\C.u", L"\\D.txt"}) {
                ::DeleteFileW((folders.back() + name).c_str());
            }
            while (folders.size() > 1) {
                ::RemoveDirectoryW(folders.back().c_str());
                folders.pop_back();
            }
        }
    } removeBelow{folders};
    std::string plain = tmp.folder();
    for (int i = 0; i < 5; ++i) {
        folders.push_back(folders.back() + L"\\" + std::wstring(60, L'f') + std::to_wstring(i));
        plain += std::string(60, 'f') + std::to_string(i) + kSeparator;
        ASSERT_TRUE(::CreateDirectoryW(folders.back().c_str(), nullptr));
    }
    ASSERT_GT(plain.size(), size_t{MAX_PATH});
    NativeFileSystem disk;
    disk.writeFile(plain + "A.u", "package");
    EXPECT_EQ(disk.listFiles(plain, "u"), std::vector<std::string>{"A.u"});
    EXPECT_TRUE(disk.folderExists(plain));
    EXPECT_EQ(disk.readFile(plain + "A.u"), "package");
    EXPECT_EQ(disk.copyFile(plain + "A.u", plain + "B.u"), Transfer::Done);
    EXPECT_TRUE(disk.sameFile(plain + "B.u", plain + "b.U"));
    EXPECT_EQ(disk.moveFile(plain + "B.u", plain + "C.u"), Transfer::Done);
    auto writer = disk.openForReplacing(plain + "D.txt");
    writer->append("log");
    writer->commit();
    disk.syncDeferredWrites();
    disk.testAppend(plain + "D.txt");
    EXPECT_FALSE(disk.writeProtected(plain + "D.txt"));
    EXPECT_TRUE(disk.lockInstallation(plain, std::chrono::milliseconds(0)));
    disk.removeFile(plain + "A.u");
    disk.forgetCache();
    EXPECT_EQ(disk.listFiles(plain, "u"), std::vector<std::string>{"C.u"});
    EXPECT_EQ(disk.readFile(plain + "D.txt"), "log");
}

}  // namespace
}  // namespace zendrik::testing
#endif
