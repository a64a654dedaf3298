// An undo holds to the run's rules: it acts only inside the installation named, trusts only a
// journal its own user wrote and nobody else can write, and finishes what it starts, also
// when it is killed, runs out of disk, or meets another undo or a run.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <map>
#include <optional>
#include <set>
#include <thread>

#include "filesystem/fault_injecting_file_system.h"
#include "filesystem/posix_file_system.h"
#include "journal/journal_record.h"
#include "journal/state_files.h"
#include "undo_fixture.h"

namespace zendrik::testing {
namespace {

class UndoSafetyTest : public UndoFixture {
  protected:
    fs::path store() const { return state() / "zendrik"; }
    // The run folders of the store, oldest first.
    std::vector<fs::path> runFolders() const {
        std::vector<fs::path> runs;
        for (const auto& name : entriesOf(store())) runs.push_back(store() / name);
        return runs;
    }
    // The run folder of the installation named `name`, its only one.
    fs::path runOf(const std::string& name) const {
        fs::path found;
        for (const auto& run : runFolders()) {
            if (run.filename().string().find("-" + name + "-") != std::string::npos) {
                EXPECT_TRUE(found.empty()) << "more than one run of " << name;
                found = run;
            }
        }
        EXPECT_FALSE(found.empty()) << "no run of " << name;
        return found;
    }
    // Runs zendrik-cli in a child process over `fs`; its exit status, or -1 when killed.
    static pid_t startCli(const std::vector<std::string>& arguments,
                          std::function<int(const std::vector<std::string>&)> cli) {
        const pid_t child = ::fork();
        if (child == 0) ::_exit(cli(arguments));
        return child;
    }
    static int waitFor(pid_t child) {
        int status = 0;
        ::waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
};

int cliOnDisk(const std::vector<std::string>& arguments) {
    NativeFileSystem disk;
    std::ostringstream ignored;
    return runCli(arguments, disk, ignored, ignored);
}

// One installation with a misplaced package (moved), an incomplete extension (deleted, its
// bytes kept) and an ini that the run rewrites.
Installation oneToRepair(const fs::path& root) {
    Installation a(root, "UT1");
    a.add("system/Skin1.int", skinInt());
    a.add("system/Skin1.utx", "skin one, misplaced");
    a.add("system/Gone1.int", gameStyleInt());
    return a;
}

TEST_F(UndoSafetyTest, AJournalLineThatLeadsOutOfTheInstallationIsRefusedAndTheRestIsUndone) {
    const fs::path root = tmp.path() / "uts";
    Installation a = oneToRepair(root);
    const fs::path victim = tmp.path() / "victim";
    put(victim / "kept", "the victim's file");
    put(victim / "copied", "the victim's other file");
    const auto before = stateOf(root);
    const auto victimBefore = stateOf(victim);
    ASSERT_EQ(cli({a.folder()}), kExitSuccess) << err.str();

    // Lines a hostile hand adds, their checksums made anew: a deleted file to put back
    // outside, a move whose source lies outside, a copy outside to remove, and a file to put
    // back through a folder that became a link out of the installation.
    const fs::path journal = runOf("UT1") / kJournalName;
    const auto contents = decodeJournal(contentsOf(journal), journal.string());
    JournalRecord kept;
    for (const auto& r : contents.records) {
        if (r.kind == RecordKind::Kept) kept = r;
    }
    ASSERT_EQ(kept.kind, RecordKind::Kept);
    std::string text = contentsOf(journal);
    const auto keptAt = [&](uint64_t change, const std::string& path) {
        JournalRecord r = kept;
        r.change = change;
        r.path = path;
        text += encodeRecord(r) + encodeRecord(JournalRecord::of(RecordKind::Remove, change, path));
    };
    keptAt(1001, "../../victim/made");
    keptAt(1002, "Linked/made");
    JournalRecord move = JournalRecord::of(RecordKind::Move, 1003, "System/Skin1.int");
    move.from = (victim / "moved").string();
    move.fromInstallation = false;
    disk.forgetCache();
    move.stamp = *disk.stampOf(a.folder() + "System/Skin1.int"_p);
    text += encodeRecord(move);
    JournalRecord copy = JournalRecord::of(RecordKind::Copy, 1004, "../../victim/copied");
    copy.from = (victim / "copied").string();
    copy.fromInstallation = false;
    copy.stamp = *disk.stampOf((victim / "copied").string());
    JournalRecord made = JournalRecord::of(RecordKind::Made, 1004);
    made.stamp = copy.stamp;
    text += encodeRecord(copy) + encodeRecord(made);
    put(journal, text);
    fs::create_directory_symlink(victim, a.root() / "Linked");

    EXPECT_EQ(cli({"--undo", a.folder()}), kExitFolderFailed);
    EXPECT_EQ(stateOf(victim), victimBefore);
    const std::string log = out.str();
    for (const std::string& refused :
         {std::string("refused: the journal names ../../victim/made, and it leads out of the "
                      "installation"),
          "refused: its folder " + a.folder() + "Linked/ leads out of the installation",
          "refused: the journal names " + move.from +
              " as its source, a place outside the installation",
          std::string("refused: the journal names ../../victim/copied")}) {
        EXPECT_NE(log.find(refused), std::string::npos) << refused << "\n" << log;
    }
    // Everything the run did is undone all the same.
    fs::remove(a.root() / "Linked");
    EXPECT_EQ(stateOf(root), before);
}

TEST_F(UndoSafetyTest, AJournalOfAnotherInstallationIsRefusedWithNothingTouched) {
    const fs::path root = tmp.path() / "uts";
    Installation a = oneToRepair(root);
    Installation b(root, "UT2");
    b.add("system/Skin2.int", skinInt());
    b.add("system/Skin2.utx", "skin two, misplaced");
    ASSERT_EQ(cli({a.folder()}), kExitSuccess) << err.str();
    ASSERT_EQ(cli({b.folder()}), kExitSuccess) << err.str();
    // UT2's run, renamed as the newest run of UT1.
    const std::string ownName = runOf("UT1").filename().string();
    const std::string renamed = "0000000099" + ownName.substr(ownName.find('-'));
    fs::rename(runOf("UT2"), store() / renamed);
    const auto repaired = stateOf(root);

    EXPECT_EQ(cli({"--undo", a.folder()}), kExitFolderFailed);
    EXPECT_NE(err.str().find("is of the installation " + fs::canonical(b.root()).string() +
                             ", not of " + fs::canonical(a.root()).string()),
              std::string::npos)
        << err.str();
    EXPECT_EQ(stateOf(root), repaired);
    EXPECT_EQ(cli({"--undo-run", renamed}), kExitFolderFailed);
    EXPECT_NE(err.str().find("is not named for " + fs::canonical(b.root()).string()),
              std::string::npos)
        << err.str();
    EXPECT_EQ(stateOf(root), repaired);
}

TEST_F(UndoSafetyTest, KeptBytesThatDoNotMatchTheirHashAreNotPutBack) {
    const fs::path root = tmp.path() / "uts";
    Installation a = oneToRepair(root);
    const auto before = stateOf(root);
    ASSERT_EQ(cli({a.folder()}), kExitSuccess) << err.str();
    const fs::path run = runOf("UT1");
    size_t at = std::string::npos;
    for (const auto& r : decodeJournal(contentsOf(run / kJournalName), "journal").records) {
        if (r.kind == RecordKind::Kept && r.path == "System/Gone1.int"_p) at = r.offset;
    }
    ASSERT_NE(at, std::string::npos) << "Gone1.int's bytes are kept";
    std::string bytes = contentsOf(run / kKeptName);
    bytes[at] ^= 1;
    put(run / kKeptName, bytes);

    EXPECT_EQ(cli({"--undo", a.folder()}), kExitFolderFailed);
    EXPECT_NE(out.str().find("    left " + a.folder() + "System/Gone1.int"_p +
                             " as it is: its former bytes kept for the undo do not match the "
                             "journal\n"),
              std::string::npos)
        << out.str();
    auto now = stateOf(root);
    auto expected = before;
    EXPECT_FALSE(now.contains("UT1/System/Gone1.int"));
    expected.erase("UT1/System/Gone1.int");
    EXPECT_EQ(now, expected);
}

TEST_F(UndoSafetyTest, AStateFolderOrFileThatOthersCanChangeIsNotTrusted) {
    const fs::path root = tmp.path() / "uts";
    Installation a = oneToRepair(root);
    ASSERT_EQ(cli({a.folder()}), kExitSuccess) << err.str();
    const auto repaired = stateOf(root);
    const fs::path run = runOf("UT1");

    // Writable by others: refused, and it says how to mend it.
    fs::permissions(store(), fs::perms::others_write, fs::perm_options::add);
    EXPECT_EQ(cli({"--undo", a.folder()}), kExitFolderFailed);
    EXPECT_NE(err.str().find("other users may write it (mode 0702); only journals nobody else "
                             "can change are trusted: chmod go-w " +
                             store().string()),
              std::string::npos)
        << err.str();
    EXPECT_EQ(cli({"--list-runs", a.folder()}), kExitFolderFailed);
    // A run journals nowhere else, so it changes nothing either.
    a.add("system/Skin3.utx", "misplaced after");
    const auto withSkin3 = stateOf(root);
    EXPECT_EQ(cli({a.folder()}), kExitFolderFailed);
    EXPECT_EQ(stateOf(root), withSkin3);
    fs::permissions(store(), fs::perms::others_write, fs::perm_options::remove);
    fs::remove(a.at("system/Skin3.utx"));

    // Another user's journals, also for root.
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(run.c_str(), 4242, 4242), 0);
        EXPECT_EQ(cli({"--undo", a.folder()}), kExitFolderFailed);
        EXPECT_NE(err.str().find("it belongs to user 4242, not to the user running this (0)"),
                  std::string::npos)
            << err.str();
        EXPECT_EQ(stateOf(root), repaired);
        ASSERT_EQ(::chown(run.c_str(), 0, 0), 0);
    }

