#include "repair/folder_checks.h"

#include "engine_fixture.h"
#include "filesystem/fault_injecting_file_system.h"
#include "repair/repair_run.h"

namespace zendrik::testing {
namespace {

using FolderChecksTest = EngineTest;

TEST_F(FolderChecksTest, LeftoverTemporaryFilesAreRemovedAndLogged) {
    Installation ut(tmp.path(), "UT");
    ut.add("system/UnrealTournament.ini.zendrik-tmp", "half an ini");
    ut.add("textures/Foo.utx.zendrik-tmp", "half a texture");
    ut.add("textures/Foo.utx", "whole");
    ut.add("maps/zendrik-tmp.unr", "a map whose name only looks like one");
    ut.add("system/notes.txt.zendrik-tmp", "not a file the run writes: left alone");
    RepairRun run(disk, log);
    run.repairPass({ut.folder()}, true);
    EXPECT_EQ(log[1], "  removed " + ut.folder() + "system/UnrealTournament.ini.zendrik-tmp"_p +
                          ", left behind by an interrupted run");
    EXPECT_EQ(log[2], "  removed " + ut.folder() + "textures/Foo.utx.zendrik-tmp"_p +
                          ", left behind by an interrupted run");
    EXPECT_EQ(log[3], "  Scanning for misplaced extension files...");
    EXPECT_EQ(entriesOf(ut.at("textures")), std::vector<std::string>{"Foo.utx"});
    EXPECT_TRUE(isFile(ut.at("maps/zendrik-tmp.unr")));
    EXPECT_TRUE(isFile(ut.at("system/notes.txt.zendrik-tmp")));
}

TEST_F(FolderChecksTest, ATemporaryFileThatCannotBeRemovedIsNotLoggedAsRemoved) {
    Installation ut(tmp.path(), "UT");
    ut.add("system/UnrealTournament.ini.zendrik-tmp", "half an ini");
    ut.add("textures/Foo.utx.zendrik-tmp", "half a texture");
    FaultInjectingFileSystem faulty(disk);
    faulty.failOnlyWhen(
        [](FsOp op, const std::string& path) {
            return op == FsOp::Remove && path.ends_with("Foo.utx.zendrik-tmp");
        },
        "Permission denied");
    RunContext refused(faulty, log);
    EXPECT_THROW(removeLeftoverTemporaryFiles(refused, ut.folder()), FsError);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0], "  removed " + ut.folder() + "system/UnrealTournament.ini.zendrik-tmp"_p +
                          ", left behind by an interrupted run");
    EXPECT_FALSE(isFile(ut.at("system/UnrealTournament.ini.zendrik-tmp")));
    EXPECT_TRUE(isFile(ut.at("textures/Foo.utx.zendrik-tmp")));
}

#ifndef _WIN32
TEST_F(FolderChecksTest, CaseTwinsAreNamedAndOneIsUsedThroughout) {
    Installation ut(tmp.path(), "UT");
    ut.add("system/Foo.int", skinInt());
    ut.add("system/foo.INT", skinInt());
    put(ut.root() / "system" / "Stray.int", voiceInt());  // a second System folder
    ut.add("textures/Foo.utx");
    RepairRun run(disk, log);
    run.repairPass({ut.folder()}, false);
    const std::string F = ut.folder();
    EXPECT_EQ(log[1],
              "  System and system in " + F + " differ only in letter case; System is used");
    EXPECT_EQ(log[2], "  Foo.int and foo.INT in " + F + "system/"_p +
                          " differ only in letter case; Foo.int is used");
    // The ini file that was read is the one rewritten: no second ini appears anywhere.
    EXPECT_EQ(entriesOf(ut.root() / "system"), std::vector<std::string>{"Stray.int"});
    EXPECT_EQ(contentsOf(ut.ini()), iniWith({"Foo", "SoldierSkins", "CommandoSkins"}));
}
#endif

}  // namespace
}  // namespace zendrik::testing
