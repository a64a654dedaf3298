// The FileSystem of POSIX systems, where the file system itself tells letter cases apart:
// names are matched the way Windows matches them, and folder listings are cached for the
// run and kept in step with this object's own writes.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>

#include "filesystem/file_system.h"

namespace zendrik {

class PosixFileSystem final : public FileSystem {
  public:
    std::vector<std::string> listFiles(const std::string& folder,
                                       std::string_view extension) override;
    bool fileExists(const std::string& path) override;
    bool folderExists(const std::string& path) override;
    std::unique_ptr<SequentialReader> openForReading(const std::string& path) override;
    void writeFile(const std::string& path, std::string_view contents,
                   Sync sync = Sync::Now) override;
    void syncDeferredWrites() override;
    std::unique_ptr<SequentialWriter> openForReplacing(const std::string& path) override;
    void copyFile(const std::string& from, const std::string& to) override;
    void moveFile(const std::string& from, const std::string& to) override;
    void removeFile(const std::string& path) override;
    void testAppend(const std::string& path) override;
    void forgetCache() override;
    std::vector<std::vector<std::string>> caseTwins(const std::string& folder) override;

  private:
    enum class Kind : unsigned char { File, Folder, Other };
    // One folder's entries keyed by (folded name, name): map order is listing order, and the
    // names that differ only in case stand together.
    using Listing = std::map<std::pair<std::string, std::string>, Kind>;
    // A file as it is on disk: its folder's real path (ending in "/") and its real name.
    struct Located {
        std::string folder;
        std::string name;
        std::string path() const { return folder + name; }
    };

    const Listing& listing(const std::string& realFolder, FsOp op, const std::string& shown);
    // The listing of a folder, or none when the folder may not be read.
    const Listing* readableListing(const std::string& realFolder, FsOp op,
                                   const std::string& shown);
    std::optional<std::string> resolveFolder(const std::string& logical, FsOp op);
    std::optional<Located> findFile(const std::string& logical, FsOp op);
    Located locateFile(const std::string& logical, FsOp op);
    Located locateTarget(const std::string& logical, FsOp op, const std::string& shown);
    void noteWritten(const Located& file);
    void noteRemoved(const Located& file);

    std::unordered_map<std::string, Listing> listings_;     // by real folder path
    std::unordered_map<std::string, std::string> folders_;  // logical folder -> real, "" if none
    std::set<std::string> unsynced_;  // real paths written with Sync::Deferred
};

}  // namespace zendrik
