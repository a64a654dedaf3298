// A run as a careful owner of the disk: one run per installation, temporary files that belong
// to their run, the owner's rights and protection respected, file names kept out of the ini,
// a saved log that harms no other file, and printing that cannot end a run part-way.
#include <sys/stat.h>
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <sstream>
#include <streambuf>

#include "cli/cli.h"
#include "engine_fixture.h"
#include "filesystem/installation_lock.h"
#include "filesystem/run_identity.h"
#include "repair/repair_run.h"

namespace zendrik::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class RunSafetyTest : public EngineTest {
  protected:
    PassResult repair(const std::vector<std::string>& work) { return run.repairPass(work, true); }
    bool logHas(const std::string& line) const {
        return std::find(log.lines().begin(), log.lines().end(), line) != log.lines().end();
    }
    int cli(const std::vector<std::string>& arguments) {
        out.str("");
        err.str("");
        return runCli(arguments, disk, out, err);
    }
    RepairRun run{disk, log};
    std::ostringstream out, err;
};

TEST_F(RunSafetyTest, OneRunPerInstallation) {
    Installation ut(tmp.path(), "UT");
    ut.add("system/Foo.utx", "texture");
    const auto before = treeOf(ut.root());
    {
        // Another run holds the installation: this one waits, then fails that folder alone.
        NativeFileSystem otherRun;
        const auto held = otherRun.lockInstallation(ut.folder(), 0ms);
        run.setLockWait(150ms);
        const auto result = repair({ut.folder()});
        EXPECT_TRUE(result.failed());
        EXPECT_TRUE(logHas("  error: could not lock " + ut.folder() +
                           ": in use by another run (the rest of this folder was skipped)"));
    }
    // Let go, nothing of the lock remains, and the refused run changed nothing; a lock file
    // a dead run left is taken over.
    EXPECT_EQ(treeOf(ut.root()), before);
    put(ut.root() / kLockFileName, "0badc0de-1\n");
    EXPECT_FALSE(repair({ut.folder()}).failed());
    EXPECT_EQ(contentsOf(ut.at("textures/Foo.utx")), "texture");
    EXPECT_FALSE(fs::exists(ut.root() / kLockFileName));
}

#ifndef _WIN32

// The name of a run of this host that has ended: a child process that exited.
std::string goneRun() {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return thisRun().substr(0, thisRun().find('-')) + "-" + std::to_string(child);
}

TEST_F(RunSafetyTest, TemporaryFilesBelongToTheirRun) {
    Installation ut(tmp.path(), "UT");
    // A run that is gone, and one still going (this very process).
    const std::string dead = "Foo.utx~" + goneRun() + "-3.zendrik-tmp";
    const std::string live = "Bar.utx~" + thisRun() + "-9.zendrik-tmp";
    put(ut.at("textures/" + dead), "torn");
    put(ut.at("textures/" + live), "being written");
    EXPECT_FALSE(repair({ut.folder()}).failed());
    EXPECT_FALSE(fs::exists(ut.at("textures/" + dead)));
    EXPECT_TRUE(logHas("  removed " + ut.folder() + "textures/"_p + dead +
                       ", left behind by an interrupted run"));
    EXPECT_EQ(contentsOf(ut.at("textures/" + live)), "being written");

    // A name of 244 bytes still has room for its temporary file.
    const std::string longName = std::string(240, 'L') + ".utx";
    ut.add("maps/" + longName, "long");
    disk.forgetCache();  // made behind the layer's back
    disk.copyFile(ut.folder() + "maps/"_p + longName, ut.folder() + "textures/"_p + longName);
    EXPECT_EQ(contentsOf(ut.at("textures/" + longName)), "long");

    // Links planted at the names a write may take are never written through or removed.
    put(tmp.path() / "outside.ini", "outside");
    for (unsigned n = 1; n <= 2000; ++n) {
        fs::create_symlink(tmp.path() / "outside.ini",
                           ut.at("system/UnrealTournament.ini~" + thisRun() + "-" +
                                 std::to_string(n) + ".zendrik-tmp"));
    }
    try {
        disk.writeFile(ut.folder() + "System/UnrealTournament.ini"_p, "new");
    } catch (const FsError&) {
        // Every name taken: refusing is fine, writing through a link is not.
    }
    EXPECT_EQ(contentsOf(tmp.path() / "outside.ini"), "outside");
    size_t links = 0;
    for (const auto& e : fs::directory_iterator(ut.at("system"))) links += e.is_symlink();
    EXPECT_EQ(links, 2000u);
}

