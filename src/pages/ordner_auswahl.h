// The folder page: the user locates each installation by one of the game's programs, the page
// tests at once that the installation can be written to, and "Next ->" turns the selected
// entries into the work list of installation folders; "Undo last run" takes back the last run
// on each selected installation that the player confirms. The lists show the core's
// FolderList; the list's selection is passed on to it on each change and again before the
// page acts on it.
#pragma once

#include <QWidget>
#include <memory>
#include <string>
#include <vector>

namespace Ui {
class OrdnerAuswahl;
}

namespace zendrik {

class InputGate;
class ScreenFit;
class Wizard;

class OrdnerAuswahl : public QWidget {
    Q_OBJECT

  public:
    explicit OrdnerAuswahl(Wizard& wizard);
    ~OrdnerAuswahl() override;

    // The number of located programs, selected or not.
    int locatedCount() const;
    // The work list: the entries of OrdnerListe in order.
    std::vector<std::string> workList() const;

    void OpenButton_Click();
    void NextButton_Click();
    void Command1_Click();
    void CancelButton_Click();
    void UndoButton_Click();
    // Appends the installation folder of every selected entry of vorlOrdnerListe, in list
    // order, to OrdnerListe.
    void erstelleverzeichnisarray();

  protected:
    // Enter presses the focused button, else the main one; Escape acts as "Cancel".
    void keyPressEvent(QKeyEvent* event) override;
    // Fits the page to the screen; the buttons take input made from now on.
    void showEvent(QShowEvent* event) override;
    // Closing by the frame ends the program, as "Cancel" does.
    void closeEvent(QCloseEvent* event) override;

  private:
    // Passes the selection of vorlOrdnerListe on to the core.
    void selectionChanged();
    // OrdnerListe shows the core's work list.
    void showWorkList();

    Wizard& wizard_;
    std::unique_ptr<Ui::OrdnerAuswahl> ui_;
    InputGate* gate_;
    std::unique_ptr<ScreenFit> fit_;
};

}  // namespace zendrik
