#include <QAbstractListModel>
#include <QAccessible>
#include <QApplication>
#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPalette>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <cstdlib>
#include <limits>
#include <set>
#include <utility>
#include <vector>

#include "ResultListView.h"

using brackwin::ResultListView;

namespace {

// Rows whose text follows from their number, so a model of millions of rows costs nothing. It
// counts the texts it is asked for.
class ComputedModel final : public QAbstractListModel {
  public:
    explicit ComputedModel(int rows) : rows_(rows) {}

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : rows_;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole) {
            return {};
        }
        ++textsAsked;
        return QStringLiteral("Public Const ENTRY_%1 = %1").arg(index.row());
    }

    void SetRowCount(int rows) {
        if (rows > rows_) {
            beginInsertRows({}, rows_, rows - 1);
            rows_ = rows;
            endInsertRows();
        } else if (rows < rows_) {
            beginRemoveRows({}, rows, rows_ - 1);
            rows_ = rows;
            endRemoveRows();
        }
    }

    mutable int textsAsked = 0;

  private:
    int rows_;
};

bool IgnoringCase(const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive) < 0;
}

// Keeps its entries in ascending order ignoring case and places each batch as the window's
// result list does: the first with a reset, later ones with a layout change that moves every
// persistent index, the selection's among them, along with its entry. It records the rows whose
// text it is asked for.
class CommittingModel final : public QAbstractListModel {
  public:
    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(entries_.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole) {
            return {};
        }
        asked.insert(index.row());
        return entries_.at(index.row());
    }

    void Commit(const QStringList& batch) {
        if (entries_.isEmpty()) {
            beginResetModel();
            entries_ = batch;
            std::stable_sort(entries_.begin(), entries_.end(), IgnoringCase);
            endResetModel();
            return;
        }
        emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
        // Each entry with the row it had; new ones have none.
        std::vector<std::pair<QString, int>> merged;
        for (int row = 0; row < entries_.size(); ++row) {
            merged.emplace_back(entries_.at(row), row);
        }
        for (const QString& entry : batch) {
            merged.emplace_back(entry, -1);
        }
        std::stable_sort(merged.begin(), merged.end(), [](const auto& a, const auto& b) {
            return IgnoringCase(a.first, b.first);
        });
        std::vector<int> movedTo(entries_.size());
        entries_.clear();
        for (int row = 0; row < static_cast<int>(merged.size()); ++row) {
            entries_.append(merged[row].first);
            if (merged[row].second >= 0) {
                movedTo[merged[row].second] = row;
            }
        }
        const QModelIndexList before = persistentIndexList();
        QModelIndexList after;
        for (const QModelIndex& kept : before) {
            after.append(createIndex(movedTo[kept.row()], 0));
        }
        changePersistentIndexList(before, after);
        emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    }

    mutable std::set<int> asked;

  private:
    QStringList entries_;
};

// The style may shade a colour a little, as Fusion does the highlight.
bool CloseTo(const QColor& actual, const QColor& expected) {
    return std::abs(actual.red() - expected.red()) < 32 &&
           std::abs(actual.green() - expected.green()) < 32 &&
           std::abs(actual.blue() - expected.blue()) < 32;
}

QList<int> SelectedRows(const QAbstractItemView& view) {
    QList<int> rows;
    for (const QModelIndex& index : view.selectionModel()->selectedIndexes()) {
        rows.append(index.row());
    }
    return rows;
}

QPoint CentreOf(const QAbstractItemView& view, int row) {
    return view.visualRect(view.model()->index(row, 0)).center();
}

// Shows the view with room for exactly the given number of rows.
[[nodiscard]] bool ShowRows(ResultListView& view, int rows) {
    const int rowHeight = view.visualRect(view.model()->index(0, 0)).height();
    view.resize(240, rows * rowHeight + 2 * view.frameWidth());
    view.show();
    return QTest::qWaitForWindowExposed(&view) && view.viewport()->height() == rows * rowHeight;
}

}  // namespace

