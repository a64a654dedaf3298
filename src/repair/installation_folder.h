// Turns the path of an UnrealTournament.exe, as the user gave it, into the folder of its
// installation: the command line and the wizard both take this one rule.
#pragma once

#include <optional>
#include <string>

namespace zendrik {

// The installation folder (ending in kSeparator) of the executable at `exe`: the parent of
// the folder that holds it. A path given relative stays relative, unless it climbs with ".."
// or names no folder, in which case it is made absolute against the working folder first,
// so that its parent can be named. None when the holding folder has no parent. On Windows a
// root in the \\?\ form or of a network share (\\server\share\) is kept as it is spelled.
std::optional<std::string> installationFolderOfExecutable(const std::string& exe);

}  // namespace zendrik
