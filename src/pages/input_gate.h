// The Qt side of a page's input gate (wizard/input_gate.h): watches the presses the window
// system delivers to the program's windows and hands the core's gate the presses on the
// page's buttons and the keys on the page, with the style's double-click time and distance.
#pragma once

#include <QObject>
#include <memory>

class QWidget;

namespace zendrik {

class InputGate;

class PageGate final : public QObject {
    Q_OBJECT

  public:
    // Watches the buttons of `page`, which must outlive the gate.
    explicit PageGate(QWidget& page);
    ~PageGate() override;

    // From now on the page's buttons take input made from now on.
    void open();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool onPageButton(QObject* watched) const;

    QWidget& page_;
    std::unique_ptr<InputGate> gate_;
};

}  // namespace zendrik
