#include "pages/input_gate.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleHints>
#include <QWindow>
#include <cstdlib>

#include "wizard/input_gate.h"

namespace zendrik {
namespace {

Press pressIn(const QMouseEvent& press) {
    const QPointF at = press.globalPosition();
    return {std::uint32_t(press.timestamp()), int(press.button()), long(at.x()), long(at.y())};
}

// The presses as the window system delivers them to the program's windows, before any
// widget sees them; synthesized presses sent to a widget directly are not among them.
class WindowPresses final : public QObject {
  public:
    static WindowPresses& instance() {
        static WindowPresses* presses = [] {
            auto* made = new WindowPresses;
            qApp->installEventFilter(made);
            return made;
        }();
        return *presses;
    }

    PressHistory history;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress && watched->isWindowType())
            history.note(pressIn(*static_cast<QMouseEvent*>(event)));
        return false;
    }
};

// As the style makes a double click: the same button again within the double-click
// interval and distance.
bool doubleClick(const Press& first, const Press& second) {
    const QStyleHints* hints = QGuiApplication::styleHints();
    return first.button == second.button && std::int32_t(second.time - first.time) >= 0 &&
           second.time - first.time < std::uint32_t(hints->mouseDoubleClickInterval()) &&
           std::abs(second.x - first.x) + std::abs(second.y - first.y) <=
               hints->mouseDoubleClickDistance();
}

}  // namespace

PageGate::PageGate(QWidget& page)
    : QObject(&page),
      page_(page),
      gate_(std::make_unique<InputGate>(WindowPresses::instance().history, &doubleClick)) {
    qApp->installEventFilter(this);
}

PageGate::~PageGate() = default;

void PageGate::open() {
    const PressHistory& history = WindowPresses::instance().history;
    gate_->open(history.count() > 0 ? std::optional(history.last().time) : std::nullopt);
}

bool PageGate::onPageButton(QObject* watched) const {
    const auto* button = qobject_cast<QAbstractButton*>(watched);
    return button && button->window() == &page_;
}

bool PageGate::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            if (!onPageButton(watched)) return false;
            // A second press that makes a double click reaches a widget as the double click
            // alone, or as a press followed by the double click.
            if (event->type() == QEvent::MouseButtonDblClick && gate_->dropsDoubleClick())
                return true;
            const Press press = pressIn(*static_cast<QMouseEvent*>(event));
            const PressHistory& history = WindowPresses::instance().history;
            return gate_->dropsPress(press,
                                     history.count() > 0 && history.last().time == press.time);
        }
        case QEvent::MouseButtonRelease:
            return onPageButton(watched) && gate_->dropsRelease();
        case QEvent::KeyPress:
        case QEvent::KeyRelease: {
            if (!watched->isWidgetType() || static_cast<QWidget*>(watched)->window() != &page_)
                return false;
            const auto* key = static_cast<QKeyEvent*>(event);
            return gate_->dropsKey(key->key(), event->type() == QEvent::KeyPress,
                                   key->isAutoRepeat());
        }
        default:
            return false;
    }
}

}  // namespace zendrik
