// Refused file operations: each ends its folder's turn with a log line that names it, the
// pass goes on with the next folder, and no package file or ini text is lost or torn.
#include <map>

#include "engine_fixture.h"
#include "filesystem/fault_injecting_file_system.h"
#include "repair/repair_run.h"
#include "repair/saved_log.h"

namespace zendrik::testing {
namespace {

namespace fs = std::filesystem;

// Every file below `root` by path relative to it, with its contents.
std::map<std::string, std::string> snapshot(const fs::path& root) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        if (e.is_regular_file())
            files[fs::relative(e.path(), root).string()] = contentsOf(e.path());
    }
    return files;
}

// Two installations, each with a misplaced file, an unlisted voice and an extension the other
// lacks, so that both passes use every kind of operation.
struct TwoInstallations {
    explicit TwoInstallations(const fs::path& root) : a(root, "A"), b(root, "B") {
        for (auto* ut : {&a, &b}) {
            const std::string tag = ut == &a ? "A" : "B";
            ut->add("system/Skin" + tag + ".utx", "skin " + tag);
            ut->add("system/Skin" + tag + ".int", skinInt());
            ut->add("system/Voice" + tag + ".int", voiceInt());
            ut->add("sounds/Voice" + tag + ".uax", "voice " + tag);
            ut->add("system/Gone" + tag + ".int", gameStyleInt());  // incomplete: deleted
        }
    }
    Installation a, b;
};

class FailureTest : public EngineTest {
  protected:
    TwoInstallations uts{tmp.path()};
    Installation& a = uts.a;
    Installation& b = uts.b;
    FaultInjectingFileSystem faulty{disk};
    RepairRun run{faulty, log};
};

// Both passes over two fresh installations; returns the failures and the two logs' text.
std::vector<std::string> runBothPasses(FileSystem& fs, const TwoInstallations& uts,
                                       std::string& text) {
    Log log;
    RepairRun run(fs, log);
    const std::vector<std::string> work = {uts.a.folder(), uts.b.folder()};
    auto failures = run.repairPass(work, true).failures;
    text = savedLogText(log);
    const auto more = run.exchangePass(work).failures;
    failures.insert(failures.end(), more.begin(), more.end());
    text += savedLogText(log);
    return failures;
}

TEST(FailureEveryKind, EachKindOfOperationRefusedLosesNothing) {
    // How many calls of each kind a run without faults makes.
    TempFolder dry;
    NativeFileSystem dryDisk;
    FaultInjectingFileSystem counter(dryDisk);
    std::string unused;
    ASSERT_TRUE(runBothPasses(counter, TwoInstallations(dry.path()), unused).empty());

    for (FsOp op : {FsOp::List, FsOp::Exists, FsOp::Read, FsOp::Write, FsOp::Copy, FsOp::Move,
                    FsOp::Remove}) {
        const int last = counter.calls(op);
        ASSERT_GE(last, 2) << describe(op);
        for (int nth : {1, (last + 1) / 2, last}) {
            SCOPED_TRACE(std::string(describe(op)) + " #" + std::to_string(nth));
            TempFolder tmp;
            TwoInstallations uts(tmp.path());
            const auto before = snapshot(tmp.path());
            NativeFileSystem disk;
            FaultInjectingFileSystem faulty(disk);
            faulty.failOnlyCall(op, nth, "refused for the test");
            std::string text;
            const auto failures = runBothPasses(faulty, uts, text);

            ASSERT_EQ(failures.size(), 1u);
            EXPECT_NE(text.find("  error: could not " + std::string(describe(op))),
                      std::string::npos);
            EXPECT_NE(text.find("refused for the test (the rest of this folder was skipped)"),
                      std::string::npos);
            // The exchange pass visited the second folder, whatever failed before.
            EXPECT_NE(text.rfind("Processing : " + uts.b.folder()), std::string::npos);
            // Every package file is still in its installation, whole.
            const auto after = snapshot(tmp.path());
            for (const auto& [path, contents] : before) {
                if (path.ends_with(".ini") || path.find("Gone") != std::string::npos) continue;
                const auto name = fs::path(path).filename();
                bool found = false;
                for (const auto& [p, c] : after) {
                    found |= p[0] == path[0] && fs::path(p).filename() == name && c == contents;
                }
                EXPECT_TRUE(found) << path;
            }
            // The ini files hold whole texts: the original lines, each ending in CR LF.
            for (const auto* ut : {&uts.a, &uts.b}) {
                EXPECT_TRUE(contentsOf(ut->ini()).ends_with(
                    "ServerPackages=SoldierSkins\r\nServerPackages=CommandoSkins\r\n"
                    "ServerActors=IpDrv.UdpBeacon\r\n\r\n[Core.System]\r\nPurgeCacheDays=30\r\n"));
            }
        }
    }
}

