// zendrik-make-installations: writes the benchmark's installations.
#include <cstdlib>
#include <iostream>
#include <string>

#include "installation_generator.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr
            << "Usage: zendrik-make-installations OUTPUT_FOLDER EXTENSIONS [SEED [SIZE_SCALE]]\n";
        return 2;
    }
    zendrik::bench::GeneratorOptions options;
    options.extensions = std::atoi(argv[2]);
    if (argc > 3) options.seed = std::strtoull(argv[3], nullptr, 10);
    if (argc > 4) options.sizeScale = std::atof(argv[4]);
    try {
        const auto set = zendrik::bench::generateInstallations(argv[1], options);
        std::cout << set.files << " files, " << set.bytes / 1000000 << " MB\n";
    } catch (const std::exception& e) {
        std::cerr << "zendrik-make-installations: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