    // Links in a run folder are never followed: a kept file that leads to another file, and
    // a mark of an undo that leads nowhere.
    const fs::path secret = tmp.path() / "secret";
    put(secret, "not for the installation");
    fs::rename(run / kKeptName, run / "kept.real");
    fs::create_symlink(secret, run / kKeptName);
    EXPECT_EQ(cli({"--undo", a.folder()}), kExitFolderFailed);
    EXPECT_NE(err.str().find("it is a symbolic link"), std::string::npos) << err.str();
    EXPECT_EQ(stateOf(root), repaired);
    fs::remove(run / kKeptName);
    fs::rename(run / "kept.real", run / kKeptName);
    fs::create_symlink(tmp.path() / "nowhere", run / kUndoneName);
    EXPECT_EQ(cli({"--undo", a.folder()}), kExitFolderFailed);
    EXPECT_EQ(stateOf(root), repaired);
    EXPECT_FALSE(fs::exists(tmp.path() / "nowhere"));
    fs::remove(run / kUndoneName);
    EXPECT_EQ(cli({"--undo", a.folder()}), kExitSuccess) << err.str();
}

// Kills the process at the n-th rename or unlink that the file layer asks of the system.
class KillingCalls final : public PosixCalls {
  public:
    explicit KillingCalls(int n) : left_(n) {}
    int rename(const char* from, const char* to) override {
        if (--left_ == 0) ::raise(SIGKILL);
        return PosixCalls::rename(from, to);
    }
    int unlink(const char* path) override {
        if (--left_ == 0) ::raise(SIGKILL);
        return PosixCalls::unlink(path);
    }

