// What the wizard core asks of the toolkit that shows it: ending the program, and carrying
// the end of a pass from the worker thread to the interface's thread.
#pragma once

namespace zendrik {

class WizardHost {
  public:
    virtual ~WizardHost() = default;

    // Called on the worker thread, once per pass, after the pass has returned and wrote its
    // last line. Must not call into the core; it posts to the interface's event loop (Qt: a
    // queued invocation; Win32: PostMessage), whose handler then calls
    // RepairPage::passEnded() on the interface's thread. It may also be called while the
    // core shuts down; a notice that arrives after that is to be dropped.
    virtual void postPassEnded() = 0;

    // Ends the program at once, on the interface's thread: every window goes, nothing is
    // saved or asked. Called by the core for "Cancel", "Finish" (after its reminder) and
    // for closing a page, never twice for one request.
    virtual void endProgram() = 0;
};

}  // namespace zendrik