class TestResultListView : public QObject {
    Q_OBJECT

  private slots:
    void hugeModelShowsScrollsAndSelectsAtOnce_data();
    void hugeModelShowsScrollsAndSelectsAtOnce();
    void rowsShareOneHeightWhateverTheirText();
    void entriesCommittedByALayoutChangeAreThereAtOnce();
    void insertedAndRemovedRowsCountAtOnce();

    void everyPressOnAnEntryEmitsClickOnceSelected();
    void theSelectionCannotBeCleared();
    void onlyTheLeftButtonChooses();
    void doubleClickSelectsFirst();
    void draggingMovesTheSelection();
    void keysMoveTheSelectionAndScrollToIt();
    void typingDoesNotSearch();
    void typedCharactersAreHandedOn();
    void screenReaderSeesAListOfItemsMadeOnDemand();
    void anEmptyListTakesInputQuietly();

    void selectedRowInTheHighlightColoursAndDisabledLook();
};

// No memory or work per row: the scroll range, painting, the keyboard and the mouse reach the
// last rows of the largest models without laying the others out.
void TestResultListView::hugeModelShowsScrollsAndSelectsAtOnce_data() {
    QTest::addColumn<int>("rows");
    QTest::newRow("24 million") << 24'000'000;
    QTest::newRow("largest int") << std::numeric_limits<int>::max();
}

void TestResultListView::hugeModelShowsScrollsAndSelectsAtOnce() {
    QFETCH(int, rows);
    ComputedModel model(rows);
    ResultListView view;
    view.setModel(&model);
    QVERIFY(ShowRows(view, 10));
    const QSignalSpy clicks(&view, &ResultListView::Click);
    QCOMPARE(view.verticalScrollBar()->maximum(), rows - 10);

    model.textsAsked = 0;
    view.viewport()->grab();
    QCOMPARE(model.textsAsked, 10);

    QTest::keyClick(&view, Qt::Key_End);
    const QModelIndex last = model.index(rows - 1);
    QCOMPARE(view.currentIndex(), last);
    QCOMPARE(SelectedRows(view), QList<int>{rows - 1});
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(view.verticalScrollBar()->value(), rows - 10);
    QCOMPARE(view.visualRect(model.index(rows - 10)).top(), 0);
    QVERIFY(view.viewport()->rect().contains(view.visualRect(last)));
    QCOMPARE(view.indexAt(view.visualRect(last).center()), last);
    QVERIFY(view.visualRect(model.index(0)).bottom() < 0);

    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, CentreOf(view, rows - 5));
    QCOMPARE(SelectedRows(view), QList<int>{rows - 5});
    QCOMPARE(clicks.count(), 2);
    model.textsAsked = 0;
    view.viewport()->grab();
    QCOMPARE(model.textsAsked, 10);
}

// The height comes from the font, never from an entry: a long entry, a Japanese one and an
// empty one take the same room.
void TestResultListView::rowsShareOneHeightWhateverTheirText() {
    CommittingModel model;
    model.Commit({QStringLiteral("' 定数の例"), QString(), QString(1'000'000, QLatin1Char('W')),
                  QStringLiteral("Public Const A = 1")});
    ResultListView view;
    view.setModel(&model);
    QVERIFY(ShowRows(view, 10));
    const int height = view.visualRect(model.index(0)).height();
    QVERIFY(height >= view.fontMetrics().height());
    for (int row = 0; row < model.rowCount(); ++row) {
        QCOMPARE(view.visualRect(model.index(row)),
                 QRect(0, row * height, view.viewport()->width(), height));
    }
    view.viewport()->grab();

    QFont larger = view.font();
    larger.setPointSizeF(larger.pointSizeF() * 2);
    view.setFont(larger);
    QVERIFY(view.visualRect(model.index(1)).height() >= QFontMetrics(larger).height());
    QCOMPARE(view.visualRect(model.index(1)).top(), view.visualRect(model.index(0)).height());
}

