#include "ResultListView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStringView>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <algorithm>

#include "ResultListAccessible.h"

namespace brackwin {

namespace {

// Rows far from the top sit this far outside the viewport at most: out of sight for every
// caller, and near enough that adding a row height or a viewport position cannot overflow.
constexpr qint64 kFarAway = qint64{1} << 28;

int Clamped(qint64 y) {
    return static_cast<int>(std::clamp(y, -kFarAway, kFarAway));
}

// The beginning of a text that can show in a row of the given width. No visible character is
// narrower than a pixel, so the rest never shows, and an entry of any length costs only as
// much to lay out as a row can hold.
QString VisibleText(const QString& text, int width) {
    const qsizetype limit = std::max(width, 0) + 1;
    if (text.size() <= limit) {
        return text;
    }
    QStringView shown = QStringView(text).left(limit);
    if (shown.back().isHighSurrogate()) {
        shown.chop(1);
    }
    return shown.toString();
}

}  // namespace

ResultListView::ResultListView(QWidget* parent) : QAbstractItemView(parent) {
    setSelectionMode(SingleSelection);
    setSelectionBehavior(SelectRows);
    setEditTriggers(NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    verticalScrollBar()->setSingleStep(1);
    UpdateRowHeight();
    InstallResultListAccessibility();
}

void ResultListView::setModel(QAbstractItemModel* model) {
    for (const QMetaObject::Connection& connection : modelConnections_) {
        disconnect(connection);
    }
    modelConnections_.clear();
    QAbstractItemView::setModel(model);
    if (model) {
        // The base class lays rows out only when events are next processed; these keep the
        // scroll range right from the moment the model has changed.
        modelConnections_ = {
            connect(model, &QAbstractItemModel::modelReset, this, &ResultListView::ModelChanged),
            connect(model, &QAbstractItemModel::rowsInserted, this, &ResultListView::ModelChanged),
            connect(model, &QAbstractItemModel::rowsRemoved, this, &ResultListView::ModelChanged),
            connect(model, &QAbstractItemModel::layoutChanged, this, &ResultListView::ModelChanged),
        };
    }
    ModelChanged();
}

QRect ResultListView::visualRect(const QModelIndex& index) const {
    return IsRow(index) ? RowRect(index.row()) : QRect();
}

void ResultListView::scrollTo(const QModelIndex& index, ScrollHint hint) {
    if (!IsRow(index)) {
        return;
    }
    const qint64 row = index.row();
    const qint64 page = FullyVisibleRows();
    const qint64 top = TopRow();
    qint64 newTop = top;
    switch (hint) {
        case EnsureVisible:
            if (row < top) {
                newTop = row;
            } else if (row >= top + page) {
                newTop = row - page + 1;
            }
            break;
        case PositionAtTop:
            newTop = row;
            break;
        case PositionAtBottom:
            newTop = row - page + 1;
            break;
        case PositionAtCenter:
            newTop = row - (page - 1) / 2;
            break;
    }
    verticalScrollBar()->setValue(static_cast<int>(std::max<qint64>(newTop, 0)));
}

QModelIndex ResultListView::indexAt(const QPoint& point) const {
    if (point.x() < 0 || point.x() >= viewport()->width()) {
        return {};
    }
    const qint64 row = RowAt(point.y());
    if (row < 0 || row >= RowCount()) {
        return {};
    }
    return model()->index(static_cast<int>(row), 0, rootIndex());
}

void ResultListView::keyboardSearch(const QString& search) {
    if (search.isEmpty()) {
        return;
    }
    const bool pair =
        search.size() > 1 && search[0].isHighSurrogate() && search[1].isLowSurrogate();
    const char32_t first =
        pair ? QChar::surrogateToUcs4(search[0], search[1]) : search[0].unicode();
    if (QChar::isPrint(first)) {
        emit CharacterTyped(search.left(pair ? 2 : 1));
    }
}

void ResultListView::ChooseRow(int row) {
    if (row < 0 || row >= RowCount()) {
        return;
    }
    const QModelIndex index = model()->index(row, 0, rootIndex());
    Choose(index);
    scrollTo(index);
}

QModelIndex ResultListView::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers) {
    const QModelIndex current = currentIndex();
    if (cursorAction == MoveLeft || cursorAction == MoveRight) {
        // One column: there is nothing beside an entry.
        return current;
    }
    const int count = RowCount();
    if (count == 0) {
        return {};
    }
    qint64 row = 0;
    if (cursorAction == MoveEnd) {
        row = count - 1;
    } else if (IsRow(current)) {
        // A page moves the entry at one edge of the visible rows to the other edge.
        const qint64 page = std::max(FullyVisibleRows() - 1, 1);
        row = current.row();
        switch (cursorAction) {
            case MoveUp:
            case MovePrevious:
                row -= 1;
                break;
            case MoveDown:
            case MoveNext:
                row += 1;
                break;
            case MovePageUp:
                row -= page;
                break;
            case MovePageDown:
                row += page;
                break;
            case MoveHome:
                row = 0;
                break;
            default:
                break;
        }
    }
    row = std::clamp<qint64>(row, 0, count - 1);
    return model()->index(static_cast<int>(row), 0, rootIndex());
}

int ResultListView::horizontalOffset() const {
    return 0;
}

int ResultListView::verticalOffset() const {
    return Clamped(qint64{TopRow()} * rowHeight_);
}

bool ResultListView::isIndexHidden(const QModelIndex&) const {
    return false;
}

void ResultListView::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) {
    // Only one entry is ever selected: the one under the point where the rectangle ends, which
    // is where the pointer is.
    const qint64 row = RowAt(rect.bottom());
    if (row < 0 || row >= RowCount()) {
        return;
    }
    selectionModel()->select(model()->index(static_cast<int>(row), 0, rootIndex()), command);
}

