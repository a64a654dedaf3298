#include "pages/screen_fit.h"

#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <QWindow>

#include "wizard/window_tables.h"

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

ScreenFit::ScreenFit(QWidget& page, const WindowTable& table, std::vector<QWidget*> controls)
    : page_(page), table_(table), controls_(std::move(controls)) {}

void ScreenFit::apply() {
    const QScreen* screen = page_.screen();
    if (screen == nullptr) return;
    const QMargins frame = frameOf(page_);
    const QSize room = screen->availableGeometry().size().shrunkBy(frame);
    // Qt's pixels are those at 100 %; it scales them itself.
    const PlacedWindow placed = place(table_, 96, room.width(), room.height());
    page_.setFixedSize(int(placed.clientWidth), int(placed.clientHeight));
    for (size_t i = 0; i < controls_.size(); ++i) {
        const PixelRect& at = placed.controls[i];
        controls_[i]->setGeometry(int(at.left), int(at.top), int(at.width()), int(at.height()));
    }
    // Shrunk, the page is centred in the room, its frame included.
    if (placed.shrunk) {
        const QRect area = screen->availableGeometry().marginsRemoved(frame);
        const QPoint client = area.topLeft() + QPoint((area.width() - page_.width()) / 2,
                                                      (area.height() - page_.height()) / 2);
        page_.move(client - QPoint(frame.left(), frame.top()));
    }
}

}  // namespace zendrik
