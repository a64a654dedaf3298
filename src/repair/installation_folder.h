// Turns the path of one of the game's programs, as the user gave it, into the folder of its
// installation: the command line and the wizard both take this one rule.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace zendrik {

// The game's programs by which an installation is located, as the game ships them:
// UnrealTournament.exe in System (Windows; in System64 for a 64-bit Windows build), and on
// Linux the 32-bit ut-bin and ucc-bin in System, the 64-bit ut-bin-amd64 and ucc-bin-amd64
// of the 469 patch in System64.
inline constexpr std::array<std::string_view, 5> kGamePrograms = {
    "UnrealTournament.exe", "ut-bin", "ucc-bin", "ut-bin-amd64", "ucc-bin-amd64"};

// Whether the file name `name` (no folder) is one of kGamePrograms, letter case ignored, as
// every name the game uses is matched: the path around it is the user's, taken exactly.
bool isGameProgram(std::string_view name);

// The installation folder (ending in kSeparator) of the program at `exe`: the parent of the
// folder that holds it, which is System or System64. A program in a folder of any other name
// names that folder's parent all the same, as UnrealTournament.exe always has, so that no
// installation located so far stops being found. The name itself is not looked at here.
// A path given relative stays relative, unless it climbs with ".." or names no folder, in
// which case it is made absolute against the working folder first, so that its parent can be
// named. None when the holding folder has no parent. On Windows a root in the \\?\ form or of
// a network share (\\server\share\) is kept as it is spelled.
std::optional<std::string> installationFolderOfExecutable(const std::string& exe);

}  // namespace zendrik
