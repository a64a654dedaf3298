// The wizard core without any window: the page flow, the folder list's write test, the repair
// page's buttons while passes run on the worker, the pass's lines on their way to the
// interface's thread, stopping a pass, and saving the log; over real installations in a
// temporary folder behind a fault-injecting file layer.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <optional>
#include <thread>

#include "filesystem/fault_injecting_file_system.h"
#include "filesystem/native_file_system.h"
#include "installation_builder.h"
#include "wizard/wizard_core.h"

namespace zendrik::testing {
namespace {

using namespace std::chrono_literals;

// An absolute path's beginning in the file layer's form.
#ifdef _WIN32
const std::string kRoot = "C:";
#else
const std::string kRoot;
#endif

// The toolkit's side: counts the ends of the program and hands each notice of a pass's end
// to the test's thread, which stands for the interface's.
class Host final : public WizardHost {
  public:
    void postPassEnded() override {
        std::lock_guard<std::mutex> lock(mutex_);
        ++notices_;
        noticeThreads.push_back(std::this_thread::get_id());
        arrived_.notify_all();
    }
    void endProgram() override { ++ends; }

    // Waits up to twenty seconds for the next notice, then lets `repair` take the pass's end
    // as a view's event loop would.
    bool deliverNotice(RepairPage& repair) {
        {
            std::unique_lock<std::mutex> lock(mutex_);
            if (!arrived_.wait_for(lock, 20s, [&] { return notices_ > delivered_; })) return false;
            ++delivered_;
        }
        repair.passEnded();
        return true;
    }

    int ends = 0;
    std::vector<std::thread::id> noticeThreads;

  private:
    std::mutex mutex_;
    std::condition_variable arrived_;
    int notices_ = 0;
    int delivered_ = 0;
};

// Holds the worker inside one file operation until released; gives up after ten seconds,
// so that a pass that never reaches the hold fails the test instead of hanging it.
class Hold {
  public:
    void wait() {
        reached = true;
        for (int i = 0; i < 2000 && !released; ++i) std::this_thread::sleep_for(5ms);
    }
    bool awaitReached() {
        for (int i = 0; i < 4000 && !reached; ++i) std::this_thread::sleep_for(5ms);
        return reached;
    }
    std::atomic<bool> reached{false};
    std::atomic<bool> released{false};
};

// The journals of runs go to `folder` while this lives: XDG_STATE_HOME, on Windows
// LOCALAPPDATA, set for the process.
class JournalsIn {
  public:
    explicit JournalsIn(const std::filesystem::path& folder) {
        if (const char* old = std::getenv(kName)) old_ = old;
        set(folder.string().c_str());
    }
    ~JournalsIn() {
        if (old_) {
            set(old_->c_str());
        } else {
#ifdef _WIN32
            _putenv_s(kName, "");
#else
            ::unsetenv(kName);
#endif
        }
    }
    JournalsIn(const JournalsIn&) = delete;
    JournalsIn& operator=(const JournalsIn&) = delete;

