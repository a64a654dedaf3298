#include "pages/message_box.h"

#include <QMessageBox>
#include <deque>

namespace zendrik {
namespace {

std::deque<MessageBox::Button>& answers() {
    static std::deque<MessageBox::Button> queued;
    return queued;
}

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
    if (!answers().empty()) {
        const Button answer = answers().front();
        answers().pop_front();
        return answer;
    }
    if (unattended()) return Ok;
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
    box.exec();
    return Ok;
}

void MessageBox::setNextAnswer(Button answer) {
    answers().push_back(answer);
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
