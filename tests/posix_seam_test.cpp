// The POSIX layer's own failure and durability paths, reached through its system calls: a
// short write, a failed flush or close, an error while reading a folder, a refusal that a
// test running as root never meets, and the order of flushes and renames.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "engine_fixture.h"
#include "exchange/extension_exchange.h"
#include "filesystem/flush_together.h"
#include "filesystem/posix_calls.h"
#include "filesystem/posix_file_system.h"
#include "installation_builder.h"
#include "serverpackages/ini_text.h"

namespace zendrik::testing {
namespace {

namespace fs = std::filesystem;

// Passes every call on, records what was done to which path, and fails the calls chosen.
// The file layer flushes from several threads at once: its record is kept under a lock.
class ScriptedCalls final : public PosixCalls {
  public:
    // Fails the `nth` call (from 1) named `call` with `err`; 0 for every such call.
    void failNth(std::string call, int nth, int err) { failures_[std::move(call)] = {nth, err}; }
    // Lets each write take at most `bytes` bytes.
    void shortWrites(size_t bytes) { writeLimit_ = bytes; }
    // What happened, in order: "fsync <path>", "rename <from> <to>", "unlink <path>", ...
    std::vector<std::string> done;

    int open(const char* path, int flags, mode_t mode) override {
        const std::lock_guard hold(mutex_);
        if (refuse("open")) return -1;
        const int fd = PosixCalls::open(path, flags, mode);
        if (fd >= 0) paths_[fd] = path;
        if (fd >= 0 && (flags & O_CREAT)) done.push_back(std::string("create ") + path);
        return fd;
    }
    ssize_t write(int fd, const void* data, size_t size) override {
        const std::lock_guard hold(mutex_);
        if (refuse("write")) return -1;
        return PosixCalls::write(fd, data, std::min(size, writeLimit_));
    }
    ssize_t copyFileRange(int in, int out, size_t size) override {
        const std::lock_guard hold(mutex_);
        if (refuse("copyFileRange")) return -1;
        return PosixCalls::copyFileRange(in, out, size);
    }
    int fsync(int fd) override {
        const std::lock_guard hold(mutex_);
        if (refuse("fsync")) return -1;
        done.push_back("fsync " + paths_[fd]);
        return PosixCalls::fsync(fd);
    }
    int close(int fd) override {
        const std::lock_guard hold(mutex_);
        const int rc = PosixCalls::close(fd);
        paths_.erase(fd);
        if (refuse("close")) return -1;  // closed all the same, as the system does
        return rc;
    }
    int rename(const char* from, const char* to) override {
        const std::lock_guard hold(mutex_);
        if (refuse("rename")) return -1;
        done.push_back(std::string("rename ") + from + " " + to);
        return PosixCalls::rename(from, to);
    }
    int unlink(const char* path) override {
        const std::lock_guard hold(mutex_);
        if (refuse("unlink")) return -1;
        done.push_back(std::string("unlink ") + path);
        return PosixCalls::unlink(path);
    }
    struct dirent* readdir(DIR* dir) override {
        const std::lock_guard hold(mutex_);
        if (refuse("readdir")) return nullptr;
        return PosixCalls::readdir(dir);
    }

    int readdirs() const { return counts_.count("readdir") ? counts_.at("readdir") : 0; }

    // The position in `done` of the first entry that is `what`, or -1.
    int indexOf(const std::string& what) const {
        const auto it = std::find(done.begin(), done.end(), what);
        return it == done.end() ? -1 : static_cast<int>(it - done.begin());
    }

    // The position in `done` of the first entry that starts with `what`, or -1.
    int firstOf(const std::string& what) const {
        for (size_t i = 0; i < done.size(); ++i) {
            if (done[i].starts_with(what)) return static_cast<int>(i);
        }
        return -1;
    }

  private:
    bool refuse(const std::string& call) {
        const int count = ++counts_[call];
        const auto it = failures_.find(call);
        if (it == failures_.end() || (it->second.first != 0 && it->second.first != count)) {
            return false;
        }
        errno = it->second.second;
        return true;
    }

