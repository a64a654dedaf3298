// The folder page: the user locates each installation by one of the game's programs, the page
// tests at once that the installation can be written to, and "Next ->" turns the selected
// entries into the work list of installation folders; "Undo last run" takes back the last run
// on each selected installation that the player confirms. The lists show the core's
// FolderList; the list's selection is passed on to it on each change and again before the
// page acts on it.
#pragma once

#include <string>
#include <vector>

#include "pages/page_window.h"

class QListWidget;

namespace zendrik {

class Wizard;

class OrdnerAuswahl : public PageWindow<QWidget>, public OrdnerAuswahlControls {
    Q_OBJECT

  public:
    explicit OrdnerAuswahl(Wizard& wizard);
    ~OrdnerAuswahl() override;

    // The work list: the entries of OrdnerListe in order.
    std::vector<std::string> workList() const;

    void OpenButton_Click();
    void NextButton_Click();
    void UndoButton_Click();

  protected:
    // Closing by the frame ends the program, as "Cancel" does.
    bool onClose() override;

  private:
    // Passes the selection of vorlOrdnerListe on to the core.
    void selectionChanged();
    // OrdnerListe shows the core's work list.
    void showWorkList();

    Wizard& wizard_;
    // The work list, hidden, as the folder page has always held it.
    QListWidget* OrdnerListe_;
};

}  // namespace zendrik
