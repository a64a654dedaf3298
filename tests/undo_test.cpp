// Runs taken back by zendrik-cli --undo from their journals: every byte and mode as before,
// also after a run killed part-way; what changed since a run is kept and named; a damaged
// journal is refused with nothing touched.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <set>
#include <sstream>

#include "cli/cli.h"
#include "filesystem/fault_injecting_file_system.h"
#include "journal/journal_store.h"
#include "undo_fixture.h"

namespace zendrik::testing {
namespace {

class UndoTest : public UndoFixture {};

TEST_F(UndoTest, RepairThenExchangeThenTwoUndosLeaveEveryInstallationAsBefore) {
    const fs::path root = tmp.path() / "uts";
    const auto folders = buildThree(root);
    const auto before = stateOf(root);
    ASSERT_EQ(cli(folders), kExitSuccess) << err.str();
    const auto repaired = stateOf(root);
    ASSERT_NE(repaired, before);
    ASSERT_EQ(cli(with({"--copy"}, folders)), kExitSuccess) << err.str();
    ASSERT_NE(stateOf(root), repaired);

    ASSERT_EQ(cli(with({"--undo"}, folders)), kExitSuccess) << err.str() << out.str();
    EXPECT_EQ(stateOf(root), repaired);
    EXPECT_NE(out.str().find("    removed " + folders[2] + "System/Skin1.int"_p +
                             ", a copy made by the run\n"),
              std::string::npos)
        << out.str();

    // A preview of the undo prints its log and changes nothing, the journals included.
    const auto journals = treeOf(state());
    ASSERT_EQ(cli(with({"--dry-run", "--undo"}, folders)), kExitSuccess) << err.str();
    const std::string preview = out.str();
    EXPECT_EQ(stateOf(root), repaired);
    EXPECT_EQ(treeOf(state()), journals);

    ASSERT_EQ(cli(with({"--undo"}, folders)), kExitSuccess) << err.str() << out.str();
    EXPECT_EQ(stateOf(root), before);
    const std::string log = out.str();
    EXPECT_EQ(log, preview);
    EXPECT_TRUE(log.starts_with("Processing : " + folders[0] + "...\n")) << log;
    // Files named as the disk spells them.
    EXPECT_NE(log.find("    moved " + folders[0] + "TEXTURES/Skin1.utx back to "_p + folders[0] +
                       "System/Skin1.utx\n"_p),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("    restored " + folders[0] + "System/Gone1.int\n"_p), std::string::npos);
    // Put back with its modification time, so that it is known for the file the run moved.
    EXPECT_NE(log.find("    moved " + folders[0] + "System/Lost1.int back to "_p + folders[0] +
                       "TEXTURES/Lost1.int\n"_p),
              std::string::npos);

    // Former bytes are kept only of what a run replaced or deleted, never of a moved file.
    const std::string kept = keptBytes();
    EXPECT_NE(kept.find("an older skin one"), std::string::npos);
    for (const char* moved : {"skin one, misplaced", "voice one, misplaced",
                              "mutator code, misplaced", "model skin, misplaced"}) {
        EXPECT_EQ(kept.find(moved), std::string::npos) << moved;
    }
    // Nothing is left to undo: a third undo says so and changes nothing.
    EXPECT_EQ(cli(with({"--undo"}, folders)), kExitFolderFailed);
    EXPECT_NE(out.str().find("  no run to undo\n"), std::string::npos);
    EXPECT_EQ(stateOf(root), before);
}

// A run killed at the middle call of each kind of change, then undone: as before the run.
// The kill comes below the journal, after the change is recorded and before it is made.
TEST_F(UndoTest, ARunKilledAtAMiddleChangeOfEachKindIsUndoneToTheStateBefore) {
    for (const FsOp op : {FsOp::Move, FsOp::Remove, FsOp::Write, FsOp::Copy}) {
        const std::string name(describe(op));
        SCOPED_TRACE(name);
        const fs::path counted = tmp.path() / ("counted-" + name);
        const auto countedFolders = buildThree(counted);
        NativeFileSystem countingDisk;
        FaultInjectingFileSystem counting(countingDisk);
        ASSERT_EQ(cli(with({"--copy"}, countedFolders), counting), kExitSuccess) << err.str();
        const int middle = (counting.calls(op) + 1) / 2;
        ASSERT_GE(counting.calls(op), 3);

        const fs::path root = tmp.path() / ("killed-" + name);
        const auto folders = buildThree(root);
        const auto before = stateOf(root);
        const pid_t child = ::fork();
        if (child == 0) {
            NativeFileSystem childDisk;
            FaultInjectingFileSystem killing(childDisk);
            int calls = 0;
            killing.failOnlyWhen([&](FsOp called, const std::string&) {
                if (called == op && ++calls == middle) ::raise(SIGKILL);
                return false;
            });
            std::ostringstream ignored;
            runCli(with({"--copy"}, folders), killing, ignored, ignored);
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the run was not killed";
        ASSERT_NE(stateOf(root), before);

        EXPECT_EQ(cli(with({"--undo"}, folders)), kExitSuccess) << err.str() << out.str();
        EXPECT_EQ(stateOf(root), before);
    }
}

TEST_F(UndoTest, WhatChangedSinceTheRunIsKeptAndNamedAndTheRestIsUndone) {
    const fs::path root = tmp.path() / "uts";
    const auto folders = buildThree(root);
    const auto before = stateOf(root);
    ASSERT_EQ(cli(with({"--copy"}, folders)), kExitSuccess) << err.str();
    const fs::path ut1 = root / "UT1", ut2 = root / "UT2";
    // A moved file rewritten; a moved file replaced by another of the same size and time; an
    // edited ini; a deleted file made anew.
    put(ut1 / "System" / "Mut1.u", "mutator code, patched by hand");
    const fs::path voice = ut1 / "sounds" / "Voice1.uax";
    const auto time = fs::last_write_time(voice);
    // The old file stays until the new one exists, so that the new one cannot reuse its
    // file number, as a file system may right after a deletion.
    const fs::path old = voice.string() + ".old";
    fs::rename(voice, old);
    put(voice, "voice one, a new one");
    fs::remove(old);
    fs::last_write_time(voice, time);
    put(ut2 / "System" / "UnrealTournament.ini",
        contentsOf(ut2 / "System" / "UnrealTournament.ini") + "[Edited]\r\nByHand=1\r\n");
    put(ut1 / "System" / "Gone1.int", "made anew");
    const auto changed = stateOf(root);

    EXPECT_EQ(cli(with({"--dry-run", "--undo"}, folders)), kExitFolderFailed);
    const std::string preview = out.str();
    EXPECT_EQ(stateOf(root), changed);

    EXPECT_EQ(cli(with({"--undo"}, folders)), kExitFolderFailed);
    const std::string log = out.str();
    EXPECT_EQ(log, preview);
    for (const std::string& left :
         {folders[0] + "System/Mut1.u"_p, folders[0] + "sounds/Voice1.uax"_p,
          folders[0] + "System/Gone1.int"_p}) {
        EXPECT_NE(log.find("    left " + left + " as it is: changed since the run\n"),
                  std::string::npos)
            << left << "\n"
            << log;
        EXPECT_NE(err.str().find(left), std::string::npos) << left;
    }
    EXPECT_NE(log.find("    left " + folders[1] + "System/UnrealTournament.ini"_p +
                       " as it is: edited since the run\n"),
              std::string::npos)
        << log;
    // The changed files as the user left them; everything else as before the run.
    const std::set<std::string> mine = {"UT1/System/Mut1.u", "UT1/sounds/Voice1.uax",
                                        "UT1/System/Gone1.int", "UT2/System/UnrealTournament.ini"};
    auto now = stateOf(root);
    auto expected = before;
    for (const auto& path : mine) {
        EXPECT_EQ(now[path], changed.at(path)) << path;
        now.erase(path);
        expected.erase(path);
    }
    // The files left where the run moved them are not back in their former places.
    for (const char* path : {"UT1/Maps/Mut1.u", "UT1/System/Voice1.uax"}) {
        EXPECT_FALSE(now.contains(path)) << path;
        expected.erase(path);
    }
    EXPECT_EQ(now, expected);
}

TEST_F(UndoTest, ADamagedJournalIsRefusedWithNothingTouchedAndOneCutShortIsUndone) {
    const fs::path root = tmp.path() / "uts";
    const auto folders = buildThree(root);
    const std::vector<std::string> one = {folders[0]};
    const auto before = stateOf(root);
    ASSERT_EQ(cli(one), kExitSuccess);
    const auto repaired = stateOf(root);
    fs::path journal;
    for (const auto& e : fs::recursive_directory_iterator(state())) {
        if (e.path().filename() == "journal") journal = e.path();
    }
    ASSERT_FALSE(journal.empty());
    const std::string text = contentsOf(journal);

    std::string damaged = text;
    const size_t third = damaged.find('\n', damaged.find('\n') + 1) + 5;
    damaged[third] = damaged[third] == 'x' ? 'y' : 'x';
    put(journal, damaged);
    EXPECT_EQ(cli(with({"--undo"}, one)), kExitFolderFailed);
    EXPECT_NE(err.str().find("damaged journal " + journal.string() + ": line 3"), std::string::npos)
        << err.str();
    EXPECT_EQ(stateOf(root), repaired);
    EXPECT_EQ(cli({"--undo-run", "20990101-000000-000000-none"}), kExitUsage);
    EXPECT_EQ(stateOf(root), repaired);

    // A last record without its line end: cut short by a killed run, and dropped.
    put(journal, text + "M\t999\tsystem/Nothing.u");
    const std::string run = journal.parent_path().filename().string();
    EXPECT_EQ(cli({"--undo-run", run}), kExitSuccess) << err.str();
    EXPECT_EQ(stateOf(root), before);
    // Once undone, a run is not undone again: its copies and moves are gone, not "changed".
    EXPECT_EQ(cli({"--undo-run", run}), kExitSuccess) << err.str();
    EXPECT_NE(out.str().find("is undone already"), std::string::npos) << out.str();
    EXPECT_EQ(stateOf(root), before);
}

TEST_F(UndoTest, OnlyTheLastRunsOfAnInstallationAreKept) {
    Installation a(tmp.path(), "A");
    a.add("system/Foo.utx", "foo");
    ASSERT_EQ(cli({a.folder()}), kExitSuccess);
    ASSERT_EQ(cli({"--list-runs", a.folder()}), kExitSuccess);
    std::istringstream listed(out.str());
    std::string heading, first;
    std::getline(listed, heading);
    std::getline(listed, first);
    first = first.substr(2);
    ASSERT_TRUE(fs::is_directory(state() / "zendrik" / first)) << first;
    // Twenty runs are kept: the first goes with the twenty-first after it.
    for (int i = 0; i < 20; ++i) ASSERT_EQ(cli({a.folder()}), kExitSuccess);
    ASSERT_EQ(cli({"--list-runs", a.folder()}), kExitSuccess);
    const std::string list = out.str();
    EXPECT_EQ(std::count(list.begin(), list.end(), '\n'), 1 + 20) << list;
    EXPECT_FALSE(fs::exists(state() / "zendrik" / first));
}

TEST_F(UndoTest, WithoutAStateFolderARunChangesNothingAndSaysWhy) {
    Installation a(tmp.path(), "A");
    a.add("system/Foo.utx", "foo");
    const auto before = stateOf(a.root());
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    ::unsetenv("XDG_STATE_HOME");
    ::unsetenv("HOME");
    const int status = cli({a.folder()});
    if (!home.empty()) ::setenv("HOME", home.c_str(), 1);
    EXPECT_EQ(status, kExitFolderFailed);
    EXPECT_NE(err.str().find("neither XDG_STATE_HOME nor HOME is set"), std::string::npos)
        << err.str();
    EXPECT_EQ(stateOf(a.root()), before);
}

}  // namespace
}  // namespace zendrik::testing
