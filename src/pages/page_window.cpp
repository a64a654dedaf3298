#include "pages/page_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>

#include "pages/heading_font.h"
#include "pages/input_gate.h"
#include "pages/page_keys.h"
#include "pages/program_icon.h"
#include "pages/screen_fit.h"

namespace zendrik {
namespace {

// The Qt widget for `row` on `page`.
QWidget* makeControl(QWidget& page, const ControlRow& row) {
    const QString text = QString::fromUtf8(row.text);
    switch (row.kind) {
        case ControlKind::Heading: {
            auto* label = new QLabel(text, &page);
            label->setAlignment(Qt::AlignCenter);
            label->setFont(headingFont());
            return label;
        }
        case ControlKind::Title: {
            auto* label = new QLabel(text, &page);
            QFont title = label->font();
            title.setPointSize(14);
            title.setBold(true);
            label->setFont(title);
            return label;
        }
        case ControlKind::Label:
            return new QLabel(text, &page);
        case ControlKind::Paragraph: {
            auto* label = new QLabel(text, &page);
            label->setWordWrap(true);
            label->setAlignment(Qt::AlignLeading | Qt::AlignTop);
            return label;
        }
        case ControlKind::Frame:
        case ControlKind::Line: {
            auto* frame = new QFrame(&page);
            frame->setFrameShape(row.kind == ControlKind::Frame ? QFrame::Box : QFrame::HLine);
            frame->setFrameShadow(QFrame::Sunken);
            return frame;
        }
        case ControlKind::Icon: {
            auto* icon = new QLabel(&page);
            icon->setPixmap(programPixmap(32));
            return icon;
        }
        case ControlKind::CheckBox:
            return new QCheckBox(text, &page);
        case ControlKind::Button:
        case ControlKind::DefaultButton: {
            auto* button = new QPushButton(text, &page);
            button->setDefault(row.kind == ControlKind::DefaultButton);
            return button;
        }
        case ControlKind::Status: {
            auto* status = new QLineEdit(&page);
            status->setReadOnly(true);
            return status;
        }
        case ControlKind::Log: {
            auto* log = new QListView(&page);
            log->setEditTriggers(QAbstractItemView::NoEditTriggers);
            log->setSelectionMode(QAbstractItemView::SingleSelection);
            log->setUniformItemSizes(true);
            return log;
        }
        case ControlKind::Choices: {
            auto* list = new QListWidget(&page);
            list->setSelectionMode(QAbstractItemView::MultiSelection);
            return list;
        }
    }
    return new QWidget(&page);
}

}  // namespace

template <class Window>
PageWindow<Window>::PageWindow(const WindowTable& table)
    : table_(table), gate_(new PageGate(*this)) {
    this->setObjectName(QString::fromUtf8(table.name));
    this->setWindowTitle(QString::fromUtf8(table.caption));
    // At 100 %, with room for the whole window.
    const PlacedWindow placed = place(table, 96, table.clientWidth, table.clientHeight);
    this->setFixedSize(int(placed.clientWidth), int(placed.clientHeight));
    for (size_t i = 0; i < table.controls.size(); ++i) {
        const ControlRow& row = table.controls[i];
        QWidget* made = makeControl(*this, row);
        made->setObjectName(QString::fromUtf8(row.name));
        const PixelRect& at = placed.controls[i];
        made->setGeometry(int(at.left), int(at.top), int(at.width()), int(at.height()));
        // A frame lies below the controls it surrounds.
        if (row.kind == ControlKind::Frame) made->lower();
        controls_.push_back(made);
    }
    pressFocusedButtonOnEnter(*this);
    if (table.listId != 0) fit_ = std::make_unique<ScreenFit>(*this, table, controls_);
}

template <class Window>
PageWindow<Window>::~PageWindow() = default;

template <class Window>
QWidget* PageWindow<Window>::control(int id) const {
    for (size_t i = 0; i < table_.controls.size(); ++i) {
        if (table_.controls[i].id == id) return controls_[i];
    }
    return nullptr;
}

template <class Window>
QAbstractButton* PageWindow<Window>::button(int id) const {
    return qobject_cast<QAbstractButton*>(control(id));
}

template <class Window>
void PageWindow<Window>::onShown() {
    gate_->open();
}

template <class Window>
void PageWindow<Window>::showEvent(QShowEvent* event) {
    if (fit_) fit_->apply();
    Window::showEvent(event);
    onShown();
}

template <class Window>
void PageWindow<Window>::keyPressEvent(QKeyEvent* event) {
    if (!pressPageButton(event, button(mainButton()), button(table_.cancelButton)))
        Window::keyPressEvent(event);
}

template <class Window>
void PageWindow<Window>::closeEvent(QCloseEvent* event) {
    if (onClose())
        event->accept();
    else
        event->ignore();
}

template class PageWindow<QWidget>;
template class PageWindow<QDialog>;

}  // namespace zendrik
