#pragma once

#include <QAbstractItemView>
#include <QAccessible>
#include <QList>
#include <QMetaObject>

namespace brackwin {

// The result list List1, a list box over a model of any size. Every row has the one height that
// the font and the style give a line of text, so the view keeps nothing per row: it finds,
// paints and scrolls to a row by arithmetic and asks only the visible rows for their text. It
// follows the model's signals at once, so what it reports and paints after a reset, an insert
// or a layout change is already the new list.
//
// At most one entry is selected, and once one is, the user cannot clear the selection. The left
// button, the movement keys and typing choose an entry; what a typed character chooses is left
// to the owner (CharacterTyped), which can find it without walking the rows. A screen reader
// sees a list whose entries are items (ResultListAccessible.h).
class ResultListView final : public QAbstractItemView {
    Q_OBJECT

  public:
    explicit ResultListView(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;
    QRect visualRect(const QModelIndex& index) const override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint& point) const override;
    void keyboardSearch(const QString& search) override;
    // Selects the entry at row, scrolls to it and emits Click when the selection moved, as a
    // key would.
    void ChooseRow(int row);

  signals:
    // The user chose an entry: a left-button press on an entry, once the entry is selected, also
    // when it was selected already; or a key or a drag that moved the selection. Programmatic
    // changes of the selection do not emit it.
    void Click();
    // A printable character was typed in the list: its first character.
    void CharacterTyped(const QString& character);

  protected:
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    int horizontalOffset() const override;
    int verticalOffset() const override;
    bool isIndexHidden(const QModelIndex& index) const override;
    void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) override;
    QRegion visualRegionForSelection(const QItemSelection& selection) const override;
    QItemSelectionModel::SelectionFlags selectionCommand(
        const QModelIndex& index, const QEvent* event = nullptr) const override;
    void updateGeometries() override;
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QList<int>& roles = QList<int>()) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void selectionChanged(const QItemSelection& selected,
                          const QItemSelection& deselected) override;

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    bool IsRow(const QModelIndex& index) const;
    int RowCount() const;
    int TopRow() const;
    int FullyVisibleRows() const;
    // The row at a viewport y, which may lie outside the viewport and outside the model.
    qint64 RowAt(int y) const;
    QRect RowRect(qint64 row) const;
    void Choose(const QModelIndex& index);
    void TellScreenReader(QAccessible::Event type, const QModelIndex& index);
    template <typename Step>
    void ClickIfSelectionMoves(Step step);
    void ModelChanged();
    void UpdateRowHeight();

    int rowHeight_ = 1;
    QList<QMetaObject::Connection> modelConnections_;
};

}  // namespace brackwin
