// The file dialogs for locating an executable and for saving the log. Tests name the file in
// advance, so that no modal dialog blocks a test, and read back every dialog asked for.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

class QFileDialog;
class QWidget;

namespace zendrik {

class FileDialog {
  public:
    enum class Kind { Open, Save };
    struct Request {
        Kind kind;
        QStringList nameFilters;
    };

    // Asks for an existing file whose name matches `pattern`, letter case ignored, offered
    // under `description`. Returns the chosen path, or "" when the user cancelled.
    static QString getOpenFileName(QWidget* parent, const QString& description,
                                   const QString& pattern);
    // Asks for a file to save to, offering `pattern` under `description` and starting at
    // `previous`. A name typed without an extension is returned as typed; "" when the user
    // cancelled.
    static QString getSaveFileName(QWidget* parent, const QString& description,
                                   const QString& pattern, const QString& previous);

    // Sets up `dialog` as getOpenFileName shows it.
    static void prepareOpenDialog(QFileDialog& dialog, const QString& description,
                                  const QString& pattern);

    // The next dialog is not shown but returns `name` at once ("" for a cancelled dialog).
    static void setNextFileName(const QString& name);
    // When set, every dialog that was not answered in advance returns "" at once.
    static void setUnattended(bool unattended);
    // Every dialog asked for since the last clearHistory.
    static const std::vector<Request>& history();
    static void clearHistory();
};

}  // namespace zendrik
