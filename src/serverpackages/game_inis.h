// The ini files of an installation that the game reads, each taking the server package
// entries that a step adds:
//
// - System/UnrealTournament.ini, the 32-bit game's, as the log has always named it ("UT.ini");
// - System64/UnrealTournament.ini, where the 64-bit build of the 469 patch is installed: a
//   64-bit game reads its own ini, not System's;
// - the ini files a server is started with (ucc-bin server ... ini=Server1.ini), named by
//   the user.
//
// An installation whose only ini is System64's is served with that one; no ini is made where
// none was.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "filesystem/file_system.h"
#include "serverpackages/server_package_list.h"

namespace zendrik {

struct GameIni {
    std::string path;   // as it is written and named in the lines that report on the file
    std::string label;  // how the step's own lines name it: "UT.ini" for System's
    ServerPackageList entries;
    bool locked = false;  // write-protected by its owner, found so by a step: left as it is
};

// Reads the ini files of the installation `Ordner`: System's when it exists, System64's when
// it exists, then each of `extra` (paths below `Ordner`) that is not one of those. When
// neither System's nor System64's exists, reading System's fails as it always did. Throws
// FsError.
std::vector<GameIni> readGameInis(FileSystem& fs, const std::string& Ordner,
                                  const std::vector<std::string>& extra);

// Runs `step` with `utini` as the only ini of the installation `Ordner` (System's, "UT.ini"),
// and gives the entries back to `utini` after, also when `step` throws.
void withUTiniAlone(const std::string& Ordner, ServerPackageList& utini,
                    const std::function<void(std::vector<GameIni>& inis)>& step);

}  // namespace zendrik
