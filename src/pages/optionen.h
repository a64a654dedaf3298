// The options page, the window shown at start: the three switches that the repair run reads
// when it needs them, and the way on to the folder page or the information window.
#pragma once

#include <QWidget>
#include <memory>

namespace Ui {
class Optionen;
}

namespace zendrik {

class InputGate;
class Wizard;

class Optionen : public QWidget {
    Q_OBJECT

  public:
    explicit Optionen(Wizard& wizard);
    ~Optionen() override;

    // The state of removeExtensionsCheck at this moment, as the core holds it.
    bool removeIncompleteExtensions() const;
    // The state of compareextensionsCheck at this moment, as the core holds it.
    bool compareExtensions() const;

    void NextButton_Click();
    void InfoButton_Click();
    void CancelButton_Click();

  protected:
    // Enter presses the focused button, else the main one; Escape acts as "Cancel".
    void keyPressEvent(QKeyEvent* event) override;
    // The buttons take input made from now on.
    void showEvent(QShowEvent* event) override;
    // Closing by the frame ends the program, as "Cancel" does.
    void closeEvent(QCloseEvent* event) override;

  private:
    Wizard& wizard_;
    std::unique_ptr<Ui::Optionen> ui_;
    InputGate* gate_;
};

}  // namespace zendrik
