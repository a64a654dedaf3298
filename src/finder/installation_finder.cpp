#include "finder/installation_finder.h"

#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <sstream>
#include <thread>

#include "filesystem/names.h"
#include "filesystem/utf8_paths.h"
#include "finder/steam_libraries.h"
#include "finder/wine_registry.h"
#include "repair/installation_folder.h"

namespace zendrik {
namespace {

namespace stdfs = std::filesystem;

// The whole of a small text file; "" when it cannot be read or is not small.
std::string textOf(const stdfs::path& path) {
    std::error_code error;
    const auto size = stdfs::file_size(path, error);
    if (error || size > (16u << 20)) return {};
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return in ? text.str() : std::string();
}

// The entries of `folder` that are folders (links followed), by name; none when it cannot be
// listed.
std::vector<stdfs::path> subFolders(const stdfs::path& folder) {
    std::vector<stdfs::path> found;
    std::error_code error;
    for (stdfs::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        std::error_code kind;
        if (it->is_directory(kind)) found.push_back(it->path());
    }
    return found;
}

// The entry of `folder` named `name` in any letter case, as the game's folders are matched.
std::optional<stdfs::path> entryNamed(const stdfs::path& folder, std::string_view name) {
    std::error_code error;
    for (stdfs::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        if (sameName(utf8Of(it->path().filename()), name)) return it->path();
    }
    return std::nullopt;
}

// True when `folder` holds a System or System64 folder with one of the game's programs.
bool holdsTheGame(const stdfs::path& folder) {
    for (const char* system : {"System", "System64"}) {
        const auto found = entryNamed(folder, system);
        std::error_code error;
        if (!found || !stdfs::is_directory(*found, error)) continue;
        for (stdfs::directory_iterator it(*found, error), end; !error && it != end;
             it.increment(error)) {
            std::error_code kind;
            if (isGameProgram(utf8Of(it->path().filename())) && !it->is_directory(kind)) {
                return true;
            }
        }
    }
    return false;
}

// The found installations, shared with the worker that looks for them.
struct Found {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    std::vector<std::string> folders;
    std::set<std::string> identities;  // links resolved (and folded on Windows)
};

class Search {
  public:
    Search(FinderPlaces places, std::shared_ptr<Found> found)
        : places_(std::move(places)), found_(std::move(found)) {}

    void run() {
        if (places_.registry) {
            windowsPlaces(*places_.registry, places_.systemDrives, [](const std::string& path) {
                return std::optional<stdfs::path>(pathOf(path));
            });
        }
        linuxPlaces();
        for (const auto& folder : places_.fixed) consider(pathOf(folder));
    }

  private:
    void consider(const stdfs::path& folder) {
        std::error_code error;
        if (folder.empty() || !holdsTheGame(folder)) return;
        const stdfs::path real = stdfs::canonical(folder, error);
        if (error) return;
        std::string identity = utf8Of(real);
#ifdef _WIN32
        identity = foldName(identity);
#endif
        std::string shown = utf8Of(real.lexically_normal());
        if (shown.empty() || shown.back() != kSeparator) shown += kSeparator;
        const std::lock_guard<std::mutex> lock(found_->mutex);
        if (found_->identities.insert(identity).second) found_->folders.push_back(shown);
    }

    // Each folder one level below `folder`.
    void considerEachIn(const stdfs::path& folder) {
        for (const auto& sub : subFolders(folder)) consider(sub);
    }

    void steamLibraries(const stdfs::path& steam) {
        considerEachIn(steam / "steamapps" / "common");
        for (const auto& library :
             steamLibraryFolders(textOf(steam / "steamapps" / "libraryfolders.vdf"))) {
            considerEachIn(pathOf(library) / "steamapps" / "common");
        }
    }

    using Local = std::function<std::optional<stdfs::path>(const std::string&)>;

    // The places of a Windows system whose installers' defaults lie on `drives`, its paths
    // made this machine's by `local`.
    void windowsPlaces(Registry& registry, const std::vector<std::string>& drives,
                       const Local& local) {
        const auto consider = [&](const std::optional<std::string>& windowsPath) {
            if (!windowsPath) return;
            if (const auto path = local(*windowsPath)) this->consider(*path);
        };
        consider(registry.value(Hive::LocalMachine,
                                "SOFTWARE\\Unreal Technology\\Installed Apps\\UnrealTournament",
                                "Folder"));
        for (const auto& game : registry.subkeys(Hive::LocalMachine, "SOFTWARE\\GOG.com\\Games")) {
            consider(
                registry.value(Hive::LocalMachine, "SOFTWARE\\GOG.com\\Games\\" + game, "path"));
        }
        if (const auto steam =
                registry.value(Hive::CurrentUser, "Software\\Valve\\Steam", "SteamPath")) {
            if (const auto path = local(*steam)) steamLibraries(*path);
        }
        for (const auto& drive : drives) {
            consider(drive + "\\UnrealTournament");
            for (const char* games : {"\\GOG Games", "\\Program Files (x86)\\GOG Galaxy\\Games",
                                      "\\Program Files\\GOG Galaxy\\Games"}) {
                if (const auto path = local(drive + games)) considerEachIn(*path);
            }
            for (const char* steam : {"\\Program Files (x86)\\Steam", "\\Program Files\\Steam"}) {
                if (const auto path = local(drive + steam)) steamLibraries(*path);
            }
        }
    }

