// Classifying the extension of a description file on disk.
#pragma once

#include <cstddef>
#include <string>

#include "packagefiles/extension_kind.h"
#include "packagefiles/run_context.h"

namespace zendrik {

// How much of a description file decides its kind. Real ones are a few kilobytes; a file
// of gigabytes (a sparse or broken one) must not stall the run.
inline constexpr size_t kClassifiedPrefix = 4 * 1024 * 1024;

// Reads the first kClassifiedPrefix bytes of the .int file at `extensionPfad` and returns
// its kind.
std::string whatIsThisExtension(RunContext& ctx, const std::string& extensionPfad);

}  // namespace zendrik