  private:
#ifdef _WIN32
    static constexpr const char* kName = "LOCALAPPDATA";
    static void set(const char* value) {
        _putenv_s(kName, value);
    }
#else
    static constexpr const char* kName = "XDG_STATE_HOME";
    static void set(const char* value) {
        ::setenv(kName, value, 1);
    }
#endif
    std::optional<std::string> old_;
};

// The files below `folder`, at any depth.
size_t filesBelow(const std::filesystem::path& folder) {
    if (!std::filesystem::exists(folder)) return 0;
    return size_t(std::count_if(std::filesystem::recursive_directory_iterator(folder),
                                std::filesystem::recursive_directory_iterator(),
                                [](const auto& entry) { return entry.is_regular_file(); }));
}

class WizardCoreTest : public ::testing::Test {
  protected:
    // Work for both passes: a misplaced package whose extension the other installation lacks
    // (the exchange copies it from where the repair put it), an incomplete extension, a
    // voice without its ServerPackages line, and an extension only the second one has.
    void giveWork(Installation& a, Installation& b) {
        a.add("system/Skin1.int", skinInt());
        a.add("system/Skin1.utx", "skin one, misplaced");
        a.add("system/Gone1.int", gameStyleInt());
        a.add("system/Voice1.int", voiceInt());
        a.add("sounds/Voice1.uax", "voice one");
        b.add("system/Skin2.int", skinInt());
        b.add("textures/Skin2.utx", "skin two");
    }
    // The "  undoing the run <id>" lines of the page's log, in order.
    std::vector<std::string> undoneRuns() {
        std::vector<std::string> ids;
        for (const std::string& line : core->repair().log().lines()) {
            if (line.starts_with("  undoing the run ")) ids.push_back(line.substr(18));
        }
        return ids;
    }
    std::unique_ptr<Installation> installation(const std::string& name) {
        auto made = std::make_unique<Installation>(tmp.path(), name);
        made->add("system/UnrealTournament.exe", "MZ");
        return made;
    }
    static std::string exeOf(const Installation& installation) {
        return installation.folder() + "System/UnrealTournament.exe"_p;
    }
    static std::string iniOf(const Installation& installation) {
        return installation.folder() + "System/UnrealTournament.ini"_p;
    }
    // Locates each installation and goes on to the repair page.
    void toRepairPage(const std::vector<const Installation*>& installations) {
        ASSERT_TRUE(core->flow().optionsNext());
        for (const Installation* ut : installations)
            ASSERT_TRUE(core->folders().locate(exeOf(*ut)).selected);
        ASSERT_TRUE(core->flow().foldersNext());
        ASSERT_EQ(core->flow().page(), Page::Repair);
    }

