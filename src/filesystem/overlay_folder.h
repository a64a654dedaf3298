// What a preview changed in one real folder, kept in memory: the files it added and the
// real files it hid (moved away, deleted or replaced). Entries are keyed by folded name:
// a run never moves, replaces or deletes a name that stands for several files, so one
// change per folded name tells all. An added file holds its contents only when the run
// wrote it (an ini, a few kilobytes); a copied or moved package names the real file whose
// bytes it has, so that no package bytes are held.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zendrik {

// A file that the preview added to a folder.
struct AddedFile {
    std::string name;  // as a listing shows it
    // The real file whose bytes these are: a folder number of the preview and a name ("" for
    // `name` itself); no folder for a file written from memory.
    std::optional<uint32_t> originFolder;
    std::string originName;
    std::shared_ptr<const std::string> contents;  // a written file's bytes
    bool moved = false;  // the real file itself, renamed: one file with it, not a copy
    bool writeProtected = false;
    uint64_t identity = 0;  // tells files of the preview apart; kept by a move
    // The modification time (ns since 1970) that the preview gave the file: when it was
    // written from memory, or as set; none for the time of the real file whose bytes it has.
    std::optional<int64_t> modified;
};

// The change to one folded name of a folder.
struct NameChange {
    bool hidesReal = false;          // the real file of this name is gone or replaced
    std::optional<AddedFile> added;  // what is there now, if anything
};

class OverlayFolder {
  public:
    // The change to `folded`, or none when the real folder's entry stands as it is.
    const NameChange* find(const std::string& folded) const;
    // Records that the file of `folded` is gone; `real` tells whether it was a real file.
    void remove(const std::string& folded, bool real);
    // Records `file` under `folded`, replacing what was there; `realExisted` tells whether a
    // real file of that name was there before any change.
    void add(const std::string& folded, AddedFile file, bool realExisted);

    // The real listing `real` of the files matching "*.<extension>" (NTFS order), with hidden
    // names left out and added files matching the mask put in their places.
    std::vector<std::string> merge(std::vector<std::string> real, std::string_view extension) const;

  private:
    std::unordered_map<std::string, NameChange> changes_;
};

}  // namespace zendrik