// A search commits entries every few milliseconds; what the view reports and paints right after
// a commit is already the new list, so a click at once chooses the entry under the pointer.
void TestResultListView::entriesCommittedByALayoutChangeAreThereAtOnce() {
    CommittingModel model;
    ResultListView view;
    view.setModel(&model);
    view.resize(240, 200);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const QSignalSpy clicks(&view, &ResultListView::Click);

    model.Commit({QStringLiteral("Public Const D = 4"), QStringLiteral("Public Const b = 2")});
    QCOMPARE(view.indexAt(CentreOf(view, 1)), model.index(1));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, CentreOf(view, 1));
    QCOMPARE(view.currentIndex().data().toString(), QStringLiteral("Public Const D = 4"));

    QVERIFY(ShowRows(view, 5));
    model.Commit({QStringLiteral("Public Const a = 1"), QStringLiteral("Public Const C = 3"),
                  QStringLiteral("Public Const e = 5"), QStringLiteral("Public Const f = 6"),
                  QStringLiteral("Public Const g = 7")});
    QCOMPARE(view.verticalScrollBar()->maximum(), 2);
    QCOMPARE(SelectedRows(view), QList<int>{3});
    QCOMPARE(view.currentIndex().data().toString(), QStringLiteral("Public Const D = 4"));
    model.asked.clear();
    view.viewport()->grab();
    QCOMPARE(model.asked, (std::set<int>{0, 1, 2, 3, 4}));

    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, CentreOf(view, 0));
    QCOMPARE(SelectedRows(view), QList<int>{0});
    QCOMPARE(view.currentIndex().data().toString(), QStringLiteral("Public Const a = 1"));
    QCOMPARE(clicks.count(), 2);
    QTest::keyClick(&view, Qt::Key_End);
    QCOMPARE(SelectedRows(view), QList<int>{6});
    QVERIFY(view.viewport()->rect().contains(view.visualRect(model.index(6))));
}

void TestResultListView::insertedAndRemovedRowsCountAtOnce() {
    ComputedModel model(20);
    ResultListView view;
    view.setModel(&model);
    QVERIFY(ShowRows(view, 10));

    model.SetRowCount(50);
    QCOMPARE(view.verticalScrollBar()->maximum(), 40);
    QTest::keyClick(&view, Qt::Key_End);
    QCOMPARE(view.indexAt(CentreOf(view, 49)), model.index(49));

    model.SetRowCount(5);
    QCOMPARE(view.verticalScrollBar()->maximum(), 0);
    QCOMPARE(view.indexAt(CentreOf(view, 4)), model.index(4));
    QCOMPARE(view.indexAt(QPoint(20, view.viewport()->height() - 2)), QModelIndex());
}

// The preview runs on Click, so it must come on the press, after the selection, and once.
void TestResultListView::everyPressOnAnEntryEmitsClickOnceSelected() {
    ComputedModel model(5);
    ResultListView view;
    view.setModel(&model);
    QVERIFY(ShowRows(view, 5));
    QList<QList<int>> selectedAtClick;
    connect(&view, &ResultListView::Click, &view,
            [&] { selectedAtClick.append(SelectedRows(view)); });

    QTest::mousePress(view.viewport(), Qt::LeftButton, {}, CentreOf(view, 3));
    QCOMPARE(selectedAtClick, QList<QList<int>>{{3}});
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, CentreOf(view, 3));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, CentreOf(view, 3));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, CentreOf(view, 0));
    QCOMPARE(selectedAtClick, (QList<QList<int>>{{3}, {3}, {0}}));
}

