// A page's controls as the window tables give them, in units of 1/1440 inch (twips), and
// their place in pixels at a given DPI: twips * dpi / 1440, so twips / 15 at 96 DPI. A page
// larger than the room its screen offers shrinks to fit: its list takes the loss (and
// scrolls), every other control keeps its size, those below the list move up, and controls
// narrower than half the page keep their place relative to the page's middle.
#pragma once

#include <windows.h>

#include <vector>

namespace zendrik::win32 {

enum class FontRole { Normal, Heading, Title };

struct ControlRow {
    int id;
    const wchar_t* windowClass;
    const wchar_t* text;
    DWORD style;                   // besides WS_CHILD and WS_VISIBLE
    int left, top, width, height;  // twips
    FontRole font = FontRole::Normal;
    DWORD exStyle = 0;
};

struct PageTable {
    const wchar_t* caption;
    int clientWidth, clientHeight;  // twips
    // In tab order: the window order, which the dialog keys follow.
    std::vector<ControlRow> controls;
    // The control that takes the loss when the page must shrink; 0 when the page never
    // shrinks.
    int listId = 0;
};

// `twips` in pixels at `dpi`, rounded to the nearest.
int pixels(int twips, UINT dpi);

struct PlacedPage {
    SIZE client;                 // the page's client area
    std::vector<RECT> controls;  // in the order of PageTable::controls
    bool shrunk = false;
};

// The page at `dpi` within a client area of at most `room` pixels.
PlacedPage place(const PageTable& page, UINT dpi, SIZE room);

}  // namespace zendrik::win32
