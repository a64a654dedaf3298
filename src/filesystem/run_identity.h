// Which run of the program this is, and whether another one is still running: what decides
// whose temporary files may be cleaned up and whose installation lock is stale.
#pragma once

#include <string>
#include <string_view>

namespace zendrik {

// This run: "<host>-<process>", the host as 8 hex digits of a hash of its name, the process
// as its decimal number.
const std::string& thisRun();

// True only when `run` certainly ended: a run of this host whose process no longer exists.
// A run of another host (a network drive) or a name of another form is taken as alive.
bool runIsGone(std::string_view run);

}  // namespace zendrik
