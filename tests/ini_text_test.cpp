#include "serverpackages/ini_text.h"
#include "serverpackages/server_package_list.h"

#include "engine_fixture.h"
#include "filesystem/fault_injecting_file_system.h"
#include "serverpackages/server_package_entries.h"

namespace zendrik::testing {
namespace {

TEST(IniText, EveryLineEndsInCrLfWhateverTheFileUsed) {
    EXPECT_EQ(iniTextFromBytes(""), "");
    EXPECT_EQ(iniTextFromBytes("a\r\nb"), "a\r\nb\r\n");
    EXPECT_EQ(iniTextFromBytes("a\r\nb\r\n"), "a\r\nb\r\n");
    EXPECT_EQ(iniTextFromBytes("a\nb\n"), "a\r\nb\r\n");
    EXPECT_EQ(iniTextFromBytes("a\rb\r\n\nc"), "a\r\nb\r\n\r\nc\r\n");
    EXPECT_EQ(iniTextFromBytes("\r\n"), "\r\n");
    EXPECT_EQ(iniTextFromBytes("x\xE9y"), "x\xE9y\r\n");  // 8-bit text stays as it is
}

TEST(IniText, APackageIsListedWhenALineHasItAsItsValue) {
    const std::string ini = iniTextFromBytes(
        "[Engine.GameEngine]\nServerPackages=SoldierPack\nServerPackages=MyVoicePack\n"
        "EditPackages=EditOnly\n;ServerPackages=Commented\nServerPackages=Blank \nKey=A=B\n"
        "ServerPackages=LastLine");
    for (const char* listed : {"soldierpack", "SOLDIERPACK", "SoldierPack", "MyVoicePack",
                               "EditOnly", "Commented", "LastLine", "A=B"}) {
        EXPECT_TRUE(ServerPackageList(ini).SearchUTiniForServerPackage(listed)) << listed;
    }
    for (const char* unlisted : {"VoicePack", "MyVoice", "Blank", "B", "Soldier", "GameEngine]"}) {
        EXPECT_FALSE(ServerPackageList(ini).SearchUTiniForServerPackage(unlisted)) << unlisted;
    }
}

TEST(IniText, NewEntriesGoAboveTheFirstLineThatBeginsWithTheKey) {
    const std::string ini = iniTextFromBytes(
        "[A]\n;ServerPackages=Old\nMyServerPackages=X\nserverpackages=PackA\nServerPackages="
        "PackB\n");
    const auto at = serverPackagesInsertionPoint(ini);
    ASSERT_TRUE(at.has_value());
    ServerPackageList list(ini);
    list.add("MySkin");
    const std::string added = list.text();
    EXPECT_EQ(added, iniTextFromBytes(
                         "[A]\n;ServerPackages=Old\nMyServerPackages=X\nServerPackages=MySkin\n"
                         "serverpackages=PackA\nServerPackages=PackB\n"));
    EXPECT_EQ(added.size(), ini.size() + 17 + 6);
    EXPECT_FALSE(serverPackagesInsertionPoint(iniTextFromBytes("[A]\n;ServerPackages=Old\nX=1\n")));
    EXPECT_FALSE(serverPackagesInsertionPoint(""));
}

using AddServerPackageTest = EngineTest;

TEST_F(AddServerPackageTest, EntriesGoOnTopAndTheFileGetsExactlyTheText) {
    Installation ut(tmp.path(), "UT", iniWith({"PackA", "PackB"}));
    const std::string path = ut.folder() + "system/UNREALTOURNAMENT.ini"_p;
    ServerPackageList utini(readIniText(disk, ut.folder() + "System/UnrealTournament.ini"_p));
    log.addLine("    Package MyVoice not installed as ServerPackage in UT.ini...");
    EXPECT_TRUE(AddServerPackage(ctx, "MyVoice", utini, path));
    // On disk before its line is marked.
    EXPECT_EQ(contentsOf(ut.ini()), iniWith({"MyVoice", "PackA", "PackB"}));
    log.addLine("    Package MySkin not installed as ServerPackage in UT.ini...");
    EXPECT_TRUE(AddServerPackage(ctx, "MySkin", utini, path));
    EXPECT_EQ(log[0],
              "    Package MyVoice not installed as ServerPackage in UT.ini...  ...entry added");
    EXPECT_EQ(log[1],
              "    Package MySkin not installed as ServerPackage in UT.ini...  ...entry added");
    // The file holds the text and nothing more: no empty line piles up run after run.
    EXPECT_EQ(contentsOf(ut.ini()), iniWith({"MySkin", "MyVoice", "PackA", "PackB"}));
    EXPECT_EQ(entriesOf(ut.at("system")), std::vector<std::string>{"UnrealTournament.ini"});
}

TEST_F(AddServerPackageTest, AnEntryWhoseWriteFailsIsNotMarked) {
    Installation ut(tmp.path(), "UT", iniWith({"PackA"}));
    const std::string path = ut.folder() + "system/UNREALTOURNAMENT.ini"_p;
    ServerPackageList utini(readIniText(disk, ut.ini().string()));
    FaultInjectingFileSystem faulty(disk);
    RunContext refused(faulty, log);
    faulty.failOnlyCall(FsOp::Write, 2, "No space left on device");
    log.addLine("extension One");
    AddServerPackage(refused, "One", utini, path);
    log.addLine("extension Two");
    EXPECT_THROW(AddServerPackage(refused, "Two", utini, path), FsError);
    EXPECT_EQ(log[0], "extension One  ...entry added");
    EXPECT_EQ(log[1], "extension Two");
    EXPECT_EQ(contentsOf(ut.ini()), iniWith({"One", "PackA"}));
}

TEST_F(AddServerPackageTest, LeavesAFileWithoutEntriesUntouched) {
    const std::string ini = "[Engine.GameEngine]\r\n;ServerPackages=Old\r\n";
    Installation ut(tmp.path(), "UT", ini);
    const std::string path = ut.folder() + "system/UNREALTOURNAMENT.ini"_p;
    ServerPackageList utini(ini);
    log.addLine("    Package MyVoice not installed as ServerPackage in UT.ini...");
    EXPECT_FALSE(AddServerPackage(ctx, "MyVoice", utini, path));
    EXPECT_EQ(utini.text(), ini);
    EXPECT_EQ(contentsOf(ut.ini()), ini);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0], "    Package MyVoice not installed as ServerPackage in UT.ini...");
}

}  // namespace
}  // namespace zendrik::testing
