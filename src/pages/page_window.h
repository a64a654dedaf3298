// What every Qt window of the wizard shares: its controls made from its window table
// (wizard/window_tables.h) in table order, which is the tab order, with the table's names,
// texts and places at 100 %; the fit to the screen before each showing; the input gate,
// opened when the window is shown unless the page opens it itself; Enter and Escape; and
// closing by the frame.
#pragma once

#include <QDialog>
#include <QWidget>
#include <memory>
#include <vector>

#include "wizard/window_tables.h"

class QAbstractButton;

namespace zendrik {

class PageGate;
class ScreenFit;

template <class Window>
class PageWindow : public Window {
  public:
    explicit PageWindow(const WindowTable& table);
    ~PageWindow() override;

    // The control `id` of the table.
    QWidget* control(int id) const;
    QAbstractButton* button(int id) const;
    // The control `id` as the kind the table's row makes.
    template <class Control>
    Control* control(int id) const {
        return static_cast<Control*>(control(id));
    }

  protected:
    // The button that Enter presses when the focus is on no button: by default the table's.
    // Escape presses the table's cancel button.
    virtual int mainButton() const { return table_.mainButton; }
    // After the window was shown: by default the buttons take input made from now on.
    virtual void onShown();
    // Closing by the frame: returns whether the window may close.
    virtual bool onClose() = 0;

    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

    PageGate& gate() const { return *gate_; }

  private:
    const WindowTable& table_;
    std::vector<QWidget*> controls_;
    PageGate* gate_;
    std::unique_ptr<ScreenFit> fit_;
};

extern template class PageWindow<QWidget>;
extern template class PageWindow<QDialog>;

}  // namespace zendrik