  private:
    int left_;
};

TEST_F(UndoSafetyTest, AnUndoKilledAtEachRenameOrUnlinkIsFinishedByTheNext) {
    int killed = 0;
    for (int n = 1;; ++n) {
        SCOPED_TRACE("killed at call " + std::to_string(n));
        const fs::path root = tmp.path() / ("uts" + std::to_string(n));
        ::setenv("XDG_STATE_HOME", (tmp.path() / ("state" + std::to_string(n))).c_str(), 1);
        const auto folders = buildThree(root);
        const auto before = stateOf(root);
        ASSERT_EQ(cli(with({"--copy"}, folders)), kExitSuccess) << err.str();
        const int status = waitFor(startCli(with({"--undo"}, folders), [n](const auto& args) {
            KillingCalls calls(n);
            PosixFileSystem killing(calls);
            std::ostringstream ignored;
            return runCli(args, killing, ignored, ignored);
        }));
        if (status != -1) {
            EXPECT_EQ(status, kExitSuccess);
            EXPECT_EQ(stateOf(root), before);
            break;
        }
        ++killed;
        // The next undo finishes the one killed; the installations it had finished have no
        // run left to undo.
        for (const auto& folder : folders) {
            const int again = cli({"--undo", folder});
            EXPECT_TRUE(again == kExitSuccess ||
                        out.str().find("  no run to undo") != std::string::npos)
                << out.str() << err.str();
            EXPECT_EQ(out.str().find("    left "), std::string::npos) << out.str();
        }
        EXPECT_EQ(stateOf(root), before);
        if (HasFailure()) break;
    }
    EXPECT_GT(killed, 20);
}

// Cuts the n-th write to a run's journal short, then refuses the rest of it, as a disk that
// fills up in the middle of a line does. Watches the files that the change of the line, if it
// is one still to make, would change: up to the next line, or the end of the run, they must
// stay as they were.
class FullJournalCalls final : public PosixCalls {
  public:
    explicit FullJournalCalls(int n) : left_(n) {}
    int open(const char* path, int flags, mode_t mode) override {
        const int fd = PosixCalls::open(path, flags, mode);
        if (fd >= 0 && (flags & O_CREAT) && std::string_view(path).ends_with("/journal")) {
            journals_[fd].clear();
        }
        return fd;
    }
    ssize_t write(int fd, const void* data, size_t size) override {
        const auto journal = journals_.find(fd);
        if (journal == journals_.end()) return PosixCalls::write(fd, data, size);
        checkWatched();
        if (refused_) return PosixCalls::write(fd, data, size);
        const std::string text(static_cast<const char*>(data), size);
        if (journal->second.empty()) journal->second = fieldsOf(text).at(1);  // the header's
        if (line) {
            refused_ = true;
            watch(journal->second);
            errno = ENOSPC;
            return -1;
        }
        if (--left_ > 0) return PosixCalls::write(fd, data, size);
        line = fieldsOf(text);
        return PosixCalls::write(fd, data, size / 2);
    }
    int close(int fd) override {
        journals_.erase(fd);
        return PosixCalls::close(fd);
    }

