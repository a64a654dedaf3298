// Which page of the wizard is shown, and the ways between them: options -> folders ->
// repair, "<- Back" from the folders to the options, and the information window, open over
// the options page, which takes no input while it is open. From the repair page the only way
// back is "<- Back" after a preview (WizardCore::repairBack). A view shows its windows with
// showWindows() after each change.
#pragma once

namespace zendrik {

class FolderList;

enum class Page { Options, Folders, Repair };

class PageFlow {
  public:
    // Starts on the options page. `folders` must outlive the flow.
    explicit PageFlow(FolderList& folders) : folders_(folders) {}

    Page page() const { return page_; }
    bool infoOpen() const { return infoOpen_; }
    // The options page takes input: it is shown and the information window is closed.
    bool optionsEnabled() const { return page_ == Page::Options && !infoOpen_; }

    // Each of the following returns whether it was taken; one that the page shown does not
    // offer at this moment changes nothing and returns false.

    // "Next ->" on the options page: on to the folder page.
    bool optionsNext();
    // "Info" on the options page: opens the information window.
    bool openInfo();
    // "&OK" on the information window (also Escape or closing it): back to the options page.
    bool closeInfo();
    // "<- Back" on the folder page: to the options page, the list kept as it is.
    bool back();
    // "Next ->" on the folder page: with at least one located executable, selected or not,
    // builds the work list (FolderList::erstelleverzeichnisarray) and moves to the repair
    // page, whose view then calls RepairPage::activate(). Without one it stays.
    bool foldersNext();
    // From the repair page to the options page; WizardCore::repairBack asks the repair page
    // first.
    bool leaveRepair();

  private:
    FolderList& folders_;
    Page page_ = Page::Options;
    bool infoOpen_ = false;
};

// The wizard's windows as a view has them, for showWindows().
class WizardWindows {
  public:
    enum Window { Options, Folders, Repair, Info };

    virtual ~WizardWindows() = default;
    // Whether `window` is made and visible.
    virtual bool isShown(Window window) const = 0;
    // Shows `window`, made first when it is not yet, and activates it.
    virtual void show(Window window) = 0;
    virtual void hide(Window window) = 0;
    // Whether the options page, once made, takes input; taking it again, it comes to the
    // front when visible.
    virtual void enableOptions(bool enabled) = 0;
};

// Shows the windows as `flow` says: the page it names first, then the other pages hidden, so
// that the program always has a window to activate; the information window exactly while it
// is open; the options page enabled exactly while it takes input.
void showWindows(const PageFlow& flow, WizardWindows& windows);

}  // namespace zendrik
