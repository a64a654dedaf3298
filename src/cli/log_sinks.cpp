#include "cli/log_sinks.h"

#include "filesystem/names.h"
#include "filesystem/run_identity.h"
#include "filesystem/temporary_files.h"

namespace zendrik {

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

}  // namespace zendrik
