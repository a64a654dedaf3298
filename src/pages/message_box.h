// Message boxes: with only an OK button, or a question with Yes and No. Tests answer them in
// advance through the seam (setUnattended, setNextAnswer), so that no modal window blocks a
// test, and read back every box asked for.
#pragma once

#include <QString>

#include "wizard/dialog_seam.h"

class QWidget;

namespace zendrik {

struct ShownBox {
    QString title;
    QString text;
    bool question = false;  // Yes and No, not OK
};

class MessageBoxes : public DialogSeam<ShownBox, bool> {
  public:
    using Shown = ShownBox;

    // Shows `text` under `title` with only an OK button and no icon; returns once it was
    // closed.
    static void ok(QWidget* parent, const QString& title, const QString& text);

    // Asks `text` under `title` with the buttons Yes and No, No the default, and no icon:
    // true for Yes. Closing the box answers No.
    static bool yesNo(QWidget* parent, const QString& title, const QString& text);
    // The next question is not shown but answered `yes` at once.
    static void setNextAnswer(bool yes) { setNext(yes); }
};

}  // namespace zendrik
