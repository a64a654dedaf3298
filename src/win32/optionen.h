// The options page, the window shown at start: the three switches, "Info", "Next ->" and
// "Cancel"; closing it by its frame acts as "Cancel".
#pragma once

#include "win32/page_window.h"

namespace zendrik::win32 {

class Wizard;

class Optionen final : public PageWindow, public OptionenControls {
  public:
    explicit Optionen(Wizard& wizard);

  protected:
    void onCommand(int id, int code) override;

  private:
    Wizard& wizard_;
};

}  // namespace zendrik::win32
