// The Win32 form of each kind of control in the window tables (wizard/window_tables.h): its
// window class, styles and font.
#pragma once

#include <windows.h>

#include "wizard/window_tables.h"

namespace zendrik::win32 {

enum class FontRole { Normal, Heading, Title };

struct ControlClass {
    const wchar_t* windowClass;
    DWORD style;  // besides WS_CHILD and WS_VISIBLE
    DWORD exStyle = 0;
    FontRole font = FontRole::Normal;
};

ControlClass controlClassOf(ControlKind kind);

}  // namespace zendrik::win32
