#include "win32/layout.h"

namespace zendrik::win32 {

ControlClass controlClassOf(ControlKind kind) {
    constexpr DWORD lists = LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP;
    switch (kind) {
        case ControlKind::Heading:
            return {L"STATIC", SS_CENTER, 0, FontRole::Heading};
        case ControlKind::Title:
            return {L"STATIC", SS_LEFT, 0, FontRole::Title};
        case ControlKind::Label:
        case ControlKind::Paragraph:
            return {L"STATIC", SS_LEFT};
        case ControlKind::Frame:
            return {L"STATIC", SS_ETCHEDFRAME};
        case ControlKind::Line:
            return {L"STATIC", SS_ETCHEDHORZ};
        case ControlKind::Icon:
            return {L"STATIC", SS_ICON | SS_CENTERIMAGE};
        case ControlKind::CheckBox:
            return {L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP};
        case ControlKind::Button:
            return {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP};
        case ControlKind::DefaultButton:
            return {L"BUTTON", BS_DEFPUSHBUTTON | WS_TABSTOP};
        case ControlKind::Status:
            return {L"EDIT", ES_READONLY | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
        case ControlKind::Log:
            return {L"LISTBOX", LBS_EXTENDEDSEL | lists, WS_EX_CLIENTEDGE};
        case ControlKind::Choices:
            return {L"LISTBOX", LBS_MULTIPLESEL | LBS_NOTIFY | lists, WS_EX_CLIENTEDGE};
    }
    return {L"STATIC", 0};
}

}  // namespace zendrik::win32
