#include "pages/input_gate.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleHints>
#include <QWindow>

namespace zendrik {
namespace {

// The presses as the window system delivers them to the program's windows, before any
// widget sees them; synthesized presses sent to a widget directly are not among them.
class PressHistory final : public QObject {
  public:
    struct Press {
        quint64 number = 0;
        quint64 timestamp = 0;
        Qt::MouseButton button = Qt::NoButton;
        QPointF position;
    };

    static PressHistory& instance() {
        static PressHistory* history = [] {
            auto* made = new PressHistory;
            qApp->installEventFilter(made);
            return made;
        }();
        return *history;
    }

    quint64 count() const { return last_.number; }
    const Press& last() const { return last_; }
    const Press& beforeLast() const { return beforeLast_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress && watched->isWindowType()) {
            const auto* press = static_cast<QMouseEvent*>(event);
            beforeLast_ = last_;
            last_ = {last_.number + 1, press->timestamp(), press->button(),
                     press->globalPosition()};
        }
        return false;
    }

  private:
    Press last_;
    Press beforeLast_;
};

}  // namespace

InputGate::InputGate(QWidget& page) : QObject(&page), page_(page) {
    PressHistory::instance();
    qApp->installEventFilter(this);
}

InputGate::~InputGate() = default;

void InputGate::open() {
    pressesAtOpen_ = PressHistory::instance().count();
    droppingPress_ = false;
    keysDown_.clear();
}

bool InputGate::onPageButton(QObject* watched) const {
    const auto* button = qobject_cast<QAbstractButton*>(watched);
    return button && button->window() == &page_;
}

bool InputGate::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            if (!onPageButton(watched)) return false;
            // A second press that makes a double click reaches a widget as the double click
            // alone, or as a press followed by the double click.
            if (event->type() == QEvent::MouseButtonDblClick && droppingPress_) return true;
            const auto* press = static_cast<QMouseEvent*>(event);
            const PressHistory& history = PressHistory::instance();
            // The first press since the gate opened, following one made before it.
            const PressHistory::Press& before = history.beforeLast();
            droppingPress_ =
                history.last().timestamp == press->timestamp() &&
                history.last().number == pressesAtOpen_ + 1 && before.number != 0 &&
                before.button == press->button() && press->timestamp() >= before.timestamp &&
                press->timestamp() - before.timestamp <
                    quint64(QGuiApplication::styleHints()->mouseDoubleClickInterval()) &&
                (press->globalPosition() - before.position).manhattanLength() <=
                    QGuiApplication::styleHints()->mouseDoubleClickDistance();
            return droppingPress_;
        }
        case QEvent::MouseButtonRelease:
            if (!droppingPress_ || !onPageButton(watched)) return false;
            droppingPress_ = false;
            return true;
        case QEvent::KeyPress:
        case QEvent::KeyRelease: {
            if (!watched->isWidgetType() || static_cast<QWidget*>(watched)->window() != &page_)
                return false;
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->isAutoRepeat()) return !keysDown_.contains(key->key());
            if (event->type() == QEvent::KeyPress)
                keysDown_.insert(key->key());
            else
                keysDown_.remove(key->key());
            return false;
        }
        default:
            return false;
    }
}

}  // namespace zendrik
