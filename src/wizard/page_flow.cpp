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

}  // namespace zendrik
