// Names of the temporary files that safe writes leave beside their target while they work.
#pragma once

#include <string>
#include <string_view>

namespace zendrik {

// Appended to a target's name to form its temporary file. No package mask matches it.
inline constexpr std::string_view kTemporarySuffix = ".zendrik-tmp";

inline std::string temporaryPathFor(const std::string& target) {
    return target + std::string(kTemporarySuffix);
}

inline bool isTemporaryName(std::string_view name) {
    return name.size() > kTemporarySuffix.size() && name.ends_with(kTemporarySuffix);
}

}  // namespace zendrik
