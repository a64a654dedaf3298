// Names of the temporary files that safe writes leave beside their target while they work.
// Each belongs to the run that made it:
//
//     <start of the target's name>~<run>-<n>.zendrik-tmp
//
// where <run> names the run ("<host>-<process>", see run_identity.h) and <n> tells a run's
// files apart. The target's name is cut so that the whole fits any file system's limit of 255
// bytes. A temporary file is created exclusively, never by first removing a file of its
// name; only the temporary files of runs that are gone are ever cleaned up.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zendrik {

// Ends every temporary file's name. No package mask matches it.
inline constexpr std::string_view kTemporarySuffix = ".zendrik-tmp";

// The `n`th temporary name of the run `run` for the file named `targetName`.
std::string temporaryNameFor(std::string_view targetName, std::string_view run, unsigned n);

// The run that made the temporary file `name`; none for a name of another form, such as the
// "<target>.zendrik-tmp" of earlier versions, which named no run.
std::optional<std::string> runOfTemporary(std::string_view name);

inline bool isTemporaryName(std::string_view name) {
    return name.size() > kTemporarySuffix.size() && name.ends_with(kTemporarySuffix);
}

}  // namespace zendrik
