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
    } else {
        emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    }
}

void ResultListModel::EndPlace(std::span<const std::size_t> insertedBefore) {
    if (resetting_) {
        endResetModel();
        return;
    }
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

}  // namespace brackwin
