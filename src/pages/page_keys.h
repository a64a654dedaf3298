// Enter and Escape on a page: Enter presses the focused button, or the page's main button
// when the focus is elsewhere; Escape acts as the page's "Cancel".
#pragma once

class QAbstractButton;
class QKeyEvent;
class QWidget;

namespace zendrik {

// Makes each push button of `page` press on Enter when it has the focus.
void pressFocusedButtonOnEnter(QWidget& page);

// For a page's keyPressEvent: presses `main` on Enter and `cancel` on Escape, each only when
// shown and active (either may be null). True when the key was taken.
bool pressPageButton(QKeyEvent* event, QAbstractButton* main, QAbstractButton* cancel);

}  // namespace zendrik
