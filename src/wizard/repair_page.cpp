#include "wizard/repair_page.h"

#include <algorithm>
#include <exception>

#include "filesystem/file_system.h"
#include "filesystem/preview_file_system.h"
#include "journal/journal_store.h"
#include "journal/undo_installation.h"
#include "repair/repair_run.h"
#include "repair/saved_log.h"
#include "wizard/folder_list.h"
#include "wizard/options.h"
#include "wizard/wizard_host.h"

namespace zendrik {
namespace {

constexpr const char* kRepairCaption = "Repairing folders...";
constexpr const char* kCopyCaption = "copying extensions...";
constexpr const char* kPreviewNote = " (preview: nothing is changed)";

}  // namespace

RepairPage::RepairPage(FileSystem& fs, const Options& options, const FolderList& folders,
                       WizardHost& host)
    : fs_(fs),
      options_(options),
      folders_(folders),
      host_(host),
      caption_(kRepairCaption),
      runner_(fs, [&host] { host.postPassEnded(); }) {}

RepairPage::~RepairPage() = default;

RepairButtons RepairPage::buttons() const {
    const bool saveAndFinish = copied_ || undone_ || folders_.locatedCount() == 1;
    return {.copy = !saveAndFinish,
            .finish = saveAndFinish,
            .cancel = !saveAndFinish,
            .saveLog = saveAndFinish,
            .back = preview_,
            .undo = !preview_ && !undone_ && !runs_.empty()};
}

std::vector<std::string> RepairPage::workList() const {
    return folders_.workList();
}

void RepairPage::start(std::function<void(RepairRun&)> pass) {
    runner_.start(workList(), std::move(pass), previewFs_.get());
}

bool RepairPage::activate() {
    if (activated_) return false;
    activated_ = true;
    preview_ = options_.previewOnly;
    caption_ = kRepairCaption;
    if (preview_) {
        caption_ += kPreviewNote;
        previewFs_ = std::make_unique<PreviewFileSystem>(fs_);
    }
    const std::vector<std::string> workList = this->workList();
    const bool removal = options_.removeIncompleteExtensions;
    start([workList, removal](RepairRun& run) { run.repairPass(workList, removal); });
    return true;
}

void RepairPage::copy() {
    if (!buttonsActive() || !buttons().copy) return;
    copied_ = true;
    if (!options_.compareExtensions) return;
    caption_ = kCopyCaption;
    if (preview_) caption_ += kPreviewNote;
    const std::vector<std::string> workList = this->workList();
    start([workList](RepairRun& run) { run.exchangePass(workList); });
}

std::optional<std::string> RepairPage::saveLog(const std::string& chosen) {
    if (!buttonsActive() || !buttons().saveLog || chosen.empty()) return std::nullopt;
    lastSaveName_ = chosen;
    try {
        // The disk as it is now: a folder made in the dialog is there. No pass runs, so the
        // file layer is this thread's.
        fs_.forgetCache();
        fs_.nameExactly(chosen);  // the file the user named, as spelled
        zendrik::saveLog(fs_, log_, chosen);
    } catch (const std::exception& e) {
        return std::string("The log was not saved: ") + e.what();
    }
    return std::nullopt;
}

void RepairPage::finish(const std::function<void(const std::string& reminder)>& remind) {
    if (!buttonsActive() || !buttons().finish) return;
    remind("don\u00B4t forget to re-enable write protection on network drives!");
    host_.endProgram();
}

void RepairPage::cancel() {
    if (!buttonsActive() || !buttons().cancel) return;
    host_.endProgram();
}

bool RepairPage::back() {
    if (!buttonsActive() || !buttons().back) return false;
    activated_ = copied_ = preview_ = false;
    previewFs_.reset();
    log_.clear();
    status_.clear();
    caption_ = kRepairCaption;
    return true;
}

void RepairPage::undo() {
    if (!buttonsActive() || !buttons().undo) return;
    undone_ = true;
    runner_.startJob([runs = runs_, workList = workList()](FileSystem& fs, Log& log) {
        log.clear();
        JournalStore store(JournalStore::userRoot().value_or(""));
        std::vector<std::string> left;
        for (auto pass = runs.rbegin(); pass != runs.rend(); ++pass) {
            for (const std::string& folder : workList) {
                const auto id = pass->find(folder);
                // No journal there: the pass could change nothing there.
                if (id == pass->end()) continue;
                const UndoReport report =
                    undoInstallation(fs, log, store, folder, id->second, false);
                left.insert(left.end(), report.errors.begin(), report.errors.end());
            }
        }
        if (left.empty()) {
            log.addLine("Undo finished: everything the passes changed was taken back");
            return;
        }
        log.addLine("Undo finished: not everything was taken back:");
        for (const std::string& why : left) log.addLine("  " + why);
    });
}

bool RepairPage::close() {
    if (runner_.running()) {
        endWhenStopped_ = true;
        runner_.requestStop();
        return false;
    }
    host_.endProgram();
    return true;
}

RepairPage::Progress RepairPage::poll() {
    return runner_.poll(log_, status_);
}

RepairPage::Progress RepairPage::passEnded() {
    if (!runner_.running()) return {};
    const Progress progress = runner_.finish(log_, status_);
    if (!runner_.runIds().empty()) runs_.push_back(runner_.runIds());
    if (endWhenStopped_) {
        endWhenStopped_ = false;
        host_.endProgram();
    }
    return progress;
}

void RepairPage::shutdown() {
    if (!runner_.running()) return;
    runner_.requestStop();
    runner_.finish(log_, status_);
}

}  // namespace zendrik
