#include "cli/cli.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <system_error>

#include "cli/undo_command.h"
#include "filesystem/installation_lock.h"
#include "filesystem/names.h"
#include "filesystem/run_identity.h"
#include "filesystem/temporary_files.h"
#include "log/log.h"
#include "repair/installation_folder.h"
#include "repair/repair_run.h"

namespace zendrik {
namespace {

constexpr const char* kUsage =
    "Usage: zendrik-cli [--keep-incomplete] [--copy] [--log FILE] FOLDER...\n"
    "       zendrik-cli --undo FOLDER... | --undo-run ID | --list-runs FOLDER...\n"
    "Puts Unreal Tournament installations in order: moves misplaced package files into\n"
    "their home folders, deletes the description files of incomplete extensions and adds\n"
    "the missing ServerPackages= lines to System/UnrealTournament.ini.\n"
    "\n"
    "  FOLDER             an installation folder, or the path of the UnrealTournament.exe\n"
    "                     in its System folder; the folders are processed in this order\n"
    "  --keep-incomplete  do not delete the description files of incomplete extensions\n"
    "  --copy             then copy into each installation the extensions that the others\n"
    "                     have and it lacks\n"
    "  --log FILE         save the log to FILE at the end (CR LF line ends; replaces FILE)\n"
    "  --undo             take back the last run on each FOLDER that is not undone yet;\n"
    "                     what changed since that run is left as it is and named\n"
    "  --undo-run ID      take back the run ID (as --list-runs names it)\n"
    "  --list-runs        list the runs of each FOLDER that can be taken back\n"
    "  --help             show this help and exit\n"
    "  --version          show the version and exit\n"
    "\n"
    "Exit status: 0 when every folder was processed, 1 when any failed, 2 for bad usage.\n"
    "An undo exits with 1 when it left anything as it was.\n";

struct Options {
    bool keepIncomplete = false;
    bool copy = false;
    std::optional<std::string> logFile;
    std::vector<std::string> folders;
    UndoRequest undo;
};

// Prints each log line once it is final: when the next line starts, the log is cleared, or
// the run ends.
class FinalLines final : public LogObserver {
  public:
    explicit FinalLines(std::function<void(const std::string&)> take) : take_(std::move(take)) {}
    void lineAdded(const std::string& line) override {
        flush();
        pending_ = line;
    }
    void lastLineChanged(const std::string& line) override { pending_ = line; }
    void cleared() override { flush(); }
    void flush() {
        if (pending_) take_(*pending_);
        pending_.reset();
    }

  private:
    std::function<void(const std::string&)> take_;
    std::optional<std::string> pending_;
};

// Writes the saved log as the run goes, every final line followed by CR LF, in blocks of
// some tens of kilobytes, so that it needs little memory however long it grows. The file
// replaces FILE only at the end; a failure to write is kept for then and does not disturb
// the run.
class SavedLog {
  public:
    SavedLog(FileSystem& fs, const std::string& path)
        : writer_(fs.openForReplacing(path)), lines_([this](const std::string& line) {
              block_ += line;
              block_ += "\r\n";
              if (block_.size() >= kBlockSize) writeBlock();
          }) {}
    LogObserver& observer() { return lines_; }
    // Puts the file in place; returns the failure, or "" when the file was saved.
    std::string finish() {
        lines_.flush();
        writeBlock();
        if (failure_.empty()) {
            try {
                writer_->commit();
            } catch (const std::exception& e) {
                failure_ = e.what();
            }
        }
        return failure_;
    }

  private:
    static constexpr size_t kBlockSize = 64 * 1024;
    void writeBlock() {
        if (failure_.empty() && !block_.empty()) {
            try {
                writer_->append(block_);
            } catch (const std::exception& e) {
                failure_ = e.what();
            }
        }
        block_.clear();
    }

    std::unique_ptr<SequentialWriter> writer_;
    FinalLines lines_;
    std::string block_;
    std::string failure_;
};

// Prints final lines to `out`, pushing them on at least every tenth of a second: a terminal
// shows each line as it comes, a pipe or file gets them in blocks, not a call per line.
// Printing that fails (a closed pipe, a full disk) stops printing, never the run.
class PrintedLines {
  public:
    explicit PrintedLines(std::ostream& out)
        : out_(out), lines_([this](const std::string& line) {
              if (failed_) return;
              out_ << line << '\n';
              const auto now = std::chrono::steady_clock::now();
              if (now - flushed_ >= std::chrono::milliseconds(100)) {
                  out_.flush();
                  flushed_ = now;
              }
              noteFailure();
          }) {}
    LogObserver& observer() { return lines_; }
    // Returns the reason printing failed, or "".
    std::string finish() {
        lines_.flush();
        if (!failed_) out_.flush();
        noteFailure();
        return reason_;
    }

  private:
    void noteFailure() {
        if (failed_ || !out_.fail()) return;
        failed_ = true;
        reason_ = errno != 0 ? std::generic_category().message(errno) : "output error";
    }