void TestResultListView::theSelectionCannotBeCleared() {
    ComputedModel model(3);
    ResultListView view;
    view.setModel(&model);
    QVERIFY(ShowRows(view, 6));
    const QSignalSpy clicks(&view, &ResultListView::Click);
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, CentreOf(view, 1));
    QCOMPARE(SelectedRows(view), QList<int>{1});

    const QPoint belowTheLast(20, view.viewport()->height() - 2);
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, belowTheLast);
    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::ControlModifier, belowTheLast);
    QCOMPARE(SelectedRows(view), QList<int>{1});
    QCOMPARE(clicks.count(), 1);

    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::ControlModifier, CentreOf(view, 1));
    QCOMPARE(SelectedRows(view), QList<int>{1});
    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::ShiftModifier, CentreOf(view, 1));
    QCOMPARE(SelectedRows(view), QList<int>{1});
    QCOMPARE(clicks.count(), 3);
    // Space would select the current entry, and Ctrl+Space deselect it.
    QTest::keyClick(&view, Qt::Key_Space, Qt::ControlModifier);
    view.selectionModel()->setCurrentIndex(model.index(2), QItemSelectionModel::NoUpdate);
    QTest::keyClick(&view, Qt::Key_Space, Qt::ControlModifier);
    QTest::keyClick(&view, Qt::Key_Space);
    QCOMPARE(SelectedRows(view), QList<int>{1});
    QCOMPARE(clicks.count(), 3);

    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::ControlModifier, CentreOf(view, 2));
    QCOMPARE(SelectedRows(view), QList<int>{2});
    QCOMPARE(clicks.count(), 4);
}

void TestResultListView::onlyTheLeftButtonChooses() {
    ComputedModel model(5);
    ResultListView view;
    view.setModel(&model);
    QVERIFY(ShowRows(view, 5));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, CentreOf(view, 0));
    const QSignalSpy clicks(&view, &ResultListView::Click);
    const QSignalSpy doubleClicks(&view, &QAbstractItemView::doubleClicked);

    QTest::mouseClick(view.viewport(), Qt::RightButton, {}, CentreOf(view, 2));
    QTest::mouseClick(view.viewport(), Qt::MiddleButton, {}, CentreOf(view, 3));
    QTest::mouseDClick(view.viewport(), Qt::RightButton, {}, CentreOf(view, 0));
    QTest::mouseRelease(view.viewport(), Qt::RightButton, {}, CentreOf(view, 0));
    QCOMPARE(SelectedRows(view), QList<int>{0});
    QCOMPARE(clicks.count(), 0);
    QCOMPARE(doubleClicks.count(), 0);
}

// The double click adds the entry that its first press selected and previewed.
void TestResultListView::doubleClickSelectsFirst() {
    ComputedModel model(5);
    ResultListView view;
    view.setModel(&model);
    QVERIFY(ShowRows(view, 5));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, CentreOf(view, 0));
    QStringList events;
    connect(&view, &ResultListView::Click, &view, [&] {
        events.append(QStringLiteral("Click, selected %1").arg(view.currentIndex().row()));
    });
    connect(&view, &QAbstractItemView::doubleClicked, &view, [&](const QModelIndex& index) {
        events.append(QStringLiteral("doubleClicked %1, selected %2")
                          .arg(index.row())
                          .arg(SelectedRows(view).value(0, -1)));
    });

    const QPoint at = CentreOf(view, 2);
    QTest::mousePress(view.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(events, (QStringList{QStringLiteral("Click, selected 2"),
                                  QStringLiteral("doubleClicked 2, selected 2")}));
}

// Dragging with the button held moves the selection, and each move is a choice like a click.
void TestResultListView::draggingMovesTheSelection() {
    ComputedModel model(10);
    ResultListView view;
    view.setModel(&model);
    QVERIFY(ShowRows(view, 10));
    QList<QList<int>> selectedAtClick;
    connect(&view, &ResultListView::Click, &view,
            [&] { selectedAtClick.append(SelectedRows(view)); });

    QTest::mousePress(view.viewport(), Qt::LeftButton, {}, CentreOf(view, 1));
    QTest::mouseMove(view.viewport(), CentreOf(view, 3));
    QTest::mouseMove(view.viewport(), CentreOf(view, 3) + QPoint(5, 1));
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, CentreOf(view, 3));
    QCOMPARE(selectedAtClick, (QList<QList<int>>{{1}, {3}}));
    QCOMPARE(view.currentIndex(), model.index(3));
}

