// The repair page: runs the repair pass over the work list when it is first shown, shows the
// log and the folder in work while a pass runs, and offers "COPY!" (the exchange pass),
// "Save Log", "Finish" and "Cancel" by the button rule.
//
// A pass runs on a worker thread with a log of its own; its lines and the status text reach
// the page ten and more times a second, so the page stays readable and only the buttons are
// inactive. Closing the window during a pass ends the program once the worker has finished
// the file operation under way.
#pragma once

#include <QString>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <thread>

#include "journal/journaled_run.h"
#include "log/log.h"
#include "pages/log_model.h"
#include "wizard/pass_relay.h"
#include "repair/repair_run.h"

namespace Ui {
class Reparier;
}

namespace zendrik {

class InputGate;
class ScreenFit;
class Wizard;

class Reparier : public QWidget {
    Q_OBJECT

  public:
    explicit Reparier(Wizard& wizard);
    ~Reparier() override;

    // The log as the page shows it; lines arrive while a pass runs.
    Log& log() { return log_; }
    // True from the start of a pass until its last line reached the page.
    bool passRunning() const { return running_; }

    // The button rule, then the repair pass.
    void Form_Activate();
    // "COPY!": swaps the buttons, then runs the exchange pass when compareextensionsCheck is on.
    void NextButton_Click();
    void SaveLogButton_Click();
    void FinishButton_Click();
    void CancelButton_Click();

  signals:
    // A pass has ended and the page's buttons take input again.
    void passFinished();

  protected:
    // Enter presses the focused button, else the main one; Escape acts as "Cancel".
    void keyPressEvent(QKeyEvent* event) override;
    // Fits the page to the screen; the first showing starts the repair pass once the page
    // has painted.
    void showEvent(QShowEvent* event) override;
    // Closing by the frame ends the program, as "Cancel" does; during a pass once the
    // operation under way has finished.
    void closeEvent(QCloseEvent* event) override;

  private:
    void applyButtonRule();
    // Whether the four buttons take input; they do not before the first pass and while a
    // pass runs.
    void setButtonsActive(bool active);
    // Runs `pass` on the worker thread; the engine's file layer is the worker's until the
    // pass has ended.
    void runPass(const std::vector<std::string>& workList, std::function<void(RepairRun&)> pass);
    // The undo journal of a pass over `OrdnerListe`: the file layer the pass works through.
    std::unique_ptr<JournaledRun> CreateUNDObat(const std::vector<std::string>& OrdnerListe);
    // Brings what the worker wrote since the last call onto the page.
    void showProgress();
    // On the interface's thread, once the worker has returned.
    void passEnded();

    Wizard& wizard_;
    std::unique_ptr<Ui::Reparier> ui_;
    Log log_;
    LogModel model_;
    // The worker's side: the engine's log and run, touched only by the worker during a pass.
    Log workerLog_;
    PassRelay relay_;
    std::thread worker_;
    QTimer progress_;
    InputGate* gate_;
    std::unique_ptr<ScreenFit> fit_;
    bool activated_ = false;
    bool running_ = false;
    bool endWhenStopped_ = false;
    // "COPY!" was pressed: "Save Log" takes the focus once the exchange pass has ended.
    bool copied_ = false;
    QString lastSaveName_;
};

}  // namespace zendrik
