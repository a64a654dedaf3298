// Ending the program at once: the event loop returns and every window goes with it; nothing
// is saved or asked.
#pragma once

#include <functional>

namespace zendrik {

void endProgram();

// Replaces what endProgram does, so that a test sees the request without its process
// ending; an empty handler restores the default.
void setProgramEndHandler(std::function<void()> handler);

}  // namespace zendrik
