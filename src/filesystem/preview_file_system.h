// A FileSystem that shows what a run would do without doing it: it reads through another
// layer and keeps every write of the run in memory (an overlay per real folder), so that
// every listing, existence test, read and check afterwards answers as the disk would after
// the real run. Nothing is moved, copied, deleted, written or locked on the disk; only the
// files declared with writeThrough() are written, by the layer below.
//
// Which file a name reaches is settled as the layer below settles it: folders are told apart
// by sameFolder (links and twin spellings reach one record), names below them by their folded
// form, and a file written over an existing one takes that file's place and name. Refusals
// (a name with case twins, a write-protected file, a missing source, a folder where the file
// would go) are the same refusals, with the same messages, as the layer below gives. Such a
// folder is found as folderInTheWay finds it, in any letter case and through a link; there
// a POSIX disk differs: its rename puts the file beside a folder whose name differs in case,
// and replaces a link to a folder. The steps never go that far: they ask first.
//
// spelledOnDisk answers as the disk spells the path: a file the preview made keeps the name it
// was given. forgetCache leaves the overlay, which is the run's: only the layer below forgets.
//
// Held in memory: per changed name one small record; a copied or moved file names the real
// file whose bytes it has; only files written whole (ini texts, a saved log that is not
// written through) keep their bytes.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "filesystem/file_system_wrapper.h"
#include "filesystem/overlay_folder.h"

namespace zendrik {

class PreviewFileSystem final : public FileSystemWrapper {
  public:
    // `real` (not owned) is read, never written, but for writeThrough() paths.
    explicit PreviewFileSystem(FileSystem& real) : FileSystemWrapper(real) {}

    // Lets openForReplacing of exactly `path` reach the layer below: the saved log of a
    // preview is the one file it writes.
    void writeThrough(const std::string& path) { writeThrough_.insert(path); }

    std::vector<std::string> listFiles(const std::string& folder,
                                       std::string_view extension) override;
    bool fileExists(const std::string& path) override;
    bool ambiguous(const std::string& path) override;
    bool writeProtected(const std::string& path) override;
    bool sameFile(const std::string& a, const std::string& b) override;
    // A file the preview has not touched has its stamp from the layer below, a renamed one
    // the stamp of the real file; a copy has its source's size and time and a file number
    // of the preview's own, on no real device, as a file written from memory has, with the
    // time it was written. setModeAndTime changes the time of any of them.
    std::optional<FileStamp> stampOf(const std::string& path) override;
    // A preview takes no lock: it changes nothing that another run could see.
    std::unique_ptr<InstallationLock> lockInstallation(const std::string& folder,
                                                       std::chrono::milliseconds wait) override;
    std::unique_ptr<SequentialReader> openForReading(const std::string& path) override;
    void writeFile(const std::string& path, std::string_view contents,
                   Sync sync = Sync::Now) override;
    std::unique_ptr<SequentialWriter> openForReplacing(const std::string& path) override;
    void syncDeferredWrites() override {}
    Transfer copyFile(const std::string& from, const std::string& to) override;
    Transfer moveFile(const std::string& from, const std::string& to) override;
    void removeFile(const std::string& path) override;
    // Keeps the time for the file's stamp; the preview keeps no permission bits.
    void setModeAndTime(const std::string& path, uint32_t mode, int64_t modified) override;
    void testAppend(const std::string& path) override;

  private:
    // The layer below, which the preview reads.
    FileSystem& real() const { return target(); }

    // A file's place: the overlay record of its folder, its name and folded name.
    struct Place {
        uint32_t folder;
        std::string path;  // as the caller spelled it
        std::string name;
        std::string folded;
    };
    // What stands at a place now.
    struct Standing {
        bool exists = false;
        const AddedFile* added = nullptr;  // a file of the preview; null for a real one
        bool changed = false;              // the preview changed this name
    };
    // One file as sameFile compares them: a real one by a path the layer below reaches it
    // by, or a file of the preview by its identity.
    struct Identity {
        std::optional<std::string> realPath;
        uint64_t preview = 0;
    };
    struct Folder {
        std::string path;  // a spelling the layer below reaches it by
        OverlayFolder overlay;
    };

    // The place of `path`; none when its folder does not exist or the name is empty. A
    // folder that cannot be looked into throws as the layer below would for `op`.
    std::optional<Place> placeOf(const std::string& path, FsOp op);
    std::optional<uint32_t> folderOf(const std::string& folder, FsOp op);
    Standing standing(const Place& place);
    // The place of an existing file to move or delete: refused as the layer below refuses.
    Place existingOnly(const std::string& path, FsOp op, const std::string& target = {});
    // The place a write, copy or move puts a file, with the name it will have there.
    Place targetOf(const std::string& path, FsOp op, const std::string& shown,
                   const std::string& target, Standing& now);
    // The real name of an existing real file at `place`, as the folder lists it.
    std::string realName(const Place& place);
    std::optional<Identity> identityOf(const Place& place);
    // True when both places hold one existing file.
    bool sameAt(const Place& a, const Place& b);
    bool protectedNow(const Place& place, const Standing& now);
    std::string originPath(const AddedFile& file) const;
    // A file of the preview with the bytes of what stands at `source` (existing).
    AddedFile bytesOf(const Place& source, const Standing& now);
    // Puts `file` at `place`, where `now` stood before.
    void record(const Place& place, AddedFile file, const Standing& now);

    std::set<std::string> writeThrough_;
    std::deque<Folder> folders_;  // by number; a deque, so that records never move
    std::unordered_map<std::string, std::optional<uint32_t>> folderNumbers_;  // by spelling
    uint64_t nextIdentity_ = 1;
};

}  // namespace zendrik
