// A FileSystem that passes every call on to another one and keeps, per installation of the
// run, a journal of what the run changed there, so that an undo can take the run back:
//
// - moveFile: the move (from, to) and the moved file's stamp;
// - copyFile: the copy, the source's stamp and, once made, the copy's stamp;
// - removeFile: the deleted file's former bytes;
// - writeFile: the text's hash; the first write of a file in a run also keeps its former bytes;
// - a move or copy that replaces a file keeps that file's former bytes.
//
// What is written before what, and when it reaches the disk, is invariants 1 to 7 of
// journal_design.h; a change that cannot be recorded is not made: it throws FsError. Former
// bytes keep their permission bits and modification time. Paths outside the run's
// installations, the
// temporary files of killed runs, openForReplacing (the saved log) and setModeAndTime (only
// an undo uses it, to put back a file the journal kept) are not recorded. A run's journal of
// an installation is made when the run locks it, or at its first change.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "filesystem/file_system_wrapper.h"
#include "journal/append_file.h"
#include "journal/journal_record.h"
#include "journal/journal_store.h"

namespace zendrik {

class JournalingFileSystem final : public FileSystemWrapper {
  public:
    // `installations` are the run's folders, each ending in kSeparator.
    JournalingFileSystem(FileSystem& target, JournalStore& store,
                         std::vector<std::string> installations);
    ~JournalingFileSystem() override;

    // Makes the run's journal of every installation, so that a run killed before it reached
    // one is the last run there too: an undo of it takes nothing back there. A journal that
    // cannot be made is left for the first change there to fail on.
    void openJournals();
    // The run's id in each installation whose journal was made, by installation folder.
    std::map<std::string, std::string> runIds() const;

    // Also makes the run's journal of the installation, so that a run that changes nothing
    // there is one to undo as well: it takes nothing back.
    std::unique_ptr<InstallationLock> lockInstallation(const std::string& folder,
                                                       std::chrono::milliseconds wait) override;
    void writeFile(const std::string& path, std::string_view contents,
                   Sync sync = Sync::Now) override;
    void syncDeferredWrites() override;
    Transfer copyFile(const std::string& from, const std::string& to) override;
    Transfer moveFile(const std::string& from, const std::string& to) override;
    void removeFile(const std::string& path) override;

  private:
    struct Journal {
        std::string id;
        std::unique_ptr<AppendFile> file;
        std::unique_ptr<AppendFile> kept;
        std::set<std::string> written;  // folded relative paths written, their former bytes kept
    };
    // The journal of the installation that holds `path`, made at its first use, and the
    // path relative to that installation; none for a path outside the run's installations.
    Journal* journalOf(const std::string& path, std::string& relative);
    void append(Journal& journal, const JournalRecord& record);
    // Appends a Void record for `change`, leaving a failure to do so unsaid: the change
    // itself failed, and an undo takes an unmade change as nothing to undo.
    void voided(Journal& journal, uint64_t change);
    // Records a change and makes it: appends `record`, then calls `make`. A change that
    // throws, or that finds source and target one file, is voided; the failure passes on.
    Transfer recorded(Journal& journal, const JournalRecord& record,
                      const std::function<Transfer()>& make);
    // Appends the file at `path` to the run's kept bytes and records it as kept.
    void keep(Journal& journal, uint64_t change, const std::string& path,
              const std::string& relative);

    JournalStore& store_;
    std::vector<std::string> installations_;
    std::map<std::string, std::unique_ptr<Journal>> journals_;  // by installation folder
    uint64_t changes_ = 0;
};

}  // namespace zendrik
