// Builds realistic game installations for benchmarks and crash trials, deterministically from
// a seed: three installations, the first with N extensions of every kind (some misplaced,
// some incomplete), the second with half of them, the third with none.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace zendrik::bench {

struct GeneratorOptions {
    uint64_t seed = 1;
    int extensions = 2000;
    // Package file sizes are multiplied by this: 1.0 gives realistic sizes (textures tens of
    // KB to about a megabyte), small values give many small files for quick trials.
    double sizeScale = 1.0;
};

// What was generated, for checks after a run.
struct GeneratedSet {
    std::vector<std::filesystem::path> installations;  // UT1, UT2, UT3
    std::vector<std::string> extensionNames;           // base names in UT1
    uint64_t bytes = 0;
    uint64_t files = 0;
};

// Creates `root`/UT1, UT2 and UT3 (root must not hold them yet).
GeneratedSet generateInstallations(const std::filesystem::path& root,
                                   const GeneratorOptions& options);

}  // namespace zendrik::bench
