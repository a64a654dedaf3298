#include "pages/file_dialog.h"

#include <QFileDialog>
#include <QUrl>

namespace zendrik {
namespace {

QString filterOf(const QString& description, const QString& pattern) {
    return description + QStringLiteral(" (") + pattern + QLatin1Char(')');
}

// Qt's form of a file type: its patterns separated by blanks.
QStringList filtersOf(const QList<FileDialog::NameFilter>& filters) {
    QStringList written;
    for (const FileDialog::NameFilter& filter : filters)
        written.push_back(filterOf(filter.description, filter.patterns.join(QLatin1Char(' '))));
    return written;
}

QString chosen(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().constFirst();
}

}  // namespace

void FileDialog::prepareOpenDialog(QFileDialog& dialog, const QList<NameFilter>& filters,
                                   const QString& directory, const QStringList& places) {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    // Qt's own dialog, whose name filter ignores letter case when QDir::CaseSensitive is off.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
    dialog.setNameFilters(filtersOf(filters));
    if (!directory.isEmpty()) dialog.setDirectory(directory);
    QList<QUrl> sidebar = dialog.sidebarUrls();
    for (const QString& place : places) sidebar.push_back(QUrl::fromLocalFile(place));
    dialog.setSidebarUrls(sidebar);
}

QString FileDialog::getOpenFileName(QWidget* parent, const QList<NameFilter>& filters,
                                    const QString& directory, const QStringList& places) {
    if (auto name = answerOf({Kind::Open, filtersOf(filters), directory, places}, QString()))
        return *name;
    QFileDialog dialog(parent);
    prepareOpenDialog(dialog, filters, directory, places);
    return chosen(dialog);
}

QString FileDialog::getSaveFileName(QWidget* parent, const QString& description,
                                    const QString& pattern, const QString& previous) {
    if (auto name = answerOf({Kind::Save, {filterOf(description, pattern)}, {}, {}}, QString()))
        return *name;
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(filterOf(description, pattern));
    if (!previous.isEmpty()) dialog.selectFile(previous);
    return chosen(dialog);
}

}  // namespace zendrik
