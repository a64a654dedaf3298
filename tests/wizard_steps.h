// The steps into a GUI test that both wizards' harnesses take alike, over their own
// toFolderPage(), locate(), exeOf() and toRepairPage(). No toolkit.
#pragma once

#include <initializer_list>

#include "installation_builder.h"

namespace zendrik::testing {

template <class Harness>
class WizardSteps {
  public:
    // From the start to the folder page, then locates the executable of each installation.
    bool toFolderPageWith(std::initializer_list<const Installation*> installations) {
        Harness& h = static_cast<Harness&>(*this);
        if (!h.toFolderPage()) return false;
        for (const Installation* installation : installations) {
            if (!h.locate(h.exeOf(*installation))) return false;
        }
        return true;
    }
    // From the start to the repair page over the installations, located in this order, once
    // the repair pass has ended.
    bool toRepairPageWith(std::initializer_list<const Installation*> installations) {
        return toFolderPageWith(installations) && static_cast<Harness&>(*this).toRepairPage();
    }
};

}  // namespace zendrik::testing