void TestResultListView::keysMoveTheSelectionAndScrollToIt() {
    ComputedModel model(100);
    ResultListView view;
    view.setModel(&model);
    QVERIFY(ShowRows(view, 10));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, CentreOf(view, 0));
    QList<QList<int>> selectedAtClick;
    connect(&view, &ResultListView::Click, &view,
            [&] { selectedAtClick.append(SelectedRows(view)); });

    // A page moves by one row less than the view shows, like a list box.
    const std::vector<std::pair<Qt::Key, int>> steps = {
        {Qt::Key_Down, 1},    {Qt::Key_End, 99},     {Qt::Key_Down, 99},
        {Qt::Key_PageUp, 90}, {Qt::Key_PageUp, 81},  {Qt::Key_Home, 0},
        {Qt::Key_Up, 0},      {Qt::Key_PageDown, 9}, {Qt::Key_PageDown, 18}};
    for (const auto& [key, row] : steps) {
        QTest::keyClick(&view, key);
        QCOMPARE(view.currentIndex(), model.index(row));
        QCOMPARE(SelectedRows(view), QList<int>{row});
        QVERIFY(view.viewport()->rect().contains(view.visualRect(model.index(row))));
    }
    // Only the keys that moved the selection emit Click.
    QCOMPARE(selectedAtClick, (QList<QList<int>>{{1}, {99}, {90}, {81}, {0}, {9}, {18}}));
}

// A search by typed letters would read the text of every row.
void TestResultListView::typingDoesNotSearch() {
    ComputedModel model(1000);
    ResultListView view;
    view.setModel(&model);
    QVERIFY(ShowRows(view, 10));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, CentreOf(view, 5));
    const QSignalSpy clicks(&view, &ResultListView::Click);
    model.textsAsked = 0;

    QTest::keyClicks(&view, QStringLiteral("Public Const ENTRY_500"));
    QCOMPARE(SelectedRows(view), QList<int>{5});
    QCOMPARE(view.currentIndex(), model.index(5));
    QCOMPARE(clicks.count(), 0);
    QCOMPARE(model.textsAsked, 0);
}

// The owner finds the entry a character leads to; the view hands on each printable character
// whole, a character beyond the BMP too, and nothing else.
void TestResultListView::typedCharactersAreHandedOn() {
    ComputedModel model(10);
    ResultListView view;
    view.setModel(&model);
    QVERIFY(ShowRows(view, 10));
    QSignalSpy typed(&view, &ResultListView::CharacterTyped);
    QTest::keyClick(&view, Qt::Key_P);
    const QString beyondBmp = QStringLiteral("\U0002000B");
    for (const QString& text :
         {QStringLiteral("é"), beyondBmp, QStringLiteral("\b"), QStringLiteral("\x1b")}) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
        QApplication::sendEvent(&view, &press);
    }
    QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(typed.count(), 3);
    QCOMPARE(typed.at(0).at(0).toString(), QStringLiteral("p"));
    QCOMPARE(typed.at(1).at(0).toString(), QStringLiteral("é"));
    QCOMPARE(typed.at(2).at(0).toString(), beyondBmp);
    QCOMPARE(model.textsAsked, 10);
}

