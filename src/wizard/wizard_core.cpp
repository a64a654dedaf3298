#include "wizard/wizard_core.h"

#include "wizard/window_tables.h"

namespace zendrik {

WizardCore::WizardCore(FileSystem& fs, WizardHost& host)
    : host_(host),
      folders_(fs),
      flow_(folders_),
      undo_(fs, folders_, flow_),
      repair_(fs, options_, folders_, host) {}

bool WizardCore::flowClick(WizardWindows::Window window, int id) {
    switch (window) {
        case WizardWindows::Options:
            if (id == OptionenControls::NextButton) return flow_.optionsNext();
            if (id == OptionenControls::InfoButton) return flow_.openInfo();
            if (id == OptionenControls::CancelButton) cancel();
            return false;
        case WizardWindows::Folders:
            if (id == OrdnerAuswahlControls::Command1) return flow_.back();
            if (id == OrdnerAuswahlControls::CancelButton) cancel();
            return false;
        case WizardWindows::Info:
            return id == InfoFormularControls::cmdOK && flow_.closeInfo();
        case WizardWindows::Repair:
            break;
    }
    return false;
}

}  // namespace zendrik
