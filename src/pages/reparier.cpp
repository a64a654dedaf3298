#include "pages/reparier.h"

#include <QDir>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>

#include "pages/file_dialog.h"
#include "pages/input_gate.h"
#include "pages/log_view.h"
#include "pages/message_box.h"
#include "pages/wizard.h"

namespace zendrik {

Reparier::Reparier(Wizard& wizard)
    : PageWindow(reparierTable()), wizard_(wizard), model_(wizard.core().repair().log()) {
    activateButtons();
    logList().setModel(&model_);
    new LogView(logList());
    progress_.setInterval(RepairPage::kProgressEveryMs);
    connect(&progress_, &QTimer::timeout, this, &Reparier::showProgress);
    const std::pair<int, void (Reparier::*)()> clicks[] = {
        {NextButton, &Reparier::NextButton_Click},
        {SaveLogButton, &Reparier::SaveLogButton_Click},
        {FinishButton, &Reparier::FinishButton_Click},
        {CancelButton, &Reparier::CancelButton_Click},
        {BackButton, &Reparier::BackButton_Click},
        {UndoButton, &Reparier::UndoButton_Click}};
    for (const auto& [id, click] : clicks) connect(button(id), &QPushButton::clicked, this, click);
}

Reparier::~Reparier() {
    // A pass still running stops before the page that shows it goes.
    core().shutdown();
    logList().setModel(nullptr);
}

QListView& Reparier::logList() const {
    return *control<QListView>(LogListbox);
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

void Reparier::onShown() {
    QMetaObject::invokeMethod(this, &Reparier::Form_Activate, Qt::QueuedConnection);
}

bool Reparier::onClose() {
    return core().close();
}

int Reparier::mainButton() const {
    return core().mainButton();
}

void Reparier::showButtons() {
    const RepairButtons shown = core().buttons();
    const std::pair<int, bool> buttons[] = {
        {NextButton, shown.copy},       {FinishButton, shown.finish}, {CancelButton, shown.cancel},
        {SaveLogButton, shown.saveLog}, {BackButton, shown.back},     {UndoButton, shown.undo}};
    for (const auto& [id, on] : buttons) control(id)->setVisible(on);
}

void Reparier::activateButtons() {
    const bool active = core().buttonsActive();
    for (int id : {CancelButton, FinishButton, NextButton, SaveLogButton, BackButton, UndoButton})
        control(id)->setEnabled(active);
}

void Reparier::Form_Activate() {
    if (!core().activate()) return;
    setWindowTitle(QString::fromStdString(core().caption()));
    control<QLineEdit>(StatusFeld)->setText(QString::fromStdString(core().status()));
    showButtons();
    activateButtons();
    progress_.start();
}

bool Reparier::following() const {
    const QScrollBar* bar = logList().verticalScrollBar();
    return bar->value() == bar->maximum();
}

void Reparier::present(const RepairPage::Progress& progress, bool following) {
    if (progress.statusChanged)
        control<QLineEdit>(StatusFeld)->setText(QString::fromStdString(core().status()));
    if (progress.logChanged && following) logList().scrollToBottom();
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
    if (core().saveLogTakesFocus()) control(SaveLogButton)->setFocus();
    gate().open();
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
        control(SaveLogButton)->setFocus();
}

void Reparier::SaveLogButton_Click() {
    const QString name =
        FileDialog::getSaveFileName(this, QStringLiteral("Textfile"), QStringLiteral("*.txt"),
                                    QString::fromStdString(core().lastSaveName()));
    const std::optional<std::string> failure =
        core().saveLog(QDir::toNativeSeparators(name).toStdString());
    if (failure) MessageBoxes::ok(this, QString(), QString::fromStdString(*failure));
}

void Reparier::FinishButton_Click() {
    core().finish([this](const std::string& reminder) {
        MessageBoxes::ok(this, QString(), QString::fromStdString(reminder));
    });
}

void Reparier::CancelButton_Click() {
    core().cancel();
}

void Reparier::BackButton_Click() {
    if (wizard_.core().repairBack()) wizard_.showPages();
}

void Reparier::UndoButton_Click() {
    core().undo();
    showButtons();
    activateButtons();
    if (core().passRunning()) progress_.start();
}

}  // namespace zendrik
