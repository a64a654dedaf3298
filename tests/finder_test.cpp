// The finder on a fake home: Steam's libraries, a Wine prefix's registry and drive C, a
// Lutris game, broken and foreign places, and one installation reached twice.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "finder/installation_finder.h"
#include "finder/steam_libraries.h"
#include "finder/wine_registry.h"
#include "installation_builder.h"

namespace zendrik::testing {
namespace {

namespace fs = std::filesystem;

// An installation at `folder` whose System (spelled `system`) holds `program`.
void game(const fs::path& folder, const std::string& program = "UnrealTournament.exe",
          const std::string& system = "System") {
    put(folder / system / program, "program");
    put(folder / "System" / "UnrealTournament.ini", "[Engine.GameEngine]\n");
}

std::string folderOf(const fs::path& path) {
    return fs::canonical(path).string() + "/";
}

TEST(SteamLibrariesTest, ReadsEveryLibraryOfBothFormsAndStopsAtAFault) {
    EXPECT_EQ(
        steamLibraryFolders("\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"C:\\\\Program "
                            "Files (x86)\\\\Steam\"\n\t\t\"apps\"\n\t\t{\n\t\t\t\"13240\"\t\t\"1\""
                            "\n\t\t}\n\t}\n\t\"1\"\n\t{\n\t\t\"label\"\t\"x\"\n\t\t\"path\"\t\t\"/"
                            "mnt/games/Steam\"\n\t}\n}\n"),
        (std::vector<std::string>{"C:\\Program Files (x86)\\Steam", "/mnt/games/Steam"}));
    // The older form: the libraries as values of numbered keys; "TimeNextStatsReport" is not.
    EXPECT_EQ(steamLibraryFolders("\"LibraryFolders\" { \"TimeNextStatsReport\" \"1\" "
                                  "\"1\" \"D:\\\\SteamLibrary\" }"),
              (std::vector<std::string>{"D:\\SteamLibrary"}));
    EXPECT_EQ(
        steamLibraryFolders("\"libraryfolders\" { \"0\" { \"path\" \"/a\" } \"1\" { \"path\" \"/b"),
        (std::vector<std::string>{"/a"}));
}

TEST(WineRegistryTest, FindsValuesInBothViewsAndSubKeysInAnyLetterCase) {
    WineRegistry registry(
        "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n"
        "[Software\\\\Wow6432Node\\\\Unreal Technology\\\\Installed Apps\\\\UnrealTournament] "
        "1700000000\n#time=1d9\n\"Folder\"=\"C:\\\\UnrealTournament\"\n\"Version\"=dword:"
        "000001d5\n\n"
        "[Software\\\\GOG.com\\\\Games\\\\1207658691] "
        "1700000000\n\"path\"=str(2):\"D:\\\\GOG\\\\UT\"\n",
        "WINE REGISTRY Version 2\n[Software\\\\Valve\\\\Steam] 1700000000\r\n"
        "\"SteamPath\"=\"c:/program files (x86)/steam\"\r\n");
    EXPECT_EQ(
        registry.value(Hive::LocalMachine,
                       "SOFTWARE\\Unreal Technology\\Installed Apps\\UnrealTournament", "folder"),
        "C:\\UnrealTournament");
    EXPECT_EQ(registry.value(Hive::LocalMachine, "SOFTWARE\\GOG.com\\Games\\1207658691", "path"),
              "D:\\GOG\\UT");
    EXPECT_EQ(registry.subkeys(Hive::LocalMachine, "SOFTWARE\\GOG.com\\Games").size(), 1u);
    EXPECT_EQ(registry.value(Hive::CurrentUser, "Software\\Valve\\Steam", "SteamPath"),
              "c:/program files (x86)/steam");
    EXPECT_FALSE(registry.value(Hive::CurrentUser,
                                "SOFTWARE\\Unreal Technology\\Installed Apps\\UnrealTournament",
                                "Folder"));
    EXPECT_EQ(pathInPrefix("/p/", "D:\\GOG\\UT"), "/p/dosdevices/d:/GOG/UT");
    EXPECT_FALSE(pathInPrefix("/p/", "\\\\server\\share"));
}

TEST(InstallationFinderTest, FindsEachPlaceOnceAndPassesOverWhatItCannotRead) {
    TempFolder tmp;
    const fs::path home = tmp.path() / "home";
    // Steam, with a second library; a Proton game beside it that is another game.
    const fs::path steam = home / ".local" / "share" / "Steam";
    const fs::path library = tmp.path() / "ssd" / "SteamLibrary";
    put(steam / "steamapps" / "libraryfolders.vdf",
        "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"" + steam.string() +
            "\"\n\t}\n\t\"1\"\n\t{\n\t\t\"path\"\t\t\"" + library.string() +
            "\"\n\t}\n\t\"2\"\n\t{\n\t\t"
            "\"path\"\t\t\"" +
            (tmp.path() / "gone").string() + "\"\n\t}\n}\n");
    game(library / "steamapps" / "common" / "Unreal Tournament");
    put(library / "steamapps" / "common" / "Other Game" / "System" / "Other.exe");
    fs::create_directories(home / ".steam");
    fs::create_directory_symlink(steam, home / ".steam" / "steam");  // the same Steam again
    // A Wine prefix: the game's key names its folder in other letter case; GOG's names a
    // second drive; a damaged key names nothing that is there; a game in GOG's default folder.
    const fs::path prefix = home / ".wine";
    game(prefix / "drive_c" / "Games" / "UnrealTournament", "UnrealTournament.exe", "SYSTEM");
    game(prefix / "drive_c" / "GOG Games" / "Unreal Tournament GOTY");
    game(tmp.path() / "d-drive" / "GOG" / "UT");
    fs::create_directories(prefix / "dosdevices");
    fs::create_directory_symlink(tmp.path() / "d-drive", prefix / "dosdevices" / "d:");
    put(prefix / "system.reg",
        "WINE REGISTRY Version 2\n"
        "[Software\\\\Wow6432Node\\\\Unreal Technology\\\\Installed Apps\\\\UnrealTournament] 1\n"
        "\"Folder\"=\"C:\\\\GAMES\\\\UNREALTOURNAMENT\"\n"
        "[Software\\\\Wow6432Node\\\\GOG.com\\\\Games\\\\1] 1\n\"path\"=\"D:\\\\GOG\\\\UT\"\n"
        "[Software\\\\GOG.com\\\\Games\\\\2] 1\n\"path\"=\"C:\\\\nowhere\n");
    // A Lutris game run natively, by its 64-bit program.
    const fs::path native = tmp.path() / "games" / "ut-linux";
    game(native, "ut-bin-amd64", "System64");
    put(home / ".config" / "lutris" / "games" / "unreal-tournament-1700000000.yml",
        "game:\n  exe: " + (native / "System64" / "ut-bin-amd64").string() + "\n  working_dir: '" +
            (native / "System64").string() + "'\nsystem: {}\n");
    put(home / ".config" / "lutris" / "games" / "broken.yml", "game: [\n  exe: /no/such/exe\n");
    // A fixed folder that holds only an ini (Loki's ~/.loki/ut) is no installation.
    put(home / ".loki" / "ut" / "System" / "UnrealTournament.ini", "[x]\n");

    FinderPlaces places;
    places.home = home.string();
    places.fixed = {(home / ".loki" / "ut").string(), native.string()};
    const auto found = findInstallations(places, std::chrono::seconds(20));
    EXPECT_EQ(found, (std::vector<std::string>{
                         folderOf(library / "steamapps" / "common" / "Unreal Tournament"),
                         folderOf(prefix / "drive_c" / "Games" / "UnrealTournament"),
                         folderOf(tmp.path() / "d-drive" / "GOG" / "UT"),
                         folderOf(prefix / "drive_c" / "GOG Games" / "Unreal Tournament GOTY"),
                         folderOf(native)}));
}

}  // namespace
}  // namespace zendrik::testing
