#pragma once

#include <QAbstractListModel>
#include <cstddef>
#include <vector>

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
    void EndPlace();

  private:
    const SortedResultList& list_;
    bool resetting_ = false;
    // The entries of the persistent indexes while entries are placed among them.
    QModelIndexList persistent_;
    std::vector<SortedResultList::Id> persistentIds_;
};

}  // namespace brackwin
