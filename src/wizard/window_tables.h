// The four windows' controls as the window tables give them, in units of 1/1440 inch (twips),
// once for every view, and their place in pixels at a given DPI: twips * dpi / 1440, so
// twips / 15 at 96 DPI. A window larger than the room its screen offers shrinks to fit: its
// list takes the loss (and scrolls), every other control keeps its size, those below the list
// move up, and controls narrower than half the window keep their place relative to its middle.
// A view makes each row's control in the toolkit's kind for it, in table order, which is the
// tab order.
#pragma once

#include <vector>

namespace zendrik {

// What a control is; each view has its own widget or window class for each.
enum class ControlKind {
    Heading,        // a centred heading in the heading font
    Title,          // the program's name in large bold letters
    Label,          // one line of text
    Paragraph,      // text wrapped into lines from the top
    Frame,          // an etched box around other controls
    Line,           // an etched horizontal line
    Icon,           // the program's icon, 32 pixels at 96 DPI
    CheckBox,       //
    Button,         //
    DefaultButton,  // the button Enter presses wherever the focus is
    Status,         // a read-only line of text
    Log,            // a list of lines, one of them selectable
    Choices,        // a list of which any entries are selected
};

struct ControlRow {
    int id;
    const char* name;  // the control's name, as the pages' procedures call it
    ControlKind kind;
    const char* text;              // UTF-8
    int left, top, width, height;  // twips
};

struct WindowTable {
    const char* name;               // the window's name, as the program calls it
    const char* caption;            // UTF-8
    int clientWidth, clientHeight;  // twips
    // In tab order.
    std::vector<ControlRow> controls;
    // The control that takes the loss when the window must shrink; 0 when it never shrinks.
    int listId = 0;
    // The buttons that Enter (when the focus is on no button) and Escape press, when shown
    // and enabled; 0 for none.
    int mainButton = 0;
    int cancelButton = 0;
};

// Each window's controls by id, as its table names them.
struct OptionenControls {
    enum Control {
        removeExtensionsCheck = 101,
        compareextensionsCheck,
        secondOptionsFrame,
        InfoButton,
        NextButton,
        CancelButton,
        Label1,
        previewCheck,
    };
};
struct OrdnerAuswahlControls {
    enum Control {
        Label1 = 101,
        vorlOrdnerListe,
        CancelButton,
        OpenButton,
        NextButton,
        Command1,
        UndoButton,
    };
};
struct ReparierControls {
    enum Control {
        StatusFeld = 101,
        LogListbox,
        CancelButton,
        FinishButton,
        NextButton,
        SaveLogButton,
        BackButton,
        UndoButton,
    };
};
struct InfoFormularControls {
    enum Control {
        picIcon = 101,
        lblTitle,
        lblVersion,
        Line1,
        Label1,
        Label2,
        Line2,
        lblDisclaimer,
        cmdOK,
    };
};

const WindowTable& optionenTable();
const WindowTable& ordnerAuswahlTable();
const WindowTable& reparierTable();
const WindowTable& infoFormularTable();

// `twips` in pixels at `dpi`, rounded to the nearest, halves away from zero.
int pixels(int twips, unsigned dpi);

struct PixelRect {
    long left = 0, top = 0, right = 0, bottom = 0;
    long width() const { return right - left; }
    long height() const { return bottom - top; }
    bool operator==(const PixelRect&) const = default;
};

struct PlacedWindow {
    long clientWidth = 0, clientHeight = 0;  // the window's client area
    std::vector<PixelRect> controls;         // in the order of WindowTable::controls
    bool shrunk = false;
};

// The window at `dpi` within a client area of at most `roomWidth` x `roomHeight` pixels.
PlacedWindow place(const WindowTable& window, unsigned dpi, long roomWidth, long roomHeight);

}  // namespace zendrik
