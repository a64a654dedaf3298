#include "win32/layout.h"

#include <algorithm>

namespace zendrik::win32 {

int pixels(int twips, UINT dpi) {
    return MulDiv(twips, int(dpi), 1440);
}

PlacedPage place(const PageTable& page, UINT dpi, SIZE room) {
    PlacedPage placed;
    const SIZE table = {pixels(page.clientWidth, dpi), pixels(page.clientHeight, dpi)};
    RECT list{};
    for (const ControlRow& c : page.controls) {
        RECT at = {pixels(c.left, dpi), pixels(c.top, dpi), 0, 0};
        at.right = at.left + pixels(c.width, dpi);
        at.bottom = at.top + pixels(c.height, dpi);
        placed.controls.push_back(at);
        if (c.id == page.listId) list = at;
    }
    long dx = 0;
    long dy = 0;
    if (page.listId != 0) {
        // The list keeps room for a few lines.
        dx = std::clamp(table.cx - room.cx, 0L, (list.right - list.left) / 2);
        dy = std::clamp(table.cy - room.cy, 0L,
                        std::max(0L, list.bottom - list.top - MulDiv(60, int(dpi), 96)));
    }
    placed.client = {table.cx - dx, table.cy - dy};
    placed.shrunk = dx > 0 || dy > 0;
    if (!placed.shrunk) return placed;
    for (size_t i = 0; i < page.controls.size(); ++i) {
        RECT& at = placed.controls[i];
        if (page.controls[i].id == page.listId) {
            at.right -= dx;
            at.bottom -= dy;
            continue;
        }
        // Controls as wide as most of the page narrow with it; the others keep their place
        // relative to the page's middle.
        if (at.right - at.left > table.cx / 2) {
            at.right -= dx;
        } else {
            const long left = std::max(0L, at.left - dx / 2);
            at.right += left - at.left;
            at.left = left;
        }
        if (at.top >= list.bottom) {
            at.top -= dy;
            at.bottom -= dy;
        }
    }
    return placed;
}

}  // namespace zendrik::win32