    bool failed_ = false;
    std::string reason_;
    std::ostream& out_;
    FinalLines lines_;
    std::chrono::steady_clock::time_point flushed_ = std::chrono::steady_clock::now();
};

// The installation folder that a FOLDER argument names, or an error text. The argument is
// taken exactly, letter case and all: it is the user's, not a name the program forms.
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
    if (!sameName(name, "UnrealTournament.exe") || !fs.fileExists(argument)) {
        error = "not a folder, nor an UnrealTournament.exe: " + argument;
        return std::nullopt;
    }
    auto installation = installationFolderOfExecutable(argument);
    if (!installation) {
        error = "UnrealTournament.exe has no installation folder above its own: " + argument;
        return std::nullopt;
    }
    fs.nameExactly(*installation);
    return installation;
}

// What of an installation a run works on, by sub-folder: a log saved there under such a name
// would be taken for a package, or replace one.
bool fileOfTheRun(const std::string& name) {
    for (const char* type : {"u", "int", "utx", "uax", "unr"}) {
        if (matchesExtension(name, type)) return true;
    }
    return sameName(name, "UnrealTournament.ini") || sameName(name, "UnrealTournament.exe") ||
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
        for (const char* sub : {"", "System", "Textures", "Sounds", "Maps", "models"}) {
            const std::string place = *sub ? installation + subFolder(sub) : installation;
            if (fs.sameFolder(folder, place)) {
                return "--log names a file that the run works on: " + logFile;
            }
        }
    }
    return std::nullopt;
}

// Removes what a killed run left of saving a log at `logFile`: its temporary files, named
// for that file and for a run that is gone.
void removeLeftoverLogFiles(FileSystem& fs, const std::string& logFile) {
    const size_t cut = logFile.rfind(kSeparator);
    const std::string folder =
        cut == std::string::npos ? std::string() : logFile.substr(0, cut + 1);
    const std::string name = cut == std::string::npos ? logFile : logFile.substr(cut + 1);
    for (const auto& leftover : fs.listFiles(folder, kTemporarySuffix.substr(1))) {
        const auto run = runOfTemporary(leftover);
        if (run && runIsGone(*run) && leftover.starts_with(name + "~")) {
            fs.removeFile(folder + leftover);
        }
    }
}

// Parses the arguments; returns an error text for bad usage, or nothing.
std::optional<std::string> parse(const std::vector<std::string>& arguments, Options& options,
                                 bool& help, bool& version) {
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
        } else if (a == "--log") {
            if (i + 1 == arguments.size()) return "--log needs a file name";
            options.logFile = arguments[++i];
        } else if (a.starts_with("--log=")) {
            options.logFile = a.substr(6);
        } else if (std::optional<std::string> error;
                   parseUndoOption(arguments, i, options.undo, error)) {
            if (error) return error;
        } else {
            return "unknown option: " + a;
        }
    }
    if (options.logFile && options.logFile->empty()) return "--log needs a file name";
    const bool undoing = options.undo.kind != UndoRequest::Kind::None;
    if (undoing && (options.copy || options.keepIncomplete || options.logFile)) {
        return "--undo, --undo-run and --list-runs take no other option";
    }
    if (options.undo.kind == UndoRequest::Kind::Run) {
        if (!options.folders.empty()) return "--undo-run takes no FOLDER";
    } else if (!help && !version && options.folders.empty()) {
        return "no FOLDER given";
    }
    return std::nullopt;
}

}  // namespace

int runCli(const std::vector<std::string>& arguments, FileSystem& fs, std::ostream& out,
           std::ostream& err) {
    Options options;
    bool help = false;
    bool version = false;
    auto usageError = parse(arguments, options, help, version);
    if (!usageError && !help && !version) {
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
            if (!usageError && options.logFile) {
                usageError = checkLogFile(fs, *options.logFile, options.folders);
            }
        } catch (const std::exception& e) {
            // A name too long for the system, an I/O error: nothing was touched yet.
            usageError = e.what();
        }
    }
    if (usageError) {
        err << "zendrik-cli: " << *usageError << "\n" << kUsage;
        return kExitUsage;
    }
    if (help) {
        out << kUsage;
        return kExitSuccess;
    }
    if (version) {
        out << "zendrik-cli 1.0\n";
        return kExitSuccess;
    }
    if (options.undo.kind != UndoRequest::Kind::None) {
        return runUndoCommand(options.undo, fs, options.folders, out, err);
    }

    // The file for --log first: a folder that takes no file ends the run before it begins.
    std::unique_ptr<SavedLog> saved;
    if (options.logFile) {
        try {
            removeLeftoverLogFiles(fs, *options.logFile);
            saved = std::make_unique<SavedLog>(fs, *options.logFile);
        } catch (const std::exception& e) {
            err << "zendrik-cli: " << e.what() << "\n";
            return kExitFolderFailed;
        }
    }
    Log log;
    log.keepAllLines(false);  // lines go to the terminal and the saved log as they come
    PrintedLines printer(out);
    log.addObserver(&printer.observer());
    JournaledRun journaled(fs, options.folders);  // what the run changes, for --undo
    RepairRun run(journaled.fs(), log);
    // The saved log holds the last pass's lines, as "Save Log" would after it.
    if (saved && !options.copy) log.addObserver(&saved->observer());
    std::vector<std::string> failures =
        run.repairPass(options.folders, !options.keepIncomplete).failures;
    if (options.copy) {
        if (saved) log.addObserver(&saved->observer());
        auto exchange = run.exchangePass(options.folders).failures;
        failures.insert(failures.end(), exchange.begin(), exchange.end());
    }
    const std::string printing = printer.finish();
    log.removeObserver(&printer.observer());
    for (const auto& failure : failures) err << "zendrik-cli: " << failure << "\n";
    if (!printing.empty()) {
        err << "zendrik-cli: could not print the log (" << printing
            << "); the run went on to its end\n";
        failures.push_back(printing);
    }
    if (saved) {
        log.removeObserver(&saved->observer());
        if (const std::string failure = saved->finish(); !failure.empty()) {
            err << "zendrik-cli: " << failure << "\n";
            return kExitFolderFailed;
        }
    }
    return failures.empty() ? kExitSuccess : kExitFolderFailed;
}

}  // namespace zendrik
