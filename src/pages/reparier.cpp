#include "pages/reparier.h"

#include <QCloseEvent>
#include <QDir>
#include <QScrollBar>
#include <QShowEvent>

#include "pages/file_dialog.h"
#include "pages/input_gate.h"
#include "pages/log_view.h"
#include "pages/message_box.h"
#include "pages/optionen.h"
#include "pages/page_keys.h"
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
      model_(wizard.core().repair().log()),
      gate_(new InputGate(*this)) {
    ui_->setupUi(this);
    fit_ = std::make_unique<ScreenFit>(*this, *ui_->LogListbox);
    activateButtons();
    pressFocusedButtonOnEnter(*this);
    ui_->LogListbox->setModel(&model_);
    new LogView(*ui_->LogListbox);
    progress_.setInterval(kProgressEveryMs);
    connect(&progress_, &QTimer::timeout, this, &Reparier::showProgress);
    connect(ui_->NextButton, &QPushButton::clicked, this, &Reparier::NextButton_Click);
    connect(ui_->SaveLogButton, &QPushButton::clicked, this, &Reparier::SaveLogButton_Click);
    connect(ui_->FinishButton, &QPushButton::clicked, this, &Reparier::FinishButton_Click);
    connect(ui_->CancelButton, &QPushButton::clicked, this, &Reparier::CancelButton_Click);
    connect(ui_->BackButton, &QPushButton::clicked, this, &Reparier::BackButton_Click);
    connect(ui_->UndoButton, &QPushButton::clicked, this, &Reparier::UndoButton_Click);
}

Reparier::~Reparier() {
    // A pass still running stops before the page that shows it goes.
    core().shutdown();
    ui_->LogListbox->setModel(nullptr);
}

RepairPage& Reparier::core() const {
    return wizard_.core().repair();
}

Log& Reparier::log() {
    return core().log();
}

bool Reparier::passRunning() const {
    return core().passRunning();
}

void Reparier::showEvent(QShowEvent* event) {
    fit_->apply();
    QWidget::showEvent(event);
    QMetaObject::invokeMethod(this, &Reparier::Form_Activate, Qt::QueuedConnection);
}

void Reparier::closeEvent(QCloseEvent* event) {
    if (core().close())
        event->accept();
    else
        event->ignore();
}

void Reparier::keyPressEvent(QKeyEvent* event) {
    QAbstractButton* main = ui_->NextButton->isVisible() ? ui_->NextButton : ui_->FinishButton;
    if (!pressPageButton(event, main, ui_->CancelButton)) QWidget::keyPressEvent(event);
}

void Reparier::showButtons() {
    const RepairButtons shown = core().buttons();
    ui_->NextButton->setVisible(shown.copy);
    ui_->FinishButton->setVisible(shown.finish);
    ui_->CancelButton->setVisible(shown.cancel);
    ui_->SaveLogButton->setVisible(shown.saveLog);
    ui_->BackButton->setVisible(shown.back);
    ui_->UndoButton->setVisible(shown.undo);
}

void Reparier::activateButtons() {
    const bool active = core().buttonsActive();
    for (QWidget* button : {ui_->CancelButton, ui_->FinishButton, ui_->NextButton,
                            ui_->SaveLogButton, ui_->BackButton, ui_->UndoButton})
        button->setEnabled(active);
}

void Reparier::Form_Activate() {
    if (!core().activate()) return;
    setWindowTitle(QString::fromStdString(core().caption()));
    ui_->StatusFeld->setText(QString::fromStdString(core().status()));
    showButtons();
    activateButtons();
    progress_.start();
}

bool Reparier::following() const {
    const QScrollBar* bar = ui_->LogListbox->verticalScrollBar();
    return bar->value() == bar->maximum();
}

void Reparier::present(const RepairPage::Progress& progress, bool following) {
    if (progress.statusChanged) ui_->StatusFeld->setText(QString::fromStdString(core().status()));
    if (progress.logChanged && following) ui_->LogListbox->scrollToBottom();
}

void Reparier::showProgress() {
    const bool follow = following();
    present(core().poll(), follow);
}

void Reparier::passEnded() {
    if (!core().passRunning()) return;
    progress_.stop();
    const bool follow = following();
    // Ends the program instead when the page was closed during the pass.
    present(core().passEnded(), follow);
    showButtons();
    activateButtons();
    if (core().saveLogTakesFocus()) ui_->SaveLogButton->setFocus();
    gate_->open();
    emit passFinished();
}

void Reparier::NextButton_Click() {
    core().copy();
    showButtons();
    setWindowTitle(QString::fromStdString(core().caption()));
    activateButtons();
    if (core().passRunning())
        progress_.start();
    else if (core().saveLogTakesFocus())
        ui_->SaveLogButton->setFocus();
}

void Reparier::SaveLogButton_Click() {
    const QString name =
        FileDialog::getSaveFileName(this, QStringLiteral("Textfile"), QStringLiteral("*.txt"),
                                    QString::fromStdString(core().lastSaveName()));
    const std::optional<std::string> failure =
        core().saveLog(QDir::toNativeSeparators(name).toStdString());
    if (failure) MessageBox::information(this, QString(), QString::fromStdString(*failure));
}

void Reparier::FinishButton_Click() {
    core().finish([this](const std::string& reminder) {
        MessageBox::information(this, QString(), QString::fromStdString(reminder));
    });
}

void Reparier::CancelButton_Click() {
    core().cancel();
}

void Reparier::BackButton_Click() {
    if (!wizard_.core().repairBack()) return;
    hide();
    wizard_.optionen().show();
}

void Reparier::UndoButton_Click() {
    core().undo();
    showButtons();
    activateButtons();
    if (core().passRunning()) progress_.start();
}

}  // namespace zendrik