QRegion ResultListView::visualRegionForSelection(const QItemSelection& selection) const {
    const qint64 firstShown = TopRow();
    const qint64 lastShown = RowAt(viewport()->height() - 1);
    QRegion region;
    for (const QItemSelectionRange& range : selection) {
        if (range.model() != model() || range.parent() != rootIndex()) {
            continue;
        }
        const qint64 first = std::max<qint64>(range.top(), firstShown);
        const qint64 last = std::min<qint64>(range.bottom(), lastShown);
        if (first <= last) {
            region += RowRect(first).united(RowRect(last));
        }
    }
    return region;
}

QItemSelectionModel::SelectionFlags ResultListView::selectionCommand(const QModelIndex& index,
                                                                     const QEvent* event) const {
    // Whatever the modifiers, choosing an entry selects it alone, and nothing deselects it:
    // the base class would toggle it on a Ctrl+click.
    if (!index.isValid() || !(index.flags() & Qt::ItemIsSelectable) ||
        (event && event->type() == QEvent::MouseButtonRelease)) {
        return QItemSelectionModel::NoUpdate;
    }
    return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
}

void ResultListView::updateGeometries() {
    const int page = FullyVisibleRows();
    verticalScrollBar()->setPageStep(page);
    verticalScrollBar()->setRange(0, std::max(RowCount() - page, 0));
    QAbstractItemView::updateGeometries();
}

// Qt's own handling can visit every index of the changed range; repainting the visible rows
// costs the same whatever the range.
void ResultListView::dataChanged(const QModelIndex&, const QModelIndex&, const QList<int>&) {
    viewport()->update();
}

void ResultListView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QAbstractItemView::currentChanged(current, previous);
    if (hasFocus()) {
        TellScreenReader(QAccessible::Focus, current);
    }
}

void ResultListView::selectionChanged(const QItemSelection& selected,
                                      const QItemSelection& deselected) {
    QAbstractItemView::selectionChanged(selected, deselected);
    // One entry at most on either side.
    if (!deselected.isEmpty()) {
        TellScreenReader(QAccessible::SelectionRemove,
                         model()->index(deselected.front().top(), 0, rootIndex()));
    }
    if (!selected.isEmpty()) {
        TellScreenReader(QAccessible::SelectionAdd,
                         model()->index(selected.front().top(), 0, rootIndex()));
    }
}

void ResultListView::paintEvent(QPaintEvent* event) {
    const QRect area = event->rect();
    const qint64 first = std::max<qint64>(RowAt(area.top()), TopRow());
    const qint64 last = std::min<qint64>(RowAt(area.bottom()), RowCount() - 1);
    if (first > last) {
        return;
    }
    QPainter painter(viewport());
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.features |= QStyleOptionViewItem::HasDisplay;
    const QStyle::State viewState = option.state;
    const QModelIndex focused = hasFocus() ? currentIndex() : QModelIndex();
    for (qint64 row = first; row <= last; ++row) {
        const QModelIndex index = model()->index(static_cast<int>(row), 0, rootIndex());
        option.index = index;
        option.rect = RowRect(row);
        option.text = VisibleText(index.data(Qt::DisplayRole).toString(), option.rect.width());
        option.state = viewState;
        if (selectionModel()->isSelected(index)) {
            option.state |= QStyle::State_Selected;
        }
        if (index == focused) {
            option.state |= QStyle::State_HasFocus;
        }
        // Glyphs taller than the row would otherwise be left behind when one row repaints.
        painter.save();
        painter.setClipRect(option.rect, Qt::IntersectClip);
        style()->drawControl(QStyle::CE_ItemViewItem, &option, &painter, this);
        painter.restore();
    }
}

