#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "filesystem/fault_injecting_file_system.h"
#include "filesystem/posix_file_system.h"
#include "installation_builder.h"

namespace zendrik {
namespace {

namespace fs = std::filesystem;
using testing::contentsOf;
using testing::entriesOf;
using testing::isFile;
using testing::put;
using Names = std::vector<std::string>;

// Checks that `call` throws FsError for `op` on `path` (and `target`); returns the error.
template <typename Call>
FsError expectFailure(Call call, FsOp op, const std::string& path, const std::string& target = {}) {
    try {
        call();
    } catch (const FsError& e) {
        EXPECT_EQ(e.op(), op) << e.what();
        EXPECT_EQ(e.path(), path) << e.what();
        EXPECT_EQ(e.target(), target) << e.what();
        return e;
    }
    ADD_FAILURE() << "no FsError for " << path;
    return FsError(op, path, "not thrown", target);
}

fs::perms permsOf(const fs::path& path) {
    return fs::status(path).permissions();
}

fs::file_time_type daysAgo(int days) {
    return fs::file_time_type::clock::now() - std::chrono::hours(24 * days);
}

class FileSystemTest : public ::testing::Test {
  protected:
    // A path as the engine passes it, and the same place as the test reaches it.
    std::string at(const std::string& relative) const { return tmp.folder() + relative; }
    fs::path disk(const std::string& relative) const { return tmp.path() / relative; }

