// Keeps a page within the available area of its screen: as its window table gives it where it
// fits, otherwise shrunk to fit as wizard/window_tables.h places it, and then centred in the
// room.
#pragma once

#include <vector>

class QWidget;

namespace zendrik {

struct WindowTable;

class ScreenFit {
  public:
    // `controls` are the page's controls in the order of `table`; all must outlive the fit.
    ScreenFit(QWidget& page, const WindowTable& table, std::vector<QWidget*> controls);

    // Lays the page out for the screen it is on, before it is shown.
    void apply();

  private:
    QWidget& page_;
    const WindowTable& table_;
    std::vector<QWidget*> controls_;
};

}  // namespace zendrik
