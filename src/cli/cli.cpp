#include "cli/cli.h"

#include <optional>
#include <ostream>

#include "cli/arguments.h"
#include "cli/log_sinks.h"
#include "cli/undo_command.h"
#include "filesystem/preview_file_system.h"
#include "finder/installation_finder.h"
#include "log/log.h"
#include "repair/repair_run.h"

namespace zendrik {
namespace {

// How long --find waits for places that do not answer.
constexpr std::chrono::milliseconds kFinderPatience(3000);

}  // namespace

int runCli(const std::vector<std::string>& arguments, FileSystem& disk, std::ostream& out,
           std::ostream& err) {
    CliOptions options;
    bool help = false;
    bool version = false;
    auto usageError = parseArguments(arguments, options, help, version);
    // A preview runs every step unchanged over a layer that keeps the writes in memory; the
    // saved log is the one file it writes.
    PreviewFileSystem preview(disk);
    if (options.dryRun && options.logFile) preview.writeThrough(*options.logFile);
    FileSystem& fs = options.dryRun ? static_cast<FileSystem&>(preview) : disk;
    if (!usageError && !help && !version) usageError = checkArguments(fs, options);
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
    if (options.find != CliOptions::Find::No) {
        const char end = options.find == CliOptions::Find::Lines ? '\n' : '\0';
        for (const auto& folder : findInstallations(placesOfThisMachine(), kFinderPatience)) {
            out << folder << end;
        }
        return kExitSuccess;
    }
    if (options.undo.kind != UndoRequest::Kind::None) {
        return runUndoCommand(options.undo, fs, options.folders, out, err, options.dryRun);
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
    // What the run changes is journaled for --undo; a preview changes nothing to journal.
    std::optional<JournaledRun> journaled;
    if (!options.dryRun) journaled.emplace(fs, options.folders);
    RepairRun run(journaled ? journaled->fs() : fs, log);
    run.setExtraInis(options.iniFiles);
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
