#include "pages/file_dialog.h"

#include <QFileDialog>
#include <deque>
#include <optional>

namespace zendrik {
namespace {

std::deque<QString>& names() {
    static std::deque<QString> queued;
    return queued;
}

std::vector<FileDialog::Request>& requests() {
    static std::vector<FileDialog::Request> asked;
    return asked;
}

bool& unattended() {
    static bool on = false;
    return on;
}

// The answer given in advance, if any; records the request either way.
std::optional<QString> answerInAdvance(FileDialog::Kind kind, const QStringList& filters) {
    requests().push_back({kind, filters});
    if (!names().empty()) {
        QString name = names().front();
        names().pop_front();
        return name;
    }
    if (unattended()) return QString();
    return std::nullopt;
}

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

void FileDialog::prepareOpenDialog(QFileDialog& dialog, const QList<NameFilter>& filters) {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    // Qt's own dialog, whose name filter ignores letter case when QDir::CaseSensitive is off.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
    dialog.setNameFilters(filtersOf(filters));
}

QString FileDialog::getOpenFileName(QWidget* parent, const QList<NameFilter>& filters) {
    if (auto name = answerInAdvance(Kind::Open, filtersOf(filters))) return *name;
    QFileDialog dialog(parent);
    prepareOpenDialog(dialog, filters);
    return chosen(dialog);
}

QString FileDialog::getSaveFileName(QWidget* parent, const QString& description,
                                    const QString& pattern, const QString& previous) {
    if (auto name = answerInAdvance(Kind::Save, {filterOf(description, pattern)})) return *name;
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(filterOf(description, pattern));
    if (!previous.isEmpty()) dialog.selectFile(previous);
    return chosen(dialog);
}

void FileDialog::setNextFileName(const QString& name) {
    names().push_back(name);
}

void FileDialog::setUnattended(bool on) {
    unattended() = on;
}

const std::vector<FileDialog::Request>& FileDialog::history() {
    return requests();
}

void FileDialog::clearHistory() {
    requests().clear();
    names().clear();
}

}  // namespace zendrik
