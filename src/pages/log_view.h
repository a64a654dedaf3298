// Makes a list view of the log show each line whole, the view scrolling sideways to the
// widest line, and copy the selected lines as text with the platform's Copy key (Ctrl+C);
// Ctrl+A selects every line. Keeps the view's uniform line height, so that tens of
// thousands of lines cost no more than a few.
#pragma once

#include <QStyledItemDelegate>

class QListView;

namespace zendrik {

class LogView final : public QStyledItemDelegate {
    Q_OBJECT

  public:
    // Becomes the delegate of `view`, whose model must be set first.
    explicit LogView(QListView& view);

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // The selected lines in log order, each followed by a line end.
    QString selectedText() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Widens the lines to the widest of rows `first` to `last`.
    void measure(int first, int last);

    QListView& view_;
    int widest_ = 0;
};

}  // namespace zendrik
