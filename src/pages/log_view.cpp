#include "pages/log_view.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QListView>
#include <algorithm>

namespace zendrik {

LogView::LogView(QListView& view) : QStyledItemDelegate(&view), view_(view) {
    view.setItemDelegate(this);
    view.setSelectionMode(QAbstractItemView::ExtendedSelection);
    view.setTextElideMode(Qt::ElideNone);
    view.setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    view.installEventFilter(this);
    QAbstractItemModel* model = view.model();
    connect(model, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) { measure(first, last); });
    connect(
        model, &QAbstractItemModel::dataChanged, this,
        [this](const QModelIndex& from, const QModelIndex& to) { measure(from.row(), to.row()); });
    connect(model, &QAbstractItemModel::modelReset, this, [this] {
        widest_ = 0;
        measure(0, view_.model()->rowCount() - 1);
    });
    measure(0, model->rowCount() - 1);
}

void LogView::measure(int first, int last) {
    const QFontMetrics metrics(view_.font());
    const int widestChar = metrics.maxWidth();
    int widest = widest_;
    for (int row = first; row <= last; ++row) {
        const QString line = view_.model()->index(row, 0).data().toString();
        // Only a line that could be wider is measured.
        if (line.size() * widestChar <= widest) continue;
        widest = std::max(widest, metrics.horizontalAdvance(line));
    }
    if (widest == widest_) return;
    widest_ = widest;
    emit sizeHintChanged(view_.model()->index(first, 0));
}

QSize LogView::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    // The item's own margins, as the style adds them around a line's text.
    const int margins =
        size.width() - option.fontMetrics.horizontalAdvance(index.data(Qt::DisplayRole).toString());
    size.setWidth(std::max(size.width(), widest_ + margins));
    return size;
}

QString LogView::selectedText() const {
    QModelIndexList rows = view_.selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    QString text;
    for (const QModelIndex& row : rows) text += row.data().toString() + QLatin1Char('\n');
    return text;
}

bool LogView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &view_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
        QGuiApplication::clipboard()->setText(selectedText());
        return true;
    }
    // Not the delegate's own filter, which takes Escape and Enter as an editor's keys.
    return false;
}

}  // namespace zendrik
