#include "wizard/wizard_core.h"

namespace zendrik {

WizardCore::WizardCore(FileSystem& fs, WizardHost& host)
    : host_(host),
      folders_(fs),
      flow_(folders_),
      undo_(fs, folders_, flow_),
      repair_(fs, options_, folders_, host) {}

}  // namespace zendrik