template <typename Step>
void ResultListView::ClickIfSelectionMoves(Step step) {
    if (!selectionModel()) {
        step();
        return;
    }
    const QItemSelection before = selectionModel()->selection();
    step();
    if (selectionModel()->selection() != before) {
        emit Click();
    }
}

void ResultListView::mousePressEvent(QMouseEvent* event) {
    // As in a list box, the other buttons choose nothing.
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const QPersistentModelIndex pressed = indexAt(event->position().toPoint());
    QAbstractItemView::mousePressEvent(event);
    if (pressed.isValid() && selectionModel()->isSelected(pressed)) {
        emit Click();
    }
}

void ResultListView::mouseMoveEvent(QMouseEvent* event) {
    // Dragging with the button held selects the entry under the pointer; the base class sends
    // this event also while it scrolls the list under a pointer held past its edge.
    ClickIfSelectionMoves([&] { QAbstractItemView::mouseMoveEvent(event); });
}

void ResultListView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    QAbstractItemView::mouseDoubleClickEvent(event);
}

void ResultListView::keyPressEvent(QKeyEvent* event) {
    CursorAction movement = MoveDown;
    switch (event->key()) {
        case Qt::Key_Up:
            movement = MoveUp;
            break;
        case Qt::Key_Down:
            movement = MoveDown;
            break;
        case Qt::Key_PageUp:
            movement = MovePageUp;
            break;
        case Qt::Key_PageDown:
            movement = MovePageDown;
            break;
        case Qt::Key_Home:
            movement = MoveHome;
            break;
        case Qt::Key_End:
            movement = MoveEnd;
            break;
        case Qt::Key_Space:
        case Qt::Key_Select:
            // The base class would select or, with Ctrl, deselect the current entry.
            event->accept();
            return;
        default:
            QAbstractItemView::keyPressEvent(event);
            return;
    }
    const QModelIndex target = moveCursor(movement, event->modifiers());
    if (target.isValid()) {
        Choose(target);
        scrollTo(target);
    }
    event->accept();
}

void ResultListView::changeEvent(QEvent* event) {
    QAbstractItemView::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        UpdateRowHeight();
        ModelChanged();
    }
}

bool ResultListView::IsRow(const QModelIndex& index) const {
    return index.isValid() && index.model() == model() && index.parent() == rootIndex() &&
           index.column() == 0;
}

int ResultListView::RowCount() const {
    return model() ? model()->rowCount(rootIndex()) : 0;
}

int ResultListView::TopRow() const {
    return verticalScrollBar()->value();
}

int ResultListView::FullyVisibleRows() const {
    return std::max(viewport()->height() / rowHeight_, 1);
}

qint64 ResultListView::RowAt(int y) const {
    const int rowsDown = y >= 0 ? y / rowHeight_ : (y + 1) / rowHeight_ - 1;
    return qint64{TopRow()} + rowsDown;
}

QRect ResultListView::RowRect(qint64 row) const {
    return QRect(0, Clamped((row - TopRow()) * rowHeight_), viewport()->width(), rowHeight_);
}

void ResultListView::Choose(const QModelIndex& index) {
    ClickIfSelectionMoves(
        [&] { selectionModel()->setCurrentIndex(index, selectionCommand(index)); });
}

void ResultListView::TellScreenReader(QAccessible::Event type, const QModelIndex& index) {
    if (!QAccessible::isActive() || !IsRow(index)) {
        return;
    }
    QAccessibleEvent event(this, type);
    event.setChild(index.row());
    QAccessible::updateAccessibility(&event);
}

void ResultListView::ModelChanged() {
    updateGeometries();
    viewport()->update();
    // The screen reader's items stand for rows, which now hold other entries.
    if (QAccessible::isActive()) {
        QAccessibleTableModelChangeEvent event(this, QAccessibleTableModelChangeEvent::ModelReset);
        QAccessible::updateAccessibility(&event);
    }
}

void ResultListView::UpdateRowHeight() {
    // The style's size of an item showing one line of text: the font's line height and the
    // margins the style puts around an item. No entry's own text is measured.
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.features |= QStyleOptionViewItem::HasDisplay;
    option.text = QStringLiteral("X");
    const QSize item = style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), this);
    rowHeight_ = std::max({item.height(), fontMetrics().height(), 1});
}

}  // namespace brackwin
