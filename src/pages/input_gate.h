// Keeps a page's buttons from acting on input that was made before the page was ready for
// it: the press that completes a double click whose first press went to a page shown earlier,
// and the auto-repeat of a key held down since before. A page opens its gate when it is shown
// and, on the repair page, when a pass has ended.
#pragma once

#include <QObject>
#include <QSet>

class QWidget;

namespace zendrik {

class InputGate final : public QObject {
    Q_OBJECT

  public:
    // Watches the buttons of `page`, which must outlive the gate.
    explicit InputGate(QWidget& page);
    ~InputGate() override;

    // From now on the page's buttons take input made from now on.
    void open();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool onPageButton(QObject* watched) const;

    QWidget& page_;
    // The number of presses the window system had delivered when the gate opened.
    quint64 pressesAtOpen_ = 0;
    // Dropping a press also drops its double click and its release.
    bool droppingPress_ = false;
    // The keys pressed on the page since the gate opened.
    QSet<int> keysDown_;
};

}  // namespace zendrik
