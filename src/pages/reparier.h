// The repair page: shows the core's repair page. The repair pass starts when the page is
// first shown; the log and the folder in work reach the page ten and more times a second
// while a pass runs on the core's worker, so the page stays readable and only the buttons
// are inactive. "COPY!", "Save Log", "Finish", "Cancel", "<- Back" (after a preview) and
// "Undo" are shown and take input as the core's button rule says. Closing the window during a pass
// ends the program once the worker has finished the file operation under way.
#pragma once

#include <QTimer>

#include "log/log.h"
#include "pages/log_model.h"
#include "pages/page_window.h"
#include "wizard/repair_page.h"

class QListView;

namespace zendrik {

class Wizard;

class Reparier : public PageWindow<QWidget>, public ReparierControls {
    Q_OBJECT

  public:
    explicit Reparier(Wizard& wizard);
    ~Reparier() override;

    // The log as the page shows it; lines arrive while a pass runs.
    Log& log();
    // True from the start of a pass until its last line reached the page.
    bool passRunning() const;

    // The button rule, then the repair pass; only the first call does anything.
    void Form_Activate();
    // "COPY!": swaps the buttons, then runs the exchange pass when compareextensionsCheck is on.
    void NextButton_Click();
    void SaveLogButton_Click();
    void FinishButton_Click();
    void CancelButton_Click();
    // After a preview: back to the options page; the next showing runs the repair afresh.
    void BackButton_Click();
    // Takes the page's runs back on the core's worker, the undo's lines in the log.
    void UndoButton_Click();
    // On the interface's thread, once the core's worker has returned from a pass.
    void passEnded();

  signals:
    // A pass has ended and the page's buttons take input again.
    void passFinished();

  protected:
    // "COPY!" while it is offered, else "Finish".
    int mainButton() const override;
    // The first showing starts the repair pass once the page has painted; the buttons take
    // input once a pass has ended.
    void onShown() override;
    // Closing by the frame ends the program, as "Cancel" does; during a pass once the
    // operation under way has finished.
    bool onClose() override;

  private:
    RepairPage& core() const;
    // Shows the buttons the core's rule names.
    void showButtons();
    // Whether the four buttons take input, as the core says.
    void activateButtons();
    // Brings what the worker wrote since the last call onto the page.
    void showProgress();
    // Shows `progress`; the view follows the newest line when `following`.
    void present(const RepairPage::Progress& progress, bool following);
    // Whether the view shows the newest line.
    bool following() const;

    QListView& logList() const;

    Wizard& wizard_;
    LogModel model_;
    QTimer progress_;
};

}  // namespace zendrik