    std::map<std::string, std::pair<int, int>> failures_;
    std::map<std::string, int> counts_;
    std::map<int, std::string> paths_;
    size_t writeLimit_ = SIZE_MAX;
    std::mutex mutex_;
};

class PosixSeamTest : public ::testing::Test {
  protected:
    std::string at(const std::string& relative) const { return tmp.folder() + relative; }
    fs::path disk(const std::string& relative) const { return tmp.path() / relative; }
    // Names in a folder that are temporary files.
    size_t temporaries(const std::string& folder) const {
        size_t n = 0;
        for (const auto& name : entriesOf(disk(folder))) n += name.ends_with(".zendrik-tmp");
        return n;
    }
    TempFolder tmp;
    ScriptedCalls calls;
    PosixFileSystem files{calls};
};

TEST_F(PosixSeamTest, WritesAreWholeOrNothing) {
    put(disk("System/User.ini"), "old");
    // Writes that take three bytes at a time still write everything.
    calls.shortWrites(3);
    files.writeFile(at("System/User.ini"), "a longer new text");
    EXPECT_EQ(contentsOf(disk("System/User.ini")), "a longer new text");
    calls.shortWrites(SIZE_MAX);

    // A write, a flush or a close that fails: the failure is reported, the old file stays,
    // and no temporary file is left behind.
    for (const char* call : {"write", "fsync", "close", "rename"}) {
        ScriptedCalls failing;
        PosixFileSystem layer(failing);
        failing.failNth(call, 1, EIO);
        EXPECT_THROW(layer.writeFile(at("System/User.ini"), "lost"), FsError) << call;
        EXPECT_EQ(contentsOf(disk("System/User.ini")), "a longer new text") << call;
        EXPECT_EQ(temporaries("System"), 0u) << call;
    }
}

TEST_F(PosixSeamTest, AnIniReachesTheDiskBeforeItsRename) {
    put(disk("System/UnrealTournament.ini"), "old");
    files.writeFile(at("System/UnrealTournament.ini"), "new", FileSystem::Sync::Deferred);
    const int flushed = calls.firstOf("fsync " + at("System/UnrealTournament.ini~"));
    const int renamed = calls.firstOf("rename " + at("System/UnrealTournament.ini~"));
    ASSERT_GE(flushed, 0);
    ASSERT_GE(renamed, 0);
    EXPECT_LT(flushed, renamed);
}

TEST_F(PosixSeamTest, AFailedFlushOfCopiesIsReported) {
    put(disk("Maps/A.unr"), "a");
    put(disk("Maps/B.unr"), "b");
    fs::create_directories(disk("Cache"));
    files.copyFile(at("Maps/A.unr"), at("Cache/A.unr"));
    files.copyFile(at("Maps/B.unr"), at("Cache/B.unr"));
    calls.failNth("fsync", 1, EIO);  // whichever of the two is flushed first
    std::string failed;
    try {
        files.syncDeferredWrites();
    } catch (const FsError& e) {
        failed = e.path();
    }
    // The failure names the copy whose flush failed, and the other copy was flushed all the
    // same.
    const std::string a = at("Cache/A.unr"), b = at("Cache/B.unr");
    ASSERT_TRUE(failed == a || failed == b) << failed;
    EXPECT_LT(calls.firstOf("fsync " + failed), 0);
    EXPECT_GE(calls.firstOf("fsync " + (failed == a ? b : a)), 0);
}

TEST(FlushTogetherTest, EachItemIsFlushedOnceAndTheFirstFailureInOrderIsReported) {
    constexpr size_t kItems = 500;
    std::vector<std::atomic<int>> calls(kItems);
    const auto failure = flushTogether(kItems, [&](size_t i) {
        ++calls[i];
        return i == 7 || i == 3 || i == 400 ? EIO + static_cast<int>(i) : 0;
    });
    for (size_t i = 0; i < kItems; ++i) EXPECT_EQ(calls[i].load(), 1) << i;
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->index, 3u);
    EXPECT_EQ(failure->error, EIO + 3);
    EXPECT_FALSE(flushTogether(0, [](size_t) { return EIO; }).has_value());
}

TEST_F(PosixSeamTest, AMoveAcrossFileSystemsFlushesItsCopyBeforeDeletingTheSource) {
    put(disk("System/Foo.utx"), "texture");
    fs::create_directories(disk("Textures"));
    calls.failNth("rename", 1, EXDEV);  // the first rename: the move itself
    files.moveFile(at("System/Foo.utx"), at("Textures/Foo.utx"));
    EXPECT_EQ(contentsOf(disk("Textures/Foo.utx")), "texture");
    EXPECT_FALSE(fs::exists(disk("System/Foo.utx")));
    const int flushed = calls.firstOf("fsync " + at("Textures/Foo.utx~"));
    const int deleted = calls.firstOf("unlink " + at("System/Foo.utx"));
    ASSERT_GE(flushed, 0);
    EXPECT_LT(flushed, deleted);
}

TEST_F(PosixSeamTest, AFolderThatCannotBeReadToItsEndIsAFailureNotAnEmptyFolder) {
    put(disk("Textures/Foo.utx"));
    for (const bool exists : {false, true}) {
        // Every folder of the path is listed once; the last read of the last listing, that
        // of Textures, fails.
        ScriptedCalls counting;
        PosixFileSystem(counting).listFiles(at("Textures/"), "utx");
        ScriptedCalls failing;
        failing.failNth("readdir", counting.readdirs() - 1, EIO);
        PosixFileSystem layer(failing);
        if (exists) {
            EXPECT_THROW(layer.fileExists(at("Textures/Foo.utx")), FsError);
        } else {
            EXPECT_THROW(layer.listFiles(at("Textures/"), "utx"), FsError);
        }
    }
}

TEST_F(PosixSeamTest, ARefusalIsReportedEvenToRoot) {
    put(disk("System/User.ini"), "old");
    calls.failNth("open", 0, EACCES);
    EXPECT_THROW(files.writeFile(at("System/User.ini"), "new"), FsError);
    EXPECT_THROW(files.readFile(at("System/User.ini")), FsError);
    EXPECT_EQ(contentsOf(disk("System/User.ini")), "old");
}

// A folder that may not be written holds no other run's lock: it is reported at once as
// write-protected, not waited on and called in use.
TEST_F(PosixSeamTest, ALockInAFolderThatMayNotBeWrittenIsRefusedAsWriteProtected) {
    put(disk("UT/System/UnrealTournament.ini"), "[x]");
    for (const int err : {EACCES, EROFS}) {
        calls.failNth("open", 0, err);
        try {
            files.lockInstallation(at("UT/"), std::chrono::milliseconds(60000));
            ADD_FAILURE() << "locked";
        } catch (const FsError& e) {
            EXPECT_TRUE(e.writeProtected()) << e.what();
            EXPECT_EQ(std::string(e.what()),
                      "could not lock " + at("UT/") + ": it is write-protected");
        }
    }
}

// Copied package files reach the disk before the description file that marks their
// extension present: a power cut cannot leave a .int beside an empty package.
TEST(DurableExchangeTest, PackagesAreFlushedBeforeTheirDescriptionIsCopied) {
    TempFolder tmp;
    ScriptedCalls calls;
    PosixFileSystem disk(calls);
    Log log;
    RunContext ctx(disk, log);
    Installation S(tmp.path(), "S"), T(tmp.path(), "T");
    S.add("system/Sk.int", skinInt());
    S.add("textures/Sk.utx", "skin");
    ctx.OrdnerListe = {S.folder(), T.folder()};
    ServerPackageList utini(readIniText(disk, T.ini().string()));
    ExchangeExtensions(ctx, 1, utini);
    const int packageFlushed = calls.firstOf("fsync " + T.folder() + "TEXTURES/Sk.utx");
    const int iniWritten = calls.firstOf("rename " + T.folder() + "System/UnrealTournament.ini~");
    const int descriptionMade = calls.firstOf("create " + T.folder() + "System/Sk.int~");
    // The folder too, so that the package's name survives with its bytes.
    const int folderFlushed = calls.indexOf("fsync " + T.folder() + "TEXTURES/");
    ASSERT_GE(packageFlushed, 0);
    ASSERT_GE(folderFlushed, 0);
    ASSERT_GE(iniWritten, 0);
    ASSERT_GE(descriptionMade, 0);
    EXPECT_LT(packageFlushed, descriptionMade);
    EXPECT_LT(folderFlushed, descriptionMade);
    EXPECT_LT(iniWritten, descriptionMade);
}

}  // namespace
}  // namespace zendrik::testing
