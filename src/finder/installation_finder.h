// Finds the installations of the game on this machine, in the places that the game's
// installers and launchers use, so that the user need not search for them:
//
// - Windows: the game's own registry key (HKLM\SOFTWARE\Unreal Technology\Installed
//   Apps\UnrealTournament, value Folder, in both registry views); Steam's library folders
//   (HKCU\Software\Valve\Steam, value SteamPath, then steamapps\libraryfolders.vdf), each
//   library's steamapps\common; GOG's entries (HKLM\SOFTWARE\GOG.com\Games\*, value path);
//   and the installers' default folders: C:\UnrealTournament, the folders in C:\GOG Games
//   and in GOG Galaxy's Games folder, Steam's default library.
// - Linux: Steam's library folders (~/.steam/steam, ~/.steam/root, ~/.local/share/Steam and
//   the Flatpak's; games run through Proton lie there too); Wine prefixes ($WINEPREFIX,
//   ~/.wine, each Lutris game's prefix), in each the places named above for Windows, read
//   from the prefix's registry files and drive_c; Lutris' games (~/.config/lutris/games/
//   *.yml: exe, prefix, working_dir); and the folders native installers use (Loki's
//   /usr/local/games/ut, /opt/ut, ~/ut and their UnrealTournament spellings).
//
// A place counts only when it holds a System or System64 folder with one of the game's
// programs (kGamePrograms). Every place is looked at by name, or by listing one folder (a
// library's steamapps/common, GOG's folders, Lutris' games): no disk is ever walked. A place
// that cannot be read is passed over. One folder reached twice, through a link or in another
// letter case, is found once.
#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "finder/registry.h"

namespace zendrik {

// Where a search looks: this machine's places by default, a test's own otherwise.
struct FinderPlaces {
    std::string home;                       // the user's home folder; "" for none
    std::string xdgConfigHome;              // "" for ~/.config
    std::string xdgDataHome;                // "" for ~/.local/share
    std::string winePrefix;                 // $WINEPREFIX; "" for none
    std::shared_ptr<Registry> registry;     // the system's (Windows); none elsewhere
    std::vector<std::string> fixed;         // native installers' folders
    std::vector<std::string> systemDrives;  // Windows: the drives whose defaults count ("C:")
};

// The places of this machine and its user, from the environment.
FinderPlaces placesOfThisMachine();

// The installation folders found (each ending in the separator, links resolved), in the
// order above. Waits at most `patience` for places that do not answer (a network drive that
// hangs) and returns what was found by then; never throws.
std::vector<std::string> findInstallations(const FinderPlaces& places,
                                           std::chrono::milliseconds patience);

}  // namespace zendrik
