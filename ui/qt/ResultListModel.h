#pragma once

#include <QAbstractListModel>
#include <string_view>

#include "SortedResultList.h"
#include "UiServices.h"

namespace brackwin {

// The result list behind List1: entries in ascending order ignoring case. Entries added by the
// search stay hidden until Commit() places them together, so the view is told once per batch
// rather than once per entry.
class ResultListModel final : public QAbstractListModel, public ResultList {
    Q_OBJECT

  public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    void Clear() override;
    void AddItem(std::string_view entry) override;
    // Shows the entries added since the last commit; the selection, the current entry and
    // every other persistent index stay on their entries.
    void Commit();

    // The UTF-8 text of a shown entry; row must be below rowCount(). The text stays valid until
    // Clear().
    std::string_view Item(int row) const;

  private:
    SortedResultList list_;
};

}  // namespace brackwin