    TempFolder tmp;
    NativeFileSystem disk;
    FaultInjectingFileSystem fs{disk};
    Host host;
    std::unique_ptr<WizardCore> core = std::make_unique<WizardCore>(fs, host);
};

}  // namespace

TEST(InstallationFolderOfTest, IsTheParentOfTheExecutablesFolderOfAnAbsolutePath) {
    EXPECT_EQ(installationFolderOf(kRoot + "/srv/UT/System/UnrealTournament.exe"_p),
              kRoot + "/srv/UT/"_p);
    EXPECT_EQ(installationFolderOf(kRoot + "/srv/UT/system/unrealtournament.exe"_p),
              kRoot + "/srv/UT/"_p);
    EXPECT_EQ(installationFolderOf(kRoot + "/System/UnrealTournament.exe"_p), kRoot + "/"_p);
    EXPECT_EQ(installationFolderOf(kRoot + "/UnrealTournament.exe"_p), std::nullopt);
    EXPECT_EQ(installationFolderOf("System/UnrealTournament.exe"_p), std::nullopt);
    EXPECT_EQ(installationFolderOf("UnrealTournament.exe"), std::nullopt);
}

// What a view would offer only while its page takes input, the core refuses by itself.
TEST_F(WizardCoreTest, ThePageFlowTakesOnlyWhatThePageShownOffers) {
    EXPECT_FALSE(core->flow().back());
    EXPECT_FALSE(core->flow().foldersNext());
    EXPECT_FALSE(core->flow().closeInfo());
    ASSERT_TRUE(core->flow().openInfo());
    EXPECT_FALSE(core->flow().optionsEnabled());
    EXPECT_FALSE(core->flow().openInfo());
    EXPECT_FALSE(core->flow().optionsNext());
    EXPECT_EQ(core->flow().page(), Page::Options);
    ASSERT_TRUE(core->flow().closeInfo());
    ASSERT_TRUE(core->flow().optionsNext());
    EXPECT_FALSE(core->flow().openInfo());
    // "Next ->" with nothing located stays on the folder page.
    EXPECT_FALSE(core->flow().foldersNext());
    EXPECT_EQ(core->flow().page(), Page::Folders);
    auto ut = installation("UT");
    ASSERT_TRUE(core->folders().locate(exeOf(*ut)).listed);
    ASSERT_TRUE(core->flow().foldersNext());
    // No way back from the repair page, and the work list is built once.
    EXPECT_FALSE(core->flow().back());
    EXPECT_FALSE(core->flow().foldersNext());
    EXPECT_EQ(core->folders().workList(), std::vector<std::string>{ut->folder()});
    EXPECT_EQ(host.ends, 0);
}

// Any program of the game locates its installation, in System64 as in System: that program is
// the file opened for the write test, and the folder above System64 is the installation that
// the message and the work list name. A file that is no program of the game locates nothing.
TEST_F(WizardCoreTest, AProgramInSystem64LocatesTheInstallationAboveIt) {
    auto a = installation("A");
    auto b = installation("B");
    const std::string aProgram = a->folder() + "System64/ut-bin-amd64"_p;
    const std::string bProgram = b->folder() + "System64/UnrealTournament.exe"_p;
    const std::string aIni = a->folder() + "System64/Default.ini"_p;
    put(aProgram, "ELF");
    put(bProgram, "MZ");
    put(aIni, "[Engine.Engine]");
    std::vector<std::string> tested;
    fs.failOnlyWhen([&](FsOp op, const std::string& path) {
        if (op != FsOp::AppendTest) return false;
        tested.push_back(path);
        return path == bProgram;
    });
    ASSERT_TRUE(core->flow().optionsNext());

    const LocateResult first = core->folders().locate(aProgram);
    EXPECT_TRUE(first.listed);
    EXPECT_TRUE(first.selected);
    EXPECT_EQ(first.message, "");
    const LocateResult second = core->folders().locate(bProgram);
    EXPECT_TRUE(second.listed);
    EXPECT_FALSE(second.selected);
    EXPECT_EQ(second.message, "disable write protection on " + b->folder());
    EXPECT_EQ(tested, (std::vector<std::string>{aProgram, bProgram}));

    const LocateResult refused = core->folders().locate(aIni);
    EXPECT_FALSE(refused.listed);
    EXPECT_NE(refused.message.find(aIni), std::string::npos) << refused.message;
    EXPECT_EQ(tested.size(), 2u);
    EXPECT_EQ(core->folders().locatedCount(), 2u);

    ASSERT_TRUE(core->flow().foldersNext());
    EXPECT_EQ(core->folders().workList(), std::vector<std::string>{a->folder()});
    EXPECT_EQ(contentsOf(aProgram), "ELF");
}

#ifndef _WIN32
// On a file system that tells letter cases apart, the executable the user chose is the one
// tested, never another spelling of it that the run's own names would reach.
TEST_F(WizardCoreTest, TheWriteTestTakesTheChosenPathExactly) {
    auto ut = installation("UT");
    const std::string otherSpelling = tmp.folder() + "ut/System/UnrealTournament.exe"_p;
    const LocateResult located = core->folders().locate(otherSpelling);
    EXPECT_TRUE(located.listed);
    EXPECT_FALSE(located.selected);
    EXPECT_EQ(located.message, "disable write protection on " + tmp.folder() + "ut/"_p);
    EXPECT_TRUE(core->folders().locate(exeOf(*ut)).selected);
}
#endif

// One installation is one entry of the work list, however it was located: by another of its
// programs, through a link to its folder, or on Windows by its path in another letter case.
// On Linux a folder spelled in other letters is another folder, and another installation.
TEST_F(WizardCoreTest, AnInstallationLocatedTwiceIsOneEntryOfTheWorkList) {
    auto ut = installation("UT");
    const std::string utBin = ut->folder() + "System/ut-bin"_p;
    put(utBin, "ELF");
#ifdef _WIN32
    const std::string twin = tmp.folder() + "ut\\system\\unrealtournament.exe";
#else
    auto other = installation("ut");
    std::filesystem::create_directory_symlink(tmp.path() / "UT", tmp.path() / "Linked");
    const std::string twin = tmp.folder() + "Linked/System/UnrealTournament.exe";
#endif
    ASSERT_TRUE(core->flow().optionsNext());
    EXPECT_TRUE(core->folders().locate(exeOf(*ut)).selected);
    EXPECT_TRUE(core->folders().locate(utBin).selected);
    EXPECT_TRUE(core->folders().locate(twin).selected);
    std::vector<std::string> expected{ut->folder()};
#ifndef _WIN32
    EXPECT_TRUE(core->folders().locate(exeOf(*other)).selected);
    expected.push_back(other->folder());
#endif
    ASSERT_TRUE(core->flow().foldersNext());
    EXPECT_EQ(core->folders().workList(), expected);
}

// While a pass runs, and before the first has ended, no button acts, whatever the view lets
// through; the end of each pass is announced once, from the worker.
TEST_F(WizardCoreTest, TheButtonsTakeNoInputBeforeTheFirstPassEndsNorWhileAPassRuns) {
    auto a = installation("A");
    auto b = installation("B");
    Hold hold;
    fs.failOnlyWhen([&](FsOp op, const std::string& path) {
        if (op == FsOp::Read && path == iniOf(*a)) hold.wait();
        return false;
    });
    toRepairPage({a.get(), b.get()});
    RepairPage& repair = core->repair();
    const auto saved = tmp.path() / "early.txt";
    bool reminded = false;
    const auto pressEverything = [&] {
        repair.copy();
        repair.cancel();
        repair.finish([&](const std::string&) { reminded = true; });
        EXPECT_EQ(repair.saveLog(saved.string()), std::nullopt);
    };
    pressEverything();
    EXPECT_FALSE(repair.passRunning());

    ASSERT_TRUE(repair.activate());
    EXPECT_FALSE(repair.activate());
    ASSERT_TRUE(hold.awaitReached());
    EXPECT_TRUE(repair.passRunning());
    EXPECT_FALSE(repair.buttonsActive());
    pressEverything();
    EXPECT_EQ(host.ends, 0);
    EXPECT_FALSE(reminded);
    EXPECT_FALSE(isFile(saved));
    EXPECT_EQ(repair.caption(), "Repairing folders...");
    EXPECT_EQ(repair.buttons(), (RepairButtons{.copy = true, .cancel = true}));

    hold.released = true;
    ASSERT_TRUE(host.deliverNotice(repair));
    EXPECT_FALSE(repair.passRunning());
    EXPECT_TRUE(repair.buttonsActive());
    ASSERT_EQ(host.noticeThreads.size(), 1u);
    EXPECT_NE(host.noticeThreads.front(), std::this_thread::get_id());
    EXPECT_EQ(repair.status(), "current folder : " + b->folder());

    // Now "COPY!" runs the exchange, and during it nothing acts again.
    hold.reached = hold.released = false;
    repair.copy();
    EXPECT_EQ(repair.caption(), "copying extensions...");
    ASSERT_TRUE(hold.awaitReached());
    pressEverything();
    EXPECT_EQ(host.ends, 0);
    hold.released = true;
    ASSERT_TRUE(host.deliverNotice(repair));
    EXPECT_EQ(host.noticeThreads.size(), 2u);
    EXPECT_TRUE(repair.saveLogTakesFocus());
    repair.finish([&](const std::string&) { reminded = true; });
    EXPECT_TRUE(reminded);
    EXPECT_EQ(host.ends, 1);
}

// A line that a step extends after a batch took it reaches the page whole, as the engine
// wrote it.
TEST_F(WizardCoreTest, ALineExtendedAfterItWasShownIsShownWhole) {
    auto ut = installation("UT");
    ut->add("system/Foo.utx", "texture");
    Hold hold;
    fs.failOnlyWhen([&](FsOp op, const std::string& path) {
        if (op == FsOp::Move && path.ends_with("Foo.utx")) hold.wait();
        return false;
    });
    toRepairPage({ut.get()});
    RepairPage& repair = core->repair();
    ASSERT_TRUE(repair.activate());
    ASSERT_TRUE(hold.awaitReached());
    const std::string found = "    found Foo.utx in " + ut->folder() + "system/"_p;
    bool shown = false;
    for (int i = 0; i < 2000 && !shown; ++i) {
        repair.poll();
        shown = !repair.log().empty() && repair.log()[repair.log().size() - 1] == found;
        if (!shown) std::this_thread::sleep_for(5ms);
    }
    ASSERT_TRUE(shown);
    const size_t lines = repair.log().size();
    hold.released = true;
    ASSERT_TRUE(host.deliverNotice(repair));
    ASSERT_GT(repair.log().size(), lines);
    EXPECT_EQ(repair.log()[lines - 1], found + "  ...moved to " + ut->folder() + "textures/"_p);
    EXPECT_TRUE(isFile(ut->at("textures/Foo.utx")));
}

// A view that goes away during a pass takes the pass with it once the file operation under
// way has finished: the rest of the pass is not done.
TEST_F(WizardCoreTest, ACoreDestroyedDuringAPassStopsItAfterTheOperationUnderWay) {
    auto a = installation("A");
    auto b = installation("B");
    a->add("system/Early.utx", "texture");
    b->add("system/Late.utx", "texture");
    Hold hold;
    fs.failOnlyWhen([&](FsOp op, const std::string& path) {
        if (op == FsOp::Read && path == iniOf(*b)) hold.wait();
        return false;
    });
    toRepairPage({a.get(), b.get()});
    ASSERT_TRUE(core->repair().activate());
    ASSERT_TRUE(hold.awaitReached());
    // The core asks the worker to stop before it waits for it; the hold lets go half a
    // second after the destruction began, well after that request.
    std::thread going([&] { core.reset(); });
    std::this_thread::sleep_for(500ms);
    hold.released = true;
    going.join();
    EXPECT_TRUE(isFile(a->at("textures/Early.utx")));
    EXPECT_TRUE(isFile(b->at("system/Late.utx")));
    EXPECT_FALSE(isFile(b->at("textures/Late.utx")));
    EXPECT_EQ(host.ends, 0);
}

// "Save Log" starts at the name chosen last, a cancelled dialog keeping it, and writes the
// file named, as spelled.
TEST_F(WizardCoreTest, SavingTheLogKeepsTheNameChosenLastAndTakesItExactly) {
    auto ut = installation("UT");
    toRepairPage({ut.get()});
    RepairPage& repair = core->repair();
    ASSERT_TRUE(repair.activate());
    ASSERT_TRUE(host.deliverNotice(repair));
    ASSERT_TRUE(repair.buttons().saveLog);

    put(tmp.path() / "RUN.txt", "kept");
    const std::string chosen = tmp.folder() + "run.txt";
    EXPECT_EQ(repair.saveLog(chosen), std::nullopt);
    EXPECT_EQ(repair.lastSaveName(), chosen);
    EXPECT_EQ(repair.saveLog(""), std::nullopt);
    EXPECT_EQ(repair.lastSaveName(), chosen);
#ifndef _WIN32
    EXPECT_EQ(contentsOf(tmp.path() / "RUN.txt"), "kept");
    EXPECT_EQ(contentsOf(tmp.path() / "run.txt").substr(0, 13), "Processing : ");
#endif

    const std::string refused = tmp.folder() + "refused.txt";
    fs.failOnlyWhen(
        [&](FsOp op, const std::string& path) { return op == FsOp::Write && path == refused; },
        "No space left on device");
    const std::optional<std::string> failure = repair.saveLog(refused);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->rfind("The log was not saved: ", 0), 0u) << *failure;
    EXPECT_NE(failure->find("No space left on device"), std::string::npos) << *failure;
    // The user corrects the name where it failed.
    EXPECT_EQ(repair.lastSaveName(), refused);
    EXPECT_EQ(host.ends, 0);
}

