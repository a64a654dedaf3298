#include "wizard/page_flow.h"

#include "wizard/folder_list.h"

namespace zendrik {

bool PageFlow::optionsNext() {
    if (!optionsEnabled()) return false;
    page_ = Page::Folders;
    return true;
}

bool PageFlow::openInfo() {
    if (!optionsEnabled()) return false;
    infoOpen_ = true;
    return true;
}

bool PageFlow::closeInfo() {
    if (!infoOpen_) return false;
    infoOpen_ = false;
    return true;
}

bool PageFlow::back() {
    if (page_ != Page::Folders) return false;
    page_ = Page::Options;
    return true;
}

bool PageFlow::leaveRepair() {
    if (page_ != Page::Repair) return false;
    page_ = Page::Options;
    return true;
}

bool PageFlow::foldersNext() {
    // The test is on the entries, not on the selected ones: with none selected the repair
    // page opens over an empty work list.
    if (page_ != Page::Folders || folders_.locatedCount() == 0) return false;
    folders_.erstelleverzeichnisarray();
    page_ = Page::Repair;
    return true;
}

void showWindows(const PageFlow& flow, WizardWindows& windows) {
    using W = WizardWindows;
    const W::Window page = flow.page() == Page::Options   ? W::Options
                           : flow.page() == Page::Folders ? W::Folders
                                                          : W::Repair;
    if (!windows.isShown(page)) windows.show(page);
    for (const W::Window other : {W::Options, W::Folders, W::Repair}) {
        if (other != page && windows.isShown(other)) windows.hide(other);
    }
    if (flow.infoOpen()) {
        if (!windows.isShown(W::Info)) windows.show(W::Info);
    } else if (windows.isShown(W::Info)) {
        windows.hide(W::Info);
    }
    windows.enableOptions(flow.optionsEnabled());
}

}  // namespace zendrik
