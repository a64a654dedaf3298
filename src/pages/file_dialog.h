// The file dialogs for locating an executable and for saving the log. Tests name the file in
// advance through the seam (setNextFileName, setUnattended), so that no modal dialog blocks a
// test, and read back every dialog asked for.
#pragma once

#include <QString>
#include <QStringList>

#include "wizard/dialog_seam.h"

class QFileDialog;
class QWidget;

namespace zendrik {

struct FileRequest {
    enum class Kind { Open, Save };
    Kind kind;
    // The file types offered, in order, each as Qt shows it: "Description (a b)".
    QStringList nameFilters;
    // Where an open dialog starts ("" for Qt's choice), and the folders its side bar offers
    // besides its own.
    QString directory;
    QStringList places;
};

class FileDialog : public DialogSeam<FileRequest, QString> {
  public:
    using Request = FileRequest;
    using Kind = FileRequest::Kind;
    // A file type: its description and the name patterns it shows.
    struct NameFilter {
        QString description;
        QStringList patterns;
    };

    // Asks for an existing file, offering `filters` in order, the first chosen at the start;
    // a file type shows the files whose names match any of its patterns, letter case
    // ignored. The dialog starts in `directory` (unless "") and offers `places` in its side
    // bar. Returns the chosen path, or "" when the user cancelled.
    static QString getOpenFileName(QWidget* parent, const QList<NameFilter>& filters,
                                   const QString& directory = {}, const QStringList& places = {});
    // Asks for a file to save to, offering `pattern` under `description` and starting at
    // `previous`. A name typed without an extension is returned as typed; "" when the user
    // cancelled.
    static QString getSaveFileName(QWidget* parent, const QString& description,
                                   const QString& pattern, const QString& previous);

    // Sets up `dialog` as getOpenFileName shows it.
    static void prepareOpenDialog(QFileDialog& dialog, const QList<NameFilter>& filters,
                                  const QString& directory = {}, const QStringList& places = {});

    // The next dialog is not shown but returns `name` at once ("" for a cancelled dialog).
    static void setNextFileName(const QString& name) { setNext(name); }
};

}  // namespace zendrik
