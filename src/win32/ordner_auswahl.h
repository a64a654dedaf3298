// The folder page: "Open" locates a program of the game through the file dialog and lists
// it, selected when its installation can be written to; the user selects the installations
// to process; "Next ->" goes on to the repair page, "<- Back" to the options page; "Undo last
// run" takes back the last run on each selected installation that the player confirms.
// Closing it by its frame acts as "Cancel".
#pragma once

#include "win32/list_box.h"
#include "win32/page_window.h"

namespace zendrik::win32 {

class Wizard;

class OrdnerAuswahl final : public PageWindow, public OrdnerAuswahlControls {
  public:
    explicit OrdnerAuswahl(Wizard& wizard);

  protected:
    void onCommand(int id, int code) override;
    void onLayout() override { widths_.measureAll(); }

  private:
    void OpenButton_Click();
    void UndoButton_Click();
    // The list's selection, as it is shown, into the core: on each change the list reports,
    // and again before the page acts on it, since the list reports no change made by Space.
    void takeSelection();

    Wizard& wizard_;
    LineWidths widths_;
};

}  // namespace zendrik::win32
