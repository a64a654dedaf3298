// zendrik-journal-bench: what the journal costs. Times the repair pass over fresh copies of
// generated installations, in-process, on the plain file layer and on the journaling one,
// and prints the medians, their ratio and the size of the journals written.
//
// Usage: zendrik-journal-bench DATA_FOLDER [RUNS [N [SIZE_SCALE]]]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "filesystem/native_file_system.h"
#include "installation_generator.h"
#include "journal/journal_store.h"
#include "journal/journaling_file_system.h"
#include "log/log.h"
#include "repair/repair_run.h"

namespace fs = std::filesystem;

namespace {

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void shell(const std::string& command) {
    if (std::system(command.c_str()) != 0) {
        std::cerr << "failed: " << command << "\n";
        std::exit(1);
    }
}

uint64_t bytesBelow(const fs::path& root, bool kept) {
    uint64_t bytes = 0;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        const bool inKept = e.path().filename() == zendrik::kKeptName;
        if (e.is_regular_file() && inKept == kept) bytes += e.file_size();
    }
    return bytes;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "Usage: zendrik-journal-bench DATA_FOLDER [RUNS [N [SIZE_SCALE]]]\n";
        return 2;
    }
    const fs::path data = fs::absolute(argv[1]);
    const int runs = argc > 2 ? std::atoi(argv[2]) : 3;
    const int n = argc > 3 ? std::atoi(argv[3]) : 20000;
    const double scale = argc > 4 ? std::atof(argv[4]) : 1.0;
    const fs::path pristine = data / ("journal-pristine-" + std::to_string(n));
    const fs::path work = data / "journal-work";
    const fs::path state = data / "journal-state";
    if (!fs::exists(pristine / "UT3")) {
        fs::remove_all(pristine);
        zendrik::bench::GeneratorOptions options;
        options.extensions = n;
        options.seed = 2026;
        options.sizeScale = scale;
        const auto set = zendrik::bench::generateInstallations(pristine, options);
        std::cerr << "N = " << n << ": generated " << set.files << " files, " << set.bytes / 1000000
                  << " MB\n";
    }
    std::vector<std::string> folders;
    for (const char* ut : {"UT1", "UT2", "UT3"}) folders.push_back((work / ut).string() + "/");

    // One repair pass over a fresh copy, on the plain layer or the journaling one.
    const auto timed = [&](bool journaled) {
        shell("rm -rf '" + work.string() + "' '" + state.string() + "' && cp -a '" +
              pristine.string() + "' '" + work.string() + "' && sync");
        zendrik::NativeFileSystem disk;
        zendrik::JournalStore store(state.string());
        zendrik::JournalingFileSystem journal(disk, store, folders);
        zendrik::Log log;
        log.keepAllLines(false);
        const auto began = std::chrono::steady_clock::now();
        if (journaled) journal.openJournals();
        zendrik::RepairRun run(journaled ? static_cast<zendrik::FileSystem&>(journal) : disk, log);
        if (run.repairPass(folders, true).failed()) {
            std::cerr << "the repair failed\n";
            std::exit(1);
        }
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    };
    std::vector<double> plain, journaled;
    for (int r = 0; r < runs; ++r) {
        plain.push_back(timed(false));
        journaled.push_back(timed(true));
    }
    const uint64_t journalBytes = bytesBelow(state, false);
    const uint64_t keptBytes = bytesBelow(state, true);
    std::printf("| N | repair, plain layer | with the journal | ratio | journals | kept bytes |\n");
    std::printf("|---|---|---|---|---|---|\n");
    std::printf("| %d | %.3f s | %.3f s | %.2f | %.1f KB | %.1f KB |\n", n, median(plain),
                median(journaled), median(journaled) / median(plain), journalBytes / 1000.0,
                keptBytes / 1000.0);
    fs::remove_all(work);
    fs::remove_all(state);
    return 0;
}
