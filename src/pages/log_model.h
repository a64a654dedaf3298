// The engine's log as a list model: a view reads the lines where the log holds them, and each
// appended, extended or dropped line reaches the view as it happens. Costs no copy per line,
// so a view keeps up with tens of thousands of lines.
#pragma once

#include <QAbstractListModel>

#include "log/log.h"

namespace zendrik {

class LogModel final : public QAbstractListModel, private LogObserver {
    Q_OBJECT

  public:
    // Observes `log`, which must outlive the model.
    explicit LogModel(Log& log, QObject* parent = nullptr);
    ~LogModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  private:
    void lineAdded(const std::string& line) override;
    void lastLineChanged(const std::string& line) override;
    void cleared() override;

    Log& log_;
    // The rows announced to views; the log is one line ahead while a row is being inserted.
    int rows_ = 0;
};

}  // namespace zendrik