    // Compares the watched files with what they were when the line was refused.
    void checkWatched() {
        for (const auto& [path, was] : watched_) {
            if (contentsIfAny(path) != was) changed.push_back(path.string());
        }
        watched_.clear();
    }

    std::optional<std::vector<std::string>> line;  // the fields of the line cut short
    std::vector<std::string> changed;              // watched files that changed all the same

  private:
    static std::vector<std::string> fieldsOf(const std::string& line) {
        std::vector<std::string> fields(1);
        for (const char c : line) {
            if (c == '\t') {
                fields.emplace_back();
            } else {
                fields.back().push_back(c);
            }
        }
        return fields;
    }
    static std::optional<std::string> contentsIfAny(const fs::path& path) {
        if (!isFile(path)) return std::nullopt;
        return contentsOf(path);
    }
    // The file of a change still to make (not a Void or Made line, written once a change was
    // tried), and a move's source.
    void watch(const std::string& installation) {
        const auto& fields = *line;
        if (fields[0].size() != 1 ||
            std::string_view("KMCRW").find(fields[0]) == std::string::npos) {
            return;
        }
        std::vector<std::string> files{fields[2]};
        if (fields[0] == "M" && fields[4] == "1") files.push_back(fields[3]);
        for (const auto& file : files) {
            const fs::path path = fs::path(installation) / file;
            watched_.emplace_back(path, contentsIfAny(path));
        }
    }

