#include "pages/ordner_auswahl.h"

#include <QCloseEvent>
#include <QDir>
#include <algorithm>

#include "pages/file_dialog.h"
#include "pages/heading_font.h"
#include "pages/input_gate.h"
#include "pages/message_box.h"
#include "pages/optionen.h"
#include "pages/page_keys.h"
#include "pages/reparier.h"
#include "pages/screen_fit.h"
#include "pages/wizard.h"
#include "ui_ordner_auswahl.h"
#include "wizard/folder_list.h"
#include "wizard/folder_undo.h"
#include "wizard/wizard_core.h"

namespace zendrik {

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
    connect(ui_->UndoButton, &QPushButton::clicked, this, &OrdnerAuswahl::UndoButton_Click);
    connect(ui_->vorlOrdnerListe, &QListWidget::itemSelectionChanged, this,
            &OrdnerAuswahl::selectionChanged);
}

OrdnerAuswahl::~OrdnerAuswahl() = default;

int OrdnerAuswahl::locatedCount() const {
    return static_cast<int>(wizard_.core().folders().locatedCount());
}

std::vector<std::string> OrdnerAuswahl::workList() const {
    return wizard_.core().folders().workList();
}

void OrdnerAuswahl::OpenButton_Click() {
    QList<FileDialog::NameFilter> filters;
    for (const OpenFilter& filter : openFilters()) {
        QStringList patterns;
        for (const std::string& name : filter.names)
            patterns.push_back(QString::fromStdString(name));
        filters.push_back({QString::fromStdString(filter.description), patterns});
    }
    // The dialog starts where the finder found the game, and offers every installation found.
    FoundInstallations& found = wizard_.core().found();
    QStringList places;
    for (const std::string& folder : found.folders())
        places.push_back(QString::fromStdString(folder));
    const QString exe = FileDialog::getOpenFileName(
        this, filters, QString::fromStdString(found.startFolder()), places);
    const LocateResult located =
        wizard_.core().folders().locate(QDir::toNativeSeparators(exe).toStdString());
    if (!located.message.empty())
        MessageBox::information(this, QString(), QString::fromStdString(located.message));
    if (!located.listed) return;
    const std::string& path = wizard_.core().folders().located().back().path;
    auto* entry = new QListWidgetItem(QString::fromStdString(path), ui_->vorlOrdnerListe);
    entry->setSelected(located.selected);
}

void OrdnerAuswahl::selectionChanged() {
    FolderList& folders = wizard_.core().folders();
    const int count =
        std::min(ui_->vorlOrdnerListe->count(), static_cast<int>(folders.locatedCount()));
    for (int i = 0; i < count; ++i)
        folders.setSelected(static_cast<size_t>(i), ui_->vorlOrdnerListe->item(i)->isSelected());
}

void OrdnerAuswahl::showWorkList() {
    ui_->OrdnerListe->clear();
    for (const std::string& folder : wizard_.core().folders().workList())
        ui_->OrdnerListe->addItem(QString::fromStdString(folder));
}

void OrdnerAuswahl::NextButton_Click() {
    selectionChanged();
    if (!wizard_.core().flow().foldersNext()) return;
    showWorkList();
    wizard_.reparier().show();
    hide();
}

void OrdnerAuswahl::erstelleverzeichnisarray() {
    wizard_.core().folders().erstelleverzeichnisarray();
    showWorkList();
}

void OrdnerAuswahl::Command1_Click() {
    if (!wizard_.core().flow().back()) return;
    hide();
    wizard_.optionen().show();
}

void OrdnerAuswahl::CancelButton_Click() {
    wizard_.core().cancel();
}

void OrdnerAuswahl::UndoButton_Click() {
    selectionChanged();
    FolderUndo& undo = wizard_.core().undo();
    const std::vector<UndoOffer> offers = undo.offers();
    if (offers.empty())
        MessageBox::information(this, QString(), QString::fromUtf8(FolderUndo::kNothingSelected));
    for (const UndoOffer& offer : offers) {
        const QString text = QString::fromStdString(offer.text);
        if (!offer.run) {
            MessageBox::information(this, QString(), text);
        } else if (MessageBox::question(this, QString(), text)) {
            MessageBox::information(this, QString(), QString::fromStdString(undo.undo(offer)));
        }
    }
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