TEST_F(FailureTest, ARefusedMoveLeavesTheFileAndItsLineUnfinished) {
    a.add("maps/Late.utx", "late");
    faulty.failOnlyWhen(
        [](FsOp op, const std::string& path) {
            return op == FsOp::Move && path.ends_with("Late.utx");
        },
        "Permission denied");
    const auto result = run.repairPass({a.folder(), b.folder()}, true);
    ASSERT_EQ(result.failures.size(), 1u);
    EXPECT_EQ(result.failures[0], a.folder() + ": could not move " + a.folder() +
                                      "maps/Late.utx to "_p + a.folder() +
                                      "textures/Late.utx: Permission denied"_p);
    const std::string F = a.folder();
    EXPECT_EQ(
        std::vector<std::string>(log.lines().begin(), log.lines().begin() + 8),
        (std::vector<std::string>{
            "Processing : " + F + "...",
            "  Scanning for misplaced extension files...",
            "    found SkinA.utx in " + F + "system/  ...moved to "_p + F + "textures/"_p,
            "    found Late.utx in " + F + "maps/"_p,
            "  error: could not move " + F + "maps/Late.utx to "_p + F +
                "textures/Late.utx: Permission denied (the rest of this folder was skipped)"_p,
            "",
            "",
            "",
        }));
    EXPECT_EQ(contentsOf(a.at("maps/Late.utx")), "late");
    EXPECT_EQ(contentsOf(a.at("textures/SkinA.utx")), "skin A");
    EXPECT_EQ(log[8], "Processing : " + b.folder() + "...");
    EXPECT_EQ(contentsOf(b.ini()), iniWith({"VoiceB", "SkinB", "SoldierSkins", "CommandoSkins"}));
}

TEST_F(FailureTest, AMissingIniSkipsTheFolderAndNamesTheFile) {
    fs::remove(a.ini());
    const auto result = run.repairPass({a.folder(), b.folder()}, true);
    ASSERT_TRUE(result.failed());
    EXPECT_EQ(log[0],
              "  error: could not read " + a.folder() +
                  "System/UnrealTournament.ini: No such file or directory (the rest of this "_p
                  "folder was skipped)");
    EXPECT_TRUE(isFile(a.at("system/SkinA.utx")));  // nothing was done in that folder
    EXPECT_EQ(log[4], "Processing : " + b.folder() + "...");
}

TEST_F(FailureTest, ARefusedIniWriteKeepsTheOldFileAndNoEntryIsReportedAdded) {
    const std::string old = contentsOf(a.ini());
    faulty.failOnlyCall(FsOp::Write, 1, "No space left on device");
    run.repairPass({a.folder()}, true);
    EXPECT_EQ(contentsOf(a.ini()), old);
    EXPECT_NE(std::find(log.lines().begin(), log.lines().end(),
                        "    Package SkinA not installed as ServerPackage in UT.ini..."),
              log.lines().end());
}

}  // namespace
}  // namespace zendrik::testing
