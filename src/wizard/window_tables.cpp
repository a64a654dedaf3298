#include "wizard/window_tables.h"

#include <algorithm>
#include <cstdint>

namespace zendrik {

const WindowTable& optionenTable() {
    using C = OptionenControls;
    using K = ControlKind;
    static const WindowTable table{
        "Optionen",
        "Zendrik",
        4935,
        3210,
        {
            {C::removeExtensionsCheck, "removeExtensionsCheck", K::CheckBox,
             "remove incomplete extensions", 510, 1200, 3840, 270},
            {C::compareextensionsCheck, "compareextensionsCheck", K::CheckBox, "compare extensions",
             510, 1710, 3840, 270},
            // An addition below the two, inside the frame: the page keeps its size.
            {C::previewCheck, "previewCheck", K::CheckBox, "only show what would be done", 510,
             1980, 3840, 255},
            {C::secondOptionsFrame, "secondOptionsFrame", K::Frame, "", 292, 870, 4350, 1395},
            {C::InfoButton, "InfoButton", K::Button, "Info", 517, 2535, 1000, 375},
            {C::NextButton, "NextButton", K::Button, "Next ->", 1957, 2535, 1000, 375},
            {C::CancelButton, "CancelButton", K::Button, "Cancel", 3397, 2535, 1000, 375},
            {C::Label1, "Label1", K::Heading, "Options", 1717, 240, 1455, 375},
        },
        0,
        C::NextButton,
        C::CancelButton};
    return table;
}

const WindowTable& ordnerAuswahlTable() {
    using C = OrdnerAuswahlControls;
    using K = ControlKind;
    static const WindowTable table{
        "OrdnerAuswahl",
        "Zendrik",
        14520,
        9075,
        {
            {C::Label1, "Label1", K::Heading, "Select UT-folders (must not be write-protected)", -7,
             360, 14535, 375},
            {C::vorlOrdnerListe, "vorlOrdnerListe", K::Choices, "", 113, 1560, 14295, 6810},
            {C::CancelButton, "CancelButton", K::Button, "Cancel", 9100, 8520, 1000, 375},
            {C::OpenButton, "OpenButton", K::Button, "Open", 4440, 8520, 1000, 375},
            {C::NextButton, "NextButton", K::Button, "Next ->", 7560, 8520, 1000, 375},
            {C::Command1, "Command1", K::Button, "<- Back", 6000, 8520, 1000, 375},
            // Added in the row's free room left of "Open"; last in the tab order.
            {C::UndoButton, "UndoButton", K::Button, "Undo last run", 2520, 8520, 1575, 375},
        },
        C::vorlOrdnerListe,
        C::NextButton,
        C::CancelButton};
    return table;
}

const WindowTable& reparierTable() {
    using C = ReparierControls;
    using K = ControlKind;
    static const WindowTable table{
        "Reparier",
        "Repairing folders...",
        14490,
        9045,
        {
            {C::StatusFeld, "StatusFeld", K::Status, "", 98, 240, 14295, 375},
            {C::LogListbox, "LogListbox", K::Log, "", 105, 840, 14295, 7470},
            {C::CancelButton, "CancelButton", K::Button, "Cancel", 5965, 8520, 1000, 375},
            {C::FinishButton, "FinishButton", K::Button, "Finish", 5965, 8520, 1000, 375},
            {C::NextButton, "NextButton", K::Button, "COPY!", 7525, 8520, 1000, 375},
            {C::SaveLogButton, "SaveLogButton", K::Button, "Save Log", 7525, 8520, 1000, 375},
            // Additions: left and right of the two pairs, one pair's distance away.
            {C::BackButton, "BackButton", K::Button, "<- Back", 4405, 8520, 1000, 375},
            {C::UndoButton, "UndoButton", K::Button, "Undo", 9085, 8520, 1000, 375},
        },
        C::LogListbox,
        // "COPY!" while it is offered, else "Finish": RepairPage::mainButton.
        C::NextButton,
        C::CancelButton};
    return table;
}

// The information window is an addition of this program; its layout was drawn in pixels at
// 96 DPI, here times 15.
const WindowTable& infoFormularTable() {
    using C = InfoFormularControls;
    using K = ControlKind;
    static const WindowTable table{
        "InfoFormular",
        "Zendrik - Info",
        5730,
        3735,
        {
            {C::picIcon, "picIcon", K::Icon, "", 240, 240, 480, 480},
            {C::lblTitle, "lblTitle", K::Title, "Zendrik", 1080, 180, 4320, 360},
            {C::lblVersion, "lblVersion", K::Label, "Version 1.0", 1080, 540, 4320, 255},
            {C::Line1, "Line1", K::Line, "", 240, 960, 5250, 30},
            {C::Label1, "Label1", K::Label, "Written by the Zendrik developers", 240, 1110, 5250,
             255},
            {C::Label2, "Label2", K::Label, "for everyone who keeps Unreal Tournament in order",
             240, 1380, 5250, 255},
            {C::Line2, "Line2", K::Line, "", 240, 1770, 5250, 30},
            {C::lblDisclaimer, "lblDisclaimer", K::Paragraph,
             "THIS PROGRAM COMES WITHOUT ANY GUARANTEE OF ANY KIND. YOU USE IT AT YOUR OWN "
             "RISK. ITS AUTHORS ARE NOT LIABLE FOR ANY DAMAGE THAT ITS USE MAY CAUSE.",
             240, 1920, 5250, 1020},
            {C::cmdOK, "cmdOK", K::DefaultButton, "&OK", 4260, 3150, 1230, 375},
        },
        0,
        C::cmdOK,
        C::cmdOK};
    return table;
}

int pixels(int twips, unsigned dpi) {
    const std::int64_t product = std::int64_t(twips) * dpi;
    const std::int64_t rounded = product >= 0 ? (product + 720) / 1440 : -((720 - product) / 1440);
    return int(rounded);
}

PlacedWindow place(const WindowTable& window, unsigned dpi, long roomWidth, long roomHeight) {
    PlacedWindow placed;
    const long width = pixels(window.clientWidth, dpi);
    const long height = pixels(window.clientHeight, dpi);
    PixelRect list;
    for (const ControlRow& c : window.controls) {
        PixelRect at{pixels(c.left, dpi), pixels(c.top, dpi), 0, 0};
        at.right = at.left + pixels(c.width, dpi);
        at.bottom = at.top + pixels(c.height, dpi);
        placed.controls.push_back(at);
        if (c.id == window.listId) list = at;
    }
    long dx = 0;
    long dy = 0;
    if (window.listId != 0) {
        // The list keeps room for a few lines.
        dx = std::clamp(width - roomWidth, 0L, list.width() / 2);
        dy = std::clamp(height - roomHeight, 0L,
                        std::max(0L, list.height() - long(pixels(60 * 15, dpi))));
    }
    placed.clientWidth = width - dx;
    placed.clientHeight = height - dy;
    placed.shrunk = dx > 0 || dy > 0;
    if (!placed.shrunk) return placed;
    for (size_t i = 0; i < window.controls.size(); ++i) {
        PixelRect& at = placed.controls[i];
        if (window.controls[i].id == window.listId) {
            at.right -= dx;
            at.bottom -= dy;
            continue;
        }
        // Controls as wide as most of the window narrow with it; the others keep their place
        // relative to the window's middle.
        if (at.width() > width / 2) {
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

}  // namespace zendrik
