#pragma once

#include <QAbstractListModel>
#include <cstddef>
#include <span>

#include "SortedResultList.h"

namespace brackwin {

// The result list behind List1: the committed entries of the window logic's sorted list, each
// bounded for display. The logic changes the list; the model tells the views around each change.
class ResultListModel final : public QAbstractListModel {
    Q_OBJECT

  public:
    ResultListModel(const SortedResultList& list, QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    void BeginClear();
    void EndClear();
    void BeginPlace();
    // The selection, the current entry and every other persistent index stay on their entries.
    void EndPlace(std::span<const std::size_t> insertedBefore);

  private:
    const SortedResultList& list_;
    bool resetting_ = false;
};

}  // namespace brackwin
