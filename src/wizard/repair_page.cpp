#include "wizard/repair_page.h"

#include <exception>

#include "filesystem/file_system.h"
#include "repair/repair_run.h"
#include "repair/saved_log.h"
#include "wizard/folder_list.h"
#include "wizard/options.h"
#include "wizard/wizard_host.h"

namespace zendrik {

RepairPage::RepairPage(FileSystem& fs, const Options& options, const FolderList& folders,
                       WizardHost& host)
    : fs_(fs),
      options_(options),
      folders_(folders),
      host_(host),
      caption_("Repairing folders..."),
      runner_(fs, [&host] { host.postPassEnded(); }) {}

RepairPage::~RepairPage() = default;

RepairButtons RepairPage::buttons() const {
    const bool saveAndFinish = copied_ || folders_.locatedCount() == 1;
    return {.copy = !saveAndFinish,
            .finish = saveAndFinish,
            .cancel = !saveAndFinish,
            .saveLog = saveAndFinish};
}

void RepairPage::start(std::function<void(RepairRun&)> pass) {
    runner_.start(folders_.workList(), std::move(pass));
}

bool RepairPage::activate() {
    if (activated_) return false;
    activated_ = true;
    const std::vector<std::string> workList = folders_.workList();
    const bool removal = options_.removeIncompleteExtensions;
    start([workList, removal](RepairRun& run) { run.repairPass(workList, removal); });
    return true;
}

void RepairPage::copy() {
    if (!buttonsActive() || !buttons().copy) return;
    copied_ = true;
    if (!options_.compareExtensions) return;
    caption_ = "copying extensions...";
    const std::vector<std::string> workList = folders_.workList();
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
