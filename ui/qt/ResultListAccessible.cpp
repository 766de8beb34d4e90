#include "ResultListAccessible.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>
#include <QWindow>

#include "AccessibleFactory.h"
#include "ResultListView.h"

namespace brackwin {

namespace {

// One entry of the list, known by its row. The list drops its items whenever the rows change,
// so an item never outlives the entry it stands for.
class ResultRowAccessible final : public QAccessibleInterface,
                                  public QAccessibleTableCellInterface {
  public:
    ResultRowAccessible(ResultListView* view, int row) : view_(view), row_(row) {}

    bool isValid() const override { return view_ && Index().isValid(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return view_ ? view_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(view_);
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }

    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name && isValid() ? Index().data(Qt::DisplayRole).toString()
                                                   : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!isValid()) {
            return {};
        }
        const QRect shown = view_->visualRect(Index());
        return QRect(view_->viewport()->mapToGlobal(shown.topLeft()), shown.size());
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override {
        QAccessible::State state;
        if (!isValid()) {
            state.invalid = true;
            return state;
        }
        state.selectable = true;
        state.focusable = true;
        state.selected = isSelected();
        state.focused = view_->hasFocus() && view_->currentIndex() == Index();
        const QRect shown = view_->visualRect(Index());
        if (!view_->viewport()->rect().intersects(shown)) {
            state.offscreen = true;
            state.invisible = true;
        }
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::TableCellInterface
                   ? static_cast<QAccessibleTableCellInterface*>(this)
                   : nullptr;
    }

    bool isSelected() const override {
        return isValid() && view_->selectionModel()->isSelected(Index());
    }
    QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return 0; }
    int rowIndex() const override { return row_; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

  private:
    QModelIndex Index() const {
        const QAbstractItemModel* model = view_->model();
        return model ? model->index(row_, 0, view_->rootIndex()) : QModelIndex();
    }

    QPointer<ResultListView> view_;
    int row_;
};

// The list itself: a list whose children are its rows, also as a table of one column, which is
// how Qt's own list views speak to the platforms' bridges.
class ResultListAccessible final : public QAccessibleWidget, public QAccessibleTableInterface {
  public:
    explicit ResultListAccessible(ResultListView* view)
        : QAccessibleWidget(view, QAccessible::List) {}
    ~ResultListAccessible() override { DropItems(); }

    int childCount() const override { return rowCount(); }
    QAccessibleInterface* child(int index) const override { return cellAt(index, 0); }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const auto* cell =
            child ? const_cast<QAccessibleInterface*>(child)->tableCellInterface() : nullptr;
        return cell && cell->table() == this ? cell->rowIndex() : -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const QPoint point = View()->viewport()->mapFromGlobal(QPoint(x, y));
        const QModelIndex index = View()->indexAt(point);
        return index.isValid() ? child(index.row()) : nullptr;
    }
    QAccessibleInterface* focusChild() const override {
        const QModelIndex current = View()->currentIndex();
        return View()->hasFocus() && current.isValid() ? child(current.row()) : nullptr;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TableInterface) {
            return static_cast<QAccessibleTableInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override {
        if (column != 0 || row < 0 || row >= rowCount()) {
            return nullptr;
        }
        if (const auto known = items_.constFind(row); known != items_.cend()) {
            return QAccessible::accessibleInterface(*known);
        }
        auto* item = new ResultRowAccessible(View(), row);
        items_.insert(row, QAccessible::registerAccessibleInterface(item));
        return item;
    }
    int selectedCellCount() const override { return selectedRowCount(); }
    QList<QAccessibleInterface*> selectedCells() const override {
        QList<QAccessibleInterface*> cells;
        for (const int row : selectedRows()) {
            cells.append(cellAt(row, 0));
        }
        return cells;
    }
    QString columnDescription(int) const override { return {}; }
    QString rowDescription(int) const override { return {}; }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return static_cast<int>(selectedRows().size()); }
    int columnCount() const override { return 1; }
    int rowCount() const override {
        const QAbstractItemModel* model = View()->model();
        return model ? model->rowCount(View()->rootIndex()) : 0;
    }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override {
        QList<int> rows;
        if (const QItemSelectionModel* selection = View()->selectionModel()) {
            for (const QModelIndex& index : selection->selectedIndexes()) {
                rows.append(index.row());
            }
        }
        return rows;
    }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int row) const override {
        const QAbstractItemModel* model = View()->model();
        return model && View()->selectionModel() &&
               View()->selectionModel()->isSelected(model->index(row, 0, View()->rootIndex()));
    }
    // Choosing an entry for the reader's user is choosing it as a click would.
    bool selectRow(int row) override {
        if (row < 0 || row >= rowCount()) {
            return false;
        }
        View()->ChooseRow(row);
        return true;
    }
    bool selectColumn(int) override { return false; }
    // As in the list itself, the selection cannot be cleared.
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override { DropItems(); }

  private:
    ResultListView* View() const { return static_cast<ResultListView*>(widget()); }

    void DropItems() const {
        for (const QAccessible::Id id : std::as_const(items_)) {
            QAccessible::deleteAccessibleInterface(id);
        }
        items_.clear();
    }

    // The items a reader has asked for, by row.
    mutable QHash<int, QAccessible::Id> items_;
};

}  // namespace

void InstallResultListAccessibility() {
    QAccessible::installFactory(MakeAccessible<ResultListView, ResultListAccessible>);
}

}  // namespace brackwin