// "only show what would be done": the repair and "COPY!" write the very logs that the real
// passes write afterwards, the exchange seeing what the repair would have done, while the
// disk stays as it was and nothing is journaled, so nothing is offered to undo. "<- Back"
// then leads to the options, and the next activation runs for real.
// Back from a preview, an installation unselected on the folder page is no longer worked on:
// the work list is what the list shows at the last "Next ->", not what it showed before.
TEST_F(WizardCoreTest, TheWorkListIsWhatTheListShowsAtTheLastNext) {
    TempFolder state;
    JournalsIn journals(state.path());
    auto a = installation("A");
    auto b = installation("B");
    core->options().previewOnly = true;
    toRepairPage({a.get(), b.get()});
    ASSERT_TRUE(core->repair().activate());
    ASSERT_TRUE(host.deliverNotice(core->repair()));
    ASSERT_TRUE(core->repairBack());
    ASSERT_TRUE(core->flow().optionsNext());
    core->folders().setSelected(1, false);
    ASSERT_TRUE(core->flow().foldersNext());
    EXPECT_EQ(core->folders().workList(), std::vector<std::string>{a->folder()});
}

TEST_F(WizardCoreTest, APreviewLogsWhatTheRealPassesDoAndChangesNothing) {
    TempFolder state;
    JournalsIn journals(state.path());
    auto a = installation("A");
    auto b = installation("B");
    giveWork(*a, *b);
    const auto before = treeOf(tmp.path());
    core->options().previewOnly = true;
    toRepairPage({a.get(), b.get()});
    RepairPage& repair = core->repair();
    EXPECT_FALSE(core->repairBack());
    ASSERT_TRUE(repair.activate());
    EXPECT_TRUE(repair.preview());
    EXPECT_EQ(repair.caption(), "Repairing folders... (preview: nothing is changed)");
    ASSERT_TRUE(host.deliverNotice(repair));
    const std::vector<std::string> repairLog = repair.log().lines();
    EXPECT_EQ(repair.buttons(), (RepairButtons{.copy = true, .cancel = true, .back = true}));
    repair.copy();
    EXPECT_EQ(repair.caption(), "copying extensions... (preview: nothing is changed)");
    ASSERT_TRUE(host.deliverNotice(repair));
    const std::vector<std::string> copyLog = repair.log().lines();
    EXPECT_EQ(treeOf(tmp.path()), before);
    EXPECT_EQ(filesBelow(state.path()), 0u);
    EXPECT_EQ(repair.buttons(), (RepairButtons{.finish = true, .saveLog = true, .back = true}));
    repair.undo();
    EXPECT_FALSE(repair.passRunning());
    EXPECT_EQ(repair.log().lines(), copyLog);

    // Back to the options, the preview switched off, and through the folder page again.
    ASSERT_TRUE(core->repairBack());
    EXPECT_EQ(core->flow().page(), Page::Options);
    EXPECT_TRUE(repair.log().empty());
    EXPECT_EQ(repair.status(), "");
    EXPECT_EQ(repair.caption(), "Repairing folders...");
    EXPECT_FALSE(repair.buttonsActive());
    core->options().previewOnly = false;
    ASSERT_TRUE(core->flow().optionsNext());
    ASSERT_TRUE(core->flow().foldersNext());
    ASSERT_TRUE(repair.activate());
    EXPECT_FALSE(repair.preview());
    EXPECT_EQ(repair.caption(), "Repairing folders...");
    ASSERT_TRUE(host.deliverNotice(repair));
    EXPECT_EQ(repair.log().lines(), repairLog);
    EXPECT_EQ(repair.buttons(), (RepairButtons{.copy = true, .cancel = true, .undo = true}));
    EXPECT_FALSE(core->repairBack());
    repair.copy();
    EXPECT_EQ(repair.caption(), "copying extensions...");
    ASSERT_TRUE(host.deliverNotice(repair));
    EXPECT_EQ(repair.log().lines(), copyLog);
    EXPECT_NE(treeOf(tmp.path()), before);
    EXPECT_TRUE(isFile(b->at("textures/Skin1.utx")));
    EXPECT_GT(filesBelow(state.path()), 0u);
    EXPECT_EQ(host.ends, 0);
}

