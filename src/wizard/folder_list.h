// The folder page's data: the located programs of the game (vorlOrdnerListe) with their
// selection, and the work list of installation folders (OrdnerListe) that "Next ->" builds
// from the selected ones. Locating a program tests at once that its installation can be
// written to.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zendrik {

class FileSystem;

// The installation folder (ending in kSeparator) of the program at `exe`, an absolute path
// in the file layer's form: the parent of the folder that holds it (System or System64, or a
// folder of any other name alike). None for a relative path (no pick of the file dialog) or
// when the holding folder has no parent.
std::optional<std::string> installationFolderOf(const std::string& exe);

// One file type of the "Open" dialog: its description and the file names it shows, each in
// any letter case. A view writes them in its toolkit's form.
struct OpenFilter {
    std::string description;
    std::vector<std::string> names;
};

// The "Open" dialog's file types, in order: "Search for UnrealTournament.exe" alone first,
// as the dialog has always offered it and so opens with it, then every program of the game.
const std::vector<OpenFilter>& openFilters();

// One entry of vorlOrdnerListe.
struct LocatedExecutable {
    std::string path;  // as it was located
    bool selected = false;
};

// What "Open" did with the path the file dialog returned.
struct LocateResult {
    // The path is now the last entry of the list; `selected` tells whether it passed the
    // write test.
    bool listed = false;
    bool selected = false;
    // A text to show in a message box with an empty title before the entry appears; empty
    // when there is none.
    std::string message;
};

class FolderList {
  public:
    // `fs` must outlive the list; the write test goes through it on the calling thread, so
    // no pass may be running.
    explicit FolderList(FileSystem& fs) : fs_(fs) {}

    // "Open": `exe` is the path the dialog returned, in the file layer's form (kSeparator),
    // "" when the user cancelled. Nothing happens for "" or for a path already listed
    // (compared exactly, letter case included); another path of an installation already
    // listed is listed, and the work list takes that installation once. A file that is no program
    // of the game (isGameProgram: a name typed into the dialog passes its file types by) and a path
    // outside any installation folder are refused with a message naming them: a stray file
    // would name a folder that is no installation. Otherwise the program is opened for
    // appending and closed at once, as the disk is now (the file layer's cache is dropped
    // first) and with the path taken exactly as spelled, and the path is listed: selected
    // when that succeeded, unselected with the message "disable write protection on " and
    // the installation folder when it failed.
    LocateResult locate(const std::string& exe);

    const std::vector<LocatedExecutable>& located() const { return located_; }
    // The number of located programs, selected or not: what the repair page's button rule
    // counts.
    size_t locatedCount() const { return located_.size(); }
    // Selects or unselects entry `index`; throws std::out_of_range past the last entry.
    void setSelected(size_t index, bool selected);

    // The installation folders of the selected entries, in list order, each installation
    // once: a folder that is one folder with an earlier one (FileSystem::sameFolder: through
    // a link, or on Windows in another letter case) is left out, so that nothing is repaired
    // or undone twice. On Linux "UT" and "ut" are two folders and stay two.
    std::vector<std::string> selectedInstallations();
    // Makes the work list selectedInstallations(), in list order: afresh at each "Next ->",
    // since the page can be left and shown again (through the repair page's "<- Back"), and
    // the work list must be what the list shows now, not what it showed before.
    void erstelleverzeichnisarray();
    // OrdnerListe: the installation folders of the run, each ending in kSeparator.
    const std::vector<std::string>& workList() const { return workList_; }

  private:
    FileSystem& fs_;
    std::vector<LocatedExecutable> located_;
    std::vector<std::string> workList_;
};

}  // namespace zendrik
