// Test helpers: throw-away folders on disk that hold game installations built file by file.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "filesystem/names.h"
#include "log/log.h"

namespace zendrik::testing {

// A path written with "/" in the engine's own form: each "/" replaced by kSeparator.
std::string operator""_p(const char* text, size_t size);

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The folder's path as the engine takes it: ending in the separator.
    std::string folder() const { return path_.string() + kSeparator; }

  private:
    std::filesystem::path path_;
};

// The path named by UTF-8 `text`, on every platform (Windows reads a plain string in its
// ANSI code page).
std::filesystem::path utf8Path(const std::string& text);

// Writes `contents` to `path`, creating the folders above it.
void put(const std::filesystem::path& path, std::string_view contents = "");
std::string contentsOf(const std::filesystem::path& path);
bool isFile(const std::filesystem::path& path);
// Names of the entries of a folder, sorted by byte order.
std::vector<std::string> entriesOf(const std::filesystem::path& folder);

// Every entry below `root`, by its path relative to it (generic "/" form): "folder",
// "link -> <target>", or "file " and a hash of the contents. Links are not followed.
std::map<std::string, std::string> treeOf(const std::filesystem::path& root);

// The contents of description files of each kind.
std::string voiceInt();
std::string playerClassInt();
std::string gameStyleInt();
std::string skinInt();
std::string mutatorInt();

// An UnrealTournament.ini with a few sections and `entries` as its ServerPackages lines,
// CR LF line ends.
std::string iniWith(const std::vector<std::string>& entries);

// One game installation in a folder of its own.
class Installation {
  public:
    // Creates `name` below `parent` with the sub-folders spelled as a player's unpacking
    // might leave them: "System", "TEXTURES", "sounds", "Maps", and an ini file.
    Installation(const std::filesystem::path& parent, const std::string& name,
                 const std::string& ini = iniWith({"SoldierSkins", "CommandoSkins"}));

    const std::filesystem::path& root() const { return root_; }
    // The installation folder as the work list holds it: ending in the separator.
    std::string folder() const { return root_.string() + kSeparator; }
    // `relative` with the on-disk spelling of the game's folders ("system/x" is
    // "System/x", "textures/x" is "TEXTURES/x").
    std::filesystem::path at(const std::string& relative) const;
    void add(const std::string& relative, std::string_view contents = "package");
    std::filesystem::path ini() const { return root_ / "System" / "UnrealTournament.ini"; }

  private:
    std::filesystem::path root_;
};

}  // namespace zendrik::testing
