// The options page, the window shown at start: the three switches that the repair run reads
// when it needs them, and the way on to the folder page or the information window.
#pragma once

#include "pages/page_window.h"

namespace zendrik {

class Wizard;

class Optionen : public PageWindow<QWidget>, public OptionenControls {
    Q_OBJECT

  public:
    explicit Optionen(Wizard& wizard);
    ~Optionen() override;

    // The state of removeExtensionsCheck at this moment, as the core holds it.
    bool removeIncompleteExtensions() const;
    // The state of compareextensionsCheck at this moment, as the core holds it.
    bool compareExtensions() const;

  protected:
    // Closing by the frame ends the program, as "Cancel" does.
    bool onClose() override;

  private:
    Wizard& wizard_;
};

}  // namespace zendrik
