// The repair page: runs the repair pass over the work list when it is first shown, shows the
// log and the folder in work while a pass runs, and offers "COPY!" (the exchange pass),
// "Save Log", "Finish" and "Cancel" by the button rule.
#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

#include "pages/log_model.h"
#include "repair/log.h"
#include "repair/repair_run.h"

namespace Ui {
class Reparier;
}

namespace zendrik {

class InputGate;
class Wizard;

class Reparier : public QWidget {
    Q_OBJECT

  public:
    explicit Reparier(Wizard& wizard);
    ~Reparier() override;

    Log& log() { return log_; }
    // True from the start of a pass until it returned; the page takes no input meanwhile.
    bool passRunning() const { return running_; }

    // The button rule, then the repair pass.
    void Form_Activate();
    // "COPY!": swaps the buttons, then runs the exchange pass when compareextensionsCheck is on.
    void NextButton_Click();
    void SaveLogButton_Click();
    void FinishButton_Click();
    void CancelButton_Click();

  signals:
    // A pass has returned and the page takes input again.
    void passFinished();

  protected:
    // The first showing starts the repair pass once the page has painted.
    void showEvent(QShowEvent* event) override;
    // Closing by the frame ends the program, as "Cancel" does; not while a pass runs.
    void closeEvent(QCloseEvent* event) override;

  private:
    void applyButtonRule();
    // Whether the four buttons take input; they do not before the first pass and while a
    // pass runs.
    void setButtonsActive(bool active);
    void runPass(const std::function<void()>& pass);
    // Lets the page repaint, at most every few tens of milliseconds, while a pass runs.
    void showProgress();

    Wizard& wizard_;
    std::unique_ptr<Ui::Reparier> ui_;
    Log log_;
    RepairRun run_;
    LogModel model_;
    QElapsedTimer lastPaint_;
    InputGate* gate_;
    bool activated_ = false;
    bool running_ = false;
    QString lastSaveName_;
};

}  // namespace zendrik
