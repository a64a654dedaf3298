// The information window: the program's icon, name, version, credits and disclaimer, and
// "&OK", which returns to the options page. Escape and closing the window act as "&OK".
#pragma once

#include "win32/page_window.h"

namespace zendrik::win32 {

class Wizard;

class InfoFormular final : public PageWindow, public InfoFormularControls {
  public:
    explicit InfoFormular(Wizard& wizard);
    ~InfoFormular() override;

  protected:
    void onCommand(int id, int code) override;
    // The icon at the page's DPI.
    void onLayout() override;

  private:
    Wizard& wizard_;
    HICON icon_ = nullptr;
};

}  // namespace zendrik::win32
