#include "pages/message_box.h"

#include <QMessageBox>
#include <deque>

namespace zendrik {
namespace {

std::vector<MessageBox::Shown>& shown() {
    static std::vector<MessageBox::Shown> boxes;
    return boxes;
}

std::deque<bool>& answers() {
    static std::deque<bool> given;
    return given;
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

bool MessageBox::question(QWidget* parent, const QString& title, const QString& text) {
    shown().push_back({title, text, true});
    if (!answers().empty()) {
        const bool yes = answers().front();
        answers().pop_front();
        return yes;
    }
    if (unattended()) return false;
    const QString shownTitle = title.isEmpty() ? QStringLiteral(" ") : title;
    QMessageBox box(QMessageBox::NoIcon, shownTitle, text, QMessageBox::Yes | QMessageBox::No,
                    parent);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void MessageBox::answerNext(bool yes) {
    answers().push_back(yes);
}

void MessageBox::setUnattended(bool on) {
    unattended() = on;
}

const std::vector<MessageBox::Shown>& MessageBox::history() {
    return shown();
}

void MessageBox::clearHistory() {
    shown().clear();
    answers().clear();
}

}  // namespace zendrik