    int left_;
    bool refused_ = false;
    std::map<int, std::string> journals_;  // the installation, by descriptor
    std::vector<std::pair<fs::path, std::optional<std::string>>> watched_;
};

// A change that cannot be recorded is not made: with the disk full in the middle of any line
// of a run's journal, the file of that line's change is left as it was, the run says why the
// change failed, and an undo takes the run back whole.
TEST_F(UndoSafetyTest, AChangeWhoseRecordCannotBeWrittenIsNotMadeAndAnUndoTakesTheRunBack) {
    int refused = 0;
    for (int n = 2;; ++n) {  // past the first header
        SCOPED_TRACE("refused at journal write " + std::to_string(n));
        const fs::path root = tmp.path() / ("utf" + std::to_string(n));
        ::setenv("XDG_STATE_HOME", (tmp.path() / ("state" + std::to_string(n))).c_str(), 1);
        const auto folders = buildThree(root);
        const auto before = stateOf(root);
        FullJournalCalls full(n);
        setJournalCalls(full);
        const int status = cli(with({"--copy"}, folders));
        setJournalCalls(systemCalls());
        if (!full.line) {
            EXPECT_EQ(status, kExitSuccess) << out.str() << err.str();
            break;
        }
        ++refused;
        full.checkWatched();
        EXPECT_EQ(full.changed, std::vector<std::string>{});
        // A line of a change (not a header, which the run makes again for the installation's
        // lock, nor a Void line, written when a change was not made) fails that change.
        const std::string_view kind = full.line->front();
        if (kind.size() == 1 && std::string_view("KMCRWS").find(kind) != std::string::npos) {
            EXPECT_EQ(status, kExitFolderFailed);
            EXPECT_NE(out.str().find("No space left on device"), std::string::npos) << out.str();
        }
        const std::string run = out.str();
        EXPECT_EQ(cli(with({"--undo"}, folders)), kExitSuccess) << out.str() << err.str();
        EXPECT_EQ(stateOf(root), before) << "the line refused: " << full.line->front() << " "
                                         << full.line->at(2) << "\nthe run:\n"
                                         << run << "\nthe undo:\n"
                                         << out.str();
        if (HasFailure()) break;
    }
    EXPECT_GT(refused, 20);
}

// An ini write that fails is voided in the journal; the run's next write of that ini, made,
// is the one an undo takes back, to the text before the run. Also from a journal as older
// runs wrote it, which kept the ini's former bytes only for the write that failed.
TEST_F(UndoSafetyTest, AnIniWhoseFirstWriteOfTheRunFailedIsPutBackByTheUndo) {
    for (const bool older : {false, true}) {
        SCOPED_TRACE(older ? "a journal of an older run" : "a journal");
        const std::string name = older ? "older" : "now";
        const fs::path root = tmp.path() / name;
        const fs::path state = tmp.path() / ("state-" + name);
        ::setenv("XDG_STATE_HOME", state.c_str(), 1);
        const auto folders = buildThree(root);
        const auto before = stateOf(root);
        NativeFileSystem below;
        FaultInjectingFileSystem failing(below);
        int writes = 0;
        failing.failOnlyWhen(
            [&](FsOp op, const std::string& path) {
                std::string lower = path;
                for (char& c : lower) {
                    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
                }
                return op == FsOp::Write && lower.ends_with("/ut2/system/unrealtournament.ini") &&
                       ++writes == 1;
            },
            "No space left on device");
        EXPECT_EQ(cli(with({"--copy"}, folders), failing), kExitFolderFailed);
        ASSERT_GT(writes, 1) << "UT2's ini was not written again after the failure";
        ASSERT_NE(stateOf(root), before);

        if (older) {
            // Without the Kept line of the first write made: UT2's journal writes one ini.
            fs::path journal;
            for (const auto& entry : fs::directory_iterator(state / "zendrik")) {
                const std::string run = entry.path().filename().string();
                if (run.find("-UT2-") != std::string::npos) journal = entry.path() / kJournalName;
            }
            const JournalContents contents = decodeJournal(contentsOf(journal), "journal");
            std::set<uint64_t> voided;
            for (const auto& r : contents.records) {
                if (r.kind == RecordKind::Void) voided.insert(r.change);
            }
            uint64_t made = 0;
            for (const auto& r : contents.records) {
                if (r.kind == RecordKind::Write && !voided.contains(r.change) && made == 0) {
                    made = r.change;
                }
            }
            std::string text = encodeHeader(contents.installation, contents.started);
            int dropped = 0;
            for (const auto& r : contents.records) {
                if (r.kind == RecordKind::Kept && r.change == made) {
                    ++dropped;
                } else {
                    text += encodeRecord(r);
                }
            }
            ASSERT_EQ(dropped, 1);
            put(journal, text);
        }

        EXPECT_EQ(cli(with({"--undo"}, folders)), kExitSuccess) << out.str() << err.str();
        EXPECT_EQ(stateOf(root), before) << out.str();
    }
}

TEST_F(UndoSafetyTest, AnUndoThatFailsIsNotMarkedAndTheNextFinishesIt) {
    const fs::path root = tmp.path() / "uts";
    const auto folders = buildThree(root);
    const auto before = stateOf(root);
    ASSERT_EQ(cli(with({"--copy"}, folders)), kExitSuccess) << err.str();

    // The disk full as soon as the undo puts a former file back.
    NativeFileSystem below;
    FaultInjectingFileSystem full(below);
    full.failOnlyWhen([](FsOp op, const std::string&) { return op == FsOp::Copy; },
                      "No space left on device");
    EXPECT_EQ(cli(with({"--undo"}, folders), full), kExitFolderFailed);
    EXPECT_NE(out.str().find("(the undo stopped here; --undo again finishes it)"),
              std::string::npos)
        << out.str();
    EXPECT_NE(stateOf(root), before);
    ASSERT_EQ(cli({"--list-runs", folders[0]}), kExitSuccess);
    EXPECT_EQ(out.str().find("(undone)"), std::string::npos) << out.str();

    // With space again, but the mark of UT1's undone run not to be written: no mark there.
    const fs::path run = runOf("UT1");
    fs::create_directory(run / "undone.new");
    EXPECT_EQ(cli(with({"--undo"}, folders)), kExitFolderFailed);
    EXPECT_FALSE(fs::exists(run / kUndoneName));
    EXPECT_TRUE(fs::exists(runOf("UT2") / kUndoneName));
    fs::remove(run / "undone.new");

    EXPECT_EQ(cli({"--undo", folders[0]}), kExitSuccess) << out.str() << err.str();
    EXPECT_NE(out.str().find("  finishing the undo of the run "), std::string::npos);
    EXPECT_EQ(stateOf(root), before);
}

TEST_F(UndoSafetyTest, TwoUndosAtOnceTakeBackTwoRuns) {
    const fs::path root = tmp.path() / "uts";
    const auto folders = buildThree(root);
    const auto before = stateOf(root);
    ASSERT_EQ(cli(folders), kExitSuccess) << err.str();
    ASSERT_EQ(cli(with({"--copy"}, folders)), kExitSuccess) << err.str();

    const pid_t first = startCli(with({"--undo"}, folders), cliOnDisk);
    const pid_t second = startCli(with({"--undo"}, folders), cliOnDisk);
    EXPECT_EQ(waitFor(first), kExitSuccess);
    EXPECT_EQ(waitFor(second), kExitSuccess);
    EXPECT_EQ(stateOf(root), before);
}

TEST_F(UndoSafetyTest, AnUndoStartedDuringARunWaitsForItAndTakesItBackWhole) {
    const fs::path root = tmp.path() / "uts";
    const auto folders = buildThree(root);
    const auto before = stateOf(root);
    const pid_t run = startCli(with({"--copy"}, folders), [](const auto& args) {
        NativeFileSystem below;
        FaultInjectingFileSystem slow(below);
        slow.failOnlyWhen([](FsOp op, const std::string&) {
            if (op == FsOp::Move || op == FsOp::Copy) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
            return false;
        });
        std::ostringstream ignored;
        return runCli(args, slow, ignored, ignored);
    });
    // Started once the run has begun to journal.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!fs::exists(store()) || runFolders().size() < 3 ||
           fs::file_size(runFolders().front() / kJournalName) < 200) {
        ASSERT_LT(std::chrono::steady_clock::now(), deadline);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(cli(with({"--undo"}, folders)), kExitSuccess) << out.str() << err.str();
    EXPECT_EQ(waitFor(run), kExitSuccess);
    EXPECT_EQ(stateOf(root), before);
}

TEST_F(UndoSafetyTest, RunsAreTakenBackNewestFirstWhateverTheClockSays) {
    const fs::path root = tmp.path() / "uts";
    Installation a = oneToRepair(root);
    const auto now = std::chrono::system_clock::now();
    setJournalClock([now] { return now; });
    ASSERT_EQ(cli({a.folder()}), kExitSuccess) << err.str();
    const auto first = stateOf(root);
    a.add("system/Skin2.utx", "skin two, misplaced");
    setJournalClock([now] { return now - std::chrono::hours(24); });
    ASSERT_EQ(cli({a.folder()}), kExitSuccess) << err.str();
    setJournalClock([] { return std::chrono::system_clock::now(); });

    EXPECT_EQ(cli({"--undo", a.folder()}), kExitSuccess) << err.str();
    auto expected = first;
    expected["UT1/System/Skin2.utx"] = "";
    auto after = stateOf(root);
    EXPECT_TRUE(after.contains("UT1/System/Skin2.utx")) << out.str();
    after["UT1/System/Skin2.utx"] = "";
    EXPECT_EQ(after, expected);
}

TEST_F(UndoSafetyTest, AFileGoesBackIntoTheFolderTheRunUsedNotATwinMadeSince) {
    const fs::path root = tmp.path() / "uts";
    Installation a = oneToRepair(root);
    const auto before = stateOf(root);
    ASSERT_EQ(cli({a.folder()}), kExitSuccess) << err.str();
    // "SYSTEM" comes before "System" in byte order: every spelling of the folder reaches it.
    fs::create_directory(a.root() / "SYSTEM");

    EXPECT_EQ(cli({"--undo", a.folder()}), kExitSuccess) << err.str();
    EXPECT_TRUE(entriesOf(a.root() / "SYSTEM").empty());
    fs::remove(a.root() / "SYSTEM");
    EXPECT_EQ(stateOf(root), before);
    const std::string log = out.str();
    EXPECT_NE(log.find("    moved " + a.folder() + "TEXTURES/Skin1.utx back to "_p + a.folder() +
                       "System/Skin1.utx\n"_p),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("    restored " + a.folder() + "System/UnrealTournament.ini\n"_p),
              std::string::npos)
        << log;
}

TEST_F(UndoSafetyTest, WithoutAStateFolderTheUndoCommandsSaySoAndLookNowhere) {
    Installation a = oneToRepair(tmp.path() / "uts");
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    ::unsetenv("XDG_STATE_HOME");
    ::unsetenv("HOME");
    for (const auto& arguments :
         std::vector<std::vector<std::string>>{{"--undo", a.folder()},
                                               {"--undo-run", "0000000001-UT1-0"},
                                               {"--list-runs", a.folder()}}) {
        EXPECT_EQ(cli(arguments), kExitFolderFailed) << arguments[0];
        EXPECT_NE(err.str().find("neither XDG_STATE_HOME nor HOME is set"), std::string::npos)
            << arguments[0] << ": " << err.str();
        EXPECT_EQ(out.str(), "") << arguments[0];
    }
    if (!home.empty()) ::setenv("HOME", home.c_str(), 1);
}

}  // namespace
}  // namespace zendrik::testing
