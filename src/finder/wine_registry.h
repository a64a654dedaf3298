// A Wine prefix's registry, read from its text files: system.reg (HKEY_LOCAL_MACHINE) and
// user.reg (HKEY_CURRENT_USER). Each file begins "WINE REGISTRY Version 2"; a key is a line
//
//     [Software\\Unreal Technology\\Installed Apps\\UnrealTournament] 1700000000
//
// (backslashes doubled, a time after it), followed by its values, one a line:
//
//     "Folder"="C:\\UnrealTournament"
//     @="default value"
//     "Path"=str(2):"C:\\Games"
//
// Lines of other forms (dword:, hex:, comments beginning ";", "#time=") are passed over. A
// 32-bit program's keys in a 64-bit prefix lie under Software\\Wow6432Node, as on Windows.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "finder/registry.h"

namespace zendrik {

class WineRegistry final : public Registry {
  public:
    // The registry of the files' texts; either may be empty (no such file).
    WineRegistry(std::string_view systemReg, std::string_view userReg);

    std::optional<std::string> value(Hive hive, const std::string& key,
                                     const std::string& name) override;
    std::vector<std::string> subkeys(Hive hive, const std::string& key) override;

  private:
    // Values by folded key path, then by folded value name ("" for the default value).
    using Keys = std::map<std::string, std::map<std::string, std::string>>;
    Keys machine_, user_;
};

// "C:\UnrealTournament" in the prefix at `prefix` (a path ending in "/"): drive C in
// drive_c, other drives through dosdevices/<letter>:. None for a path of no drive.
std::optional<std::string> pathInPrefix(const std::string& prefix, const std::string& windowsPath);

}  // namespace zendrik
