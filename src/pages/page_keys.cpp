#include "pages/page_keys.h"

#include <QKeyEvent>
#include <QPushButton>

namespace zendrik {

void pressFocusedButtonOnEnter(QWidget& page) {
    for (QPushButton* button : page.findChildren<QPushButton*>()) button->setAutoDefault(true);
}

bool pressPageButton(QKeyEvent* event, QAbstractButton* main, QAbstractButton* cancel) {
    if (event->modifiers() & ~Qt::KeypadModifier) return false;
    QAbstractButton* button = nullptr;
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            button = main;
            break;
        case Qt::Key_Escape:
            button = cancel;
            break;
        default:
            return false;
    }
    if (button == nullptr || !button->isVisible() || !button->isEnabled()) return false;
    button->click();
    return true;
}

}  // namespace zendrik
