// Keeps a page within the available area of its screen: as the tables give it where it fits,
// otherwise shrunk to fit, the list taking the loss (it scrolls) while every other control
// keeps its size, those below the list moving up and a centred row of buttons staying
// centred.
#pragma once

#include <QRect>
#include <QSize>
#include <vector>

class QWidget;

namespace zendrik {

class ScreenFit {
  public:
    // Takes the layout that `page` and its controls have now as the tables' layout; `list` is
    // one of its controls.
    ScreenFit(QWidget& page, QWidget& list);

    // Lays the page out for the screen it is on, before it is shown.
    void apply();

  private:
    struct Placed {
        QWidget* control;
        QRect table;
    };

    QWidget& page_;
    QWidget& list_;
    QSize tableSize_;
    std::vector<Placed> controls_;
};

}  // namespace zendrik
