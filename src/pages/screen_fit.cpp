#include "pages/screen_fit.h"

#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace zendrik {
namespace {

// The room a window frame takes, as the window system reports it once the page was shown,
// else as the style estimates it.
QMargins frameOf(QWidget& page) {
    if (const QWindow* window = page.windowHandle(); window && page.isVisible())
        return window->frameMargins();
    const int border = page.style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    const int title = page.style()->pixelMetric(QStyle::PM_TitleBarHeight);
    return QMargins(border, title + border, border, border);
}

}  // namespace

ScreenFit::ScreenFit(QWidget& page, QWidget& list)
    : page_(page), list_(list), tableSize_(page.size()) {
    for (QObject* child : page.children()) {
        if (auto* control = qobject_cast<QWidget*>(child); control && !control->isWindow())
            controls_.push_back({control, control->geometry()});
    }
}

void ScreenFit::apply() {
    const QScreen* screen = page_.screen();
    if (screen == nullptr) return;
    const QMargins frame = frameOf(page_);
    const QSize room = screen->availableGeometry().size().shrunkBy(frame);
    const QRect listTable = std::find_if(controls_.begin(), controls_.end(), [&](const Placed& p) {
                                return p.control == &list_;
                            })->table;
    // The list keeps room for a few lines.
    const int dx = std::clamp(tableSize_.width() - room.width(), 0, listTable.width() / 2);
    const int dy = std::clamp(tableSize_.height() - room.height(), 0, listTable.height() - 60);
    page_.setFixedSize(tableSize_ - QSize(dx, dy));
    for (const Placed& p : controls_) {
        QRect at = p.table;
        if (p.control == &list_) {
            at.setSize(at.size() - QSize(dx, dy));
        } else {
            // Controls as wide as most of the page narrow with it; the others keep their
            // place relative to the page's middle.
            if (at.width() > tableSize_.width() / 2)
                at.setWidth(at.width() - dx);
            else
                at.moveLeft(std::max(0, at.left() - dx / 2));
            if (at.top() >= listTable.bottom()) at.moveTop(at.top() - dy);
        }
        p.control->setGeometry(at);
    }
    // Shrunk, the page is centred in the room, its frame included.
    if (dx > 0 || dy > 0) {
        const QRect area = screen->availableGeometry().marginsRemoved(frame);
        const QPoint client = area.topLeft() + QPoint((area.width() - page_.width()) / 2,
                                                      (area.height() - page_.height()) / 2);
        page_.move(client - QPoint(frame.left(), frame.top()));
    }
}

}  // namespace zendrik
