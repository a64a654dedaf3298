#include "pages/ordner_auswahl.h"

#include <QCloseEvent>
#include <QDir>
#include <exception>

#include "filesystem/file_system.h"
#include "filesystem/names.h"
#include "pages/file_dialog.h"
#include "pages/heading_font.h"
#include "pages/input_gate.h"
#include "pages/message_box.h"
#include "pages/optionen.h"
#include "pages/page_keys.h"
#include "pages/program_end.h"
#include "pages/reparier.h"
#include "pages/screen_fit.h"
#include "pages/wizard.h"
#include "repair/installation_folder.h"
#include "ui_ordner_auswahl.h"

namespace zendrik {

std::optional<QString> installationFolderOf(const QString& exe) {
    // The file dialog names files by absolute paths; anything else is no pick of it.
    if (QDir::isRelativePath(exe)) return std::nullopt;
    const auto folder = installationFolderOfExecutable(QDir::toNativeSeparators(exe).toStdString());
    if (!folder) return std::nullopt;
    return QString::fromStdString(*folder);
}

OrdnerAuswahl::OrdnerAuswahl(Wizard& wizard)
    : wizard_(wizard), ui_(std::make_unique<Ui::OrdnerAuswahl>()), gate_(new InputGate(*this)) {
    ui_->setupUi(this);
    ui_->Label1->setFont(headingFont());
    ui_->OrdnerListe->hide();
    pressFocusedButtonOnEnter(*this);
    fit_ = std::make_unique<ScreenFit>(*this, *ui_->vorlOrdnerListe);
    connect(ui_->OpenButton, &QPushButton::clicked, this, &OrdnerAuswahl::OpenButton_Click);
    connect(ui_->NextButton, &QPushButton::clicked, this, &OrdnerAuswahl::NextButton_Click);
    connect(ui_->Command1, &QPushButton::clicked, this, &OrdnerAuswahl::Command1_Click);
    connect(ui_->CancelButton, &QPushButton::clicked, this, &OrdnerAuswahl::CancelButton_Click);
}

OrdnerAuswahl::~OrdnerAuswahl() = default;

int OrdnerAuswahl::locatedCount() const {
    return ui_->vorlOrdnerListe->count();
}

std::vector<std::string> OrdnerAuswahl::workList() const {
    std::vector<std::string> folders;
    for (int i = 0; i < ui_->OrdnerListe->count(); ++i)
        folders.push_back(ui_->OrdnerListe->item(i)->text().toStdString());
    return folders;
}

void OrdnerAuswahl::OpenButton_Click() {
    const QString exe =
        FileDialog::getOpenFileName(this, QStringLiteral("Search for UnrealTournament.exe"),
                                    QStringLiteral("UnrealTournament.exe"));
    if (exe.isEmpty()) return;
    for (int i = 0; i < ui_->vorlOrdnerListe->count(); ++i) {
        if (ui_->vorlOrdnerListe->item(i)->text() == exe) return;
    }
    const std::optional<QString> folder = installationFolderOf(exe);
    if (!folder) {
        MessageBox::information(
            this, QString(),
            QStringLiteral("%1 is not inside a folder of an installation: UnrealTournament.exe "
                           "must lie in a sub-folder (System) of the installation folder.")
                .arg(exe));
        return;
    }
    bool writable = true;
    try {
        // The disk as it is now: an installation unpacked since the last look is there.
        wizard_.fileSystem().forgetCache();
        const std::string path = QDir::toNativeSeparators(exe).toStdString();
        wizard_.fileSystem().nameExactly(path);  // the file the user chose, as spelled
        wizard_.fileSystem().testAppend(path);
    } catch (const std::exception&) {
        writable = false;
    }
    if (!writable) {
        MessageBox::information(this, QString(),
                                QStringLiteral("disable write protection on ") + *folder);
    }
    auto* entry = new QListWidgetItem(exe, ui_->vorlOrdnerListe);
    entry->setSelected(writable);
}

void OrdnerAuswahl::NextButton_Click() {
    if (ui_->vorlOrdnerListe->count() == 0) return;
    erstelleverzeichnisarray();
    wizard_.reparier().show();
    hide();
}

void OrdnerAuswahl::erstelleverzeichnisarray() {
    for (int i = 0; i < ui_->vorlOrdnerListe->count(); ++i) {
        const QListWidgetItem* entry = ui_->vorlOrdnerListe->item(i);
        if (!entry->isSelected()) continue;
        if (const std::optional<QString> folder = installationFolderOf(entry->text()))
            ui_->OrdnerListe->addItem(*folder);
    }
}

void OrdnerAuswahl::Command1_Click() {
    hide();
    wizard_.optionen().show();
}

void OrdnerAuswahl::CancelButton_Click() {
    endProgram();
}

void OrdnerAuswahl::showEvent(QShowEvent* event) {
    fit_->apply();
    QWidget::showEvent(event);
    gate_->open();
}

void OrdnerAuswahl::keyPressEvent(QKeyEvent* event) {
    if (!pressPageButton(event, ui_->NextButton, ui_->CancelButton)) QWidget::keyPressEvent(event);
}

void OrdnerAuswahl::closeEvent(QCloseEvent* event) {
    event->accept();
    CancelButton_Click();
}

}  // namespace zendrik
