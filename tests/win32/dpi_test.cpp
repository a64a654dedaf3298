// Geometry for the monitor's DPI: at 96 DPI each page has the tables' size in pixels (twips
// / 15, as the Qt pages have it); a change of DPI places the controls and makes the fonts
// anew at the new scale; a page larger than its monitor's work area shrinks to fit, its
// list taking the loss, with every button within reach.
#include <gtest/gtest.h>

#include <array>

#include "win32_harness.h"

namespace zendrik::testing {
namespace {

SIZE clientOf(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    return {r.right, r.bottom};
}

// `control`'s rectangle in its page's client coordinates.
RECT placeOf(PageWindow& page, int id) {
    RECT r{};
    GetWindowRect(page.control(id), &r);
    MapWindowPoints(nullptr, page.hwnd(), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// left, top, right, bottom
using Box = std::array<LONG, 4>;

Box boxOf(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

// The monitor moves the page to `dpi`, as the window system tells it.
void moveToDpi(PageWindow& page, UINT dpi) {
    RECT now{};
    GetWindowRect(page.hwnd(), &now);
    SendMessageW(page.hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), LPARAM(&now));
}

LONG fontHeight(HWND control) {
    LOGFONTW font{};
    GetObjectW(HGDIOBJ(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font.lfHeight;
}

TEST(Win32DpiTest, PagesScaleWithTheMonitorsDpi) {
    Win32Harness h;
    h.wizard->start();
    Optionen& page = h.optionen();
    ASSERT_EQ(page.dpi(), UINT(96));
    // The Qt page's pixels at 100 %.
    EXPECT_EQ(clientOf(page.hwnd()).cx, 329);
    EXPECT_EQ(clientOf(page.hwnd()).cy, 214);
    EXPECT_EQ(boxOf(placeOf(page, Optionen::NextButton)), (Box{130, 169, 197, 194}));
    EXPECT_EQ(fontHeight(page.control(Optionen::Label1)), -16);

    moveToDpi(page, 144);
    EXPECT_EQ(clientOf(page.hwnd()).cx, 494);
    EXPECT_EQ(clientOf(page.hwnd()).cy, 321);
    EXPECT_EQ(boxOf(placeOf(page, Optionen::NextButton)), (Box{196, 254, 296, 292}));
    EXPECT_EQ(boxOf(placeOf(page, Optionen::removeExtensionsCheck)), (Box{51, 120, 435, 147}));
    EXPECT_EQ(fontHeight(page.control(Optionen::Label1)), -24);
    const LONG normal = fontHeight(page.control(Optionen::NextButton));
    moveToDpi(page, 96);
    EXPECT_EQ(boxOf(placeOf(page, Optionen::NextButton)), (Box{130, 169, 197, 194}));
    EXPECT_NEAR(fontHeight(page.control(Optionen::NextButton)) * 1.5, normal, 1.0);
}

TEST(Win32DpiTest, APageLargerThanTheWorkAreaShrinksToFitWithEveryButtonInReach) {
    Win32Harness h;
    ASSERT_TRUE(h.toFolderPage());
    OrdnerAuswahl& page = h.folders();
    // On a large screen at 96 DPI: the table's geometry.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(page.hwnd(), MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT work = monitor.rcWork;
    ASSERT_GE(work.right - work.left, 1280);
    EXPECT_EQ(clientOf(page.hwnd()).cx, 968);
    EXPECT_EQ(clientOf(page.hwnd()).cy, 605);
    EXPECT_EQ(boxOf(placeOf(page, OrdnerAuswahl::vorlOrdnerListe)), (Box{8, 104, 961, 558}));

    // At 200 % the page would be 1936 x 1210: more than the screen.
    moveToDpi(page, 192);
    RECT window{};
    GetWindowRect(page.hwnd(), &window);
    RECT inside{};
    EXPECT_TRUE(IntersectRect(&inside, &window, &work) && boxOf(inside) == boxOf(window))
        << window.left << "," << window.top << " " << window.right << "," << window.bottom;
    const SIZE client = clientOf(page.hwnd());
    const RECT list = placeOf(page, OrdnerAuswahl::vorlOrdnerListe);
    EXPECT_LT(list.bottom - list.top, 908);
    EXPECT_GT(list.bottom - list.top, 120);
    const int buttons[] = {OrdnerAuswahl::OpenButton, OrdnerAuswahl::Command1,
                           OrdnerAuswahl::NextButton, OrdnerAuswahl::CancelButton};
    RECT before{};
    for (int id : buttons) {
        const RECT r = placeOf(page, id);
        EXPECT_EQ(r.right - r.left, 133) << id;
        EXPECT_EQ(r.bottom - r.top, 50) << id;
        EXPECT_TRUE(r.left >= 0 && r.right <= client.cx && r.bottom <= client.cy) << id;
        EXPECT_GE(r.top, list.bottom) << id;
        // Left to right "Open", "<- Back", "Next ->", "Cancel", none over another.
        EXPECT_GT(r.left, before.right) << id;
        before = r;
    }
    // The row stays centred.
    const RECT open = placeOf(page, OrdnerAuswahl::OpenButton);
    const RECT cancel = placeOf(page, OrdnerAuswahl::CancelButton);
    EXPECT_NEAR(open.left + cancel.right, client.cx, 30);
}

}  // namespace
}  // namespace zendrik::testing
