#include "serverpackages/server_package_entries.h"

#include <filesystem>

#include "engine_fixture.h"
#include "filesystem/fault_injecting_file_system.h"
#include "serverpackages/ini_text.h"

namespace zendrik::testing {
namespace {

using Place = ServerPackageEntries::Place;

class ServerPackageEntriesTest : public EngineTest {
  protected:
    // The ini of `ut` as read, named as the steps name System's.
    GameIni utIni(const Installation& ut) {
        return GameIni{ut.folder() + "system/UNREALTOURNAMENT.ini"_p, "UT.ini",
                       ServerPackageList(readIniText(disk, ut.ini().string())), false};
    }
};

TEST_F(ServerPackageEntriesTest, EntriesGoOnTopAndTheFileGetsExactlyTheText) {
    Installation ut(tmp.path(), "UT", iniWith({"PackA", "PackB"}));
    std::vector<GameIni> inis{utIni(ut)};
    ServerPackageEntries entries(ctx, inis);
    log.addLine("    Package MyVoice not installed as ServerPackage in UT.ini...");
    const auto voice = entries.add("MyVoice");
    EXPECT_EQ(voice.places, std::vector<Place>{Place::Added});
    EXPECT_EQ(entries.marks(voice), "");  // not on disk yet
    EXPECT_EQ(contentsOf(ut.ini()), iniWith({"PackA", "PackB"}));
    entries.write();
    // On disk before its line is marked.
    EXPECT_EQ(contentsOf(ut.ini()), iniWith({"MyVoice", "PackA", "PackB"}));
    log.extendLastLine(entries.marks(voice));
    log.addLine("    Package MySkin not installed as ServerPackage in UT.ini...");
    const auto skin = entries.add("MySkin");
    EXPECT_EQ(skin.places, std::vector<Place>{Place::Added});
    entries.write();
    log.extendLastLine(entries.marks(skin));
    EXPECT_EQ(log[0],
              "    Package MyVoice not installed as ServerPackage in UT.ini...  ...entry added");
    EXPECT_EQ(log[1],
              "    Package MySkin not installed as ServerPackage in UT.ini...  ...entry added");
    // The file holds the text and nothing more: no empty line piles up run after run.
    EXPECT_EQ(contentsOf(ut.ini()), iniWith({"MySkin", "MyVoice", "PackA", "PackB"}));
    EXPECT_EQ(entriesOf(ut.at("system")), std::vector<std::string>{"UnrealTournament.ini"});
}

TEST_F(ServerPackageEntriesTest, AnEntryWhoseWriteFailsIsNotMarked) {
    Installation ut(tmp.path(), "UT", iniWith({"PackA"}));
    std::vector<GameIni> inis{utIni(ut)};
    FaultInjectingFileSystem faulty(disk);
    RunContext refused(faulty, log);
    ServerPackageEntries entries(refused, inis);
    faulty.failOnlyCall(FsOp::Write, 2, "No space left on device");
    log.addLine("extension One");
    const auto one = entries.add("One");
    entries.write();
    log.extendLastLine(entries.marks(one));
    log.addLine("extension Two");
    const auto two = entries.add("Two");
    EXPECT_THROW(entries.write(), FsError);
    log.extendLastLine(entries.marks(two));
    EXPECT_EQ(log[0], "extension One  ...entry added");
    EXPECT_EQ(log[1], "extension Two");
    EXPECT_EQ(entries.marks(one), "  ...entry added");  // on disk before the failure
    EXPECT_EQ(contentsOf(ut.ini()), iniWith({"One", "PackA"}));
}

TEST_F(ServerPackageEntriesTest, LeavesAFileWithoutEntriesUntouched) {
    const std::string ini = "[Engine.GameEngine]\r\n;ServerPackages=Old\r\n";
    Installation ut(tmp.path(), "UT", ini);
    std::vector<GameIni> inis{utIni(ut)};
    ServerPackageEntries entries(ctx, inis);
    log.addLine("    Package MyVoice not installed as ServerPackage in UT.ini...");
    const auto voice = entries.add("MyVoice");
    EXPECT_EQ(voice.places, std::vector<Place>{Place::NoPlace});
    entries.write();
    EXPECT_EQ(entries.marks(voice), "");
    EXPECT_EQ(inis.front().entries.text(), ini);
    EXPECT_EQ(contentsOf(ut.ini()), ini);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0], "    Package MyVoice not installed as ServerPackage in UT.ini...");
}

// Two inis, the second made read-only by its owner after the first write: from then on it is
// left as it is and reported once, while the first one still takes and marks its entries.
TEST_F(ServerPackageEntriesTest, AWriteProtectedIniIsLeftForTheRestOfTheStep) {
    Installation ut(tmp.path(), "UT", iniWith({"PackA"}));
    const auto server = ut.at("system/Server.ini");
    put(server, iniWith({"PackS"}));
    std::vector<GameIni> inis{utIni(ut)};
    inis.push_back(GameIni{server.string(), "System/Server.ini"_p,
                           ServerPackageList(readIniText(disk, server.string())), false});
    ServerPackageEntries entries(ctx, inis);
    const auto one = entries.add("One");
    entries.write();
    EXPECT_EQ(entries.marks(one), "  ...entry added  ...entry added to " + "System/Server.ini"_p);
    std::filesystem::permissions(server, std::filesystem::perms::owner_read |
                                             std::filesystem::perms::group_read |
                                             std::filesystem::perms::others_read);
    disk.forgetCache();  // changed behind the layer's back
    const auto two = entries.add("Two");
    entries.write();
    entries.logWriteProtected();
    const auto three = entries.add("Three");
    entries.write();
    entries.logWriteProtected();  // found before: not again
    EXPECT_EQ(entries.marks(two), "  ...entry added");
    EXPECT_EQ(entries.marks(three), "  ...entry added");
    EXPECT_EQ(entries.marks(one), "  ...entry added  ...entry added to " + "System/Server.ini"_p);
    EXPECT_EQ(contentsOf(ut.ini()), iniWith({"Three", "Two", "One", "PackA"}));
    EXPECT_EQ(contentsOf(server), iniWith({"One", "PackS"}));
    EXPECT_EQ(ctx.leftAlone, std::vector<std::string>{server.string() + " is write-protected"});
    EXPECT_EQ(log.lines(), std::vector<std::string>{"    " + server.string() +
                                                    " is write-protected: left as it is, "
                                                    "without the entries above"});
    std::filesystem::permissions(server, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
}

}  // namespace
}  // namespace zendrik::testing
