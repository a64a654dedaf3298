// The FileSystem of Windows. The file system matches letter case by itself; this layer adds
// the NTFS listing order for every file system (so that logs are the same as on Linux), a
// listing cache kept in step with its own writes, safe replacing writes, and UTF-8 names
// on top of the wide-character API, so names outside the ANSI code page work.
#pragma once

#include <map>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>

#include "filesystem/file_system.h"

namespace zendrik {

// `path` in the form that the wide-character API takes at any length: a path whose absolute
// form (made by GetFullPathNameW: the working folder, "/", "." and "..") has MAX_PATH - 12
// characters or more becomes \\?\C:\... or \\?\UNC\server\share\...; any other path,
// and one in the \\?\ or \\.\ form already, stays as it is.
std::wstring longPathForm(const std::wstring& path);

class WindowsFileSystem final : public FileSystem {
  public:
    // Nothing to declare: the file system itself matches names without regard to case, and
    // takes a path the user gave as the user gave it.
    void nameExactly(const std::string& path) override;
    std::vector<std::string> listFiles(const std::string& folder,
                                       std::string_view extension) override;
    bool fileExists(const std::string& path) override;
    bool folderExists(const std::string& path) override;
    // False: a folder never holds two names that differ only in letter case.
    bool ambiguous(const std::string& path) override;
    bool sameFile(const std::string& a, const std::string& b) override;
    // The file's name and the name of the folder that holds it as the disk spells them.
    std::string spelledOnDisk(const std::string& path) override;
    bool sameFolder(const std::string& a, const std::string& b) override;
    std::optional<FileStamp> stampOf(const std::string& path) override;
    bool writeProtected(const std::string& path) override;
    // Compares the final paths of both folders, junctions and links followed.
    bool belongsTo(const std::string& folder, const std::string& installation) override;
    std::unique_ptr<SequentialReader> openForReading(const std::string& path) override;
    void writeFile(const std::string& path, std::string_view contents,
                   Sync sync = Sync::Now) override;
    void syncDeferredWrites() override;
    std::unique_ptr<SequentialWriter> openForReplacing(const std::string& path) override;
    Transfer copyFile(const std::string& from, const std::string& to) override;
    Transfer moveFile(const std::string& from, const std::string& to) override;
    void removeFile(const std::string& path) override;
    // Sets the time only: Windows keeps no permission bits (a stamp's mode is 0 there).
    void setModeAndTime(const std::string& path, uint32_t mode, int64_t modified) override;
    void testAppend(const std::string& path) override;
    std::unique_ptr<InstallationLock> lockInstallation(const std::string& folder,
                                                       std::chrono::milliseconds wait) override;
    void forgetCache() override { listings_.clear(); }
    // None: the file system itself ignores case.
    std::vector<std::vector<std::string>> caseTwins(const std::string& folder) override;

  private:
    // The plain files of one folder, keyed by (folded name, name): map order is listing order.
    // The value tells whether a listing mask may match the file (not hidden or system).
    using Listing = std::map<std::pair<std::string, std::string>, bool>;

    const Listing& listing(const std::string& folder);
    // The on-disk name of the plain file at `path`, from its folder's listing; none if absent.
    const std::string* findFile(const std::string& path);
    // The path of the file that a write to `path` replaces: its on-disk name when a file of
    // that name exists in other letter case, else `path` itself.
    std::string targetOf(const std::string& path);
    void noteWritten(const std::string& path);
    void noteRemoved(const std::string& path);

    std::unordered_map<std::string, Listing> listings_;  // by folded folder path
    std::set<std::string> unsynced_;                     // paths written with Sync::Deferred
};

}  // namespace zendrik
