#include "packagefiles/extension_classifier.h"

#include <algorithm>

namespace zendrik {

std::string whatIsThisExtension(RunContext& ctx, const std::string& extensionPfad) {
    if (auto known = ctx.kinds.find(extensionPfad); known != ctx.kinds.end()) return known->second;
    auto reader = ctx.fs.openForReading(extensionPfad);
    ExtensionKindScanner scanner;
    char buffer[64 * 1024];
    size_t left = kClassifiedPrefix;
    for (size_t n; left > 0 && (n = reader->read(buffer, std::min(sizeof buffer, left))) > 0;) {
        scanner.feed(std::string_view(buffer, n));
        left -= n;
    }
    return ctx.kinds[extensionPfad] = scanner.kind();
}

}  // namespace zendrik
