#include "ResultListModel.h"

#include <QString>

namespace brackwin {

int ResultListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(list_.Count());
}

QVariant ResultListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !checkIndex(index, CheckIndexOption::IndexIsValid)) {
        return {};
    }
    const std::string_view entry = Item(index.row());
    return QString::fromUtf8(entry.data(), static_cast<qsizetype>(entry.size()));
}

void ResultListModel::Clear() {
    beginResetModel();
    list_.Clear();
    endResetModel();
}

void ResultListModel::AddItem(std::string_view entry) {
    list_.AddItem(entry);
}

void ResultListModel::Commit() {
    if (list_.PendingCount() == 0) {
        return;
    }
    if (list_.Count() == 0) {
        beginResetModel();
        list_.Commit();
        endResetModel();
        return;
    }
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const std::vector<std::size_t> insertedBefore = list_.Commit();
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before) {
        const std::size_t row = SortedResultList::IndexAfterCommit(
            insertedBefore, static_cast<std::size_t>(index.row()));
        after.append(createIndex(static_cast<int>(row), index.column()));
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

std::string_view ResultListModel::Item(int row) const {
    return list_.Item(static_cast<std::size_t>(row));
}

}  // namespace brackwin
