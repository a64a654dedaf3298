// The installation lock on POSIX; the protocol is in installation_lock.h.
#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "filesystem/installation_lock.h"
#include "filesystem/posix_calls.h"

namespace zendrik::posix {

// Takes the lock of the installation whose real folder is `realFolder` (`shown` names it in
// an error), waiting at most `wait` for another run to let it go. Throws FsError: as
// write protection where the folder may not be written, "in use by another run" after the
// wait.
std::unique_ptr<InstallationLock> lockInstallationFolder(PosixCalls& sys,
                                                         const std::string& realFolder,
                                                         const std::string& shown,
                                                         std::chrono::milliseconds wait);

}  // namespace zendrik::posix
