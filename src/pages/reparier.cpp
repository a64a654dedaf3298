#include "pages/reparier.h"
#include "repair/saved_log.h"

#include <QDir>

#include <QCloseEvent>
#include <QScrollBar>
#include <QShowEvent>
#include <exception>

#include "pages/file_dialog.h"
#include "pages/input_gate.h"
#include "pages/log_view.h"
#include "pages/message_box.h"
#include "pages/optionen.h"
#include "pages/ordner_auswahl.h"
#include "pages/page_keys.h"
#include "pages/program_end.h"
#include "pages/screen_fit.h"
#include "pages/wizard.h"
#include "ui_reparier.h"

namespace zendrik {
namespace {

// How often a running pass's lines and status reach the page.
constexpr int kProgressEveryMs = 50;

}  // namespace

Reparier::Reparier(Wizard& wizard)
    : wizard_(wizard),
      ui_(std::make_unique<Ui::Reparier>()),
      model_(log_),
      gate_(new InputGate(*this)) {
    ui_->setupUi(this);
    fit_ = std::make_unique<ScreenFit>(*this, *ui_->LogListbox);
    setButtonsActive(false);
    pressFocusedButtonOnEnter(*this);
    ui_->LogListbox->setModel(&model_);
    new LogView(*ui_->LogListbox);
    // The page keeps every line; the worker's log only the last, which a step may extend.
    workerLog_.keepAllLines(false);
    workerLog_.addObserver(&relay_);
    progress_.setInterval(kProgressEveryMs);
    connect(&progress_, &QTimer::timeout, this, &Reparier::showProgress);
    connect(ui_->NextButton, &QPushButton::clicked, this, &Reparier::NextButton_Click);
    connect(ui_->SaveLogButton, &QPushButton::clicked, this, &Reparier::SaveLogButton_Click);
    connect(ui_->FinishButton, &QPushButton::clicked, this, &Reparier::FinishButton_Click);
    connect(ui_->CancelButton, &QPushButton::clicked, this, &Reparier::CancelButton_Click);
}

Reparier::~Reparier() {
    if (worker_.joinable()) {
        relay_.requestStop();
        worker_.join();
    }
    workerLog_.removeObserver(&relay_);
    ui_->LogListbox->setModel(nullptr);
}

void Reparier::showEvent(QShowEvent* event) {
    fit_->apply();
    QWidget::showEvent(event);
    if (activated_) return;
    activated_ = true;
    QMetaObject::invokeMethod(this, &Reparier::Form_Activate, Qt::QueuedConnection);
}

void Reparier::closeEvent(QCloseEvent* event) {
    if (running_) {
        endWhenStopped_ = true;
        relay_.requestStop();
        event->ignore();
        return;
    }
    event->accept();
    CancelButton_Click();
}

void Reparier::keyPressEvent(QKeyEvent* event) {
    QAbstractButton* main = ui_->NextButton->isVisible() ? ui_->NextButton : ui_->FinishButton;
    if (!pressPageButton(event, main, ui_->CancelButton)) QWidget::keyPressEvent(event);
}

void Reparier::applyButtonRule() {
    const bool one = wizard_.ordnerAuswahl().locatedCount() == 1;
    ui_->NextButton->setVisible(!one);
    ui_->FinishButton->setVisible(one);
    ui_->CancelButton->setVisible(!one);
    ui_->SaveLogButton->setVisible(one);
}

void Reparier::setButtonsActive(bool active) {
    for (QWidget* button :
         {ui_->CancelButton, ui_->FinishButton, ui_->NextButton, ui_->SaveLogButton})
        button->setEnabled(active);
}

void Reparier::Form_Activate() {
    applyButtonRule();
    const std::vector<std::string> workList = wizard_.ordnerAuswahl().workList();
    const bool removal = wizard_.optionen().removeIncompleteExtensions();
    runPass(workList, [workList, removal](RepairRun& run) { run.repairPass(workList, removal); });
}

std::unique_ptr<JournaledRun> Reparier::CreateUNDObat(const std::vector<std::string>& OrdnerListe) {
    return std::make_unique<JournaledRun>(wizard_.fileSystem(), OrdnerListe);
}

void Reparier::runPass(const std::vector<std::string>& workList,
                       std::function<void(RepairRun&)> pass) {
    running_ = true;
    setButtonsActive(false);
    progress_.start();
    FileSystem& fs = wizard_.fileSystem();
    worker_ = std::thread([this, &fs, workList, pass = std::move(pass)] {
        // A failed folder is logged by the pass itself, which then goes on with the next one.
        try {
            // Each pass is journaled, so that zendrik-cli --undo can take it back.
            const auto journal = CreateUNDObat(workList);
            RepairRun run(journal->fs(), workerLog_);
            run.setStatusListener([this](const std::string& status) { relay_.setStatus(status); });
            pass(run);
        } catch (const PassStopped&) {
            try {
                fs.syncDeferredWrites();
            } catch (const std::exception&) {
                // The program is ending; the next run finds the files as they are.
            }
        } catch (const std::exception& e) {
            try {
                workerLog_.addLine(std::string("  error: ") + e.what() +
                                   " (the rest of this pass was skipped)");
            } catch (const PassStopped&) {
            }
        }
        QMetaObject::invokeMethod(this, &Reparier::passEnded, Qt::QueuedConnection);
    });
}

void Reparier::showProgress() {
    PassRelay::Batch batch = relay_.take();
    if (batch.status) ui_->StatusFeld->setText(QString::fromStdString(*batch.status));
    if (batch.changes.empty()) return;
    // The view follows the newest line unless the reader has scrolled away from it.
    const QScrollBar* bar = ui_->LogListbox->verticalScrollBar();
    const bool following = bar->value() == bar->maximum();
    PassRelay::apply(batch.changes, log_);
    if (following) ui_->LogListbox->scrollToBottom();
}

void Reparier::passEnded() {
    worker_.join();
    progress_.stop();
    showProgress();
    running_ = false;
    if (endWhenStopped_) {
        emit passFinished();
        CancelButton_Click();
        return;
    }
    setButtonsActive(true);
    if (copied_) ui_->SaveLogButton->setFocus();
    gate_->open();
    emit passFinished();
}

void Reparier::NextButton_Click() {
    ui_->NextButton->setVisible(false);
    ui_->FinishButton->setVisible(true);
    ui_->CancelButton->setVisible(false);
    ui_->SaveLogButton->setVisible(true);
    copied_ = true;
    if (!wizard_.optionen().compareExtensions()) {
        ui_->SaveLogButton->setFocus();
        return;
    }
    setWindowTitle(QStringLiteral("copying extensions..."));
    const std::vector<std::string> workList = wizard_.ordnerAuswahl().workList();
    runPass(workList, [workList](RepairRun& run) { run.exchangePass(workList); });
}

void Reparier::SaveLogButton_Click() {
    const QString name = FileDialog::getSaveFileName(this, QStringLiteral("Textfile"),
                                                     QStringLiteral("*.txt"), lastSaveName_);
    if (name.isEmpty()) return;
    lastSaveName_ = name;
    try {
        // The disk as it is now: a folder made in the dialog is there. No pass runs, so the
        // file layer is this thread's.
        wizard_.fileSystem().forgetCache();
        const std::string path = QDir::toNativeSeparators(name).toStdString();
        wizard_.fileSystem().nameExactly(path);  // the file the user named, as spelled
        saveLog(wizard_.fileSystem(), log_, path);
    } catch (const std::exception& e) {
        MessageBox::information(
            this, QString(),
            QStringLiteral("The log was not saved: %1").arg(QString::fromStdString(e.what())));
    }
}

void Reparier::FinishButton_Click() {
    MessageBox::information(
        this, QString(),
        QStringLiteral("don\u00B4t forget to re-enable write protection on network drives!"));
    endProgram();
}

void Reparier::CancelButton_Click() {
    endProgram();
}

}  // namespace zendrik
