#include "pages/reparier.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QShowEvent>
#include <exception>

#include "pages/file_dialog.h"
#include "pages/input_gate.h"
#include "pages/message_box.h"
#include "pages/optionen.h"
#include "pages/ordner_auswahl.h"
#include "pages/program_end.h"
#include "pages/wizard.h"
#include "ui_reparier.h"

namespace zendrik {
namespace {

// How long a running pass goes without letting the page repaint.
constexpr qint64 kRepaintEveryMs = 40;

}  // namespace

Reparier::Reparier(Wizard& wizard)
    : wizard_(wizard),
      ui_(std::make_unique<Ui::Reparier>()),
      run_(wizard.fileSystem(), log_),
      model_(log_),
      gate_(new InputGate(*this)) {
    ui_->setupUi(this);
    setButtonsActive(false);
    ui_->LogListbox->setModel(&model_);
    run_.setStatusListener([this](const std::string& status) {
        ui_->StatusFeld->setText(QString::fromStdString(status));
        showProgress();
    });
    connect(&model_, &QAbstractItemModel::rowsInserted, this, &Reparier::showProgress);
    connect(&model_, &QAbstractItemModel::dataChanged, this, &Reparier::showProgress);
    connect(ui_->NextButton, &QPushButton::clicked, this, &Reparier::NextButton_Click);
    connect(ui_->SaveLogButton, &QPushButton::clicked, this, &Reparier::SaveLogButton_Click);
    connect(ui_->FinishButton, &QPushButton::clicked, this, &Reparier::FinishButton_Click);
    connect(ui_->CancelButton, &QPushButton::clicked, this, &Reparier::CancelButton_Click);
}

Reparier::~Reparier() {
    ui_->LogListbox->setModel(nullptr);
}

void Reparier::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (activated_) return;
    activated_ = true;
    QMetaObject::invokeMethod(this, &Reparier::Form_Activate, Qt::QueuedConnection);
}

void Reparier::closeEvent(QCloseEvent* event) {
    if (running_) {
        event->ignore();
        return;
    }
    event->accept();
    CancelButton_Click();
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
    runPass([this] {
        run_.repairPass(wizard_.ordnerAuswahl().workList(),
                        wizard_.optionen().removeIncompleteExtensions());
    });
}

void Reparier::runPass(const std::function<void()>& pass) {
    running_ = true;
    setEnabled(false);
    lastPaint_.invalidate();
    showProgress();
    // A failed folder is logged by the pass itself, which then goes on with the next one.
    pass();
    ui_->LogListbox->scrollToBottom();
    // Input that arrived during the pass reaches a disabled page and is dropped.
    QCoreApplication::processEvents();
    setEnabled(true);
    setButtonsActive(true);
    gate_->open();
    running_ = false;
    emit passFinished();
}

void Reparier::showProgress() {
    if (!running_ || (lastPaint_.isValid() && lastPaint_.elapsed() < kRepaintEveryMs)) return;
    ui_->LogListbox->scrollToBottom();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    lastPaint_.start();
}

void Reparier::NextButton_Click() {
    ui_->NextButton->setVisible(false);
    ui_->FinishButton->setVisible(true);
    ui_->CancelButton->setVisible(false);
    ui_->SaveLogButton->setVisible(true);
    if (!wizard_.optionen().compareExtensions()) return;
    setWindowTitle(QStringLiteral("copying extensions..."));
    runPass([this] { run_.exchangePass(wizard_.ordnerAuswahl().workList()); });
}

void Reparier::SaveLogButton_Click() {
    const QString name = FileDialog::getSaveFileName(this, QStringLiteral("Textfile"),
                                                     QStringLiteral("*.txt"), lastSaveName_);
    if (name.isEmpty()) return;
    lastSaveName_ = name;
    try {
        saveLog(wizard_.fileSystem(), log_, name.toStdString());
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
