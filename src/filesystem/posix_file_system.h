// The FileSystem of POSIX systems, where the file system itself tells letter cases apart:
// names are matched the way Windows matches them, and folder listings are cached for the
// run and kept in step with this object's own writes.
#pragma once

#include <sys/types.h>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>

#include "filesystem/file_system.h"
#include "filesystem/folder_listing.h"
#include "filesystem/posix_calls.h"
#include "filesystem/text_hash.h"

namespace zendrik {

class PosixFileSystem final : public FileSystem {
  public:
    // `calls` (not owned) reaches the system; tests give one that fails or records calls.
    explicit PosixFileSystem(PosixCalls& calls = systemCalls()) : sys_(calls) {}

    void nameExactly(const std::string& path) override;
    std::vector<std::string> listFiles(const std::string& folder,
                                       std::string_view extension) override;
    bool fileExists(const std::string& path) override;
    bool folderExists(const std::string& path) override;
    bool ambiguous(const std::string& path) override;
    bool sameFile(const std::string& a, const std::string& b) override;
    std::string spelledOnDisk(const std::string& path) override;
    std::optional<FileStamp> stampOf(const std::string& path) override;
    bool writeProtected(const std::string& path) override;
    bool belongsTo(const std::string& folder, const std::string& installation) override;
    bool sameFolder(const std::string& a, const std::string& b) override;
    std::unique_ptr<InstallationLock> lockInstallation(const std::string& folder,
                                                       std::chrono::milliseconds wait) override;
    std::unique_ptr<SequentialReader> openForReading(const std::string& path) override;
    void writeFile(const std::string& path, std::string_view contents,
                   Sync sync = Sync::Now) override;
    void syncDeferredWrites() override;
    std::unique_ptr<SequentialWriter> openForReplacing(const std::string& path) override;
    Transfer copyFile(const std::string& from, const std::string& to) override;
    Transfer moveFile(const std::string& from, const std::string& to) override;
    void removeFile(const std::string& path) override;
    void setModeAndTime(const std::string& path, uint32_t mode, int64_t modified) override;
    void testAppend(const std::string& path) override;
    void forgetCache() override;
    std::vector<std::vector<std::string>> caseTwins(const std::string& folder) override;

  private:
    using Kind = FolderListing::Kind;
    using Listing = FolderListing;
    // A file as it is on disk: its folder's real path (ending in "/") and its real name.
    struct Located {
        std::string folder;
        std::string name;
        bool listed = true;  // false for a target that its folder's listing does not hold
        std::string path() const { return folder + name; }
    };

    const Listing& listing(const std::string& realFolder, FsOp op, const std::string& shown);
    // The listing of a folder, or none when the folder may not be read.
    const Listing* readableListing(const std::string& realFolder, FsOp op,
                                   const std::string& shown);
    // How many leading characters of `logical` the longest declared folder covers.
    size_t exactPart(const std::string& logical) const;
    // The real folders that the logical folder path names: the first twin spelling of each
    // component, or every combination of twin spellings.
    std::vector<std::string> walkFolder(const std::string& logical, FsOp op, bool everySpelling);
    // The real folder that the logical folder path names (the first twin spelling of each
    // component), or null; valid until the caches are emptied.
    const std::string* resolveFolder(std::string_view logical, FsOp op);
    // A folder path as the user gave it, when it names a folder.
    std::optional<std::string> givenFolder(const std::string& folder, FsOp op);
    const std::vector<std::string>& folderSpellings(std::string_view logical, FsOp op);
    std::optional<Located> findFile(const std::string& logical, FsOp op);
    Located locateFile(const std::string& logical, FsOp op);
    // An existing file that is to be moved or deleted: refused when its name is ambiguous.
    Located locateOnly(const std::string& logical, FsOp op, const std::string& target = {});
    Located locateTarget(const std::string& logical, FsOp op, const std::string& shown);
    void noteWritten(const Located& file);
    void noteRemoved(const Located& file);
    // True when the two real folder paths name one folder (through a link, say).
    bool sameRealFolder(const std::string& a, const std::string& b);
    // Throws when the existing file is write-protected.
    void refuseProtected(const Located& file, FsOp op, const std::string& shown);

    PosixCalls& sys_;

    std::unordered_map<std::string, Listing> listings_;  // by real folder path
    // Logical folder -> real, "" if none; looked up by views of the paths asked about.
    std::unordered_map<std::string, std::string, TextHash, std::equal_to<>> folders_;
    // Logical folder -> every twin spelling.
    std::unordered_map<std::string, std::vector<std::string>, TextHash, std::equal_to<>> spellings_;
    std::set<std::string> exactFolders_;  // declared by nameExactly, ending in "/"
    std::set<std::string> exactFiles_;
    std::set<std::string> unsynced_;  // real paths written with Sync::Deferred
    // Device and inode of real folders, or none when stat failed.
    std::unordered_map<std::string, std::optional<std::pair<dev_t, ino_t>>> folderIds_;
};

}  // namespace zendrik
