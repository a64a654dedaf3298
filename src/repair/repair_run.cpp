#include "repair/repair_run.h"

#include <stdexcept>

#include "exchange/extension_exchange.h"
#include "filesystem/names.h"
#include "packagefiles/incomplete_removal.h"
#include "packagefiles/misplaced_file_sweep.h"
#include "repair/folder_checks.h"
#include "serverpackages/complete_server_packages.h"
#include "serverpackages/ini_text.h"

namespace zendrik {

void RepairRun::setStatus(std::string text) {
    status_ = std::move(text);
    if (statusListener_) statusListener_(status_);
}

PassResult RepairRun::eachFolder(
    std::vector<std::string> OrdnerListe,
    const std::function<void(size_t, const std::string&, std::vector<GameIni>&)>& steps) {
    PassResult result;
    ctx_.OrdnerListe = std::move(OrdnerListe);
    // The installation folders are the user's: taken exactly, only the names below them
    // without regard to case.
    for (const auto& folder : ctx_.OrdnerListe) ctx_.fs.nameExactly(folder);
    const size_t count = ctx_.OrdnerListe.size();
    for (size_t i = 0; i < count; ++i) {
        const std::string F = ctx_.OrdnerListe[i];
        // Listings and kinds are kept for one folder's turn: memory follows the largest
        // installation, not the sum of them.
        ctx_.fs.forgetCache();
        ctx_.kinds.clear();
        ctx_.leftAlone.clear();
        ctx_.oddNames.clear();
        try {
            // One run at a time per installation, for the whole of its turn.
            const auto lock = ctx_.fs.lockInstallation(F, lockWait_);
            std::vector<std::string> extra;
            for (const auto& path : extraInis_) {
                if (path.starts_with(F)) extra.push_back(path);
            }
            auto inis = readGameInis(ctx_.fs, F, extra);
            setStatus("current folder : " + F);
            ctx_.log.addLine("Processing : " + F + "...");
            reportCaseTwins(ctx_, F);
            removeLeftoverTemporaryFiles(ctx_, F);
            steps(i, F, inis);
            ctx_.fs.syncDeferredWrites();
        } catch (const std::logic_error&) {
            throw;  // a misused call is a fault of the program, not of this folder
        } catch (const std::exception& e) {
            std::string failure = e.what();
            try {
                ctx_.fs.syncDeferredWrites();
            } catch (const std::exception& flush) {
                failure += "; " + std::string(flush.what());
            }
            ctx_.log.addLine("  error: " + failure + " (the rest of this folder was skipped)");
            result.failures.push_back(F + ": " + failure);
        }
        for (const auto& left : ctx_.leftAlone) result.failures.push_back(F + ": " + left);
        for (int k = 0; k < 3; ++k) ctx_.log.addLine("");
    }
    return result;
}

PassResult RepairRun::repairPass(std::vector<std::string> OrdnerListe,
                                 bool removeIncompleteExtensions) {
    return eachFolder(std::move(OrdnerListe),
                      [&](size_t, const std::string& F, std::vector<GameIni>& inis) {
                          moveExtensionFiles(ctx_, F);
                          if (removeIncompleteExtensions) RemoveIncompleteExtensions(ctx_, F);
                          CompleteGameInis(ctx_, F, inis);
                      });
}

PassResult RepairRun::exchangePass(std::vector<std::string> OrdnerListe) {
    ctx_.log.clear();
    return eachFolder(std::move(OrdnerListe),
                      [&](size_t i, const std::string&, std::vector<GameIni>& inis) {
                          ExchangeExtensions(ctx_, i, inis);
                      });
}

}  // namespace zendrik
