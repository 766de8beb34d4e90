#include "ResultListModel.h"

#include <QString>

#include "ShownText.h"
#include "Utf8Text.h"

namespace brackwin {

ResultListModel::ResultListModel(const SortedResultList& list, QObject* parent)
    : QAbstractListModel(parent), list_(list) {}

int ResultListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(list_.Count());
}

QVariant ResultListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !checkIndex(index, CheckIndexOption::IndexIsValid)) {
        return {};
    }
    return FromUtf8(ShownLine(list_.Item(static_cast<std::size_t>(index.row()))));
}

void ResultListModel::BeginClear() {
    beginResetModel();
}

void ResultListModel::EndClear() {
    endResetModel();
}

void ResultListModel::BeginPlace() {
    // The first entries of a list need no persistent index moved: a reset is cheaper.
    resetting_ = list_.Count() == 0;
    if (resetting_) {
        beginResetModel();
        return;
    }
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    persistent_ = persistentIndexList();
    persistentIds_.clear();
    for (const QModelIndex& index : persistent_) {
        persistentIds_.push_back(list_.IdAt(static_cast<std::size_t>(index.row())));
    }
}

void ResultListModel::EndPlace() {
    if (resetting_) {
        endResetModel();
        return;
    }
    QModelIndexList after;
    after.reserve(persistent_.size());
    for (qsizetype i = 0; i < persistent_.size(); ++i) {
        const std::size_t row = list_.IndexOf(persistentIds_[static_cast<std::size_t>(i)]);
        after.append(createIndex(static_cast<int>(row), persistent_[i].column()));
    }
    changePersistentIndexList(persistent_, after);
    persistent_.clear();
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

}  // namespace brackwin