// "Undo" after the repair and "COPY!" takes both runs back in every installation, the
// exchange's first, through the journals: every byte is as it was. Its log replaces the
// passes' and ends with what was left; afterwards neither "Undo" nor "COPY!" is offered and
// "Save Log" saves the undo's log.
TEST_F(WizardCoreTest, UndoTakesBackTheRepairAndTheCopyToTheLastByte) {
    TempFolder state;
    JournalsIn journals(state.path());
    auto a = installation("A");
    auto b = installation("B");
    giveWork(*a, *b);
    const auto before = treeOf(tmp.path());
    toRepairPage({a.get(), b.get()});
    RepairPage& repair = core->repair();
    ASSERT_TRUE(repair.activate());
    EXPECT_FALSE(repair.buttons().undo);
    ASSERT_TRUE(host.deliverNotice(repair));
    EXPECT_TRUE(repair.buttons().undo);
    repair.copy();
    EXPECT_TRUE(repair.buttons().undo);
    EXPECT_FALSE(repair.buttonsActive());
    ASSERT_TRUE(host.deliverNotice(repair));
    ASSERT_NE(treeOf(tmp.path()), before);
    EXPECT_EQ(repair.buttons(), (RepairButtons{.finish = true, .saveLog = true, .undo = true}));

    repair.undo();
    EXPECT_TRUE(repair.passRunning());
    EXPECT_EQ(repair.buttons(), (RepairButtons{.finish = true, .saveLog = true}));
    ASSERT_TRUE(host.deliverNotice(repair));
    EXPECT_EQ(treeOf(tmp.path()), before);
    EXPECT_EQ(contentsOf(a->at("system/Skin1.utx")), "skin one, misplaced");
    EXPECT_EQ(contentsOf(a->at("system/Gone1.int")), gameStyleInt());

    const std::vector<std::string> lines = repair.log().lines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "Processing : " + a->folder() + "...");
    EXPECT_EQ(lines.back(), "Undo finished: everything the passes changed was taken back");
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Processing : " + a->folder() + "..."), 2);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Processing : " + b->folder() + "..."), 2);
    // A's exchange, B's exchange, A's repair, B's repair: a run's number grows per
    // installation, so the exchange's is the greater.
    const std::vector<std::string> ids = undoneRuns();
    ASSERT_EQ(ids.size(), 4u);
    EXPECT_GT(ids[0], ids[2]);
    EXPECT_GT(ids[1], ids[3]);
    EXPECT_NE(ids[0], ids[1]);

    EXPECT_TRUE(repair.saveLogTakesFocus());
    repair.undo();
    EXPECT_FALSE(repair.passRunning());
    repair.copy();
    EXPECT_FALSE(repair.passRunning());
    TempFolder saved;
    const std::string file = saved.folder() + "undo.txt";
    EXPECT_EQ(repair.saveLog(file), std::nullopt);
    const std::string text = contentsOf(file);
    EXPECT_EQ(text.rfind("Processing : " + a->folder() + "...\r\n", 0), 0u);
    EXPECT_TRUE(text.ends_with("Undo finished: everything the passes changed was taken back\r\n"))
        << text;
    EXPECT_EQ(host.ends, 0);
}

