#include "pages/ordner_auswahl.h"

#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <algorithm>

#include "pages/file_dialog.h"
#include "pages/message_box.h"
#include "pages/wizard.h"
#include "wizard/folder_list.h"
#include "wizard/folder_undo.h"
#include "wizard/wizard_core.h"

namespace zendrik {

OrdnerAuswahl::OrdnerAuswahl(Wizard& wizard)
    : PageWindow(ordnerAuswahlTable()), wizard_(wizard), OrdnerListe_(new QListWidget(this)) {
    OrdnerListe_->setObjectName(QStringLiteral("OrdnerListe"));
    OrdnerListe_->hide();
    connect(button(OpenButton), &QPushButton::clicked, this, &OrdnerAuswahl::OpenButton_Click);
    connect(button(NextButton), &QPushButton::clicked, this, &OrdnerAuswahl::NextButton_Click);
    for (int id : {Command1, CancelButton}) {
        connect(button(id), &QPushButton::clicked, this,
                [this, id] { wizard_.flowClick(Wizard::Folders, id); });
    }
    connect(button(UndoButton), &QPushButton::clicked, this, &OrdnerAuswahl::UndoButton_Click);
    connect(control<QListWidget>(vorlOrdnerListe), &QListWidget::itemSelectionChanged, this,
            &OrdnerAuswahl::selectionChanged);
}

OrdnerAuswahl::~OrdnerAuswahl() = default;

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
        MessageBoxes::ok(this, QString(), QString::fromStdString(located.message));
    if (!located.listed) return;
    const std::string& path = wizard_.core().folders().located().back().path;
    auto* entry =
        new QListWidgetItem(QString::fromStdString(path), control<QListWidget>(vorlOrdnerListe));
    entry->setSelected(located.selected);
}

void OrdnerAuswahl::selectionChanged() {
    FolderList& folders = wizard_.core().folders();
    const int count = std::min(control<QListWidget>(vorlOrdnerListe)->count(),
                               static_cast<int>(folders.locatedCount()));
    for (int i = 0; i < count; ++i)
        folders.setSelected(static_cast<size_t>(i),
                            control<QListWidget>(vorlOrdnerListe)->item(i)->isSelected());
}

void OrdnerAuswahl::showWorkList() {
    OrdnerListe_->clear();
    for (const std::string& folder : wizard_.core().folders().workList())
        OrdnerListe_->addItem(QString::fromStdString(folder));
}

void OrdnerAuswahl::NextButton_Click() {
    selectionChanged();
    if (!wizard_.core().flow().foldersNext()) return;
    showWorkList();
    wizard_.showPages();
}

void OrdnerAuswahl::UndoButton_Click() {
    selectionChanged();
    FolderUndo& undo = wizard_.core().undo();
    const std::vector<UndoOffer> offers = undo.offers();
    if (offers.empty())
        MessageBoxes::ok(this, QString(), QString::fromUtf8(FolderUndo::kNothingSelected));
    for (const UndoOffer& offer : offers) {
        const QString text = QString::fromStdString(offer.text);
        if (!offer.run) {
            MessageBoxes::ok(this, QString(), text);
        } else if (MessageBoxes::yesNo(this, QString(), text)) {
            MessageBoxes::ok(this, QString(), QString::fromStdString(undo.undo(offer)));
        }
    }
}

bool OrdnerAuswahl::onClose() {
    wizard_.core().cancel();
    return true;
}

}  // namespace zendrik
