// Steam's library folders, from the file steamapps/libraryfolders.vdf of its installation
// folder, in Valve's KeyValues text form:
//
//     "libraryfolders"
//     {
//         "0"
//         {
//             "path"      "C:\\Program Files (x86)\\Steam"
//             "apps"      { "13240" "123" }
//         }
//     }
//
// Strings are quoted, with "\\" and "\"" escaped; blocks are braced. Older files have the
// path itself as the value of "1", "2", ... instead of a block.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zendrik {

// The library folders that the file's text names, in its order; a text that does not read
// gives the ones read before the fault.
std::vector<std::string> steamLibraryFolders(std::string_view vdf);

}  // namespace zendrik
