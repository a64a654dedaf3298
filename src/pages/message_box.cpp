#include "pages/message_box.h"

#include <QMessageBox>

namespace zendrik {
namespace {

std::vector<MessageBox::Shown>& shown() {
    static std::vector<MessageBox::Shown> boxes;
    return boxes;
}

bool& unattended() {
    static bool on = false;
    return on;
}

}  // namespace

MessageBox::Button MessageBox::information(QWidget* parent, const QString& title,
                                           const QString& text) {
    shown().push_back({title, text});
    if (unattended()) return Ok;
    // The window system shows the program's name in place of an empty title; a blank is
    // shown as it is.
    const QString shownTitle = title.isEmpty() ? QStringLiteral(" ") : title;
    QMessageBox box(QMessageBox::NoIcon, shownTitle, text, QMessageBox::Ok, parent);
    box.exec();
    return Ok;
}

void MessageBox::setUnattended(bool on) {
    unattended() = on;
}

const std::vector<MessageBox::Shown>& MessageBox::history() {
    return shown();
}

void MessageBox::clearHistory() {
    shown().clear();
}

}  // namespace zendrik
