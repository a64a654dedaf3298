// The ini text of one installation while a step adds server package entries to it: the text
// as read, the entries added since, and an index of every line's value, so that asking
// whether a package is listed does not scan the whole text, and adding an entry does not
// copy it. What the file on disk must hold is text(); write() puts it there when it differs.
#pragma once

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "filesystem/file_system.h"

namespace zendrik {

class ServerPackageList {
  public:
    // `utini` is an ini text: every line followed by CR LF.
    explicit ServerPackageList(std::string utini);

    // True when a line of the text has, after its first "=", exactly `ExtensionName`, case
    // ignored: a ServerPackages= entry, but also a commented-out one or another key's value.
    bool SearchUTiniForServerPackage(std::string_view ExtensionName) const;
    // Whether a line begins with "ServerPackages=", above which new entries go.
    bool hasInsertionPoint() const { return insertionPoint_ != std::string::npos; }
    // Puts "ServerPackages=<ExtensionName>" above the first entry (the one added last).
    // Requires hasInsertionPoint().
    void add(std::string_view ExtensionName);

    // The ini text with every entry added so far.
    std::string text() const;
    // Names added since the file last held text().
    const std::vector<std::string>& unwritten() const { return unwritten_; }
    // Writes text() to the file at `path` (its bytes on the disk before it replaces the old
    // file) when entries were added since the last write.
    void write(FileSystem& fs, const std::string& path);

  private:
    std::string original_;
    size_t insertionPoint_;
    std::vector<std::string> added_;  // in the order of adding
    std::vector<std::string> unwritten_;
    std::unordered_set<std::string> values_;  // every line's value, ASCII letters in lower case
};

}  // namespace zendrik