    // A Wine prefix: its registry and its drive C, names matched as Windows matches them.
    void winePrefix(const stdfs::path& prefix) {
        std::error_code error;
        if (prefix.empty() || !stdfs::is_directory(prefix / "drive_c", error)) return;
        WineRegistry registry(textOf(prefix / "system.reg"), textOf(prefix / "user.reg"));
        std::string base = utf8Of(prefix);
        if (base.back() != '/') base += '/';
        windowsPlaces(registry, {"C:"}, [&](const std::string& windowsPath) {
            return caseBlind(pathInPrefix(base, windowsPath));
        });
    }

    // `path` with each part below its drive found in any letter case, as Wine finds it.
    static std::optional<stdfs::path> caseBlind(const std::optional<std::string>& path) {
        if (!path) return std::nullopt;
        const size_t drive = path->find("drive_c");
        const size_t devices = path->find("dosdevices/");
        const size_t from = drive != std::string::npos     ? drive + 7
                            : devices != std::string::npos ? path->find('/', devices + 11)
                                                           : std::string::npos;
        if (from == std::string::npos) return std::nullopt;
        stdfs::path resolved = pathOf(path->substr(0, from));
        for (const auto& part : pathOf(path->substr(from))) {
            const std::string name = utf8Of(part);
            if (name.empty() || name == "/") continue;
            const auto entry = entryNamed(resolved, name);
            if (!entry) return std::nullopt;
            resolved = *entry;
        }
        return resolved;
    }

    // Lutris' games: an exe names its installation, a prefix is a Wine prefix, a working
    // folder may be the installation or its System folder.
    void lutrisGames(const stdfs::path& games) {
        std::error_code error;
        for (stdfs::directory_iterator it(games, error), end; !error && it != end;
             it.increment(error)) {
            if (it->path().extension() != ".yml") continue;
            std::istringstream lines(textOf(it->path()));
            for (std::string line; std::getline(lines, line);) {
                const size_t colon = line.find(':');
                if (colon == std::string::npos) continue;
                std::string key = line.substr(0, colon);
                key.erase(0, key.find_first_not_of(" \t"));
                std::string value = line.substr(colon + 1);
                value.erase(0, value.find_first_not_of(" \t'\""));
                while (!value.empty() &&
                       std::string_view(" \t\r'\"").find(value.back()) != std::string_view::npos) {
                    value.pop_back();
                }
                if (value.empty() || value[0] != '/') continue;
                if (key == "exe") {
                    if (const auto folder = installationFolderOfExecutable(value)) {
                        consider(pathOf(*folder));
                    }
                } else if (key == "prefix") {
                    winePrefix(pathOf(value));
                } else if (key == "working_dir") {
                    consider(pathOf(value));
                    consider(pathOf(value).parent_path());
                }
            }
        }
    }

    void linuxPlaces() {
        if (places_.home.empty()) return;
        const stdfs::path home = pathOf(places_.home);
        const stdfs::path data =
            places_.xdgDataHome.empty() ? home / ".local" / "share" : pathOf(places_.xdgDataHome);
        const stdfs::path config =
            places_.xdgConfigHome.empty() ? home / ".config" : pathOf(places_.xdgConfigHome);
        for (const stdfs::path& steam :
             {home / ".steam" / "steam", home / ".steam" / "root", data / "Steam",
              home / ".var" / "app" / "com.valvesoftware.Steam" / ".local" / "share" / "Steam"}) {
            steamLibraries(steam);
        }
        if (!places_.winePrefix.empty()) winePrefix(pathOf(places_.winePrefix));
        winePrefix(home / ".wine");
        lutrisGames(config / "lutris" / "games");
    }

    FinderPlaces places_;
    std::shared_ptr<Found> found_;
};

}  // namespace

FinderPlaces placesOfThisMachine() {
    FinderPlaces places;
    const auto env = [](const char* name) {
        const char* value = std::getenv(name);
        return value ? std::string(value) : std::string();
    };
#ifdef _WIN32
    places.registry = systemRegistry();
    std::string drive = env("SystemDrive");
    places.systemDrives.push_back(drive.empty() ? "C:" : drive);
#else
    places.home = env("HOME");
    places.xdgConfigHome = env("XDG_CONFIG_HOME");
    places.xdgDataHome = env("XDG_DATA_HOME");
    places.winePrefix = env("WINEPREFIX");
    places.fixed = {"/usr/local/games/ut", "/usr/local/games/UnrealTournament", "/opt/ut",
                    "/opt/UnrealTournament"};
    if (!places.home.empty()) {
        places.fixed.push_back(places.home + "/ut");
        places.fixed.push_back(places.home + "/UnrealTournament");
    }
#endif
    return places;
}

std::vector<std::string> findInstallations(const FinderPlaces& places,
                                           std::chrono::milliseconds patience) {
    auto found = std::make_shared<Found>();
    try {
        // A worker of its own, so that a place that does not answer holds up nobody: it is
        // left to finish alone, and what it finds later is dropped.
        std::thread([search = Search(places, found), found]() mutable {
            try {
                search.run();
            } catch (const std::exception&) {
                // A place that could not be read, past every check: what was found stands.
            }
            const std::lock_guard<std::mutex> lock(found->mutex);
            found->finished = true;
            found->done.notify_all();
        }).detach();
    } catch (const std::exception&) {
        return {};
    }
    std::unique_lock<std::mutex> lock(found->mutex);
    found->done.wait_for(lock, patience, [&] { return found->finished; });
    return found->folders;
}

}  // namespace zendrik
