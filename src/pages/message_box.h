// Message boxes: with only an OK button, or a question with Yes and No. Tests answer them in
// advance (setUnattended, answerNext), so that no modal window blocks a test, and read back
// every box asked for.
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
        bool question = false;  // Yes and No, not OK
    };

    // Shows `text` under `title` with only an OK button and no icon; returns once it was
    // closed.
    static Button information(QWidget* parent, const QString& title, const QString& text);

    // Asks `text` under `title` with the buttons Yes and No, No the default, and no icon:
    // true for Yes. Closing the box answers No.
    static bool question(QWidget* parent, const QString& title, const QString& text);
    // The next question is not shown but answered `yes` at once.
    static void answerNext(bool yes);

    // When set, every box is answered at once instead of being shown: OK, its only answer,
    // and No to a question not answered in advance.
    static void setUnattended(bool unattended);
    // Every box asked for since the last clearHistory, answered in advance or shown.
    static const std::vector<Shown>& history();
    // Also drops the answers given in advance.
    static void clearHistory();
};

}  // namespace zendrik