    testing::TempFolder tmp;
    PosixFileSystem files;
};

TEST_F(FileSystemTest, ListsMatchingPlainFilesInCaseIgnoringOrder) {
    for (const char* name : {"b.u", "A.u", "C.U", "z.u", "_x.u", "ä.u", "É.u", ".u", "u",
                             "Botpack.uax", "readme.txt", "Core.u.zendrik-tmp"}) {
        put(disk("System/" + std::string(name)), "x");
    }
    fs::create_directories(disk("System/Sub.u"));
    const Names expected = {"A.u", "b.u", "C.U", "z.u", "_x.u", "ä.u", "É.u"};
    EXPECT_EQ(files.listFiles(at("System/"), "u"), expected);
    EXPECT_EQ(files.listFiles(at("System/"), "U"), expected);
    EXPECT_EQ(files.listFiles(at("System/"), "uax"), Names{"Botpack.uax"});
    EXPECT_TRUE(files.listFiles(at("System/"), "int").empty());
    EXPECT_TRUE(files.listFiles(at("Missing/"), "u").empty());
    EXPECT_TRUE(files.listFiles(at("System/b.u/"), "u").empty());
}

TEST_F(FileSystemTest, EveryPathComponentIsMatchedIgnoringCase) {
    put(disk("inst/System/Foo.u"), "foo");
    put(disk("inst/System/bar.INT"), "[Public]");
    EXPECT_EQ(files.listFiles(at("INST/system/"), "u"), Names{"Foo.u"});
    EXPECT_TRUE(files.folderExists(at("INST/SYSTEM")));
    EXPECT_FALSE(files.folderExists(at("inst/Maps/")));
    EXPECT_FALSE(files.folderExists(at("inst/System/Foo.u")));
    EXPECT_TRUE(files.fileExists(at("inst/system/FOO.U")));
    EXPECT_FALSE(files.fileExists(at("INST/System")));
    EXPECT_EQ(files.readFile(at("INST/system/BAR.int")), "[Public]");
    expectFailure([&] { files.readFile(at("inst/system/missing.u")); }, FsOp::Read,
                  at("inst/system/missing.u"));
}

TEST_F(FileSystemTest, EverySpellingOfCaseTwinsReachesTheFirstInByteOrder) {
    put(disk("A.u"), "upper");
    put(disk("a.u"), "lower");
    put(disk("Sys/x.u"));
    put(disk("SYS/y.u"));
    EXPECT_EQ(files.listFiles(tmp.folder(), "u"), (Names{"A.u", "a.u"}));
    for (const char* spelling : {"a.u", "A.u", "A.U", "a.U"}) {
        EXPECT_EQ(files.readFile(at(spelling)), "upper") << spelling;
    }
    EXPECT_EQ(files.caseTwins(tmp.folder()),
              (std::vector<std::vector<std::string>>{{"A.u", "a.u"}, {"SYS", "Sys"}}));

    // Folders alike, whether or not their parent's listing is cached yet.
    PosixFileSystem fresh;
    EXPECT_EQ(fresh.listFiles(at("Sys/"), "u"), Names{"y.u"});
    EXPECT_EQ(fresh.listFiles(at("sys/"), "u"), Names{"y.u"});
    PosixFileSystem listedFirst;
    EXPECT_EQ(listedFirst.listFiles(tmp.folder(), "u").size(), 2u);
    EXPECT_EQ(listedFirst.listFiles(at("Sys/"), "u"), Names{"y.u"});
    // Which twin a write, move or deletion means cannot be known: each is refused, and
    // both files stay as they are.
    for (const auto& act :
         std::vector<std::function<void()>>{[&] { files.writeFile(at("a.U"), "rewritten"); },
                                            [&] { files.moveFile(at("a.u"), at("Sys/a.u")); },
                                            [&] { files.copyFile(at("Sys/y.u"), at("A.U")); },
                                            [&] { files.removeFile(at("A.u")); }}) {
        try {
            act();
            ADD_FAILURE() << "no refusal";
        } catch (const FsError& e) {
            EXPECT_TRUE(e.ambiguous()) << e.what();
        }
    }
    EXPECT_TRUE(files.ambiguous(at("a.U")));
    EXPECT_FALSE(files.ambiguous(at("Sys/y.u")));
    EXPECT_EQ(contentsOf(disk("A.u")), "upper");
    EXPECT_EQ(contentsOf(disk("a.u")), "lower");
}

TEST_F(FileSystemTest, LinksToFilesAreFilesAndDanglingLinksAreNotListed) {
    put(disk("data/real.bin"), "linked bytes");
    put(disk("Maps/Here.u"));
    fs::create_directories(disk("System"));
    fs::create_symlink(disk("data/real.bin"), disk("System/Linked.u"));
    fs::create_directory_symlink(disk("data"), disk("System/Dir.u"));
    fs::create_symlink(disk("data/nowhere.u"), disk("Maps/Gone.u"));
    EXPECT_EQ(files.listFiles(at("System/"), "u"), Names{"Linked.u"});
    EXPECT_TRUE(files.fileExists(at("system/LINKED.U")));
    EXPECT_FALSE(files.fileExists(at("System/Dir.u")));
    EXPECT_TRUE(files.folderExists(at("system/dir.U/")));
    EXPECT_EQ(files.readFile(at("System/linked.u")), "linked bytes");
    // A dangling link is skipped, and spoils nothing else in its folder.
    EXPECT_EQ(files.listFiles(at("Maps/"), "u"), Names{"Here.u"});
    EXPECT_FALSE(files.fileExists(at("Maps/Gone.u")));
    EXPECT_TRUE(files.fileExists(at("maps/here.u")));
}

TEST_F(FileSystemTest, WriteFileReplacesContentsExactlyAndKeepsTheFile) {
    const fs::path ini = disk("inst/System/UnrealTournament.ini");
    put(ini, "a much longer old text\n");
    fs::permissions(ini, static_cast<fs::perms>(0751));
    const std::string bytes("A=1\r\nB=\0x", 9);
    files.writeFile(at("INST/system/UNREALTOURNAMENT.ini"), "short");
    files.writeFile(at("inst/System/New.ini"), bytes);
    files.writeFile(at("inst/SYSTEM/Empty.ini"), "");
    EXPECT_EQ(contentsOf(ini), "short");
    EXPECT_EQ(permsOf(ini), static_cast<fs::perms>(0751));
    EXPECT_EQ(contentsOf(disk("inst/System/New.ini")), bytes);
    EXPECT_EQ(contentsOf(disk("inst/System/Empty.ini")), "");
    EXPECT_EQ(entriesOf(disk("inst/System")),
              (Names{"Empty.ini", "New.ini", "UnrealTournament.ini"}));
}

TEST_F(FileSystemTest, WriteFileReplacesALinkInsteadOfWritingThroughIt) {
    put(disk("elsewhere/Target.ini"), "target");
    fs::create_directories(disk("System"));
    fs::create_symlink(disk("elsewhere/Target.ini"), disk("System/User.ini"));
    files.writeFile(at("system/USER.ini"), "own");
    EXPECT_TRUE(isFile(disk("System/User.ini")));
    EXPECT_EQ(contentsOf(disk("System/User.ini")), "own");
    EXPECT_EQ(contentsOf(disk("elsewhere/Target.ini")), "target");
    EXPECT_EQ(entriesOf(disk("System")), Names{"User.ini"});
}

TEST_F(FileSystemTest, AWriteToAMissingFolderFails) {
    expectFailure([&] { files.writeFile(at("Missing/x.ini"), "x"); }, FsOp::Write,
                  at("Missing/x.ini"));
    EXPECT_FALSE(fs::exists(disk("Missing")));
}

TEST_F(FileSystemTest, CopyFileKeepsBytesTimeAndPermissionBits) {
    std::string bytes(5 << 20, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>((i * 2654435761u) >> 13);
    const fs::path source = disk("Maps/DM-Big.unr");
    put(source, bytes);
    fs::last_write_time(source, daysAgo(400));
    fs::permissions(source, static_cast<fs::perms>(0604));
    put(disk("System/DM-BIG.unr"), "old");
    fs::create_directories(disk("Cache"));

    files.copyFile(at("maps/dm-big.UNR"), at("system/dm-big.unr"));
    files.copyFile(at("Maps/DM-Big.unr"), at("cache/Fresh.unr"));
    for (const fs::path& copy : {disk("System/DM-BIG.unr"), disk("Cache/Fresh.unr")}) {
        EXPECT_TRUE(contentsOf(copy) == bytes) << copy;
        EXPECT_EQ(fs::last_write_time(copy), fs::last_write_time(source)) << copy;
    }
    // A new copy takes the source's bits; a replaced file keeps its own.
    EXPECT_EQ(permsOf(disk("Cache/Fresh.unr")), static_cast<fs::perms>(0604));
    EXPECT_EQ(permsOf(disk("System/DM-BIG.unr")), static_cast<fs::perms>(0644));
    EXPECT_EQ(entriesOf(disk("System")), Names{"DM-BIG.unr"});
    EXPECT_EQ(entriesOf(disk("Cache")), Names{"Fresh.unr"});
    EXPECT_TRUE(contentsOf(source) == bytes);
    EXPECT_TRUE(files.readFile(at("cache/fresh.unr")) == bytes);
}

TEST_F(FileSystemTest, FailedCopyNamesBothPaths) {
    put(disk("System/a.u"), "a");
    const std::string from = at("System/missing.u"), to = at("System/b.u");
    const std::string what =
        expectFailure([&] { files.copyFile(from, to); }, FsOp::Copy, from, to).what();
    EXPECT_NE(what.find(from), std::string::npos) << what;
    EXPECT_NE(what.find(to), std::string::npos) << what;
    expectFailure([&] { files.copyFile(at("System/a.u"), at("Missing/a.u")); }, FsOp::Copy,
                  at("System/a.u"), at("Missing/a.u"));
    EXPECT_EQ(entriesOf(disk("System")), Names{"a.u"});
}

TEST_F(FileSystemTest, MoveFileRenamesAndReplaces) {
    put(disk("Maps/DM-A.unr"), "map a");
    put(disk("Maps/Foo.u"), "new foo");
    put(disk("System/FOO.u"), "old foo");
    files.moveFile(at("maps/dm-a.unr"), at("MAPS/DM-Moved.unr"));
    files.moveFile(at("Maps/Foo.u"), at("system/foo.U"));
    EXPECT_EQ(entriesOf(disk("Maps")), Names{"DM-Moved.unr"});
    EXPECT_EQ(contentsOf(disk("Maps/DM-Moved.unr")), "map a");
    EXPECT_EQ(entriesOf(disk("System")), Names{"FOO.u"});
    EXPECT_EQ(contentsOf(disk("System/FOO.u")), "new foo");

    // Onto itself, the folder reached through two spellings.
    files.moveFile(at("System/FOO.u"), at("system/Foo.U"));
    EXPECT_EQ(entriesOf(disk("System")), Names{"FOO.u"});
    EXPECT_EQ(contentsOf(disk("System/FOO.u")), "new foo");
}

TEST_F(FileSystemTest, AMoveOntoAnotherNameOfTheSameFileLosesNothing) {
    put(disk("Textures/Skin.utx"), "skin");
    fs::create_directory_symlink(disk("Textures"), disk("Sounds"));
    put(disk("System/Code.u"), "code");
    fs::create_directory(disk("Maps"));
    fs::create_hard_link(disk("System/Code.u"), disk("Maps/code.U"));

    // A folder reached through a link: the move has nothing to do.
    files.moveFile(at("Sounds/skin.utx"), at("textures/Skin.utx"));
    EXPECT_EQ(contentsOf(disk("Textures/Skin.utx")), "skin");
    EXPECT_TRUE(files.fileExists(at("Sounds/Skin.utx")));
    EXPECT_TRUE(files.fileExists(at("Textures/Skin.utx")));

    // Two hard links of one file: the source's name goes, the bytes stay.
    files.moveFile(at("Maps/code.U"), at("System/code.u"));
    EXPECT_EQ(entriesOf(disk("Maps")), Names{});
    EXPECT_EQ(contentsOf(disk("System/Code.u")), "code");
    EXPECT_FALSE(files.fileExists(at("Maps/Code.u")));
}

TEST_F(FileSystemTest, FailedMoveLeavesTheSourceWhole) {
    put(disk("System/a.u"), "whole");
    expectFailure([&] { files.moveFile(at("system/A.U"), at("Missing/a.u")); }, FsOp::Move,
                  at("system/A.U"), at("Missing/a.u"));
    EXPECT_EQ(contentsOf(disk("System/a.u")), "whole");
    EXPECT_TRUE(files.fileExists(at("System/a.u")));
    expectFailure([&] { files.moveFile(at("System/gone.u"), at("System/b.u")); }, FsOp::Move,
                  at("System/gone.u"), at("System/b.u"));
    EXPECT_EQ(entriesOf(disk("System")), Names{"a.u"});
}

TEST_F(FileSystemTest, MoveAcrossFileSystemsCopiesThenDeletes) {
    struct stat here {
    }, there{};
    if (::stat(tmp.path().c_str(), &here) != 0 || ::stat("/dev/shm", &there) != 0 ||
        here.st_dev == there.st_dev) {
        GTEST_SKIP() << "no second file system at /dev/shm";
    }
    const fs::path other = fs::path("/dev/shm") / tmp.path().filename();
    struct Cleanup {
        fs::path path;
        ~Cleanup() {
            std::error_code ignored;
            fs::remove_all(path, ignored);
        }
    } cleanup{other};
    put(other / "Cache/FAR.unr", "old");
    const fs::path source = disk("Maps/DM-Far.unr");
    put(source, "far away");
    fs::last_write_time(source, daysAgo(2));
    const auto stamp = fs::last_write_time(source);

    files.moveFile(at("maps/dm-far.unr"), other.string() + "/cache/far.UNR");
    EXPECT_FALSE(fs::exists(source));
    EXPECT_EQ(entriesOf(other / "Cache"), Names{"FAR.unr"});
    EXPECT_EQ(contentsOf(other / "Cache/FAR.unr"), "far away");
    EXPECT_EQ(fs::last_write_time(other / "Cache/FAR.unr"), stamp);
    EXPECT_TRUE(files.listFiles(at("Maps/"), "unr").empty());
}

TEST_F(FileSystemTest, RemoveFileAndTestAppend) {
    put(disk("System/Foo.u"), "foo");
    const fs::path ini = disk("System/UnrealTournament.ini");
    put(ini, "ini");
    fs::last_write_time(ini, daysAgo(3));
    const auto stamp = fs::last_write_time(ini);
    files.testAppend(at("system/unrealtournament.INI"));
    EXPECT_EQ(contentsOf(ini), "ini");
    EXPECT_EQ(fs::last_write_time(ini), stamp);
    expectFailure([&] { files.testAppend(at("System/Missing.ini")); }, FsOp::AppendTest,
                  at("System/Missing.ini"));

    files.removeFile(at("SYSTEM/foo.U"));
    EXPECT_EQ(entriesOf(disk("System")), Names{"UnrealTournament.ini"});
    expectFailure([&] { files.removeFile(at("System/Foo.u")); }, FsOp::Remove, at("System/Foo.u"));
}

TEST_F(FileSystemTest, CacheFollowsOwnChangesAndForgetsOnRequest) {
    put(disk("System/a.u"), "a");
    put(disk("Cache/c.u"), "c");
    const auto list = [&](const char* folder) { return files.listFiles(at(folder), "u"); };
    EXPECT_EQ(list("System/"), Names{"a.u"});
    EXPECT_EQ(list("Cache/"), Names{"c.u"});
    EXPECT_FALSE(files.folderExists(at("Later/")));

    files.writeFile(at("system/W.u"), "w");
    files.copyFile(at("System/a.u"), at("System/b.u"));
    files.moveFile(at("cache/C.U"), at("System/c.u"));
    EXPECT_EQ(list("System/"), (Names{"a.u", "b.u", "c.u", "W.u"}));
    EXPECT_TRUE(list("Cache/").empty());
    EXPECT_FALSE(files.fileExists(at("Cache/c.u")));
    EXPECT_TRUE(files.fileExists(at("SYSTEM/w.U")));
    files.removeFile(at("System/A.U"));
    EXPECT_EQ(list("System/"), (Names{"b.u", "c.u", "W.u"}));
    EXPECT_FALSE(files.fileExists(at("system/a.u")));

    // Changes made behind the layer's back.
    put(disk("System/Outside.u"));
    fs::remove(disk("System/b.u"));
    put(disk("Later/l.u"));
    files.forgetCache();
    EXPECT_EQ(list("System/"), (Names{"c.u", "Outside.u", "W.u"}));
    EXPECT_FALSE(files.fileExists(at("System/b.u")));
    EXPECT_EQ(list("Later/"), Names{"l.u"});
}

TEST_F(FileSystemTest, InjectedFaultRefusesExactlyTheChosenCall) {
    for (const char* name : {"a.u", "b.u", "c.u"}) put(disk("System/") / name, name);
    fs::create_directories(disk("Maps"));
    FaultInjectingFileSystem faults(files);
    faults.failOnlyCall(FsOp::Move, 2, "disk on fire");

    faults.moveFile(at("System/a.u"), at("Maps/a.u"));
    const FsError e = expectFailure([&] { faults.moveFile(at("System/b.u"), at("Maps/b.u")); },
                                    FsOp::Move, at("System/b.u"), at("Maps/b.u"));
    EXPECT_EQ(e.reason(), "disk on fire");
    faults.moveFile(at("System/c.u"), at("Maps/c.u"));
    faults.copyFile(at("System/b.u"), at("Maps/copy.u"));
    EXPECT_EQ(entriesOf(disk("Maps")), (Names{"a.u", "c.u", "copy.u"}));
    EXPECT_EQ(contentsOf(disk("System/b.u")), "b.u");

    EXPECT_TRUE(faults.fileExists(at("maps/A.U")));
    EXPECT_TRUE(faults.folderExists(at("maps/")));
    EXPECT_EQ(faults.calls(FsOp::Move), 3);
    EXPECT_EQ(faults.calls(FsOp::Copy), 1);
    EXPECT_EQ(faults.calls(FsOp::Exists), 2);
}

TEST_F(FileSystemTest, InjectedFaultRefusesByPath) {
    put(disk("System/UnrealTournament.ini"), "old");
    FaultInjectingFileSystem faults(files);
    faults.failOnlyWhen(
        [](FsOp op, const std::string& path) {
            return op == FsOp::Write && path.ends_with("UnrealTournament.ini");
        },
        "read-only");
    const std::string ini = at("System/UnrealTournament.ini");
    const FsError e = expectFailure([&] { faults.writeFile(ini, "new"); }, FsOp::Write, ini);
    EXPECT_EQ(e.reason(), "read-only");
    faults.writeFile(at("System/Other.ini"), "other");
    EXPECT_EQ(faults.readFile(ini), "old");
    EXPECT_EQ(entriesOf(disk("System")), (Names{"Other.ini", "UnrealTournament.ini"}));
    EXPECT_EQ(faults.calls(FsOp::Write), 2);
    EXPECT_EQ(faults.calls(FsOp::Read), 1);
}

}  // namespace
}  // namespace zendrik

namespace zendrik::testing {
namespace {

TEST_F(FileSystemTest, AStreamedFileReplacesItsTargetOnlyWhenCommitted) {
    put(disk("Logs/Run.TXT"), "the old log");
    {
        auto dropped = files.openForReplacing(at("logs/run.txt"));
        dropped->append("half a log");
    }
    EXPECT_EQ(contentsOf(disk("Logs/Run.TXT")), "the old log");
    EXPECT_EQ(entriesOf(disk("Logs")), Names{"Run.TXT"});

    auto writer = files.openForReplacing(at("logs/run.txt"));
    for (int i = 0; i < 1000; ++i) writer->append("line " + std::to_string(i) + "\r\n");
    EXPECT_EQ(contentsOf(disk("Logs/Run.TXT")), "the old log");  // not before the commit
    writer->commit();
    const std::string text = contentsOf(disk("Logs/Run.TXT"));
    EXPECT_TRUE(text.starts_with("line 0\r\n") && text.ends_with("line 999\r\n"));
    EXPECT_EQ(entriesOf(disk("Logs")), Names{"Run.TXT"});
    EXPECT_THROW(files.openForReplacing(at("Nowhere/run.txt")), FsError);
}

}  // namespace
}  // namespace zendrik::testing
