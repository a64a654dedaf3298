// The wizard without its windows: the options, the page flow, the folder list and the
// repair page, over one file layer, for a toolkit to show. Views (the Qt pages, the Win32
// windows) keep only what is the toolkit's: widgets, fonts, geometry, keys, focus, timers,
// dialogs and message boxes. Everything here runs on the interface's thread except the pass
// that RepairPage runs on its worker.
#pragma once

#include "wizard/folder_list.h"
#include "wizard/folder_undo.h"
#include "wizard/found_installations.h"
#include "wizard/options.h"
#include "wizard/page_flow.h"
#include "wizard/repair_page.h"
#include "wizard/wizard_host.h"

namespace zendrik {

class FileSystem;

class WizardCore {
  public:
    // `fs` and `host` must outlive the core.
    WizardCore(FileSystem& fs, WizardHost& host);
    WizardCore(const WizardCore&) = delete;
    WizardCore& operator=(const WizardCore&) = delete;

    Options& options() { return options_; }
    PageFlow& flow() { return flow_; }
    FolderList& folders() { return folders_; }
    // "Undo last run" on the folder page.
    FolderUndo& undo() { return undo_; }
    // The installations found on this machine, for the "Open" dialog.
    FoundInstallations& found() { return found_; }
    RepairPage& repair() { return repair_; }

    // "Cancel" on the options or the folder page, or closing one of them by its frame:
    // ends the program at once, without a message.
    void cancel() { host_.endProgram(); }
    // A click on a button of the page flow, by its id in the window tables: "Next ->", "Info"
    // and "Cancel" on the options page, "<- Back" and "Cancel" on the folder page, "&OK" on
    // the information window. Returns whether the page flow took it: the view then shows
    // its windows anew.
    bool flowClick(WizardWindows::Window window, int id);
    // "<- Back" on the repair page after a preview: to the options page, the repair page made
    // ready for a new first activation. Returns whether it was taken.
    bool repairBack() { return repair_.back() && flow_.leaveRepair(); }

  private:
    WizardHost& host_;
    Options options_;
    FolderList folders_;
    PageFlow flow_;
    FolderUndo undo_;
    RepairPage repair_;
    FoundInstallations found_;
};

}  // namespace zendrik
