#include "cli/arguments.h"

#include <algorithm>
#include <filesystem>

#include "filesystem/installation_lock.h"
#include "filesystem/names.h"
#include "repair/installation_folder.h"

namespace zendrik {

const char* const kUsage =
    "Usage: zendrik-cli [--keep-incomplete] [--copy] [--dry-run] [--log FILE] [--ini FILE]...\n"
    "                   FOLDER...\n"
    "       zendrik-cli [--dry-run] --undo FOLDER... | --undo-run ID\n"
    "       zendrik-cli --list-runs FOLDER...\n"
    "       zendrik-cli --find | --find0\n"
    "Puts Unreal Tournament installations in order: moves misplaced package files into\n"
    "their home folders, deletes the description files of incomplete extensions and adds\n"
    "the missing ServerPackages= lines to System/UnrealTournament.ini.\n"
    "\n"
    "  FOLDER             an installation folder, or the path of a program of the game in\n"
    "                     its System or System64 folder: UnrealTournament.exe, ut-bin,\n"
    "                     ucc-bin, ut-bin-amd64 or ucc-bin-amd64; the folders are\n"
    "                     processed in this order\n"
    "  --keep-incomplete  do not delete the description files of incomplete extensions\n"
    "  --copy             then copy into each installation the extensions that the others\n"
    "                     have and it lacks\n"
    "  --dry-run          show what the run (or the undo) would do, changing nothing\n"
    "  --log FILE         save the log to FILE at the end (CR LF line ends; replaces FILE)\n"
    "  --ini FILE         an ini file of a FOLDER that the game reads besides\n"
    "                     System/UnrealTournament.ini (a server's own ini=FILE); it gets\n"
    "                     the same entries; may be given several times\n"
    "  --undo             take back the last run on each FOLDER that is not undone yet;\n"
    "                     what changed since that run is left as it is and named\n"
    "  --undo-run ID      take back the run ID (as --list-runs names it)\n"
    "  --list-runs        list the runs of each FOLDER that can be taken back\n"
    "  --find             print the installations found on this machine, one a line\n"
    "                     (Steam, Wine prefixes, Lutris, the installers' folders)\n"
    "  --find0            the same, each followed by a NUL byte, for scripts\n"
    "  --help             show this help and exit\n"
    "  --version          show the version and exit\n"
    "\n"
    "Exit status: 0 when every folder was processed, 1 when any failed, 2 for bad usage.\n"
    "An undo exits with 1 when it left anything as it was.\n";

namespace {

// The installation folder that a FOLDER argument names, or an error text: the argument itself
// when it is a folder, else the folder above the one that holds the game's program it names.
// The argument is taken exactly, letter case and all: it is the user's, not a name the
// program forms; only the program's name is matched in any letter case, as the game's are.
std::optional<std::string> installationFolder(FileSystem& fs, std::string argument,
                                              std::string& error) {
    // Windows takes "/" as well; the log spells every path with the platform's separator.
    std::replace(argument.begin(), argument.end(), '/', kSeparator);
    if (argument.empty()) {
        error = "an empty FOLDER";
        return std::nullopt;
    }
    std::string folder = argument;
    if (folder.back() != kSeparator) folder += kSeparator;
    fs.nameExactly(folder);
    if (fs.folderExists(folder)) return folder;
    fs.nameExactly(argument);
    const size_t cut = argument.rfind(kSeparator);
    const std::string name = cut == std::string::npos ? argument : argument.substr(cut + 1);
    if (!isGameProgram(name) || !fs.fileExists(argument)) {
        error =
            "not a folder, nor a program of the game (UnrealTournament.exe, ut-bin, ucc-bin, "
            "ut-bin-amd64, ucc-bin-amd64): " +
            argument;
        return std::nullopt;
    }
    auto installation = installationFolderOfExecutable(argument);
    if (!installation) {
        error = name + " has no installation folder above its own: " + argument;
        return std::nullopt;
    }
    fs.nameExactly(*installation);
    return installation;
}

// The path of the --ini file `argument` as the run forms it, below the installation folder
// that holds it, or an error text. Which installation holds it is settled on the real paths,
// links resolved, so that any spelling of the file names its installation; the run journals
// what it writes there, as it does every file of an installation.
std::optional<std::string> iniOfInstallation(FileSystem& fs, std::string argument,
                                             const std::vector<std::string>& installations,
                                             std::string& error) {
    std::replace(argument.begin(), argument.end(), '/', kSeparator);
    fs.nameExactly(argument);
    if (!fs.fileExists(argument)) {
        error = "--ini names no file: " + argument;
        return std::nullopt;
    }
    namespace stdfs = std::filesystem;
    const auto real = [](const std::string& utf8) {
        const stdfs::path path(std::u8string(utf8.begin(), utf8.end()));
#ifdef _WIN32
        // Links are not followed there; the file system matches names without regard to case.
        return stdfs::absolute(path).lexically_normal();
#else
        return stdfs::canonical(path);
#endif
    };
    const auto utf8 = [](const stdfs::path& part) {
        const auto text = part.u8string();
        return std::string(text.begin(), text.end());
    };
    const stdfs::path file = real(argument);
    for (const auto& installation : installations) {
        const stdfs::path folder = real(installation);
        auto f = file.begin();
        bool inside = true;
        for (auto part = folder.begin(); inside && part != folder.end(); ++part, ++f) {
            if (part->empty()) break;  // after a closing separator
#ifdef _WIN32
            inside = f != file.end() && sameName(utf8(*part), utf8(*f));
#else
            inside = f != file.end() && *part == *f;
#endif
        }
        if (!inside || f == file.end()) continue;
        std::string relative;
        for (; f != file.end(); ++f) {
            if (!relative.empty()) relative += kSeparator;
            relative += utf8(*f);
        }
        return installation + relative;
    }
    error = "--ini names a file outside every FOLDER: " + argument;
    return std::nullopt;
}

// What of an installation a run works on, by sub-folder: a log saved there under such a name
// would be taken for a package, or replace one, or a program that locates the installation.
bool fileOfTheRun(const std::string& name) {
    for (const char* type : {"u", "int", "utx", "uax", "unr"}) {
        if (matchesExtension(name, type)) return true;
    }
    return sameName(name, "UnrealTournament.ini") || isGameProgram(name) ||
           sameName(name, kLockFileName);
}

// Checks the --log file before anything is touched; returns a usage error, or nothing.
std::optional<std::string> checkLogFile(FileSystem& fs, const std::string& logFile,
                                        const std::vector<std::string>& installations) {
    const size_t cut = logFile.rfind(kSeparator);
    const std::string folder =
        cut == std::string::npos ? std::string{'.', kSeparator} : logFile.substr(0, cut + 1);
    const std::string name = cut == std::string::npos ? logFile : logFile.substr(cut + 1);
    fs.nameExactly(logFile);  // the user's names, letter case and all
    if (!fs.folderExists(folder)) return "no such folder for --log: " + folder;
    if (name.empty() || name == "." || name == ".." || fs.folderExists(logFile)) {
        return "--log names a folder: " + logFile;
    }
    if (!fileOfTheRun(name)) return std::nullopt;
    for (const auto& installation : installations) {
        for (const char* sub : {"", "System", "System64", "Textures", "Sounds", "Maps", "models"}) {
            const std::string place = *sub ? installation + subFolder(sub) : installation;
            if (fs.sameFolder(folder, place)) {
                return "--log names a file that the run works on: " + logFile;
            }
        }
    }
    return std::nullopt;
}

}  // namespace

// Parses the arguments; returns an error text for bad usage, or nothing.
std::optional<std::string> parseArguments(const std::vector<std::string>& arguments,
                                          CliOptions& options, bool& help, bool& version) {
    bool onlyFolders = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if (onlyFolders || a.empty() || a[0] != '-' || a == "-") {
            options.folders.push_back(a);
        } else if (a == "--") {
            onlyFolders = true;
        } else if (a == "--help" || a == "-h") {
            help = true;
        } else if (a == "--version") {
            version = true;
        } else if (a == "--keep-incomplete") {
            options.keepIncomplete = true;
        } else if (a == "--copy") {
            options.copy = true;
        } else if (a == "--dry-run") {
            options.dryRun = true;
        } else if (a == "--log") {
            if (i + 1 == arguments.size()) return "--log needs a file name";
            options.logFile = arguments[++i];
        } else if (a.starts_with("--log=")) {
            options.logFile = a.substr(6);
        } else if (a == "--find" || a == "--find0") {
            options.find = a == "--find" ? CliOptions::Find::Lines : CliOptions::Find::Nul;
        } else if (a == "--ini" || a.starts_with("--ini=")) {
            if (a == "--ini" && i + 1 == arguments.size()) return "--ini needs a file name";
            options.iniFiles.push_back(a == "--ini" ? arguments[++i] : a.substr(6));
            if (options.iniFiles.back().empty()) return "--ini needs a file name";
        } else if (std::optional<std::string> error;
                   parseUndoOption(arguments, i, options.undo, error)) {
            if (error) return error;
        } else {
            return "unknown option: " + a;
        }
    }
    if (options.logFile && options.logFile->empty()) return "--log needs a file name";
    // Windows takes "/" as well; the log's checks look for the platform's separator.
    if (options.logFile)
        std::replace(options.logFile->begin(), options.logFile->end(), '/', kSeparator);
    if (options.find != CliOptions::Find::No) {
        if (!options.folders.empty() || options.copy || options.keepIncomplete || options.dryRun ||
            options.logFile || !options.iniFiles.empty() ||
            options.undo.kind != UndoRequest::Kind::None) {
            return "--find and --find0 go alone";
        }
        return std::nullopt;
    }
    const bool undoing = options.undo.kind != UndoRequest::Kind::None;
    if (undoing &&
        (options.copy || options.keepIncomplete || options.logFile || !options.iniFiles.empty())) {
        return "--undo, --undo-run and --list-runs take no other option but --dry-run";
    }
    if (options.undo.kind == UndoRequest::Kind::Run) {
        if (!options.folders.empty()) return "--undo-run takes no FOLDER";
    } else if (!help && !version && options.folders.empty()) {
        return "no FOLDER given";
    }
    return std::nullopt;
}

std::optional<std::string> checkArguments(FileSystem& fs, CliOptions& options) {
    std::optional<std::string> usageError;
    try {
        std::vector<std::string> workList;
        for (const auto& argument : options.folders) {
            std::string error;
            if (auto folder = installationFolder(fs, argument, error)) {
                workList.push_back(*folder);
            } else if (!usageError) {
                usageError = error;
            }
        }
        options.folders = std::move(workList);
        for (auto& ini : options.iniFiles) {
            if (usageError) break;
            std::string error;
            if (auto path = iniOfInstallation(fs, ini, options.folders, error)) {
                ini = std::move(*path);
            } else {
                usageError = error;
            }
        }
        if (!usageError && options.logFile) {
            usageError = checkLogFile(fs, *options.logFile, options.folders);
        }
    } catch (const std::exception& e) {
        // A name too long for the system, an I/O error: nothing was touched yet.
        usageError = e.what();
    }
    return usageError;
}

}  // namespace zendrik