// A file the player changed after the run is left as it is, and the undo's last lines say
// which and why.
TEST_F(WizardCoreTest, UndoEndsWithWhatItLeftAndWhy) {
    TempFolder state;
    JournalsIn journals(state.path());
    auto a = installation("A");
    auto b = installation("B");
    giveWork(*a, *b);
    toRepairPage({a.get(), b.get()});
    RepairPage& repair = core->repair();
    ASSERT_TRUE(repair.activate());
    ASSERT_TRUE(host.deliverNotice(repair));
    const auto moved = a->at("textures/Skin1.utx");
    ASSERT_TRUE(isFile(moved));
    put(moved, "the player's own skin now");
    repair.undo();
    ASSERT_TRUE(host.deliverNotice(repair));
    EXPECT_EQ(contentsOf(moved), "the player's own skin now");
    EXPECT_FALSE(isFile(a->at("system/Skin1.utx")));
    const std::vector<std::string> lines = repair.log().lines();
    const auto summary =
        std::find(lines.begin(), lines.end(), "Undo finished: not everything was taken back:");
    ASSERT_NE(summary, lines.end());
    ASSERT_EQ(lines.end() - summary, 2);
    EXPECT_TRUE(summary[1].starts_with("  left ")) << summary[1];
    EXPECT_NE(summary[1].find("Skin1.utx"), std::string::npos) << summary[1];
    EXPECT_FALSE(repair.buttons().undo);
}

}  // namespace zendrik::testing