TEST_F(RunSafetyTest, TheOwnersRightsAreKept) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to give files to other owners";
    Installation ut(tmp.path(), "UT");
    // A server's ini, owned by the server's user: a run as root leaves it that user's.
    ASSERT_EQ(::chown(ut.ini().c_str(), 1234, 1235), 0);
    ASSERT_EQ(::chmod(ut.ini().c_str(), 0640), 0);
    ut.add("system/Vo.int", voiceInt());
    ut.add("sounds/Vo.uax");
    // A new file gets its folder's owner; set-user-ID and set-group-ID bits never come along.
    ASSERT_EQ(::chown(ut.at("textures").c_str(), 1234, 1235), 0);
    ut.add("system/Tool.utx", "texture");
    ASSERT_EQ(::chmod(ut.at("system/Tool.utx").c_str(), 06755), 0);
    Installation other(tmp.path(), "Other");
    other.add("system/Sk.int", skinInt());
    other.add("textures/Sk.utx", "skin");
    ASSERT_EQ(::chmod(other.at("textures/Sk.utx").c_str(), 06755), 0);
    EXPECT_FALSE(repair({ut.folder()}).failed());
    EXPECT_FALSE(run.exchangePass({ut.folder(), other.folder()}).failed());

    struct stat st {};
    ASSERT_EQ(::stat(ut.ini().c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 1234u);
    EXPECT_EQ(st.st_gid, 1235u);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_NE(contentsOf(ut.ini()).find("ServerPackages=Sk\r\n"), std::string::npos);
    ASSERT_EQ(::stat(ut.at("textures/Sk.utx").c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 1234u);
    EXPECT_EQ(st.st_gid, 1235u);
    EXPECT_EQ(st.st_mode & 07777, 0755u);
}

TEST_F(RunSafetyTest, WriteProtectedFilesAreLeftAsTheyAre) {
    Installation ut(tmp.path(), "UT");
    ut.add("system/Vo.int", voiceInt());  // wants an entry in a read-only ini
    ut.add("sounds/Vo.uax");
    ut.add("system/Gone.int", skinInt());  // incomplete, but protected
    ut.add("system/Sk.utx", "misplaced");  // its home copy is protected
    ut.add("textures/Sk.utx", "protected home copy");
    ut.add("system/Free.utx", "misplaced");  // nothing protects this one's move
    for (const char* file : {"system/UnrealTournament.ini", "system/Gone.int", "textures/Sk.utx"}) {
        fs::permissions(ut.at(file),
                        fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    }
    const auto result = repair({ut.folder()});
    EXPECT_EQ(result.failures.size(), 3u);
    const std::string system = ut.folder() + "system/"_p;
    EXPECT_TRUE(logHas("    found Sk.utx in " + system + "  ...left in place: " + ut.folder() +
                       "textures/Sk.utx is write-protected"_p));
    EXPECT_TRUE(logHas("    found " + system +
                       "Gone.int with no equivalent, left as it is: it is write-protected"));
    EXPECT_TRUE(logHas("    Package Vo not installed as ServerPackage in UT.ini..."));
    // Named as the disk spells it, not as the step forms the path.
    EXPECT_TRUE(logHas("    " + ut.folder() + "System/UnrealTournament.ini"_p +
                       " is write-protected: left as it is, without the entries above"));
    EXPECT_EQ(contentsOf(ut.ini()), iniWith({"SoldierSkins", "CommandoSkins"}));
    EXPECT_EQ(contentsOf(ut.at("textures/Sk.utx")), "protected home copy");
    EXPECT_EQ(contentsOf(ut.at("system/Sk.utx")), "misplaced");
    EXPECT_TRUE(isFile(ut.at("system/Gone.int")));
    // The run went on around them.
    EXPECT_EQ(contentsOf(ut.at("textures/Free.utx")), "misplaced");
}

TEST_F(RunSafetyTest, WhatTheExchangeLeftAloneFailsTheFolder) {
    // Copy targets in B that the exchange must leave: a write-protected package, and a folder
    // where a package would go. Each is named on standard error and gives exit status 1.
    Installation a(tmp.path(), "A"), b(tmp.path(), "B");
    a.add("system/Sk.int", skinInt());
    a.add("textures/Sk.utx", "new skin");
    b.add("textures/Sk.utx", "protected skin");
    fs::permissions(b.at("textures/Sk.utx"),
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    a.add("system/Vo.int", voiceInt());
    a.add("sounds/Vo.uax", "voice");
    fs::create_directories(b.at("sounds/Vo.uax"));
    a.add("system/Mu.int", mutatorInt());
    a.add("system/Mu.u", "mutator");
    EXPECT_EQ(cli({"--copy", a.folder(), b.folder()}), kExitFolderFailed) << err.str();
    const std::string B = b.folder();
    EXPECT_NE(
        err.str().find("zendrik-cli: " + B + ": " + B + "textures/Sk.utx is write-protected"_p),
        std::string::npos)
        << err.str();
    EXPECT_NE(err.str().find("zendrik-cli: " + B + ": " + B + "sounds/Vo.uax is a folder"_p),
              std::string::npos)
        << err.str();
    EXPECT_EQ(contentsOf(b.at("textures/Sk.utx")), "protected skin");
    EXPECT_TRUE(fs::is_empty(b.at("sounds/Vo.uax")));
    // The extension after them was copied whole.
    EXPECT_EQ(contentsOf(b.at("system/Mu.u")), "mutator");
    EXPECT_EQ(contentsOf(b.at("system/Mu.int")), mutatorInt());
}

TEST_F(RunSafetyTest, FileNamesNeverBecomeIniText) {
    Installation ut(tmp.path(), "UT");
    for (const std::string evil : {"Evil\nServerActors=Hack.Backdoor", "Evil2\r\n[Hack]\r\nX=1"}) {
        ut.add("system/" + evil + ".int", skinInt());
        ut.add("textures/" + evil + ".utx", "skin");
        ut.add("system/" + evil + ".utx", "misplaced too");
    }
    const std::string ini = contentsOf(ut.ini());
    EXPECT_FALSE(repair({ut.folder()}).failed());
    EXPECT_EQ(contentsOf(ut.ini()), ini);
    EXPECT_TRUE(logHas("    " + ut.folder() + "system/"_p +
                       "Evil\\x0AServerActors=Hack.Backdoor.int left where it is: its name holds "
                       "a control character"));
    EXPECT_TRUE(logHas("    " + ut.folder() + "system/"_p +
                       "Evil2\\x0D\\x0A[Hack]\\x0D\\x0AX=1.utx left where it is: its name holds a "
                       "control character"));
    EXPECT_EQ(contentsOf(ut.at("system/Evil\nServerActors=Hack.Backdoor.utx")), "misplaced too");
    for (const auto& line : log.lines()) {
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
    }
}

TEST_F(RunSafetyTest, TheSavedLogHarmsNoOtherFile) {
    Installation ut(tmp.path(), "UT");
    put(ut.at("system/UnrealTournament.exe"), "the game");
    ut.add("system/Foo.utx", "misplaced");
    const auto before = treeOf(ut.root());
    // A folder, or a file the run works on: refused before anything is touched.
    for (const std::string& target :
         {ut.root().string(), ut.at("system").string() + "/", ut.ini().string(),
          ut.at("system/UnrealTournament.exe").string(), ut.at("textures/Foo.utx").string(),
          (ut.root() / "zendrik.lock").string()}) {
        EXPECT_EQ(cli({"--log", target, ut.folder()}), kExitUsage) << target;
        EXPECT_EQ(treeOf(ut.root()), before) << target;
    }
    // A device is written into, never replaced.
    EXPECT_EQ(cli({"--log", "/dev/null", ut.folder()}), kExitSuccess) << err.str();
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    // What a killed run left of saving a log there goes; a live run's stays.
    const fs::path dead = tmp.path() / ("run.txt~" + goneRun() + "-1.zendrik-tmp");
    const fs::path live = tmp.path() / ("run.txt~" + thisRun() + "-100.zendrik-tmp");
    put(dead, "torn");
    put(live, "another log being saved");
    EXPECT_EQ(cli({"--log", (tmp.path() / "run.txt").string(), ut.folder()}), kExitSuccess);
    EXPECT_FALSE(fs::exists(dead));
    EXPECT_TRUE(fs::exists(live));
}

// A stream that takes `room` bytes, then fails as a closed pipe or a full disk does.
class FullStream final : public std::streambuf {
  public:
    explicit FullStream(size_t room) : room_(room) {}

  protected:
    int_type overflow(int_type c) override {
        if (room_ == 0) return traits_type::eof();
        --room_;
        return c;
    }

  private:
    size_t room_;
};

TEST_F(RunSafetyTest, PrintingThatFailsDoesNotEndTheRun) {
    Installation a(tmp.path(), "A"), b(tmp.path(), "B");
    a.add("system/Foo.utx", "misplaced");
    b.add("system/Bar.utx", "misplaced");
    FullStream full(40);
    std::ostream closed(&full);
    const std::string logFile = (tmp.path() / "run.txt").string();
    EXPECT_EQ(runCli({"--log", logFile, a.folder(), b.folder()}, disk, closed, err),
              kExitFolderFailed);
    EXPECT_NE(err.str().find("could not print the log"), std::string::npos) << err.str();
    EXPECT_TRUE(isFile(b.at("textures/Bar.utx")));
    EXPECT_NE(contentsOf(logFile).find("found Bar.utx"), std::string::npos);
}

TEST_F(RunSafetyTest, OddArgumentsAndInisAreNamedForWhatTheyAre) {
    // A name longer than the system takes: a usage error, not a crash.
    EXPECT_EQ(cli({(tmp.path() / std::string(5000, 'x')).string()}), kExitUsage);
    EXPECT_NE(err.str().find("zendrik-cli: "), std::string::npos);

    Installation folder(tmp.path(), "Folder"), fifo(tmp.path(), "Fifo");
    fs::remove(folder.ini());
    fs::create_directory(folder.ini());
    fs::remove(fifo.ini());
    ASSERT_EQ(::mkfifo(fifo.ini().c_str(), 0644), 0);
    const auto result = repair({folder.folder(), fifo.folder()});
    EXPECT_EQ(result.failures.size(), 2u);
    EXPECT_TRUE(logHas("  error: could not read " + folder.folder() +
                       "System/UnrealTournament.ini: Is a directory (the rest of this folder was "
                       "skipped)"_p));
    EXPECT_TRUE(logHas("  error: could not read " + fifo.folder() +
                       "System/UnrealTournament.ini: not a plain file (a pipe, device or socket) "
                       "(the rest of this folder was skipped)"_p));
}

#endif

}  // namespace
}  // namespace zendrik::testing
