// The repair page's logic: the button rule, whether the buttons take input, the caption,
// the status field and the log, the repair pass on the first activation, "COPY!", "Save
// Log", "Finish", "Cancel", "<- Back" after a preview, "Undo" and closing the page. A view shows
// what the accessors say after each call it makes and after each poll().
//
// Threads: every member is called on the interface's thread. A pass runs on a worker
// thread; the view takes its progress with poll() on a timer of its own, every
// kProgressEveryMs, and, when WizardHost::postPassEnded() has reached its event loop, calls
// passEnded().
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "log/log.h"
#include "wizard/pass_runner.h"
#include "wizard/window_tables.h"

namespace zendrik {

class FileSystem;
class FolderList;
class PreviewFileSystem;
class WizardHost;
struct Options;

// Which of the buttons the page shows. "Cancel" and "Finish" share one place, and so do
// "COPY!" and "Save Log": exactly one of each pair is shown. "<- Back" and "Undo" have places
// of their own, left and right of the pairs.
struct RepairButtons {
    bool copy = false;     // "COPY!" (NextButton)
    bool finish = false;   // "Finish" (FinishButton)
    bool cancel = false;   // "Cancel" (CancelButton)
    bool saveLog = false;  // "Save Log" (SaveLogButton)
    bool back = false;     // "<- Back" (BackButton): on a preview
    bool undo = false;     // "Undo" (UndoButton): once a real pass has ended, until undone
    bool operator==(const RepairButtons&) const = default;
};

class RepairPage {
  public:
    using Progress = PassRunner::Progress;
    // How often a view brings a running pass's lines and status onto the page.
    static constexpr int kProgressEveryMs = 50;

    // Everything given must outlive the page.
    RepairPage(FileSystem& fs, const Options& options, const FolderList& folders, WizardHost& host);
    // Stops a running pass and waits for it.
    ~RepairPage();

    // "Repairing folders..." until "COPY!" runs the exchange pass, then "copying
    // extensions..."; on a preview each followed by " (preview: nothing is changed)".
    const std::string& caption() const { return caption_; }
    // Whether the page shows a preview: "only show what would be done" was on when the repair
    // pass started.
    bool preview() const { return preview_; }
    // The status field: "" until a pass names its first folder.
    const std::string& status() const { return status_; }
    // The log as the page shows it; it changes only inside poll() and passEnded().
    Log& log() { return log_; }
    // Before "COPY!": "Save Log" and "Finish" with exactly one located executable, else
    // "COPY!" and "Cancel". From "COPY!" or "Undo" on: "Save Log" and "Finish". Besides, on a
    // preview "<- Back"; else "Undo" once a pass has ended that journaled a run, until "Undo"
    // was pressed.
    RepairButtons buttons() const;
    // The button Enter presses when the focus is on no button: "COPY!" while it is offered,
    // else "Finish".
    ReparierControls::Control mainButton() const {
        return buttons().copy ? ReparierControls::NextButton : ReparierControls::FinishButton;
    }
    // The buttons take input only once the first pass has ended, and never while a pass
    // runs. A button action called while they do not is ignored.
    bool buttonsActive() const { return activated_ && !runner_.running(); }
    // From the start of a pass until passEnded() has taken its last line.
    bool passRunning() const { return runner_.running(); }
    // "Save Log" takes the focus: after "COPY!" or "Undo", once no pass runs.
    bool saveLogTakesFocus() const { return (copied_ || undone_) && !runner_.running(); }
    // The file "Save Log" last chose: where the save dialog starts.
    const std::string& lastSaveName() const { return lastSaveName_; }

    // The page's first activation: applies the button rule and starts the repair pass over
    // the work list, reading "remove incomplete extensions" and "only show what would be
    // done" now. A preview runs the pass, and then "COPY!", over one PreviewFileSystem over
    // the page's file layer, as zendrik-cli --dry-run --copy does: the log is the real pass's,
    // nothing on the disk changes, no lock is taken, nothing is journaled. Later calls do
    // nothing until "<- Back"; returns whether this call started the pass.
    bool activate();
    // "COPY!": swaps the buttons to "Save Log" and "Finish"; then, when "compare extensions"
    // is on, clears the log (through the pass), sets the caption and starts the exchange
    // pass.
    void copy();
    // "Save Log" with the name the save dialog returned ("" when cancelled: nothing
    // happens). Writes the log as the disk is now, the path taken exactly as spelled,
    // replacing the file. Returns the text of a message box with an empty title when the
    // save failed: "The log was not saved: " and the reason.
    std::optional<std::string> saveLog(const std::string& chosen);
    // "Finish": calls `remind` with "don´t forget to re-enable write protection on network
    // drives!" (the acute accent U+00B4, in UTF-8), which returns once the user closed the
    // reminder, then ends the program.
    void finish(const std::function<void(const std::string& reminder)>& remind);
    // "Cancel": ends the program at once.
    void cancel();
    // "<- Back" after a preview: forgets the preview (log, status, caption, what "COPY!" did),
    // so that the page's next showing is a first activation again, over the work list that
    // the folder page's "Next ->" builds then. Returns whether it was taken; the caller then
    // shows the options page (WizardCore::repairBack).
    bool back();
    // "Undo": takes back, on the worker, the runs this page's real passes journaled, newest
    // pass first (the exchange's, then the repair's), each in every installation of the work
    // list, as zendrik-cli --undo-run does: the same engine call, journaled, locked and
    // resumable. Clears the log first; the undo's lines follow in the run's style, and the
    // last lines say what was left and why, or that everything was taken back. Afterwards
    // "Undo" and "COPY!" are no longer offered: "Save Log" saves the undo's log.
    void undo();
    // Closing the page by its frame: ends the program as "Cancel" does, at any time. While a
    // pass runs the end waits for it: the pass is asked to stop, and passEnded() ends the
    // program. Returns whether the program ended now (the window may close).
    bool close();

    // Interface thread, on the view's timer: brings the worker's lines and status onto the
    // page.
    Progress poll();
    // Interface thread, when the notice of WizardHost::postPassEnded() arrives: takes the
    // pass's last lines and makes the buttons take input again, or ends the program when
    // the page was closed during the pass. A notice with no pass to end does nothing.
    Progress passEnded();
    // Stops a running pass and waits for it, without a notice to act on: for a view that
    // is going away.
    void shutdown();

  private:
    void start(std::function<void(RepairRun&)> pass);
    // The work list of this activation: what the folder page's last "Next ->" made.
    std::vector<std::string> workList() const;

    FileSystem& fs_;
    const Options& options_;
    const FolderList& folders_;
    WizardHost& host_;
    Log log_;
    std::string status_;
    std::string caption_;
    std::string lastSaveName_;
    bool activated_ = false;
    bool copied_ = false;
    bool endWhenStopped_ = false;
    bool preview_ = false;
    bool undone_ = false;
    // FolderList never clears its work list; an activation after "<- Back" takes its tail.
    // The run ids of each journaled pass this page made, by installation folder, oldest first.
    std::vector<std::map<std::string, std::string>> runs_;
    // The preview's layer, shared by its passes; kept until "<- Back".
    std::unique_ptr<PreviewFileSystem> previewFs_;
    // Declared last: its destructor stops and joins the worker before the rest goes.
    PassRunner runner_;
};

}  // namespace zendrik
