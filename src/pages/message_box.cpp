#include "pages/message_box.h"

#include <QMessageBox>

namespace zendrik {
namespace {

// The window system shows the program's name in place of an empty title; a blank is shown
// as it is.
QString titleOf(const QString& title) {
    return title.isEmpty() ? QStringLiteral(" ") : title;
}

}  // namespace

void MessageBoxes::ok(QWidget* parent, const QString& title, const QString& text) {
    if (!shows({title, text})) return;
    QMessageBox box(QMessageBox::NoIcon, titleOf(title), text, QMessageBox::Ok, parent);
    box.exec();
}

bool MessageBoxes::yesNo(QWidget* parent, const QString& title, const QString& text) {
    if (const std::optional<bool> answer = answerOf({title, text, true}, false)) return *answer;
    QMessageBox box(QMessageBox::NoIcon, titleOf(title), text, QMessageBox::Yes | QMessageBox::No,
                    parent);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

}  // namespace zendrik
