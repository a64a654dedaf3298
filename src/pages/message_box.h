// Message boxes with only an OK button, the one kind the program shows. Tests answer them in
// advance (setUnattended), so that no modal window blocks a test, and read back every box
// asked for.
#pragma once

#include <QString>
#include <vector>

class QWidget;

namespace zendrik {

class MessageBox {
  public:
    enum Button { Ok };
    struct Shown {
        QString title;
        QString text;
    };

    // Shows `text` under `title` with only an OK button and no icon; returns once it was
    // closed.
    static Button information(QWidget* parent, const QString& title, const QString& text);

    // When set, every box is answered with OK at once instead of being shown: its only
    // answer, given in advance.
    static void setUnattended(bool unattended);
    // Every box asked for since the last clearHistory, answered in advance or shown.
    static const std::vector<Shown>& history();
    static void clearHistory();
};

}  // namespace zendrik