// A screen reader sees a list of every entry, but an item and its text are made only for the
// entries it asks for.
void TestResultListView::screenReaderSeesAListOfItemsMadeOnDemand() {
    const int rows = 24'000'000;
    ComputedModel model(rows);
    ResultListView view;
    view.setModel(&model);
    QVERIFY(ShowRows(view, 10));
    model.textsAsked = 0;
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(&view);
    QVERIFY(list);
    QCOMPARE(list->role(), QAccessible::List);
    QCOMPARE(list->childCount(), rows);
    QCOMPARE(model.textsAsked, 0);

    QAccessibleInterface* last = list->child(rows - 1);
    QVERIFY(last);
    QCOMPARE(last->role(), QAccessible::ListItem);
    QCOMPARE(last->text(QAccessible::Name),
             QStringLiteral("Public Const ENTRY_23999999 = 23999999"));
    QCOMPARE(model.textsAsked, 1);
    QVERIFY(!last->state().selected);
    QVERIFY(last->state().offscreen);
    QCOMPARE(list->child(rows - 1), last);
    QVERIFY(list->child(rows) == nullptr);
    QVERIFY(list->child(-1) == nullptr);

    view.setFocus();
    QTest::keyClick(&view, Qt::Key_End);
    QVERIFY(last->state().selected);
    QVERIFY(!last->state().offscreen);
    QCOMPARE(list->tableInterface()->selectedRows(), QList<int>{rows - 1});
    QVERIFY(!list->child(0)->state().selected);
}

void TestResultListView::anEmptyListTakesInputQuietly() {
    ResultListView view;
    view.resize(240, 100);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    CommittingModel model;
    for (QAbstractItemModel* shown :
         {static_cast<QAbstractItemModel*>(nullptr), static_cast<QAbstractItemModel*>(&model)}) {
        view.setModel(shown);
        const QSignalSpy clicks(&view, &ResultListView::Click);
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(20, 10));
        QTest::mousePress(view.viewport(), Qt::LeftButton, {}, QPoint(20, 10));
        QTest::mouseMove(view.viewport(), QPoint(20, 40));
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, QPoint(20, 40));
        for (const Qt::Key key : {Qt::Key_Down, Qt::Key_End, Qt::Key_PageUp, Qt::Key_A}) {
            QTest::keyClick(&view, key);
        }
        view.viewport()->grab();
        QVERIFY(!view.currentIndex().isValid());
        QCOMPARE(view.verticalScrollBar()->maximum(), 0);
        QCOMPARE(clicks.count(), 0);
    }
}

void TestResultListView::selectedRowInTheHighlightColoursAndDisabledLook() {
    ComputedModel model(3);
    ResultListView view;
    view.setModel(&model);
    QPalette colours = view.palette();
    colours.setColor(QPalette::Base, Qt::white);
    colours.setColor(QPalette::Highlight, Qt::red);
    colours.setColor(QPalette::Disabled, QPalette::Highlight, Qt::blue);
    view.setPalette(colours);
    QVERIFY(ShowRows(view, 5));
    const QSignalSpy clicks(&view, &ResultListView::Click);
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, CentreOf(view, 1));
    // Right of the short texts, where only the background shows.
    const auto colourOf = [&](int row) {
        const QRect rect = view.visualRect(model.index(row));
        return view.viewport()->grab().toImage().pixelColor(rect.right() - 4, rect.center().y());
    };
    QVERIFY(CloseTo(colourOf(0), Qt::white));
    QVERIFY(CloseTo(colourOf(1), Qt::red));

    view.setEnabled(false);
    QVERIFY(CloseTo(colourOf(1), Qt::blue));
    QTest::ignoreMessage(QtWarningMsg,
                         "Mouse event \"MousePress\" not accepted by receiving widget");
    QTest::ignoreMessage(QtWarningMsg,
                         "Mouse event \"MouseRelease\" not accepted by receiving widget");
    QTest::ignoreMessage(QtWarningMsg, "Keyboard event not accepted by receiving widget");
    QTest::ignoreMessage(QtWarningMsg, "Keyboard event not accepted by receiving widget");
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, CentreOf(view, 0));
    QTest::keyClick(&view, Qt::Key_Down);
    QCOMPARE(SelectedRows(view), QList<int>{1});
    QCOMPARE(clicks.count(), 1);
}

QTEST_MAIN(TestResultListView)
#include "test_ResultListView.moc"
