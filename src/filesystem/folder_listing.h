// The entries of one folder as a file system that ignores letter case shows them: found by
// any spelling of their name in constant time, and put in the order of an NTFS listing
// (folded name, then real name) only when they are listed. Compact, because the folders of
// a large server hold a hundred thousand names: the names share one buffer, the index is
// one array.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "filesystem/text_hash.h"

namespace zendrik {

class FolderListing {
  public:
    // Unreachable: a link whose target cannot be reached (leads nowhere, loops, or may not
    // be looked into); Other: anything else that is no file or folder.
    enum class Kind : unsigned char { File, Folder, Unreachable, Other };

    // Records an entry that exists, or whose kind changed.
    void insert(std::string_view name, Kind kind);
    // Records that an entry no longer exists; nothing when it was not listed.
    void erase(std::string_view name);

    // The real name of the entry of `kind` whose folded name is `folded`: among names that
    // differ only in letter case, always the first in listing order (byte order of the real
    // names), so that every spelling reaches the same entry.
    std::optional<std::string> find(std::string_view folded, Kind kind) const;
    // Every real name of `kind` whose folded name is `folded`, in byte order.
    std::vector<std::string> findAll(std::string_view folded, Kind kind) const;
    // Whether an entry of `kind` is named exactly `name`.
    bool contains(std::string_view name, Kind kind) const;
    // The files that the mask "*.<extension>" matches, `foldedExtension` being the folded
    // extension, in listing order. Hidden files (a name that begins with ".") never match.
    std::vector<std::string> files(std::string_view foldedExtension) const;
    // The groups of names that differ only in letter case, each in listing order, the groups
    // in listing order too.
    std::vector<std::vector<std::string>> caseTwins() const;

  private:
    static constexpr uint32_t kNone = UINT32_MAX;
    struct Entry {
        uint32_t at;  // the folded name starts at names_[at], the real name follows it
        uint32_t foldedSize;
        uint32_t nameSize;
        uint32_t nextTwin;  // the next entry of the same folded name, or kNone
        Kind kind;
        bool removed;
    };

    std::string_view folded(const Entry& e) const { return {names_.data() + e.at, e.foldedSize}; }
    std::string_view name(const Entry& e) const {
        return {names_.data() + e.at + e.foldedSize, e.nameSize};
    }
    // The first entry of the folded name, or kNone.
    uint32_t head(std::string_view folded, uint32_t hash) const;
    // The entry named exactly `name` in the chain of twins that starts at `first`, or kNone.
    uint32_t named(uint32_t first, std::string_view name) const;
    void addToIndex(uint32_t entry, uint32_t hash);
    // Sorts entry numbers into listing order.
    void sortByListingOrder(std::vector<uint32_t>& entries) const;

    std::string names_;           // every entry's folded and real name, back to back
    std::vector<Entry> entries_;  // in the order recorded; removed ones stay, marked
    // Open addressing, a power of two in size: hash << 32 | (entry + 1) of the first entry of
    // each folded name, 0 when free.
    std::vector<uint64_t> index_;
    size_t indexed_ = 0;               // folded names in index_
    std::vector<uint32_t> twinHeads_;  // first entries of folded names with more than one
    // Entry numbers by the folded text after the last dot of their names, looked up by views
    // of names_.
    std::unordered_map<std::string, std::vector<uint32_t>, TextHash, std::equal_to<>> byExtension_;
};

}  // namespace zendrik
