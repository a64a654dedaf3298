// The ini text of one installation while a step adds server package entries to it: the text
// as read, the entries added since, and an index of every line's value, so that asking
// whether a package is listed does not scan the whole text, and adding an entry does not
// copy it. The file keeps its form: what it must hold is bytes(), its bytes as read with the
// new lines put in; write() puts them there when they differ.
#pragma once

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "filesystem/file_system.h"
#include "serverpackages/ini_text.h"

namespace zendrik {

class ServerPackageList {
  public:
    // `utini` is an ini text (every line followed by CR LF), which is then also the file's
    // bytes; or the bytes of a file, whose ini text is made of them.
    explicit ServerPackageList(std::string utini);
    // The ini file as read, written back in its own form.
    explicit ServerPackageList(IniFile ini);

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
    // The file's bytes as read with every entry added so far: each new line at the place it
    // has in text(), ending as the file's first line does (lineEndOf); every other byte, a
    // byte-order mark, a missing last line end or bytes that are not UTF-8, as it was.
    std::string bytes() const;
    // Names added since the file last held bytes().
    const std::vector<std::string>& unwritten() const { return unwritten_; }
    // Writes bytes() to the file at `path` (on the disk before they replace the old file)
    // when entries were added since the last write.
    void write(FileSystem& fs, const std::string& path);

  private:
    std::string withEntries(const std::string& base, size_t at, std::string_view lineEnd) const;

    std::string original_;  // the ini text as read
    size_t insertionPoint_;
    std::string bytes_;               // the file as read
    size_t byteInsertionPoint_;       // the same line's start in bytes_
    std::string lineEnd_;             // of new lines in bytes_
    std::vector<std::string> added_;  // in the order of adding
    std::vector<std::string> unwritten_;
    std::unordered_set<std::string> values_;  // every line's value, ASCII letters in lower case
};

}  // namespace zendrik
