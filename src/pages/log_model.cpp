#include "pages/log_model.h"

namespace zendrik {

LogModel::LogModel(Log& log, QObject* parent)
    : QAbstractListModel(parent), log_(log), rows_(static_cast<int>(log.size())) {
    log_.addObserver(this);
}

LogModel::~LogModel() {
    log_.removeObserver(this);
}

int LogModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

QVariant LogModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.parent().isValid() ||
        index.column() != 0 || index.row() >= rows_ ||
        static_cast<size_t>(index.row()) >= log_.size())
        return QVariant();
    return QString::fromStdString(log_[static_cast<size_t>(index.row())]);
}

void LogModel::lineAdded(const std::string&) {
    beginInsertRows(QModelIndex(), rows_, rows_);
    ++rows_;
    endInsertRows();
}

void LogModel::lastLineChanged(const std::string&) {
    if (rows_ == 0) return;
    const QModelIndex last = index(rows_ - 1);
    emit dataChanged(last, last, {Qt::DisplayRole});
}

void LogModel::cleared() {
    beginResetModel();
    rows_ = 0;
    endResetModel();
}

}  // namespace zendrik
