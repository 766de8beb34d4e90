#include <QItemSelectionModel>
#include <QPersistentModelIndex>
#include <QSignalSpy>
#include <QTest>

#include <string_view>
#include <vector>

#include "ResultListModel.h"

using brackwin::ResultListModel;

namespace {

QStringList Rows(const ResultListModel& model) {
    QStringList rows;
    for (int row = 0; row < model.rowCount(); ++row) {
        rows.append(model.index(row).data().toString());
    }
    return rows;
}

}  // namespace

class TestResultListModel : public QObject {
    Q_OBJECT

  private slots:
    void entriesAppearOnlyWhenCommitted();
    void commitsKeepAscendingOrderIgnoringCase();
    void selectionFollowsItsEntryAcrossCommits();
    void persistentIndexesStayOnTheirEntries();
    void clearEmptiesTheList();
    void textIsUtf8();
};

void TestResultListModel::entriesAppearOnlyWhenCommitted() {
    ResultListModel model;
    model.AddItem("Public Const B = 2");
    QCOMPARE(model.rowCount(), 0);
    model.Commit();
    QCOMPARE(Rows(model), QStringList{QStringLiteral("Public Const B = 2")});
    QVERIFY(!model.index(0).parent().isValid());
    QCOMPARE(model.rowCount(model.index(0)), 0);
}

void TestResultListModel::commitsKeepAscendingOrderIgnoringCase() {
    ResultListModel model;
    model.AddItem("Public Const B_FLAG = 2");
    model.AddItem("Public Const d_flag = 4");
    model.Commit();
    model.AddItem("Public Const a_flag = 1");
    model.AddItem("Public Const C_FLAG = 3");
    model.Commit();
    QCOMPARE(Rows(model), (QStringList{"Public Const a_flag = 1", "Public Const B_FLAG = 2",
                                       "Public Const C_FLAG = 3", "Public Const d_flag = 4"}));
}

void TestResultListModel::selectionFollowsItsEntryAcrossCommits() {
    ResultListModel model;
    QItemSelectionModel selection(&model);
    model.AddItem("m");
    model.AddItem("x");
    model.Commit();
    selection.setCurrentIndex(model.index(1), QItemSelectionModel::ClearAndSelect);
    const QPersistentModelIndex kept(model.index(0));
    const QSignalSpy changed(&selection, &QItemSelectionModel::selectionChanged);

    model.AddItem("a");
    model.AddItem("b");
    model.AddItem("n");
    model.Commit();

    QCOMPARE(Rows(model), (QStringList{"a", "b", "m", "n", "x"}));
    QCOMPARE(kept.row(), 2);
    QCOMPARE(selection.selectedIndexes(), QModelIndexList{model.index(4)});
    QCOMPARE(selection.currentIndex(), model.index(4));
    QCOMPARE(changed.count(), 0);
}

// New entries join at the front, between, after equal ones and at the end; every persistent
// index keeps its entry, and an old entry stays ahead of a new equal one.
void TestResultListModel::persistentIndexesStayOnTheirEntries() {
    ResultListModel model;
    for (const char* entry : {"d", "B", "d"}) {
        model.AddItem(entry);
    }
    model.Commit();
    const std::vector<QPersistentModelIndex> kept = {model.index(0), model.index(1),
                                                     model.index(2)};
    const QSignalSpy changed(&model, &QAbstractItemModel::layoutChanged);

    for (const char* entry : {"e", "D", "a", "c", "d"}) {
        model.AddItem(entry);
    }
    model.Commit();

    QCOMPARE(changed.count(), 1);
    QCOMPARE(Rows(model), (QStringList{"a", "B", "c", "D", "d", "d", "d", "e"}));
    QCOMPARE(kept[0].row(), 1);
    QCOMPARE(kept[1].row(), 4);
    QCOMPARE(kept[2].row(), 5);
}

void TestResultListModel::clearEmptiesTheList() {
    ResultListModel model;
    model.AddItem("b");
    model.Commit();
    model.AddItem("a");
    const QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    model.Clear();
    QCOMPARE(reset.count(), 1);
    model.Commit();
    QCOMPARE(model.rowCount(), 0);
}

void TestResultListModel::textIsUtf8() {
    ResultListModel model;
    model.AddItem("' 定数の例");
    model.Commit();
    QCOMPARE(model.index(0).data().toString(), QStringLiteral("' 定数の例"));
    QCOMPARE(model.Item(0), std::string_view("' 定数の例"));
    QVERIFY(!model.index(0).data(Qt::EditRole).isValid());
}

QTEST_GUILESS_MAIN(TestResultListModel)
#include "test_ResultListModel.moc"
